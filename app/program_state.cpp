#include "app/program_state.h"

TSpectraList SpectraList;

SpecXUnit DisplayXUnit = SpecXNanometer;
SpecYKind DisplayYMode = SpecYAbsorbance;

uint8_t ShowXTitle = 1;
uint8_t CustomXTitleOn = 0;
std::string CustomXTitle;
uint8_t ShowYTitle = 1;
uint8_t CustomYTitleOn = 0;
std::string CustomYTitle;

TGaussModelParams GaussModelParams = GaussDefaultParams();

TProgramSettings ProgramSettings;

void SetDefaultSettings(const std::string& programFolder) {
    TProgramSettings& s = ProgramSettings;
    s.ProgramFolder = programFolder;
    s.SaveFolder = programFolder;
    s.LampFolder = programFolder;
    s.CorrectionFolder = programFolder;
    s.OpenFolder.clear();
    s.AsciiXStepChoice = 1;
    s.CurveAppearanceRestore = 0;

    s.GnuplotSettings = TGnuplotSettings{};
    s.MultiSaveSettings = TMultiSave{};
    s.PeakLabelSettings = TPeakLabelSettings{};

    s.ExcitationSpectraSettings = TExcitationSpectraSettings{};
    s.CutOutSettings = TCutOutSettings{};
    s.SpikeSettings = TSpikeSettings{};
    s.YConstSettings = TYConstSettings{};
    s.DerivativeSettings = TDerivativeSettings{};
    s.RamanShiftSettings = TRamanShiftSettings{};
    s.ScatterDialogSettings = TScatterDialogSettings{};
    s.AdvSmoothSettings = TAdvSmoothSettings{};
    s.AdvBaselineSettings = TAdvBaselineSettings{};
    s.FilmThicknessSettings = TFilmThicknessSettings{};
    s.QYSettings = TQYSettings{};
    s.LTQYSettings = TLTQYSettings{};
}

void SetDisplayState(const TDisplayState& display) {
    DisplayXUnit = display.DisplayXUnit;
    DisplayYMode = display.DisplayYMode;
}

void SetDefaultDisplay() {
    SetDisplayState(TDisplayState{});
    ShowXTitle = 1;
    ShowYTitle = 1;
    CustomXTitleOn = 0;
    CustomYTitleOn = 0;
    CustomXTitle.clear();
    CustomYTitle.clear();
}
