#pragma once
// The options dialog ("Configuration:"): a tree of pages on the left, the page of the chosen node on
// the right. Its controls are the stored options; OK checks every number, saves them to the settings
// store and applies them.
#include <QDialog>

#include <functional>
#include <string>

#include "tools/options_store.h"

class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QLabel;

class TOptionsDia : public QDialog {
    Q_OBJECT
public:
    explicit TOptionsDia(QWidget* parent = nullptr);

    // Restores the controls from the store, expands the tree and selects node 0.
    void FormActivate();
    // The controls set from / read into the stored options (by the controls' object names).
    void RestoreControls(const options::StoredOptions& o);
    options::StoredOptions StoredControls() const;
    // Whether the path length text differs from the one at activation.
    bool PathLengthChanged() const;

    // OK: every number checked first (a bad one shows the conversion message, nothing is saved and the
    // dialog stays open); then saved, applied and closed.
    void OKBtnClick();
    void HelpBtnClick();

    // What OK runs after saving (ApplyOptions); the main window sets it.
    std::function<void(const options::StoredOptions&, bool pathLengthChanged)> ApplyHandler;

    QTreeWidget* Tree() const { return tree_; }
    QStackedWidget* Pages() const { return pages_; }

private:
    QWidget* addPage(const QString& title, QTreeWidgetItem* parentNode, bool groupNode = false);
    void buildPages();
    void updatePreviews();
    void updateTitleEdits();

    QTreeWidget* tree_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QWidget* groupPage_ = nullptr;
    QLabel* axesPreview_ = nullptr;
    QLabel* legendPreview_ = nullptr;
    std::string pathLengthAtActivation_;
};
