#include "formats/format_table.h"

#include "core/helpers.h"
#include "formats/asc_reader.h"
#include "formats/ascii_reader.h"
#include "formats/avasoft_reader.h"
#include "formats/beckman_scn.h"
#include "formats/dat_reader.h"
#include "formats/jcamp_reader.h"
#include "formats/jws_reader.h"
#include "formats/perkinelmer_sp.h"
#include "formats/prn_reader.h"
#include "formats/procspectrum_archive.h"
#include "formats/rruff_wls_dsp_ggg_readers.h"
#include "formats/rvx.h"
#include "formats/spc_reader.h"
#include "formats/spe_reader.h"
#include "formats/spectrawiz.h"
#include "formats/spk_reader.h"
#include "formats/text_spectra.h"

namespace {

// Every pattern of the first filter entry, in the order users have always seen it.
constexpr const char* kAllSpectralPatterns =
    "*.ASC;*.SCN;*.SPE;*.RVX;*.SP;*.JDX;*.DX;*.SPK;*.ABS;*.TRM;*.SSM;*.IRR;*.LIB;*.PRN;*.FAK;*.GGG;*.CSV;"
    "*.DAT;*.SPC;*.TRT;*.TAT;*.TTT;*.TIT;*.RRUFF;*.WLS;*.JWS;*.PROCSPEC;*.DSP";

}  // namespace

const std::vector<FormatEntry>& FormatTable() {
    static const std::vector<FormatEntry> table = {
        {1, {"RVX"}, nullptr, &LoadRvxFile, {}, {{"Varolux32 binary files  (*.rvx)", "*.RVX"}}},
        {15, {"CSV"}, nullptr, &LoadTextSpectraFile, {"generic_csv", "cary50_csv"},
         {{"Excel-like comma-separated values (*.csv)", "*.CSV"}}},
        {7, {"DX", "JDX"}, nullptr, &LoadSpecJcamp, {"jcamp_dx", "perkinelmer_dx"},
         {{"JCAMP-DX 4.24/5.01 optical spectra (*.dx; *.jdx)", "*.DX;*.JDX"}}},
        {19, {"SPC"}, nullptr, &LoadSpecSpc, {"korva_spc", "shimadzu_spc"},
         {{"VALDEK KORVA + SHIMADZU (*.spc)", "*.SPC"}}},
        {14, {"SP"}, &LoadSpecPerkinElmer, nullptr, {"perkinelmer_sp"}, {{"PerkinElmer, all files (*.sp)", "*.SP"}}},
        {21, {"SPE"}, nullptr, &LoadSpecWinSpecSpe, {"winspec_spe"}, {{"Roper/Princeton Instruments WinSpec (*.spe)", "*.SPE"}}},
        {25, {"JWS"}, &LoadJwsFile, nullptr, {"jasco_jws"}, {{"JASCO SpectraManager (*.jws)", "*.JWS"}}},
        {26, {"PROCSPEC"}, &LoadSpecProcSpec, nullptr, {"oo_procspec"}, {{"Ocean Optics software (*.procspec)", "*.PROCSPEC"}}},
        {22, {"SCN"}, &LoadSpecBeckmanScn, nullptr, {"beckman_coulter_du_binary"},
         {{"Beckman Coulter DU 600/7000 (*.scn)", "*.SCN"}}},
        {20, {"TRT", "TAT", "TTT", "TIT"}, &LoadSpecAvaSoft, nullptr, {"avantes"},
         {{"Avantes AvaSoft  (*.trt, *.tat, *.ttt, *.tit)", "*.trt;*.tat;*.ttt;*.tit"}}},
        {27, {"DSP"}, &LoadSpecAscanisDsp, nullptr, {"ascanis_dsp"}, {{"Ascanis Lambda-SPX, VISIONlite(*.dsp)", "*.dsp"}}},
        {28, {"ABS", "TRM", "SSM", "IRR", "LIB"}, &LoadSpecSpectraWiz, nullptr, {"spectrawiz"},
         {{"StellarNet SpectraWiz  (*.abs, *.trm, *.ssm, *.irr, *.lib)", "*.abs;*.trm;*.ssm;*.irr;*.lib"}}},
        {24, {"WLS"}, &LoadSpecVwrWls, nullptr, {"vwr_wls"}, {{"VWR UV-1600PC(*.wls)", "*.WLS"}}},
        {23, {"RRUFF"}, &LoadSpecRruff, nullptr, {"rruff_raman"}, {{"RRUFF project Raman spectrum  (*.rruff)", "*.RRUFF"}}},
        {2, {"ASC"}, &LoadAscFile, nullptr, {"milton_asc", "beckman_du", "usgs_ftir", "perkinelmer_sp"},
         {{"USGS digital spectral library  (*.asc)", "*.ASC"}, {"Milton Roy Spectronic 3000  (*.asc)", "*.ASC"}}},
        {8, {"SPK"}, &LoadSpecSpk, nullptr, {}, {{"IKS XDAP  (*.spk)", "*.SPK"}}},
        {10, {"PRN"}, &LoadSpecPrn, nullptr, {"ccd_flasche"}, {{"P.I. Winspec 1.6/Horiba Datamax  ASCII  (*.prn)", "*.PRN"}}},
        {16, {"GGG"}, &LoadGggFile, nullptr, {}, {{"low temp. fluorescence (*.ggg)", "*.GGG"}}},
        {11, {"FAK"}, &LoadSpecAsciiFromOpen, nullptr, {"ascii_fak"}, {{"ASCII  (*.fak)", "*.FAK"}}},
        // Listed under "all spectral file types" only.
        {18, {"DAT"}, nullptr, &LoadDatFile, {"ascii_dat", "zeiss_dat"}, {}},
    };
    return table;
}

int FormatCodeOf(const std::string& path) {
    const std::string ext = UpperAscii(ExtensionOf(path));
    if (ext.empty()) return 0;
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
    static const std::vector<FilterEntry> filter = [] {
        std::vector<FilterEntry> f{{"all spectral file types (*.*)", kAllSpectralPatterns}};
        for (const auto& e : FormatTable()) f.insert(f.end(), e.filters.begin(), e.filters.end());
        return f;
    }();
    return filter;
}
