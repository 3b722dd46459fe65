#include "app/dialogs/TCalcKonzDia.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_ui_backend.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "tools/concentration.h"

TCalcKonzDia::TCalcKonzDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("CalcKonzDia");
    setWindowTitle("Calculation of Concentration");
    auto* lay = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    Cs1 = NewCombo(this, "Cs1");
    Cext = NewEdit(this, "Cext", "0");
    Clamba = NewEdit(this, "Clamba", "0");
    Cschicht = NewEdit(this, "Cschicht", "1");
    Ckonz = NewEdit(this, "Ckonz", "0");
    Ckonz->setReadOnly(true);
    int row = 0;
    auto add = [&](const char* caption, QWidget* w, const char* unit) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(w, row, 1);
        if (unit) grid->addWidget(new QLabel(unit, this), row, 2);
        ++row;
    };
    add("Spectrum: ", Cs1, nullptr);
    add("Molar Absorption Coefficient:", Cext, "l/(mol*cm)");
    add("at wavelength:", Clamba, "nm");
    add("Absorption Path Length:", Cschicht, "cm");
    add("Concentration:", Ckonz, "mol/l");
    lay->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    BRechenen = NewButton(this, "BRechenen", "Calculate");
    BPeak = NewButton(this, "BPeak", "Insert Peak");
    buttons->addWidget(BRechenen);
    buttons->addWidget(BPeak);
    lay->addLayout(buttons);
    AddButtonRow(lay, "html\\varolux_man_rech_en.html#konz");

    connect(Cs1, &QComboBox::currentIndexChanged, this, [this] { RunGuarded([this] { ShowSpecValues(); }); });
    connect(BRechenen, &QPushButton::clicked, this, [this] { RunGuarded([this] { BRechenenClick(); }); });
    connect(BPeak, &QPushButton::clicked, this, [this] { RunGuarded([this] { BPeakClick(); }); });
}

void TCalcKonzDia::FormActivate() {
    const QSignalBlocker block(Cs1);
    FillSpectrumCombo(Cs1, 0);
    ShowSpecValues();
}

void TCalcKonzDia::ShowSpecValues() {
    const TSpectrumRecord* rec = SpectraList.Get(Cs1->currentIndex());
    if (!rec) return;
    const TConcentrationTexts t = ConcentrationTextsOf(*rec);
    Cext->setText(Q(t.Cext));
    Clamba->setText(Q(t.Clamba));
    Ckonz->setText(Q(t.Ckonz));
    Cschicht->setText(Q(t.Cschicht));
}

void TCalcKonzDia::BRechenenClick() {
    TConcentrationTexts t{S(Cext->text()), S(Clamba->text()), S(Ckonz->text()), S(Cschicht->text())};
    const TEditWriteBack backExt(Cext, t.Cext), backLamba(Clamba, t.Clamba), backSchicht(Cschicht, t.Cschicht),
        backKonz(Ckonz, t.Ckonz);
    CalculateConcentration(SpectraList, CurrentDisplayState(), Cs1->currentIndex(), t);
}

void TCalcKonzDia::BPeakClick() {
    if (auto x = InsertPeakText(SpectraList, CurrentDisplayState(), Cs1->currentIndex())) Clamba->setText(Q(*x));
}
