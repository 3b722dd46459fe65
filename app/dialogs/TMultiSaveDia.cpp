#include "app/dialogs/TMultiSaveDia.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <exception>

#include "app/dialogs/radio_group.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "core/file_names.h"
#include "core/spectra_list.h"
#include "platform/ui.h"
#include "tools/batch_export.h"
#include "tools/dialog_support.h"

namespace {

constexpr int kProgressMaximum = 1000;

// Disabled edits show grey text, enabled ones black.
void enableEdit(QLineEdit* e, bool on) {
    e->setEnabled(on);
    e->setStyleSheet(on ? "color: black;" : "color: gray;");
}

}  // namespace

TMultiSaveDia::TMultiSaveDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("MultiSaveDia");
    setWindowTitle("Export spectral data");
    auto* lay = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    SaveType = new TRadioGroup(this, "SaveType", "file type",
                               {"VALDEK Sorvanti  KORVA  (*.spc)", "JCAMP-DX 4.24/5.0  (*.dx)",
                                "Excel compatible ASCII [xy..xy..xy..xy]  (*.csv)"},
                               2);
    SaveOutput = new TRadioGroup(this, "SaveOutput", "export data as: ", {"single file(s)", "multi-file"}, 0);
    SaveLocation = new TRadioGroup(this, "SaveLocation", "file location: ", {"same location(s)", "new location"}, 1);
    top->addWidget(SaveType);
    top->addWidget(SaveOutput);
    top->addWidget(SaveLocation);
    lay->addLayout(top);

    auto* grid = new QGridLayout;
    CheckBoxSpekName = NewCheck(this, "CheckBoxSpekName", "new file name (successive numbering)", false);
    ESpekname = NewEdit(this, "ESpekname", "");
    CheckBoxLegends = NewCheck(this, "CheckBoxLegends", "legends as filename", false);
    EFileLocation = NewEdit(this, "EFileLocation", "");
    auto* browse = NewButton(this, "EFileLocationBrowse", "...");
    grid->addWidget(CheckBoxSpekName, 0, 0);
    grid->addWidget(ESpekname, 0, 1, 1, 2);
    grid->addWidget(CheckBoxLegends, 1, 0);
    grid->addWidget(new QLabel("folder:", this), 2, 0);
    grid->addWidget(EFileLocation, 2, 1);
    grid->addWidget(browse, 2, 2);
    lay->addLayout(grid);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setMinimumSize(640, 220);
    lay->addWidget(Memo1, 1);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, kProgressMaximum);
    ProgressBar1->setVisible(false);
    lay->addWidget(ProgressBar1);

    auto* row = new QHBoxLayout;
    auto* exportButton = NewButton(this, "Button1", "Export!");
    auto* help = NewButton(this, "Button2", " Help");
    auto* close = NewButton(this, "CloseButton", "Close");
    row->addWidget(exportButton);
    row->addStretch(1);
    row->addWidget(help);
    row->addWidget(close);
    lay->addLayout(row);

    connect(exportButton, &QPushButton::clicked, this, &TMultiSaveDia::Button1Click);
    connect(help, &QPushButton::clicked, this, &TMultiSaveDia::Button2Click);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &TMultiSaveDia::ChooseFolder);
    for (QObject* b : SaveLocation->findChildren<QAbstractButton*>())
        connect(static_cast<QAbstractButton*>(b), &QAbstractButton::clicked, this, &TMultiSaveDia::SaveLocationClick);
    for (QObject* b : SaveOutput->findChildren<QAbstractButton*>())
        connect(static_cast<QAbstractButton*>(b), &QAbstractButton::clicked, this, &TMultiSaveDia::SaveOutputClick);
    connect(CheckBoxSpekName, &QCheckBox::clicked, this, &TMultiSaveDia::CheckBoxSpekNameClick);
    connect(EFileLocation, &QLineEdit::textChanged, this, &TMultiSaveDia::EFileLocationChange);
}

void TMultiSaveDia::FormActivate() {
    const TMultiSave& s = ProgramSettings.MultiSaveSettings;
    SaveOutput->SetItemIndex(s.Output);
    SaveLocation->SetItemIndex(s.Location);
    SaveType->SetItemIndex(s.FileType);
    ESpekname->setText(Q(s.BaseName));
    CheckBoxSpekName->setChecked(s.Numbering);
    CheckBoxLegends->setChecked(s.Legends);
    const TProgramSettings& settings = ProgramSettings;
    EFileLocation->setText(Q(settings.SaveFolder.empty() ? settings.OpenFolder : settings.SaveFolder));
    ShowOutputChoice(s.Output == 1);
    SaveLocationClick();
    CheckBoxSpekNameClick();
}

void TMultiSaveDia::SaveLocationClick() { enableEdit(EFileLocation, SaveLocation->ItemIndex() == 1); }

void TMultiSaveDia::EFileLocationChange() { folder_ = S(EFileLocation->text()); }

void TMultiSaveDia::CheckBoxSpekNameClick() { enableEdit(ESpekname, CheckBoxSpekName->isChecked()); }

void TMultiSaveDia::ShowOutputChoice(bool multi) {
    CheckBoxSpekName->setText(multi ? "new multi-file name" : "new file name (successive numbering)");
    CheckBoxLegends->setVisible(!multi);
}

void TMultiSaveDia::SaveOutputClick() {
    const bool multi = SaveOutput->ItemIndex() == 1;
    if (multi) {
        SaveLocation->SetItemIndex(1);
        CheckBoxSpekName->setChecked(true);
        if (ESpekname->text().isEmpty() && !SpectraList.Empty())
            ESpekname->setText(Q(NameWithoutExtension(SpectraList[0].FileName.str())));
        CheckBoxLegends->setChecked(false);
        SaveLocationClick();
        CheckBoxSpekNameClick();
    }
    ShowOutputChoice(multi);
}

void TMultiSaveDia::ChooseFolder() {
    const QString dir = QFileDialog::getExistingDirectory(this, "file location: ", EFileLocation->text());
    if (!dir.isEmpty()) EFileLocation->setText(dir.endsWith('/') ? dir : dir + '/');
}

void TMultiSaveDia::Button1Click() {
    TMultiSave& s = ProgramSettings.MultiSaveSettings;
    s.FileType = SaveType->ItemIndex();
    s.Output = SaveOutput->ItemIndex();
    s.Location = SaveLocation->ItemIndex();
    s.BaseName = S(ESpekname->text());
    s.Numbering = CheckBoxSpekName->isChecked();
    s.Legends = CheckBoxLegends->isChecked();
    if (!folder_.empty()) ProgramSettings.SaveFolder = folder_.back() == '/' ? folder_ : folder_ + "/";
    Memo1->clear();
    TBusyCursor busy;
    struct HideBar {
        QProgressBar* bar;
        ~HideBar() { bar->setVisible(false); }
    } hideBar{ProgressBar1};

    TBatchExportReport report;
    report.Lines = [this](const std::vector<std::string>& lines) {
        for (const std::string& l : lines) Memo1->appendPlainText(Q(l));
        // The report shows while the export runs; the user's input waits.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    report.Progress = [this](int32_t c, int32_t n) {
        if (c < 0 || n <= 0) {
            ProgressBar1->setVisible(false);
            return;
        }
        ProgressBar1->setVisible(true);
        ProgressBar1->setValue(static_cast<int>(std::nearbyint(double(c) * kProgressMaximum / n)));
    };
    try {
        const TBatchExportResult r = SaveSpectraBatch(SpectraList, s, folder_, ProgramSettings.ProgramFolder, report);
        if ((s.Output == 1 || s.Numbering) && ESpekname->text().isEmpty()) ESpekname->setText(Q(r.BaseName));
    } catch (const std::exception& e) {
        ui::messageBox(e.what());
    }
}

void TMultiSaveDia::Button2Click() {
    OpenDialogHelp(ProgramSettings.ProgramFolder, "html\\varolux_man_dat_en.html#batchexport");
}
