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

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

// Most readers need only the limit of their row, not the program's settings.
template <void (*Read)(TSpectrumRecord&, const std::string&, std::uint64_t)>
void fresh(TSpectrumRecord& rec, const std::string& path, std::uint64_t maxBytes, const TReaderContext&) {
    Read(rec, path, maxBytes);
}
template <void (*Read)(const std::string&, TSpectraList&, std::uint64_t)>
void own(const std::string& path, TSpectraList& list, std::uint64_t maxBytes, const TReaderContext&) {
    Read(path, list, maxBytes);
}

// The two readers whose rows have no limit of the whole file (see their rows).
void readRvx(const std::string& path, TSpectraList& list, std::uint64_t, const TReaderContext&) {
    LoadRvxFile(path, list);
}
void readProcSpec(TSpectrumRecord& rec, const std::string& path, std::uint64_t, const TReaderContext&) {
    LoadSpecProcSpec(rec, path);
}

// The SPC library is registered from the program's folder when it is not yet.
void readSpc(const std::string& path, TSpectraList& list, std::uint64_t maxBytes, const TReaderContext& context) {
    LoadSpecSpc(path, list, maxBytes, context.ProgramFolder);
}

// A headerless text file asks for its axis types, starting from the program's last choice.
void readFak(TSpectrumRecord& rec, const std::string& path, std::uint64_t maxBytes, const TReaderContext& context) {
    LoadSpecAsciiFromOpen(rec, path, context.AxisQueryChoice, maxBytes);
}

}  // namespace

const std::vector<FormatEntry>& FormatTable() {
    using F = OpenFormat;
    static const std::vector<FormatEntry> table = {
        {F::Rvx, {"RVX"}, 0, nullptr, &readRvx, {}, {{"Varolux32 binary files  (*.rvx)", "*.RVX"}}},
        // 5000 spectra of 10,000 points in pairs of columns take less than 1 GB.
        {F::Csv, {"CSV"}, kGiB, nullptr, &own<LoadTextSpectraFile>, {"generic_csv", "cary50_csv"},
         {{"Excel-like comma-separated values (*.csv)", "*.CSV"}}},
        // Ten million points of a packed table take about 90 MB, and a compound file of many such blocks
        // stays well below 1 GB.
        {F::JcampDx, {"DX", "JDX"}, kGiB, nullptr, &own<LoadSpecJcamp>, {"jcamp_dx", "perkinelmer_dx"},
         {{"JCAMP-DX 4.24/5.01 optical spectra (*.dx; *.jdx)", "*.DX;*.JDX"}}},
        // The limit holds for the variant parsed without the library: one block of at most 65535 values
        // after a short header.
        {F::Spc, {"SPC"}, 16 * kMiB, nullptr, &readSpc, {"korva_spc", "shimadzu_spc"},
         {{"VALDEK KORVA + SHIMADZU (*.spc)", "*.SPC"}}},
        // 25 million values take 100 MB.
        {F::PerkinElmerSp, {"SP"}, kGiB, &fresh<LoadSpecPerkinElmer>, nullptr, {"perkinelmer_sp"},
         {{"PerkinElmer, all files (*.sp)", "*.SP"}}},
        // Every value takes eight bytes in memory: beyond 1 GB a file costs more than a session can hold.
        {F::WinSpecSpe, {"SPE"}, kGiB, nullptr, &own<LoadSpecWinSpecSpe>, {"winspec_spe"},
         {{"Roper/Princeton Instruments WinSpec (*.spe)", "*.SPE"}}},
        {F::Jws, {"JWS"}, 256 * kMiB, &fresh<LoadJwsFile>, nullptr, {"jasco_jws"},
         {{"JASCO SpectraManager (*.jws)", "*.JWS"}}},
        // The archive itself; the spectrum inside has a limit of its own.
        {F::ProcSpec, {"PROCSPEC"}, 0, &readProcSpec, nullptr, {"oo_procspec"},
         {{"Ocean Optics software (*.procspec)", "*.PROCSPEC"}}},
        // 25 million values take 100 MB.
        {F::BeckmanScn, {"SCN"}, kGiB, &fresh<LoadSpecBeckmanScn>, nullptr, {"beckman_coulter_du_binary"},
         {{"Beckman Coulter DU 600/7000 (*.scn)", "*.SCN"}}},
        // Exports are a few thousand lines; ten million pairs take about 250 MB.
        {F::AvaSoft, {"TRT", "TAT", "TTT", "TIT"}, 256 * kMiB, &fresh<LoadSpecAvaSoft>, nullptr, {"avantes"},
         {{"Avantes AvaSoft  (*.trt, *.tat, *.ttt, *.tit)", "*.trt;*.tat;*.ttt;*.tit"}}},
        // DSP, SpectraWiz, WLS and RRUFF files hold one spectrum of at most a few hundred thousand lines.
        {F::AscanisDsp, {"DSP"}, 256 * kMiB, &fresh<LoadSpecAscanisDsp>, nullptr, {"ascanis_dsp"},
         {{"Ascanis Lambda-SPX, VISIONlite(*.dsp)", "*.dsp"}}},
        {F::SpectraWiz, {"ABS", "TRM", "SSM", "IRR", "LIB"}, 256 * kMiB, &fresh<LoadSpecSpectraWiz>, nullptr,
         {"spectrawiz"},
         {{"StellarNet SpectraWiz  (*.abs, *.trm, *.ssm, *.irr, *.lib)", "*.abs;*.trm;*.ssm;*.irr;*.lib"}}},
        {F::VwrWls, {"WLS"}, 256 * kMiB, &fresh<LoadSpecVwrWls>, nullptr, {"vwr_wls"},
         {{"VWR UV-1600PC(*.wls)", "*.WLS"}}},
        {F::Rruff, {"RRUFF"}, 256 * kMiB, &fresh<LoadSpecRruff>, nullptr, {"rruff_raman"},
         {{"RRUFF project Raman spectrum  (*.rruff)", "*.RRUFF"}}},
        // ASC exports hold one spectrum of at most some ten thousand lines; far larger files are no ASC
        // export.
        {F::Asc, {"ASC"}, 256 * kMiB, &fresh<LoadAscFile>, nullptr,
         {"milton_asc", "beckman_du", "usgs_ftir", "perkinelmer_sp"},
         {{"USGS digital spectral library  (*.asc)", "*.ASC"}, {"Milton Roy Spectronic 3000  (*.asc)", "*.ASC"}}},
        {F::Spk, {"SPK"}, 256 * kMiB, &fresh<LoadSpecSpk>, nullptr, {}, {{"IKS XDAP  (*.spk)", "*.SPK"}}},
        {F::Prn, {"PRN"}, 256 * kMiB, &fresh<LoadSpecPrn>, nullptr, {"ccd_flasche"},
         {{"P.I. Winspec 1.6/Horiba Datamax  ASCII  (*.prn)", "*.PRN"}}},
        {F::Ggg, {"GGG"}, 256 * kMiB, &fresh<LoadGggFile>, nullptr, {}, {{"low temp. fluorescence (*.ggg)", "*.GGG"}}},
        // Ten million pairs take about 250 MB; the same reader takes the lamp and correction curves.
        {F::Fak, {"FAK"}, 256 * kMiB, &readFak, nullptr, {"ascii_fak"}, {{"ASCII  (*.fak)", "*.FAK"}}},
        // Listed under "all spectral file types" only. Our writer stops at ten million lines, which with a
        // few spectra stay below 1 GB.
        {F::Dat, {"DAT"}, kGiB, nullptr, &own<LoadDatFile>, {"ascii_dat", "zeiss_dat"}, {}},
    };
    return table;
}

OpenFormat FormatCodeOf(const std::string& path) {
    const std::string ext = UpperAscii(ExtensionOf(path));
    if (ext.empty()) return OpenFormat::None;
    for (const auto& e : FormatTable())
        for (const auto& x : e.extensions)
            if (x == ext) return e.code;
    return OpenFormat::None;
}

const FormatEntry* FormatEntryOf(OpenFormat code) {
    for (const auto& e : FormatTable())
        if (e.code == code) return &e;
    return nullptr;
}

std::uint64_t ReadLimitOf(OpenFormat code) {
    const FormatEntry* e = FormatEntryOf(code);
    return e ? e->maxBytes : 0;
}

std::vector<std::string> ReadableExtensions() {
    std::vector<std::string> out;
    for (const auto& e : FormatTable())
        if (e.HasReader()) out.insert(out.end(), e.extensions.begin(), e.extensions.end());
    return out;
}

const std::vector<FilterEntry>& OpenFilter() {
    static const std::vector<FilterEntry> filter = [] {
        std::vector<FilterEntry> f{{"all spectral file types (*.*)", kAllSpectralPatterns}};
        for (const auto& e : FormatTable()) f.insert(f.end(), e.filters.begin(), e.filters.end());
        return f;
    }();
    return filter;
}
