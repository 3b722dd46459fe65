#include "app/dialogs/TGnuDia.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/dialogs/radio_group.h"
#include "app/program_state.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "tools/gnuplot_export.h"

TGnuDia::TGnuDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("GnuDia");
    setWindowTitle("Gnuplot Options");
    auto* lay = new QVBoxLayout(this);
    Titelbox = NewEdit(this, "Titelbox", "???");
    auto* form = new QFormLayout;
    form->addRow("Plot Titel:", Titelbox);
    lay->addLayout(form);
    auto* grid = new QGridLayout;
    XAchsenBeschriftung = new TRadioGroup(this, "XAchsenBeschriftung", "X-Axis Title",
                                          {kGnuXTitles[0], kGnuXTitles[1]}, 0);
    YAchsenBeschriftung = new TRadioGroup(this, "YAchsenBeschriftung", "Y-Axis Title",
                                          {kGnuYTitles[0], kGnuYTitles[1], kGnuYTitles[2], kGnuYTitles[3]}, 0);
    Legendebox = new TRadioGroup(this, "Legendebox", "Legend Box",
                                 {"left top", "left bottom", "right top", "right bottom"}, 0);
    PSOutput = new TRadioGroup(this, "PSOutput", "PostScript Output", {"black&&white", "coloured"}, 0);
    grid->addWidget(XAchsenBeschriftung, 0, 0);
    grid->addWidget(YAchsenBeschriftung, 0, 1);
    grid->addWidget(Legendebox, 1, 0);
    grid->addWidget(PSOutput, 1, 1);
    lay->addLayout(grid);
    auto* commands = new QGroupBox("Additional Commands", this);
    commands->setObjectName("GroupBox1");
    auto* cl = new QVBoxLayout(commands);
    BefehlCheckBox1 = NewCheck(commands, "BefehlCheckBox1", "activated", false);
    Befehlliste = new QPlainTextEdit(commands);
    Befehlliste->setObjectName("Befehlliste");
    Befehlliste->setMinimumHeight(80);
    cl->addWidget(BefehlCheckBox1);
    cl->addWidget(Befehlliste);
    lay->addWidget(commands);
    AddButtonRow(lay, "html\\varolux_man_dat_en.html#gnu");
    connect(BefehlCheckBox1, &QCheckBox::clicked, this, &TGnuDia::BefehlCheckBox1Click);
}

void TGnuDia::BefehlCheckBox1Click() {
    const bool on = BefehlCheckBox1->isChecked();
    ProgramSettings.GnuplotSettings.CommandsOn = on;
    Befehlliste->setEnabled(on);
    // The window colour while active, grey otherwise.
    Befehlliste->setStyleSheet(on ? QString() : "background-color: #C0C0C0;");
}

void TGnuDia::FormActivate() {
    const TGnuplotSettings& s = ProgramSettings.GnuplotSettings;
    Titelbox->setText(Q(s.Title));
    const TGnuDialogPreset p = GnuplotDialogPreset(SpectraList, CurrentDisplayState());
    XAchsenBeschriftung->SetItemIndex(p.XTitleItem);
    if (p.YTitleItem >= 0) YAchsenBeschriftung->SetItemIndex(p.YTitleItem);
    ProgramSettings.GnuplotSettings.RawCurves = p.RawCurves;
    Legendebox->SetItemIndex(s.LegendPosition);
    PSOutput->SetItemIndex(s.PostScriptOutput ? 1 : 0);
    QStringList lines;
    for (const std::string& l : s.CommandLines) lines << Q(l);
    Befehlliste->setPlainText(lines.join('\n'));
    BefehlCheckBox1->setChecked(s.CommandsOn);
    BefehlCheckBox1Click();
}

bool TGnuDia::FormCloseOk() {
    TGnuplotSettings& s = ProgramSettings.GnuplotSettings;
    s.Title = S(Titelbox->text());
    s.XLabel = kGnuXTitles[XAchsenBeschriftung->ItemIndex() == 1 ? 1 : 0];
    const int y = YAchsenBeschriftung->ItemIndex();
    s.YLabel = kGnuYTitles[y >= 0 && y <= 3 ? y : 0];
    s.LegendPosition = Legendebox->ItemIndex();
    s.CommandLines.clear();
    for (const QString& l : Befehlliste->toPlainText().split('\n')) s.CommandLines.push_back(S(l));
    while (!s.CommandLines.empty() && s.CommandLines.back().empty()) s.CommandLines.pop_back();
    s.PostScriptOutput = PSOutput->ItemIndex() != 0;
    return ExportGnuplot(SpectraList, CurrentDisplayState(), s, Plot, ProgramSettings.ProgramFolder);
}
