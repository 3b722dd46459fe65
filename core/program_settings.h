#pragma once
// The groups of the program's settings: the peak-label and gnuplot settings, the batch export's and
// the parameter group of every processing dialog. The program holds one of each (app/program_state.h),
// presets them when the main window is created, before the stored options are applied; each dialog
// shows its group when activated and writes it back on OK. The routines below app/ are given the
// group they use.
#include <cstdint>
#include <string>
#include <vector>

#include "core/unit_codes.h"

// The gnuplot export's settings, as the gnuplot dialog edits them.
struct TGnuplotSettings {
    std::string FileName;  // the .plt file chosen by Save for GnuPlot
    std::string Title;
    std::string XLabel;  // the chosen axis title texts
    std::string YLabel;
    int32_t LegendPosition = 0;     // 0 left top, 1 left bottom, 2 right top, 3 right bottom
    bool RawCurves = false;         // some spectrum is of kind 7 (plotted through pol(x))
    bool PostScriptOutput = false;  // coloured PostScript
    bool CommandsOn = false;        // the additional command lines are written
    std::vector<std::string> CommandLines;
};

// The batch export's settings (TMultiSaveDia), written back when Export! is pressed.
struct TMultiSave {
    int32_t FileType = 2;  // 0 SPC, 1 JCAMP-DX, 2 CSV
    int32_t Output = 0;    // 0 single file(s), 1 multi-file
    int32_t Location = 1;  // 0 same location(s), 1 new location
    std::string BaseName;
    bool Numbering = false;  // new file name (successive numbering)
    bool Legends = false;    // legends as filename
};

struct TPeakLabelSettings {
    int32_t Mode = 0;  // 0 x and y, 1 x only, 2 y only
    double Threshold = 5;
    int32_t XDigits = 4;
    int32_t YDigits = 4;
    int32_t Prominence = 3;
    int32_t Angle = 90;
    int32_t SelectedSpectrum = -1;  // 0-based list index, -1 none
    bool AllSpectra = true;
};

// Parameter groups of the processing dialogs, fields in the order the dialogs keep them.
struct TExcitationSpectraSettings {  // TErregSpekDia
    int32_t DetectionFrom = 500;
    int32_t DetectionTo = 750;
    int32_t DetectionStep = 5;
    bool RemoveFluorescenceSpectra = true;
};
struct TCutOutSettings {  // TAusDia1; from and to in nm, -1 = not set
    double From = -1.0;
    double To = -1.0;
    bool PrefixTitle = false;
    bool RemoveOriginal = true;
};
struct TSpikeSettings {  // TSpikeDia
    bool RemoveOriginal = true;
    bool TreatAll = true;
    bool Backward = false;
    bool AppendToTitle = false;
    double Threshold = 5.6;
};
struct TYConstSettings {  // TSimpleDia
    int32_t Operation = 2;  // 0 +, 1 -, 2 ×, 3 ÷
    std::string Constant = "1";
    bool RemoveOriginal = false;
    bool AppendToTitle = true;
};
struct TDerivativeSettings {  // TAbleitDia
    bool RemoveOriginal = false;
    bool AllSpectra = false;
    bool SmoothFirst = true;
    int32_t Order = 1;
};
struct TRamanShiftSettings {  // TRamanShiftDia
    bool RemoveOriginal = true;
    bool AllSpectra = true;
    int32_t CutOff = 150;
    double LaserWavelength = 785.0;
};
struct TScatterDialogSettings {  // TRemoveStrayDia, also read by TSubtractEEMDia
    bool RemoveOriginal = true;
    bool AllSpectra = true;
    bool Rayleigh1 = false;
    bool Rayleigh2 = false;
    bool Raman = false;
    double BandWidth = 10.0;
    int32_t FillMode = 2;  // 0 zeroes, 1 straight line, 2 interpolated curve
    int32_t RamanShift = 3378;
    std::string Solvent = "Water";
};
struct TAdvSmoothSettings {  // TAdvSmoothDia
    bool RemoveOriginal = false;
    bool AllSpectra = false;
    int32_t MovingAverageSize = 4;
    int32_t SavitzkySize = 10;
    int32_t PercentileSize = 6;
    int32_t MovingAverageShape = 0;
    int32_t SavitzkyOrder = 3;
    int32_t Percentile = 50;
    int32_t Mode = 1;  // 0 moving average, 1 Savitzky-Golay, 2 percentile
};
struct TAdvBaselineSettings {  // TAdvBaselineDia
    bool RemoveOriginal = false;
    bool AllSpectra = false;
    bool KeepLegend = true;
    bool CreateBaselineSpectrum = false;
    int32_t Method = 0;  // tab: 0 linear, 1 adaptive, 2 scattering solution
    int32_t LinearSlope = 0;
    int32_t LinearOffset = 0;
    int32_t AdaptiveCoarseness = 30;
    int32_t AdaptiveOffset = 0;
    int32_t ScatteringOffset = 0;
    int32_t ScatteringSpread = -5;
    int32_t ScatteringPower = 2;  // 2..4
};
struct TFilmThicknessSettings {  // TSchichtdickeDia
    double RefractiveIndex = 1.4914;
    double IncidenceAngle = 0.0;
    int32_t RangeStart = -1;
    int32_t RangeEnd = -1;
    SpecXUnit LastDisplayUnit = SpecXNanometer;
};
