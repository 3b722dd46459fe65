#include "app/dialogs/TSubtractEEMDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/aux_curves.h"
#include "app/dialogs/raman_solvent_combo.h"
#include "app/program_state.h"
#include "core/spectra_list.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tools/blank_eem.h"

using numtext::FloatFormat;

TSubtractEEMDia::TSubtractEEMDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("SubtractEEMDia");
    setWindowTitle("Subtract Blank EEM datafile");
    auto* lay = new QVBoxLayout(this);
    LEXStart = NewLabel(this, "LEXStart");
    LEXEnd = NewLabel(this, "LEXEnd");
    LEXStep = NewLabel(this, "LEXStep");
    LEMStart = NewLabel(this, "LEMStart");
    LEMEnd = NewLabel(this, "LEMEnd");
    LEMStep = NewLabel(this, "LEMStep");
    Lspecnumber = NewLabel(this, "Lspecnumber");
    LFilename = NewLabel(this, "LFilename");
    LFilename->setText(kNoBlankLoadedText);
    auto* form = new QFormLayout;
    form->addRow("EX start [nm]:", LEXStart);
    form->addRow("EX end [nm]:", LEXEnd);
    form->addRow("EX step [nm]:", LEXStep);
    form->addRow("EM start:", LEMStart);
    form->addRow("EM end:", LEMEnd);
    form->addRow("EM step:", LEMStep);
    form->addRow("number of spectra:", Lspecnumber);
    lay->addLayout(form);
    Button2 = NewButton(this, "Button2", "Load Blank dataset...");
    lay->addWidget(Button2);
    lay->addWidget(LFilename);
    CLegendadd = NewCheck(this, "CLegendadd", "append \"blank subtracted\" to legends", true);
    CheckBox1 = NewCheck(this, "CheckBox1", "normalize blank to Raman bands", false);
    CRamanSolvent = NewCombo(this, "CRamanSolvent");
    lay->addWidget(CLegendadd);
    lay->addWidget(CheckBox1);
    lay->addWidget(CRamanSolvent);
    // Shown as the data set's dialog has them; the subtraction itself does not scale the blank.
    CheckBox1->setEnabled(false);
    CRamanSolvent->setEnabled(false);
    AddButtonRow(lay, "html\\varolux_man_2d_en.html#blank_subtract");
    connect(Button2, &QPushButton::clicked, this, &TSubtractEEMDia::Button2Click);
}

QPushButton* TSubtractEEMDia::okButton() const { return findChild<QPushButton*>("OKBtn"); }

void TSubtractEEMDia::FormActivate() {
    dataCount_ = SpectraList.Count();
    const TEEMDescription d = DescribeEEM(SpectraList, 0, dataCount_);
    LEXStart->setText(Q(numtext::IntToStr(d.ExStart)));
    LEXEnd->setText(Q(numtext::IntToStr(d.ExEnd)));
    LEXStep->setText(Q(numtext::IntToStr(d.ExStep)));
    LEMStart->setText(Q(numtext::FloatToStrF(d.EmStart, FloatFormat::General, 4, 1)));
    LEMEnd->setText(Q(numtext::FloatToStrF(d.EmEnd, FloatFormat::General, 4, 1)));
    LEMStep->setText(Q(numtext::FloatToStrF(d.EmStep, FloatFormat::Fixed, 15, 2)));
    Lspecnumber->setText(Q(numtext::IntToStr(d.Count)));
    LFilename->setText(kNoBlankLoadedText);
    const bool eem = IsEEMData(d);
    okButton()->setEnabled(eem);
    Button2->setEnabled(eem);
    FillRamanSolventCombo(CRamanSolvent, ProgramSettings.ScatterDialogSettings.Solvent);
    CRamanSolvent->setEnabled(false);
    if (!eem) ui::messageBox(kNotEEMText);
}

void TSubtractEEMDia::Button2Click() {
    const std::string name = OpenCurveFileDialog(this, "Load Blank dataset", ProgramSettings.OpenFolder, kBlankFilter);
    LFilename->setText(kNoBlankLoadedText);
    const BlankLoad r = LoadBlankDataset(SpectraList, dataCount_, name);
    okButton()->setEnabled(r != BlankLoad::DoesNotFit);
    if (r == BlankLoad::Fits) LFilename->setText(Q("Filename: " + name));
}

bool TSubtractEEMDia::FormCloseOk() {
    SubtractBlankEEM(SpectraList, dataCount_, CLegendadd->isChecked());
    return true;
}

void TSubtractEEMDia::done(int result) {
    if (result != QDialog::Accepted) RemoveBlank(SpectraList, dataCount_);
    TToolDialog::done(result);
}
