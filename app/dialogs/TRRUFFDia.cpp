#include "app/dialogs/TRRUFFDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/file_filters.h"
#include "app/program_state.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"
#include "tools/rruff_export.h"

namespace {

constexpr const char* kFilter = "RRUFF Mineral Database (*.rruff)|*.rruff";

}  // namespace

TRRUFFDia::TRRUFFDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("RRUFFDia");
    setWindowTitle("Choose spectrum to save as RRUFF file");
    auto* lay = new QVBoxLayout(this);
    SpekBox = NewCombo(this, "SpekBox");
    SpekBox->setMinimumWidth(320);
    lay->addWidget(SpekBox);
    auto* form = new QFormLayout;
    EName = NewEdit(this, "EName", "");
    ELocality = NewEdit(this, "ELocality", "");
    ESample = NewEdit(this, "ESample", "");
    ESample->setMaxLength(7);
    ESample->setToolTip("exactly 7 characters");
    EChemistry = NewEdit(this, "EChemistry", "");
    form->addRow("Name.......", EName);
    form->addRow("Locality....", ELocality);
    form->addRow("Sample-ID", ESample);
    form->addRow("Chemistry", EChemistry);
    lay->addLayout(form);
    CCopyValues = NewCheck(this, "CCopyValues", "values from input file", true);
    lay->addWidget(CCopyValues);
    TTextfeld = new QLabel(this);
    TTextfeld->setObjectName("TTextfeld");
    lay->addWidget(TTextfeld);

    auto* row = new QHBoxLayout;
    auto* save = new QPushButton("Save...", this);
    save->setObjectName("SaveButton");
    save->setDefault(true);
    auto* close = NewButton(this, "CloseButton", "Close");
    auto* help = NewButton(this, "Help", "Help");
    row->addStretch(1);
    row->addWidget(save);
    row->addWidget(close);
    row->addWidget(help);
    lay->addLayout(row);

    connect(save, &QPushButton::clicked, this, &TRRUFFDia::SaveButtonClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &TRRUFFDia::HelpClick);
    connect(CCopyValues, &QCheckBox::clicked, this, &TRRUFFDia::Update_Fields);
    connect(SpekBox, &QComboBox::currentIndexChanged, this, &TRRUFFDia::Update_Fields);
}

void TRRUFFDia::FormActivate() {
    TTextfeld->clear();
    FillSpectrumCombo(SpekBox, 0);
    PresetFields();
}

void TRRUFFDia::Update_Fields() { PresetFields(); }

void TRRUFFDia::PresetFields() {
    const TSpectrumRecord* rec = SpectraList.Get(SpekBox->currentIndex());
    if (!rec) return;
    TRruffHeader f{S(EName->text()), S(ELocality->text()), S(ESample->text()), S(EChemistry->text())};
    std::string status = S(TTextfeld->text());
    ::PresetFields(*rec, CCopyValues->isChecked(), f, status);
    EName->setText(Q(f.Name));
    ELocality->setText(Q(f.Locality));
    ESample->setText(Q(f.Sample));
    EChemistry->setText(Q(f.Chemistry));
    TTextfeld->setText(Q(status));
}

void TRRUFFDia::SaveButtonClick() {
    const int index = SpekBox->currentIndex();
    const TSpectrumRecord* rec = SpectraList.Get(index);
    if (!rec) return;
    if (rec->XUnit != SpecXRamanShift &&
        ui::messageBox(kRruffNotRamanText, "Confirm", ui::Buttons::YesNo, ui::Icon::Question) != ui::Answer::Yes)
        return;
    // The overwrite question comes after the extension is forced.
    const std::string name = ChooseFile(this, {.Mode = TFileDialogSpec::TMode::Save,
                                               .ObjectName = "SaveRRUFF",
                                               .Title = "Save as RRUFF file",
                                               .Start = Q(ProgramSettings.SaveFolder),
                                               .Filters = QtNameFilters(kFilter)});
    if (name.empty()) return;
    ProgramSettings.SaveFolder = FolderOf(name);
    if (!ConfirmReplaceFile(ChangeFileExt(name, ".rruff"))) return;
    const TRruffHeader f{S(EName->text()), S(ELocality->text()), S(ESample->text()), S(EChemistry->text())};
    try {
        SaveRruffExport(SpectraList, CurrentDisplayState(), index, name, f);
    } catch (const std::exception& e) {
        ui::messageBox(e.what());
        return;
    }
    accept();
}

void TRRUFFDia::HelpClick() {
    OpenDialogHelp(ProgramSettings.ProgramFolder, "html\\varolux_man_dat_en.html#saverruff");
}
