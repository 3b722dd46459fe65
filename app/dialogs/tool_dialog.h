#pragma once
// The pattern every processing dialog follows: spectrum combo boxes filled on activation, OK/Cancel,
// the OK work run when the dialog closes (errors shown, the dialog stays open), the help button.
#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "app/program_state.h"

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QWidget;

class TToolDialog : public QDialog {
    Q_OBJECT
public:
    explicit TToolDialog(QWidget* parent = nullptr);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    // Fills the controls each time the dialog is shown.
    virtual void FormActivate() {}
    // The OK work, run when the dialog closes with OK. False keeps the dialog open.
    virtual bool FormCloseOk() { return true; }

    // OK and Cancel ("OKBtn", "CancelBtn"), and "Help" ("Button1") when a page is given.
    QBoxLayout* AddButtonRow(QBoxLayout* into, const char* helpPage = nullptr);
    void Button1Click();

private:
    const char* helpPage_ = nullptr;
};

// Shows a dialog modally and returns its result; tests put a runner in place that drives the dialog
// by its controls instead of waiting for a user.
int RunModal(QDialog& dialog);
void SetModalRunner(std::function<int(QDialog&)> runner);
// The colour dialog ("ColorDialog"), run through the modal runner: the chosen colour (0x00BBGGRR),
// starting from `start`, or nothing on Cancel.
std::optional<uint32_t> ChooseColor(QWidget* parent, uint32_t start);

// Shared control helpers.
QComboBox* NewCombo(QWidget* parent, const char* name);
QCheckBox* NewCheck(QWidget* parent, const char* name, const QString& caption, bool checked);
QLineEdit* NewEdit(QWidget* parent, const char* name, const QString& text);
QLabel* NewLabel(QWidget* parent, const char* name, const QString& text = {});
// A push button that is not the default one (Enter stays with OK).
QPushButton* NewButton(QWidget* parent, const char* name, const QString& caption);
// Adds the widgets to `into` in list order, one below (or beside) the other.
void AddWidgets(QBoxLayout* into, std::initializer_list<QWidget*> widgets);
// A form row: `caption` and the edit `name`.
QLineEdit* AddEditRow(QWidget* parent, QFormLayout* form, const char* name, const QString& caption,
                      const QString& text = {});
// A form row of `field`, taking the room, and a small `trailing` control beside it.
void AddPairRow(QWidget* parent, QFormLayout* form, const QString& caption, QWidget* field, QWidget* trailing);
// A form row: the horizontal slider `name` over lo..hi and beside it a label, at least `labelWidth`
// pixels wide and named `valueName`, that shows the slider's value.
QSlider* AddSliderRow(QWidget* parent, QFormLayout* form, const char* name, const QString& caption, int lo, int hi,
                      int labelWidth, const char* valueName = "");
// A row "Spectrum:" with the spectrum combo box `name`, added to `into`.
QComboBox* AddSpectrumRow(QWidget* parent, QBoxLayout* into, const char* name);
// Legend titles of all spectra in list order; `selected` is clamped into the list.
void FillSpectrumCombo(QComboBox* box, int selected = 0);
// The box at least as wide as its longest entry needs when closed (its dialog widens to match).
void FitComboToEntries(QComboBox* box);
// Checked "all spectra" boxes grey the single-spectrum choice: silver and disabled.
void SetGreyed(QWidget* w, bool greyed);
// Checked "all spectra of one type" boxes do it the other way round: the spectrum choice greyed, the
// combo box of format tags open.
void SetTypeChoice(std::initializer_list<QWidget*> spectrumChoice, QWidget* tagBox, bool byType);
// The typed number rule: every "." becomes the regional separator, written back into the edit.
double EditFloat(QLineEdit* edit);
// Puts `text` back into the edit when it leaves scope, also when the conversion of the text throws, so
// that the user sees the text as it was read.
class TEditWriteBack {
public:
    TEditWriteBack(QLineEdit* edit, const std::string& text) : edit_(edit), text_(text) {}
    ~TEditWriteBack();
    TEditWriteBack(const TEditWriteBack&) = delete;
    TEditWriteBack& operator=(const TEditWriteBack&) = delete;

private:
    QLineEdit* edit_;
    const std::string& text_;
};
QString Q(const std::string& s);
std::string S(const QString& s);
