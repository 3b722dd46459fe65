#include "app/dialogs/TVerrechDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

#include "core/units.h"
#include "tools/verrech.h"

TVerrechDia::TVerrechDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("VerrechDia");
    auto* lay = new QVBoxLayout(this);
    Cs1 = NewCombo(this, "Cs1");
    Cs2 = NewCombo(this, "Cs2");
    rechenart = new QLabel(this);
    rechenart->setObjectName("rechenart");
    rechenart->setAlignment(Qt::AlignCenter);
    alleSpektren = NewCheck(this, "alleSpektren", "all spectra", false);
    LegendeBleibt = NewCheck(this, "LegendeBleibt", "keep legend text", false);
    AddWidgets(lay, {Cs1, rechenart, Cs2, alleSpektren, LegendeBleibt});
    AddButtonRow(lay, "html\\varolux_man_rech_en.html#add");
    connect(alleSpektren, &QCheckBox::clicked, this, &TVerrechDia::alleSpektrenClick);
    SetOperation(0);
    setMinimumWidth(360);
}

void TVerrechDia::SetOperation(int code) {
    if (code < 0 || code > 3) code = 0;
    operation_ = code;
    setWindowTitle(kVerrechCaptions[code]);
    rechenart->setText(kVerrechOperators[code]);
}

void TVerrechDia::alleSpektrenClick() { SetGreyed(Cs1, alleSpektren->isChecked()); }

void TVerrechDia::FormActivate() {
    FillSpectrumCombo(Cs1, 0);
    FillSpectrumCombo(Cs2, 0);
    alleSpektrenClick();
}

bool TVerrechDia::FormCloseOk() {
    TVerrechParams p;
    p.First = Cs1->currentIndex();
    p.Second = Cs2->currentIndex();
    p.AllSpectra = alleSpektren->isChecked();
    p.KeepLegend = LegendeBleibt->isChecked();
    p.Operation = operation_;
    RunSpectrumArithmetic(SpectraList, CurrentDisplayState(), p);
    return true;
}
