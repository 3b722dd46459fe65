#pragma once
// The spectrum properties dialog ("sample concentration, spectra properties & display"): sample data,
// legend name and appearance of each spectrum, one spectrum at a time. Navigation, colour and width
// changes are stored at once; OK stores the spectrum being edited.
#include <QDialog>

#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class TSpectraList;
class TXYPlot;

class TKonzDia : public QDialog {
    Q_OBJECT
public:
    // `plot` (may be null) gets the highlight widths while the dialog moves between spectra.
    TKonzDia(TSpectraList& list, TXYPlot* plot, QWidget* parent = nullptr);

    void FormActivate();
    void BVorClick();  // Forward
    void BzuClick();   // Back
    void ComboHeaderOnChange(int index);
    void ComboBoxChange(int item);
    void LinientypChange(int item);
    void BFarbeClick();
    void BrechClick();
    void Linienarten_ResetClick();
    void Button3Click();  // Replace by filename
    void Button2Click();  // Edit legend texts
    void OKBtnClick();
    void HelpBtnClick();

    int CurrentIndex() const { return current_; }

private:
    // Stores the edits into the current record; false (message shown) when a number does not convert.
    bool storeCurrent();
    void fillFromCurrent();
    void moveTo(int index);
    void setSwatch(uint32_t color);
    void highlightCurrent();

    TSpectraList& list_;
    TXYPlot* plot_;
    int current_ = 0;
    int previous_ = 0;
    bool filling_ = false;
    bool lineTypeEdited_ = false;
    QString legendText_;  // the edited legend of the current spectrum

    QComboBox* ComboHeader = nullptr;
    QLineEdit* Ekonz = nullptr;
    QLineEdit* Eschicht = nullptr;
    QLineEdit* ETemp = nullptr;
    QLineEdit* EWell = nullptr;
    QComboBox* Linientyp = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* FarbFeld = nullptr;
    QLineEdit* EMW = nullptr;
    QLineEdit* EEinwaage = nullptr;
    QLineEdit* EVolumen = nullptr;
};
