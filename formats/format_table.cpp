#include "formats/format_table.h"

#include "core/helpers.h"
#include "formats/ascii_reader.h"
#include "formats/dat_reader.h"
#include "formats/jcamp_reader.h"
#include "formats/rvx.h"
#include "formats/spc_reader.h"
#include "formats/text_spectra.h"

const std::vector<FormatEntry>& FormatTable() {
    static const std::vector<FormatEntry> table = {
        {1, {"RVX"}, nullptr, &LoadRvxFile},
        {2, {"ASC"}, nullptr, nullptr},
        {7, {"DX", "JDX"}, nullptr, LoadSpecJcamp},
        {8, {"SPK"}, nullptr, nullptr},
        {10, {"PRN"}, nullptr, nullptr},
        {11, {"FAK"}, &LoadSpecAsciiFromOpen, nullptr},
        {14, {"SP"}, nullptr, nullptr},
        {15, {"CSV"}, nullptr, LoadTextSpectraFile},
        {16, {"GGG"}, nullptr, nullptr},
        {18, {"DAT"}, nullptr, LoadDatFile},
        {19, {"SPC"}, nullptr, LoadSpecSpc},
        {20, {"TRT", "TAT", "TTT", "TIT"}, nullptr, nullptr},
        {21, {"SPE"}, nullptr, nullptr},
        {22, {"SCN"}, nullptr, nullptr},
        {23, {"RRUFF"}, nullptr, nullptr},
        {24, {"WLS"}, nullptr, nullptr},
        {25, {"JWS"}, nullptr, nullptr},
        {26, {"PROCSPEC"}, nullptr, nullptr},
        {27, {"DSP"}, nullptr, nullptr},
        {28, {"ABS", "TRM", "SSM", "IRR", "LIB"}, nullptr, nullptr},
    };
    return table;
}

int FormatCodeOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return 0;
    std::string ext = UpperAscii(path.substr(dot + 1));
    for (const auto& e : FormatTable())
        for (const auto& x : e.extensions)
            if (x == ext) return e.code;
    return 0;
}

const FormatEntry* FormatEntryOf(int code) {
    for (const auto& e : FormatTable())
        if (e.code == code) return &e;
    return nullptr;
}

const std::vector<FilterEntry>& OpenFilter() {
    static const std::vector<FilterEntry> filter = {
        {"all spectral file types (*.*)",
         "*.ASC;*.SCN;*.SPE;*.RVX;*.SP;*.JDX;*.DX;*.SPK;*.ABS;*.TRM;*.SSM;*.IRR;*.LIB;*.PRN;*.FAK;*.GGG;*.CSV;"
         "*.DAT;*.SPC;*.TRT;*.TAT;*.TTT;*.TIT;*.RRUFF;*.WLS;*.JWS;*.PROCSPEC;*.DSP"},
        {"Varolux32 binary files  (*.rvx)", "*.RVX"},
        {"Excel-like comma-separated values (*.csv)", "*.CSV"},
        {"JCAMP-DX 4.24/5.01 optical spectra (*.dx; *.jdx)", "*.DX;*.JDX"},
        {"VALDEK KORVA + SHIMADZU (*.spc)", "*.SPC"},
        {"PerkinElmer, all files (*.sp)", "*.SP"},
        {"Roper/Princeton Instruments WinSpec (*.spe)", "*.SPE"},
        {"JASCO SpectraManager (*.jws)", "*.JWS"},
        {"Ocean Optics software (*.procspec)", "*.PROCSPEC"},
        {"Beckman Coulter DU 600/7000 (*.scn)", "*.SCN"},
        {"Avantes AvaSoft  (*.trt, *.tat, *.ttt, *.tit)", "*.trt;*.tat;*.ttt;*.tit"},
        {"Ascanis Lambda-SPX, VISIONlite(*.dsp)", "*.dsp"},
        {"StellarNet SpectraWiz  (*.abs, *.trm, *.ssm, *.irr, *.lib)", "*.abs;*.trm;*.ssm;*.irr;*.lib"},
        {"VWR UV-1600PC(*.wls)", "*.WLS"},
        {"RRUFF project Raman spectrum  (*.rruff)", "*.RRUFF"},
        {"USGS digital spectral library  (*.asc)", "*.ASC"},
        {"Milton Roy Spectronic 3000  (*.asc)", "*.ASC"},
        {"IKS XDAP  (*.spk)", "*.SPK"},
        {"P.I. Winspec 1.6/Horiba Datamax  ASCII  (*.prn)", "*.PRN"},
        {"low temp. fluorescence (*.ggg)", "*.GGG"},
        {"ASCII  (*.fak)", "*.FAK"},
    };
    return filter;
}
