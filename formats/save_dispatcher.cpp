#include "formats/save_dispatcher.h"

#include "core/file_names.h"
#include "core/helpers.h"
#include "formats/csv_writer.h"
#include "formats/dat_writer.h"
#include "formats/jcamp_writer.h"
#include "formats/rvx.h"
#include "formats/save_hooks.h"
#include "formats/spc_writer.h"
#include "platform/numtext.h"
#include "platform/ui.h"

TSaveHooks& SaveHooks() {
    static TSaveHooks hooks;
    return hooks;
}

namespace {

bool unavailable(const std::string& fileName) {
    ui::showMessage("Saving *." + LowerAscii(UpperAscii(ExtensionOf(fileName))) +
                    " files is not available in this version.");
    return false;
}

bool saveRvx(const std::string& fileName, const TSaveRequest& r) {
    SaveRvxFile(fileName, r.list);
    return true;
}

bool saveDat(const std::string& fileName, const TSaveRequest& r) {
    return SaveDatFile(fileName, r.list, r.display, r.options.XDrawnMin, r.options.XDrawnMax,
                       r.options.AsciiXStepChoice);
}

bool saveCsv(const std::string& fileName, const TSaveRequest& r) { return SaveCsvFile(fileName, r.list); }

void saveSpc(const std::string& fileName, const TSpectrumRecord& rec, const TSaveOptions& options) {
    SaveSpectrumSpc(rec, fileName, options.ProgramFolder);
}

void saveJcamp(const std::string& fileName, const TSpectrumRecord& rec, const TSaveOptions&) {
    SaveSpecJcamp(fileName, rec);
}

// The batch export's writers. Its CSV tables title every y column in capitals, and a single spectrum's
// table is as long as the longest spectrum of the list needs.
bool batchSpcAll(const std::string& fileName, const TSpectraList& list, const std::string& programFolder) {
    return SaveSpectraSpcMultiFile(list, fileName, programFolder);
}

bool batchSpcOne(const std::string& fileName, const TSpectraList& list, int32_t index,
                 const std::string& programFolder) {
    SaveSpectrumSpc(list[index], fileName, programFolder);
    return true;
}

bool batchJcampAll(const std::string& fileName, const TSpectraList& list, const std::string&) {
    SaveSpecJcampLinked(fileName, list);
    return true;
}

bool batchJcampOne(const std::string& fileName, const TSpectraList& list, int32_t index, const std::string&) {
    SaveSpecJcamp(fileName, list[index]);
    return true;
}

bool batchCsvAll(const std::string& fileName, const TSpectraList& list, const std::string&) {
    TCsvLayout layout;
    layout.CapitalYTitles = true;
    return SaveCsvFile(fileName, list, layout);
}

bool batchCsvOne(const std::string& fileName, const TSpectraList& list, int32_t index, const std::string&) {
    TCsvLayout layout;
    layout.CapitalYTitles = true;
    layout.Only = index;
    return SaveCsvFile(fileName, list, layout);
}

}  // namespace

const std::vector<SaveFormatEntry>& SaveFormatTable() {
    using F = SaveFormat;
    using D = SaveDialog;
    using C = SaveChoice;
    static const std::vector<SaveFormatEntry> table = {
        {F::Rvx, "RVX", D::Data, {"Varolux32  binary file  (*.rvx)", "*.rvx"}, C::AllSpectra, &saveRvx, nullptr},
        {F::Spc, "SPC", D::Data, {"VALDEK Sorvanti  KORVA  (*.spc)", "*.spc"}, C::OneSpectrum, nullptr, &saveSpc,
         {&batchSpcAll, &batchSpcOne}},
        {F::JcampDx, "DX", D::Data, {"JCAMP-DX 4.24/5.0  (*.dx)", "*.dx"}, C::OneSpectrum, nullptr, &saveJcamp,
         {&batchJcampAll, &batchJcampOne}},
        {F::Dat, "DAT", D::Data, {"Varolux32  ASCII [x..yyyy]  (*.dat)", "*.dat"}, C::AllSpectra, &saveDat, nullptr},
        {F::Csv, "CSV", D::Data, {"Excel compatible ASCII [xy..xy..xy..xy]  (*.csv)", "*.csv"}, C::AllSpectra, &saveCsv,
         nullptr, {&batchCsvAll, &batchCsvOne}},
        {F::Gif, "GIF", D::Plot, {"Compuserve  GIF  (*.gif)", "*.gif"}, C::ThePlot, nullptr, nullptr},
        {F::Png, "PNG", D::Plot, {"Portable Network Graphics  (*.png)", "*.png"}, C::ThePlot, nullptr, nullptr},
        {F::Tif, "TIF", D::Plot, {"Tagged Image File Format  (*.tif)", "*.tif"}, C::ThePlot, nullptr, nullptr},
        {F::Wmf, "WMF", D::Plot, {"Windows Metafile  (*.wmf)", "*.wmf"}, C::ThePlot, nullptr, nullptr},
        {F::Bmp, "BMP", D::Plot, {"Windows Bitmap  (*.bmp)", "*.bmp"}, C::ThePlot, nullptr, nullptr},
    };
    return table;
}

SaveFormat SaveFormatOf(const std::string& fileName) {
    const std::string ext = UpperAscii(ExtensionOf(fileName));
    if (ext.empty()) return SaveFormat::None;
    for (const auto& e : SaveFormatTable())
        if (e.extension == ext) return e.code;
    return SaveFormat::None;
}

const SaveFormatEntry* SaveFormatEntryOf(SaveFormat code) {
    for (const auto& e : SaveFormatTable())
        if (e.code == code) return &e;
    return nullptr;
}

std::vector<FilterEntry> SaveFilter(SaveDialog dialog) {
    std::vector<FilterEntry> filter;
    for (const auto& e : SaveFormatTable())
        if (e.dialog == dialog) filter.push_back(e.filter);
    return filter;
}

std::string SaveFilterExtension(SaveDialog dialog, int filterIndex) {
    std::string first, chosen;
    int i = 0;
    for (const auto& e : SaveFormatTable()) {
        if (e.dialog != dialog) continue;
        ++i;
        if (i == 1) first = e.extension;
        if (i == filterIndex) chosen = e.extension;
    }
    return "." + LowerAscii(chosen.empty() ? first : chosen);
}

std::string SaveNameForFilter(SaveDialog dialog, int filterIndex, const std::string& typedName) {
    const SaveFormatEntry* typed = SaveFormatEntryOf(SaveFormatOf(typedName));
    if (typed && typed->dialog == dialog) return typedName;
    return ChangeFileExt(typedName, SaveFilterExtension(dialog, filterIndex));
}

std::optional<int32_t> ChooseSpectrumToSave(const TSpectraList& list) {
    if (list.Empty()) return std::nullopt;
    if (list.Count() == 1) return 0;
    ui::Query q;
    q.dialog = "TAuswDia";
    q.caption = "Choose spectrum";
    q.fields["SpekBox"] = "0";
    for (const auto& rec : list) q.items.push_back(rec->Title.str());
    if (!ui::ask(q)) return std::nullopt;
    const auto chosen = numtext::TryStrToInt(q.fields["SpekBox"]);
    if (!chosen || *chosen < 0 || *chosen >= list.Count()) return std::nullopt;
    return *chosen;
}

bool SaveSpectraFile(const std::string& fileName, TSpectraList& list, const TDisplayState& display,
                     const TSaveOptions& options) {
    const SaveFormatEntry* row = SaveFormatEntryOf(SaveFormatOf(fileName));
    if (!row) return false;
    switch (row->choice) {
    case SaveChoice::AllSpectra: return row->all(fileName, TSaveRequest{list, display, options});
    case SaveChoice::OneSpectrum: {
        const std::optional<int32_t> index = ChooseSpectrumToSave(list);
        if (!index) return false;
        row->one(fileName, list[*index], options);
        return true;
    }
    case SaveChoice::ThePlot:
        if (!SaveHooks().saveImage) return unavailable(fileName);
        return SaveHooks().saveImage(fileName, row->code);
    }
    return false;
}
