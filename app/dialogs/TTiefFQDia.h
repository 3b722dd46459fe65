#pragma once
// "Low Temperature Quantum Yield": quantum yields of a sample at several temperatures, listed as a
// table in the window ("manually": one fluorescence spectrum, "automat.": all of them). Created once at
// start-up; it keeps its solvent curves and its table between openings.
#include <map>
#include <string>

#include "app/dialogs/tool_dialog.h"
#include "core/quantum_yield_settings.h"
#include "tools/aux_curve.h"

class QLabel;
class QPlainTextEdit;
class QTabWidget;

class TTiefFQDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TTiefFQDia(QWidget* parent = nullptr);

    QTabWidget* PageControl1;
    QComboBox *MAbsSpek_RT, *MAbsSpek_TT, *MAbsSpekFl_RT, *MFlSpek;
    QComboBox *AAbsSpek_RT, *AAbsSpek_TT, *AAbsSpekFl_RT;
    QLineEdit *MRefWert_RT, *MRefWert_TT, *ARefWert_RT, *ARefWert_TT;
    QLineEdit *MBandBreite, *ABandBreite, *MIntStart, *MIntEnd, *AIntStart, *AIntEnd, *AInnFilter;
    QComboBox *MLoesMittel, *ALoesMittel;
    QCheckBox *MRaumTyp, *MTiefTyp, *ARaumTyp, *ATiefTyp;
    QPushButton *MLoadFile, *ALoadFile;
    QLabel* Label12;
    QPlainTextEdit* Memo1;

    // The solvent's curves: n² and log(eta) over the temperature.
    TAuxCurve RefractionCurve;
    TAuxCurve ViscosityCurve;
    int SolventIndex() const { return solventIndex_; }

    void MLoesMittelChange(int index);
    void BrechungsIndexladen();
    void StartClick();
    void Button1Click();
    void Button3Click();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;

private:
    // The group as the active tab shows it (manual: with its fluorescence spectrum).
    TLTQYSettings ReadTab(bool automatic);
    void SetTemperatureType(bool low);
    void SelectSolvent(int index);

    int solventIndex_ = 0;
    int headerIndex_ = -1;
    // Tables loaded with "Load File", by their combo item.
    std::map<std::string, std::string> userTables_;
};
