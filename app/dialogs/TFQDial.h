#pragma once
// "Calculation of Fluorescence Quantum Yield": the relative yield of a sample against a reference on
// the sheets "normal", "special" and "1D-QY". Created once at start-up; QYSettings keeps its values.
#include <memory>

#include "app/dialogs/tool_dialog.h"
#include "core/quantum_yield_settings.h"
#include "core/spectrum_record.h"
#include "tools/quantum_yield.h"

class QTabWidget;

class TFQDial : public TToolDialog {
    Q_OBJECT
public:
    explicit TFQDial(QWidget* parent = nullptr);

    // What the last OK produced: a yield (QYSettings.QuantumYield) or a 1D spectrum for the list.
    bool YieldComputed = false;
    std::unique_ptr<TSpectrumRecord> Result1D;

    QTabWidget* PageControl1;
    // normal
    QComboBox *ERefFlSpek, *EProbeFlSpek;
    QLineEdit *ERefEx, *EProbeEX, *ERefSp, *EProbeSp, *ERefFQ, *ERefEr, *EProbeEr, *EInFi, *EMessL;
    QLineEdit *EvProbeInt, *EbProbeInt, *EvRefInt, *EbRefInt, *ERefN, *EProbeN;
    // special
    QComboBox *ARefAbsSpek, *ARefFlSpek, *AProbeAbsSpek, *AProbeFlSpek;
    QLineEdit *ARefAnrWell, *AProbeAnrWell, *ARefBelZeit, *AProbeBelZeit, *ARefFQ;
    QLineEdit *AvRefInt, *AbRefInt, *AvProbeInt, *AbProbeInt, *ARefN, *AProbeN, *ABandBreite;
    QCheckBox* LampSpekCheckBox;
    QPushButton* LoadButton;
    // 1D-QY
    QComboBox *ORefAbsspek, *OProbeAbsSpek, *OProbeFlSpekAnf, *OProbeFlSpekEnd, *ORefFlSpek;
    QLineEdit *ORefAnrWell, *OProbeBelZeit, *ORefBelZeit, *OREfFQ;
    QLineEdit *OvRefInt, *ObRefInt, *OvProbeInt, *ObProbeInt, *ORefN, *OProbeN, *OBandBreite;
    QCheckBox* LampSpekCheckBox2;
    QPushButton* LoadButton2;

    // Both "load " buttons.
    void LampSpekLaden();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;

private:
    void ShowLampFlag();
    // The values every sheet has (0 normal, 1 special, 2 1D-QY) into p.
    void ReadShared(TQYSettings& p, int sheet);
    void StoreYield(TQYSettings& p, const TQYOutcome& o);
    bool CloseNormal();
    bool CloseSpecial();
    bool Close1D();
};
