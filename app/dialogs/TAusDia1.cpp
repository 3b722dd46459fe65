#include "app/dialogs/TAusDia1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/program_state.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "tools/cut_out.h"

TAusDia1::TAusDia1(QWidget* parent) : TToolDialog(parent) {
    setObjectName("AusDia1");
    setWindowTitle("Cut off a Part of the Spectrum");
    auto* lay = new QVBoxLayout(this);
    Spekbox = NewCombo(this, "Spekbox");
    Evon = NewEdit(this, "Evon", "");
    Ebis = NewEdit(this, "Ebis", "");
    EinheitVon = new QLabel("nm", this);
    EinheitVon->setObjectName("EinheitVon");
    EinheitBis = new QLabel("nm", this);
    EinheitBis->setObjectName("EinheitBis");
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Spectrum:", this), 0, 0);
    grid->addWidget(Spekbox, 0, 1, 1, 2);
    grid->addWidget(new QLabel("from", this), 1, 0);
    grid->addWidget(Evon, 1, 1);
    grid->addWidget(EinheitVon, 1, 2);
    grid->addWidget(new QLabel("to", this), 2, 0);
    grid->addWidget(Ebis, 2, 1);
    grid->addWidget(EinheitBis, 2, 2);
    lay->addLayout(grid);
    ausschn_zusatz = NewCheck(this, "ausschn_zusatz", "add \"Part of:\" to the legend title", false);
    orig_loesch = NewCheck(this, "orig_loesch", "remove original(s)", true);
    CheckBox1 = NewCheck(this, "CheckBox1", "all spectra of a type", false);
    ComboBox1 = NewCombo(this, "ComboBox1");
    for (const auto& t : CutOutTypeTags()) ComboBox1->addItem(Q(t));
    AddWidgets(lay, {ausschn_zusatz, orig_loesch, CheckBox1, ComboBox1});
    AddButtonRow(lay, "html\\varolux_man_spek_en.html#schneid");
    connect(CheckBox1, &QCheckBox::clicked, this, &TAusDia1::CheckBox1Click);
}

void TAusDia1::CheckBox1Click() {
    SetTypeChoice({Spekbox}, ComboBox1, CheckBox1->isChecked());
}

void TAusDia1::FormActivate() {
    FillSpectrumCombo(Spekbox, 0);
    const char* unit = CutOutUnitLabel(DisplayXUnit);
    EinheitVon->setText(QString::fromUtf8(unit));
    EinheitBis->setText(QString::fromUtf8(unit));
    TCutOutParams p;
    p.FromNm = ProgramSettings.CutOutSettings.From;
    p.ToNm = ProgramSettings.CutOutSettings.To;
    auto [from, to] = CutOutShownLimits(p, DisplayXUnit);
    Evon->setText(Q(numtext::FloatToStrF(from, numtext::FloatFormat::General, 7, 0)));
    Ebis->setText(Q(numtext::FloatToStrF(to, numtext::FloatFormat::General, 7, 0)));
    ausschn_zusatz->setChecked(ProgramSettings.CutOutSettings.PrefixTitle);
    orig_loesch->setChecked(ProgramSettings.CutOutSettings.RemoveOriginal);
    CheckBox1Click();
}

bool TAusDia1::FormCloseOk() {
    const double from = EditFloat(Evon);
    const double to = EditFloat(Ebis);
    TCutOutParams p;
    p.FromNm = ProgramSettings.CutOutSettings.From;
    p.ToNm = ProgramSettings.CutOutSettings.To;
    p.PrefixTitle = ausschn_zusatz->isChecked();
    p.RemoveOriginal = orig_loesch->isChecked();
    p.Spectrum = Spekbox->currentIndex();
    p.ByType = CheckBox1->isChecked();
    p.Tag = S(ComboBox1->currentText());
    if (!RunCutOut(SpectraList, CurrentDisplayState(), p, from, to)) return false;  // limits refused: corrected in the open dialog
    ProgramSettings.CutOutSettings.From = p.FromNm;
    ProgramSettings.CutOutSettings.To = p.ToNm;
    ProgramSettings.CutOutSettings.PrefixTitle = p.PrefixTitle;
    ProgramSettings.CutOutSettings.RemoveOriginal = p.RemoveOriginal;
    return true;
}
