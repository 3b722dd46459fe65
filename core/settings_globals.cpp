#include "core/settings_globals.h"

#include "core/quantum_yield_settings.h"

std::string ProgramFolder;
std::string OpenFolder;
std::string SaveFolder;
std::string LampFolder;
std::string CorrectionFolder;

int32_t AsciiXStepChoice = 1;
uint8_t CurveAppearanceRestore = 0;
TGnuplotSettings GnuplotSettings;
TMultiSave MultiSaveSettings;
TPeakLabelSettings PeakLabelSettings;

TExcitationSpectraSettings ExcitationSpectraSettings;
TCutOutSettings CutOutSettings;
TSpikeSettings SpikeSettings;
TYConstSettings YConstSettings;
TDerivativeSettings DerivativeSettings;
TRamanShiftSettings RamanShiftSettings;
TScatterDialogSettings ScatterDialogSettings;
TAdvSmoothSettings AdvSmoothSettings;
TAdvBaselineSettings AdvBaselineSettings;
TFilmThicknessSettings FilmThicknessSettings;
TQYSettings QYSettings;
TLTQYSettings LTQYSettings;

void SetDefaultSettings(const std::string& programFolder) {
    ProgramFolder = programFolder;
    SaveFolder = programFolder;
    LampFolder = programFolder;
    CorrectionFolder = programFolder;
    OpenFolder.clear();
    AsciiXStepChoice = 1;
    CurveAppearanceRestore = 0;

    GnuplotSettings = TGnuplotSettings{};
    MultiSaveSettings = TMultiSave{};
    PeakLabelSettings = TPeakLabelSettings{};

    ExcitationSpectraSettings = TExcitationSpectraSettings{};
    CutOutSettings = TCutOutSettings{};
    SpikeSettings = TSpikeSettings{};
    YConstSettings = TYConstSettings{};
    DerivativeSettings = TDerivativeSettings{};
    RamanShiftSettings = TRamanShiftSettings{};
    ScatterDialogSettings = TScatterDialogSettings{};
    AdvSmoothSettings = TAdvSmoothSettings{};
    AdvBaselineSettings = TAdvBaselineSettings{};
    FilmThicknessSettings = TFilmThicknessSettings{};
    QYSettings = TQYSettings{};
    LTQYSettings = TLTQYSettings{};
}
