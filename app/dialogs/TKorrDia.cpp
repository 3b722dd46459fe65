#include "app/dialogs/TKorrDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

#include "app/aux_curves.h"
#include "app/program_state.h"
#include "core/file_names.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/ui.h"
#include "tools/emission_correction.h"

TKorrDia::TKorrDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("KorrDia");
    setWindowTitle("Correction of emission/detector sensitivity");
    auto* lay = new QVBoxLayout(this);
    OriginalSpektren = NewCombo(this, "OriginalSpektren");
    auto* form = new QFormLayout;
    form->addRow("Correction of:", OriginalSpektren);
    lay->addLayout(form);
    OriginalLoeschen = NewCheck(this, "OriginalLoeschen", "remove original spectrum", false);
    AlleKorrigieren = NewCheck(this, "AlleKorrigieren", "correct all spectra", false);
    lay->addWidget(OriginalLoeschen);
    lay->addWidget(AlleKorrigieren);
    LoadButton = NewButton(this, "LoadButton", "Load Correction Curve");
    LoadMessage = NewLabel(this, "LoadMessage");
    lay->addWidget(LoadButton);
    lay->addWidget(LoadMessage);
    AddButtonRow(lay, "html\\varolux_man_2d_en.html");
    connect(LoadButton, &QPushButton::clicked, this, &TKorrDia::KorrLaden);
    connect(AlleKorrigieren, &QCheckBox::clicked, this, &TKorrDia::AlleKorrigierenClick);
}

void TKorrDia::showCurve() {
    LoadMessage->setText(CorrectionCurve.Loaded() ? Q(std::string(kCorrectionBy) + "\r\n" + CorrectionCurve.FileName)
                                                  : QString(kNoCorrectionCurveLoaded));
}

void TKorrDia::KorrLaden() {
    const std::string name =
        OpenCurveFileDialog(this, kCorrectionDialogTitle, ProgramSettings.CorrectionFolder, kCorrectionFilter);
    if (name.empty()) {
        CorrectionCurve.Free();
    } else {
        try {
            LoadAuxCurve(CorrectionCurve, name);
            ProgramSettings.CorrectionFolder = FolderOf(name);
        } catch (const std::exception& e) {
            ui::messageBox(e.what());
        }
    }
    showCurve();
}

void TKorrDia::AlleKorrigierenClick() {
    OriginalLoeschen->setChecked(AlleKorrigieren->isChecked());
    SetGreyed(OriginalSpektren, AlleKorrigieren->isChecked());
}

void TKorrDia::FormActivate() {
    showCurve();
    FillSpectrumCombo(OriginalSpektren, 0);
    OriginalLoeschen->setChecked(false);
    AlleKorrigieren->setChecked(false);
    SetGreyed(OriginalSpektren, false);
    Corrected = false;
}

bool TKorrDia::FormCloseOk() {
    TKorrParams p;
    p.Spectrum = OriginalSpektren->currentIndex();
    p.AllSpectra = AlleKorrigieren->isChecked();
    p.RemoveOriginal = OriginalLoeschen->isChecked();
    Corrected = RunEmissionCorrection(SpectraList, CurrentDisplayState(), CorrectionCurve.Record.get(), p) > 0;
    return true;
}
