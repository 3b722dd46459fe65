#pragma once
// The parameter groups of the quantum-yield dialogs, kept for the whole run in the program's settings:
// the main window presets them (SetDefaultSettings), the stored options fill the quantum-yield group,
// and each dialog shows its group when activated and writes it back on OK.
#include <cstdint>

// Quantum yield and effective absorbance (TFQDial, TEffAbsDia). Spectrum choices are list indices.
struct TQYSettings {
    int32_t SampleAbsIndex = 0;
    int32_t SampleFlIndex = 0;  // the first of the 1D series
    int32_t SeriesLength = 1;   // spectra of the 1D series
    int32_t RefAbsIndex = 0;
    int32_t RefFlIndex = 0;
    int32_t BandWidth = 2;  // nm, full width at half maximum of the excitation band
    double SampleExcitation = 500.0;  // nm
    double RefExcitation = 500.0;
    double SampleFrom = 500.0;  // sample integral, nm
    double SampleTo = 800.0;
    double SampleValue = 0.0;  // working value of the sample side
    double SampleAbsorbance = 0.1;
    double SampleSlit = 1.0;
    double SampleExposure = 10.0;  // s
    double QuantumYield = 0.0;     // the result, a fraction
    double SamplePower = 1.0;      // typed in, or the lamp intensity
    double RefFrom = 510.0;
    double RefTo = 750.0;
    double RefValue = 0.0;
    double RefAbsorbance = 0.1;
    double RefSlit = 1.0;
    double RefExposure = 10.0;
    double RefYield = 0.95;  // a fraction; the edits show and take percent
    double RefPower = 1.0;
    double InnerFilter = 0.0922;     // cm
    double DetectionPath = 0.00625;  // cm
    double RefN = 1.3611;
    double SampleN = 1.4459;
};

// Low-temperature quantum yield (TTiefFQDia). Spectrum choices are list indices.
struct TLTQYSettings {
    int32_t SeriesRTIndex = 0;   // "RT Spectrum": first spectrum of the temperature series
    int32_t SeriesLowIndex = 0;  // "Lowest Temp.:": its last spectrum
    int32_t SampleRTIndex = 0;   // "RT Absorption" of the sample
    int32_t FluorescenceIndex = 0;
    int32_t Reserved = 1;
    int32_t BandWidth = 6;            // nm
    double Excitation = 490.0;        // nm, taken from the fluorescence spectrum
    double From = 510.0;              // integral, nm
    double To = 800.0;
    double Integral = 0.0;            // working values
    double EffAbsorbance = 0.0;
    double QuantumYield = 0.0;
    double RefValueRT = 1.97e8;
    double RefValueLT = 2.6e8;
    double InnerFilterRT = 0.4925;  // cm
    double PathRT = 0.015;          // cm
    double InnerFilterLT = 0.1425;
    double PathLT = 0.015;
    double NSquared = 1.98;
};
