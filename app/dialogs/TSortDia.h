#pragma once
// "Spectra Sorting": the spectra list reordered by dragging entries of a list box or by an automatic
// sort; the list box order becomes the list order on OK.
#include <cstdint>
#include <vector>

#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QGroupBox;
class QListWidget;
class QPushButton;
class TRadioGroup;

class TSortDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TSortDia(QWidget* parent = nullptr);

    QListWidget* ListBox1;
    QCheckBox* CheckBox1;
    QGroupBox* KritBox;
    TRadioGroup* KRichtung;
    TRadioGroup* KTemperatur;
    TRadioGroup* KWellenlaenge;
    QPushButton* Button1;  // "Sort!"

    void CheckBox1Click();
    void Button1Click();
    // The selected entries go before the entry at `row` (-1: past the last entry or on none).
    void ListBox1MouseUp(int row);
    // The entries in list box order: each the list index its spectrum had when the dialog opened.
    const std::vector<int32_t>& Entries() const { return entries_; }

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillListBox(const std::vector<int32_t>& selected = {});
    void SetCriteriaEnabled(bool on);
    void Highlight(TRadioGroup* group);

    std::vector<int32_t> entries_;
    bool dragging_ = false;
    int pressRow_ = -1;
};
