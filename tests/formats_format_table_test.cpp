// The format tables against the dialogs' filters, the readers and the README: a format added in one of
// them and forgotten in another fails here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "core/helpers.h"
#include "formats/csv_writer.h"
#include "formats/dat_writer.h"
#include "formats/format_table.h"
#include "formats/jcamp_writer.h"
#include "formats/multi_export.h"
#include "formats/open_files.h"
#include "formats/rvx.h"
#include "formats/save_dispatcher.h"
#include "formats/text_loader.h"
#include "formats_test_util.h"
#include "platform/byte_order.h"
#include "platform/ui.h"

using fmt_test::CleanState;
using fmt_test::readerErrors;
using fmt_test::StartSettings;
using fmt_test::TempDir;

namespace {

// The patterns of a filter entry, upper-cased and without "*.".
std::vector<std::string> extensionsOf(const std::string& patterns) {
    std::vector<std::string> out;
    std::stringstream in(patterns);
    for (std::string p; std::getline(in, p, ';');) {
        EXPECT_EQ(p.rfind("*.", 0), 0u) << p;
        out.push_back(UpperAscii(p.substr(2)));
    }
    return out;
}

const FormatEntry* rowOfExtension(const std::string& ext) {
    for (const auto& e : FormatTable())
        for (const auto& x : e.extensions)
            if (x == ext) return &e;
    return nullptr;
}

// n lines "x<sep>y" from 400 on, each after `lead`.
std::string pairs(const std::string& sep, int n, const std::string& lead = "") {
    std::string s;
    for (int i = 0; i < n; ++i) s += lead + std::to_string(400 + i) + ".5" + sep + "1.5\r\n";
    return s;
}

// A flat JWS file of the "R1" variant with three values.
std::string jwsImage() {
    std::string b(652, '\0');
    auto* d = reinterpret_cast<uint8_t*>(b.data());
    byteorder::putU32LE(d, 0x20537E4C);
    d[32] = 'R';
    d[33] = '1';
    byteorder::putU32LE(d + 192, 1000);
    byteorder::putU16LE(d + 212, 3);
    byteorder::putF64LE(d + 252, 402);
    byteorder::putF64LE(d + 260, 400);
    for (int i = 0; i < 3; ++i) byteorder::putF32LE(d + 640 + 4 * i, 1.0f + i);
    return b;
}

// An SPE file of two frames of one stripe, four 16-bit pixels each, on a linear wavelength axis.
std::string speImage() {
    std::string b(4100 + 16, '\0');
    auto* d = reinterpret_cast<uint8_t*>(b.data());
    byteorder::putU16LE(d + 42, 4);
    byteorder::putI16LE(d + 108, 3);
    byteorder::putU16LE(d + 656, 1);
    byteorder::putU16LE(d + 1446, 2);
    byteorder::putU32LE(d + 2996, 0x01234567);
    d[3101] = 1;
    byteorder::putF64LE(d + 3263, 400);
    byteorder::putF64LE(d + 3271, 1);
    for (int i = 0; i < 8; ++i) byteorder::putU16LE(d + 4100 + 2 * i, static_cast<uint16_t>(100 + i));
    return b;
}

}  // namespace

// The dialog shows these entries, texts and order exactly.
TEST(FormatTable, OpenFilterKeepsItsGivenTextsAndOrder) {
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"all spectral file types (*.*)",
         "*.ASC;*.SCN;*.SPE;*.RVX;*.SP;*.JDX;*.DX;*.SPK;*.ABS;*.TRM;*.SSM;*.IRR;*.LIB;*.PRN;*.FAK;*.GGG;*.CSV;*.DAT;"
         "*.SPC;*.TRT;*.TAT;*.TTT;*.TIT;*.RRUFF;*.WLS;*.JWS;*.PROCSPEC;*.DSP"},
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
    const auto& filter = OpenFilter();
    ASSERT_EQ(filter.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(filter[i].description, expected[i].first) << i;
        EXPECT_EQ(filter[i].patterns, expected[i].second) << i;
    }
}

TEST(FormatTable, RowsAreConsistent) {
    std::set<OpenFormat> codes;
    std::set<std::string> extensions;
    for (const auto& e : FormatTable()) {
        const int code = static_cast<int>(e.code);
        EXPECT_NE(e.code, OpenFormat::None);
        EXPECT_TRUE(codes.insert(e.code).second) << "code " << code << " twice";
        EXPECT_FALSE(e.fresh && e.own) << "code " << code << " has two readers";
        ASSERT_FALSE(e.extensions.empty()) << code;
        for (const auto& x : e.extensions) {
            EXPECT_EQ(x, UpperAscii(x)) << code;
            EXPECT_TRUE(extensions.insert(x).second) << x << " in two rows";
            EXPECT_EQ(FormatCodeOf("/d/a." + LowerAscii(x)), e.code) << x;
        }
        for (const auto& t : e.tags) EXPECT_TRUE(!t.empty() && t.size() <= 50) << code;
        EXPECT_EQ(FormatEntryOf(e.code), &e);
        EXPECT_EQ(ReadLimitOf(e.code), e.maxBytes) << code;
    }
    EXPECT_EQ(FormatEntryOf(OpenFormat::None), nullptr);
    EXPECT_EQ(ReadLimitOf(OpenFormat::None), 0u);
    EXPECT_EQ(FormatCodeOf("/d.x/name"), OpenFormat::None);
    EXPECT_EQ(FormatCodeOf("/d/name.txt"), OpenFormat::None);
}

// The limits README's "What it does not do" names: CSV, JCAMP-DX, DAT, SPE, SP and SCN files above
// 1 GB, the other text formats and JWS files above 256 MB, SPC files read without the library above
// 16 MB; RVX and ProcSpec have none of the whole file.
TEST(FormatTable, ReadLimitsAreTheReadmes) {
    const std::uint64_t MiB = std::uint64_t{1} << 20, GiB = std::uint64_t{1} << 30;
    const std::map<std::string, std::uint64_t> expected = {
        {"CSV", GiB},       {"DX", GiB},        {"DAT", GiB},       {"SPE", GiB},       {"SP", GiB},
        {"SCN", GiB},       {"JWS", 256 * MiB}, {"ASC", 256 * MiB}, {"FAK", 256 * MiB}, {"PRN", 256 * MiB},
        {"SPK", 256 * MiB}, {"TRT", 256 * MiB}, {"ABS", 256 * MiB}, {"RRUFF", 256 * MiB}, {"WLS", 256 * MiB},
        {"DSP", 256 * MiB}, {"GGG", 256 * MiB}, {"SPC", 16 * MiB},  {"RVX", 0},         {"PROCSPEC", 0},
    };
    std::set<const FormatEntry*> seen;
    for (const auto& [ext, limit] : expected) {
        const FormatEntry* row = rowOfExtension(ext);
        ASSERT_NE(row, nullptr) << ext;
        EXPECT_EQ(row->maxBytes, limit) << ext;
        seen.insert(row);
    }
    EXPECT_EQ(seen.size(), FormatTable().size()) << "a row without its limit in this test";
}

// Each reader refuses a file above its own row's limit before it reads it: the message names that
// limit. The files are sparse, so nothing of them is written or held.
TEST(FormatTable, ReadersRefuseFilesAboveTheirRowsLimit) {
    CleanState state;
    ui::ScopedScriptedBackend ui;
    TempDir dir;
    for (const auto& e : FormatTable()) {
        if (e.maxBytes == 0) continue;
        const std::string name = "big." + LowerAscii(e.extensions.front());
        SCOPED_TRACE(name);
        std::string head(128, '\0');
        if (e.code == OpenFormat::Spc) {
            // The header of the variant read without the library: first and last x between 100 and 5000.
            byteorder::putF32LE(reinterpret_cast<uint8_t*>(head.data()) + 10, 700.0f);
            byteorder::putF32LE(reinterpret_cast<uint8_t*>(head.data()) + 14, 400.0f);
        }
        const std::string path = dir.write(name, head);
        std::filesystem::resize_file(path, e.maxBytes + 1);
        TSpectraList list;
        TDisplayState display;
        const std::string error = readerErrors(OpenSpectrumFiles({path}, list, display, StartSettings{}));
        const std::string limitText = TooLargeMessage("", 0, e.maxBytes, "");
        const std::string tail = limitText.substr(limitText.find("read up to"));
        ASSERT_GE(error.size(), tail.size()) << error;
        EXPECT_EQ(error.substr(error.size() - tail.size()), tail) << error;
        EXPECT_TRUE(list.Empty());
        std::filesystem::remove(path);
    }
}

// Every extension of the table is offered, and every offered pattern opens with a reader's row.
TEST(FormatTable, FilterAndTableCoverEachOther) {
    const auto& filter = OpenFilter();
    ASSERT_FALSE(filter.empty());
    const std::vector<std::string> all = extensionsOf(filter.front().patterns);
    const std::set<std::string> allSet(all.begin(), all.end());
    EXPECT_EQ(allSet.size(), all.size()) << "a pattern twice in the first entry";

    for (const auto& e : FormatTable()) {
        std::set<std::string> own;
        for (const auto& f : e.filters)
            for (const auto& x : extensionsOf(f.patterns)) {
                EXPECT_EQ(rowOfExtension(x), &e) << f.description << ": " << x << " is another row's";
                own.insert(x);
            }
        for (const auto& x : e.extensions) {
            EXPECT_TRUE(allSet.count(x)) << x << " missing from the first filter entry";
            if (!e.filters.empty()) {
                EXPECT_TRUE(own.count(x)) << x << " missing from its own filter entry";
            }
        }
    }
    for (const auto& f : filter)
        for (const auto& x : extensionsOf(f.patterns)) EXPECT_NE(rowOfExtension(x), nullptr) << f.description;
}

// The README names exactly the formats that have no reader yet.
TEST(FormatTable, ReadmeListsTheFormatsWithoutReader) {
    std::ifstream in(std::string(VX_SOURCE_DIR) + "/README.md");
    ASSERT_TRUE(in) << "README.md not found";
    const std::string readme((std::istreambuf_iterator<char>(in)), {});
    std::set<std::string> missing;
    for (const auto& e : FormatTable())
        if (!e.HasReader()) missing.insert(e.extensions.begin(), e.extensions.end());

    const std::string lead = "Files it cannot open yet:";
    const auto at = readme.find(lead);
    if (missing.empty()) {
        EXPECT_EQ(at, std::string::npos) << "README still lists unreadable files";
        return;
    }
    ASSERT_NE(at, std::string::npos) << "README does not list the unreadable files";
    const auto start = at + lead.size();
    const auto end = readme.find(". ", start);
    ASSERT_NE(end, std::string::npos);
    std::set<std::string> listed;
    std::string word;
    for (char c : readme.substr(start, end - start) + " ") {
        if (c >= 'A' && c <= 'Z') {
            word += c;
        } else {
            if (!word.empty()) listed.insert(word);
            word.clear();
        }
    }
    EXPECT_EQ(listed, missing);
}

// Files written by our own writers open through the table, and every record carries one of its row's
// tags (a row without tags keeps the file's own: RVX).
TEST(FormatTable, ReadersSetTheirRowsTags) {
    CleanState state;
    ui::ScopedScriptedBackend ui;
    TempDir dir;
    TSpectraList source;
    auto rec = std::make_unique<TSpectrumRecord>();
    rec->Title = "sample";
    rec->SpecType = "own_tag";
    rec->XUnit = SpecXNanometer;
    rec->YKind = SpecYAbsorbance;
    rec->FirstX = 400;
    rec->StepX = 1;
    for (int i = 0; i < 20; ++i) rec->Values.push_back(0.1 + 0.01 * i);
    source.Add(std::move(rec));

    std::string fak = "nm\tAbsorbance\r\n";
    for (int i = 0; i < 20; ++i) fak += std::to_string(400 + i) + "\t0.5\r\n";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"a.rvx", RvxFileImage(source)},
        {"b.csv", CsvExportText(source).text},
        {"c.dat", DatExportText(source, TDisplayState{}, 400, 419, 0).text},
        {"d.dx", JcampBlockText(source[0])},
        {"e.fak", fak},
        {"f.jws", jwsImage()},
        {"g.spe", speImage()},
        {"h.tit", "title\r\nIntegration time: 10 ms\r\n\r\n\r\n\r\n\r\nnm;counts\r\n400;1\r\n401;2\r\nend\r\n"},
        {"i.rruff", "##NAMES=x\r\n" + pairs(", ", 12) + "##END=\r\n"},
        {"j.wls", std::string(10, '\n') + pairs(";", 12, "1;") + "END\r\n"},
        {"k.dsp", "SINACSA\r\nSCAN\r\n\r\n\r\nnm\r\n400\r\n\r\n1\r\n" + std::string(34, '\n') + "#DATA\r\n1\r\n2\r\n"},
        {"l.ggg", "<typ> own_tag\r\n<aufloesung> 1\r\n# Begin data\r\n400 1\r\n401 2\r\n"},
    };
    for (const auto& [name, bytes] : files) {
        ASSERT_FALSE(bytes.empty()) << name;
        TSpectraList opened;
        TDisplayState display;
        const std::string path = dir.write(name, bytes);
        const OpenResult r = OpenSpectrumFiles({path}, opened, display, StartSettings{});
        EXPECT_EQ(readerErrors(r), "") << name;
        const FormatEntry* row = FormatEntryOf(FormatCodeOf(path));
        ASSERT_NE(row, nullptr) << name;
        ASSERT_TRUE(row->HasReader()) << name;
        ASSERT_GE(opened.Count(), 1) << name;
        for (const auto& got : opened) {
            if (row->tags.empty()) {
                EXPECT_EQ(got->SpecType.str(), "own_tag") << name;
            } else {
                EXPECT_NE(std::find(row->tags.begin(), row->tags.end(), got->SpecType.str()), row->tags.end())
                    << name << ": " << got->SpecType.str();
            }
        }
    }
}

// The save dialogs show these entries, texts and order exactly, and force these extensions.
TEST(SaveTable, FiltersKeepTheirGivenTextsAndForcedExtensions) {
    struct Entry {
        std::string description, pattern, forced;
    };
    const std::vector<Entry> data = {
        {"Varolux32  binary file  (*.rvx)", "*.rvx", ".rvx"},
        {"VALDEK Sorvanti  KORVA  (*.spc)", "*.spc", ".spc"},
        {"JCAMP-DX 4.24/5.0  (*.dx)", "*.dx", ".dx"},
        {"Varolux32  ASCII [x..yyyy]  (*.dat)", "*.dat", ".dat"},
        {"Excel compatible ASCII [xy..xy..xy..xy]  (*.csv)", "*.csv", ".csv"},
    };
    const std::vector<Entry> plot = {
        {"Compuserve  GIF  (*.gif)", "*.gif", ".gif"},
        {"Portable Network Graphics  (*.png)", "*.png", ".png"},
        {"Tagged Image File Format  (*.tif)", "*.tif", ".tif"},
        {"Windows Metafile  (*.wmf)", "*.wmf", ".wmf"},
        {"Windows Bitmap  (*.bmp)", "*.bmp", ".bmp"},
    };
    for (const auto& [dialog, expected] : {std::pair{SaveDialog::Data, data}, std::pair{SaveDialog::Plot, plot}}) {
        SCOPED_TRACE(dialog == SaveDialog::Data ? "data" : "plot");
        const std::vector<FilterEntry> filter = SaveFilter(dialog);
        ASSERT_EQ(filter.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(filter[i].description, expected[i].description) << i;
            EXPECT_EQ(filter[i].patterns, expected[i].pattern) << i;
            EXPECT_EQ(SaveFilterExtension(dialog, static_cast<int>(i) + 1), expected[i].forced) << i;
        }
        // An index the dialog did not report falls back to the first entry.
        for (int index : {0, -1, 6}) EXPECT_EQ(SaveFilterExtension(dialog, index), expected[0].forced) << index;
    }
}

// A typed extension of one of the dialog's formats picks that format whatever entry is chosen; no
// extension, an unknown one or one of the other dialog's formats gets the chosen entry's.
TEST(SaveTable, TypedExtensionOfTheDialogsFormatsOverridesTheChosenEntry) {
    struct Case {
        SaveDialog dialog;
        int filterIndex;
        const char* typed;
        const char* written;
    };
    const Case cases[] = {
        {SaveDialog::Data, 1, "/d/x.csv", "/d/x.csv"},      // under the RVX entry
        {SaveDialog::Data, 5, "/d/x.rvx", "/d/x.rvx"},      // under the CSV entry
        {SaveDialog::Data, 1, "/d/x.SPC", "/d/x.SPC"},      // any case, kept as typed
        {SaveDialog::Data, 4, "/d/x.dx", "/d/x.dx"},
        {SaveDialog::Data, 1, "/d/x", "/d/x.rvx"},          // no extension
        {SaveDialog::Data, 5, "/d/x.txt", "/d/x.csv"},      // unknown extension
        {SaveDialog::Data, 2, "/d/x.jdx", "/d/x.spc"},      // read, but not written
        {SaveDialog::Data, 1, "/d/x.png", "/d/x.rvx"},      // an image format is no data format
        {SaveDialog::Data, 0, "/d/x", "/d/x.rvx"},          // no entry reported
        {SaveDialog::Data, 3, "/d.csv/x", "/d.csv/x.dx"},   // a dot in the folder is no extension
        {SaveDialog::Plot, 2, "/d/x.gif", "/d/x.gif"},
        {SaveDialog::Plot, 2, "/d/x.dat", "/d/x.png"},      // a data format is no image format
        {SaveDialog::Plot, 5, "/d/x", "/d/x.bmp"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SaveNameForFilter(c.dialog, c.filterIndex, c.typed), c.written)
            << c.typed << " under entry " << c.filterIndex;
    }
}

// A row's code, extension and filter entry agree, and the row holds the writer its choice calls.
TEST(SaveTable, RowsAreConsistent) {
    std::set<SaveFormat> codes;
    std::set<std::string> extensions;
    for (const auto& e : SaveFormatTable()) {
        SCOPED_TRACE(e.extension);
        EXPECT_NE(e.code, SaveFormat::None);
        EXPECT_TRUE(codes.insert(e.code).second) << "code twice";
        EXPECT_TRUE(extensions.insert(e.extension).second) << "extension twice";
        EXPECT_EQ(e.extension, UpperAscii(e.extension));
        EXPECT_EQ(SaveFormatOf("/d/a." + LowerAscii(e.extension)), e.code);
        EXPECT_EQ(SaveFormatOf("/d/a." + e.extension), e.code);
        EXPECT_EQ(SaveFormatEntryOf(e.code), &e);
        EXPECT_EQ(e.filter.patterns, "*." + LowerAscii(e.extension));
        EXPECT_NE(e.filter.description.find("(*." + LowerAscii(e.extension) + ")"), std::string::npos);
        switch (e.choice) {
        case SaveChoice::AllSpectra:
            EXPECT_TRUE(e.all && !e.one);
            EXPECT_EQ(e.dialog, SaveDialog::Data);
            break;
        case SaveChoice::OneSpectrum:
            EXPECT_TRUE(e.one && !e.all);
            EXPECT_EQ(e.dialog, SaveDialog::Data);
            break;
        case SaveChoice::ThePlot:
            EXPECT_TRUE(!e.all && !e.one);
            EXPECT_EQ(e.dialog, SaveDialog::Plot);
            break;
        }
    }
    EXPECT_EQ(SaveFormatEntryOf(SaveFormat::None), nullptr);
    EXPECT_EQ(SaveFormatOf("/d.rvx/name"), SaveFormat::None);
    EXPECT_EQ(SaveFormatOf("/d/a.jdx"), SaveFormat::None);  // opened, never written
}

// The batch export writes the formats its dialog offers, in the dialog's order (SPC, JCAMP-DX, CSV),
// through rows of Save Data as; by the extension of any other row it writes nothing.
TEST(SaveTable, BatchExportWritesItsOwnRowsOnly) {
    std::vector<std::string> batch;
    for (const auto& e : SaveFormatTable()) {
        SCOPED_TRACE(e.extension);
        EXPECT_EQ(e.batch.all == nullptr, e.batch.one == nullptr) << "a row with half of the batch writers";
        if (!e.batch.all) continue;
        batch.push_back(e.extension);
        EXPECT_EQ(e.dialog, SaveDialog::Data);
    }
    EXPECT_EQ(batch, (std::vector<std::string>{"SPC", "DX", "CSV"}));

    CleanState state;
    ui::ScopedScriptedBackend ui;
    TempDir dir;
    TSpectraList list;
    for (int k = 0; k < 2; ++k) {
        auto rec = std::make_unique<TSpectrumRecord>();
        rec->FirstX = 400;
        rec->StepX = 1;
        rec->Values = {0.1, 0.2, 0.3};
        list.Add(std::move(rec));
    }
    for (const auto& e : SaveFormatTable()) {
        if (e.batch.all) continue;
        SCOPED_TRACE(e.extension);
        const std::string path = dir.file("batch." + LowerAscii(e.extension));
        EXPECT_FALSE(SaveSpectraMulti(list, path, 1, -1, ""));
        EXPECT_FALSE(SaveSpectraMulti(list, path, 0, 1, ""));
        EXPECT_FALSE(std::filesystem::exists(path));
    }
    EXPECT_TRUE(ui->messages.empty());
}

// What the program writes as spectra it opens again: every such format has a reader's row.
TEST(SaveTable, EverySpectrumFileWrittenHasAReader) {
    for (const auto& e : SaveFormatTable()) {
        if (e.choice == SaveChoice::ThePlot) continue;
        const FormatEntry* row = FormatEntryOf(FormatCodeOf("a." + e.extension));
        ASSERT_NE(row, nullptr) << e.extension;
        EXPECT_TRUE(row->HasReader()) << e.extension;
    }
}

// What the save command writes the Open command reads back: each writer of spectra through the save
// table, each file through the format table. (SPC needs the library: its own suite saves and reads it.)
TEST(SaveTable, SavedSpectraOpenAgain) {
    CleanState state;
    ui::ScopedScriptedBackend ui;
    TempDir dir;
    TSpectraList source;
    for (const char* title : {"first", "second"}) {
        auto rec = std::make_unique<TSpectrumRecord>();
        rec->Title = title;
        rec->XUnit = SpecXNanometer;
        rec->YKind = SpecYAbsorbance;
        rec->FirstX = 400;
        rec->StepX = 1;
        for (int i = 0; i < 20; ++i) rec->Values.push_back(source.Count() + 0.125 * i);
        source.Add(std::move(rec));
    }
    ui->onAsk = [](ui::Query& q) {
        q.fields["SpekBox"] = "1";
        return true;
    };
    TSaveOptions options;
    options.XDrawnMin = 400;
    options.XDrawnMax = 420;  // DAT writes the plotted range without its upper end
    for (const auto& e : SaveFormatTable()) {
        if (e.choice == SaveChoice::ThePlot || e.code == SaveFormat::Spc) continue;
        SCOPED_TRACE(e.extension);
        const std::string path = dir.file("saved." + LowerAscii(e.extension));
        ASSERT_TRUE(SaveSpectraFile(path, source, TDisplayState{}, options));
        TSpectraList opened;
        TDisplayState display;
        const OpenResult r = OpenSpectrumFiles({path}, opened, display, StartSettings{});
        EXPECT_EQ(readerErrors(r), "");
        // All spectra, or the chosen second one, with their grid and values.
        const std::vector<int32_t> expected =
            e.choice == SaveChoice::AllSpectra ? std::vector<int32_t>{0, 1} : std::vector<int32_t>{1};
        ASSERT_EQ(opened.Count(), static_cast<int32_t>(expected.size()));
        for (int32_t k = 0; k < opened.Count(); ++k) {
            const TSpectrumRecord& got = opened[k];
            const TSpectrumRecord& want = source[expected[std::size_t(k)]];
            EXPECT_EQ(got.Title.str().rfind(want.Title.str(), 0), 0u) << got.Title.str();
            ASSERT_EQ(got.PointCount(), want.PointCount());
            EXPECT_NEAR(got.FirstX, want.FirstX, 1e-9);
            EXPECT_NEAR(got.StepX, want.StepX, 1e-9);
            for (int32_t i = 0; i < got.PointCount(); ++i) EXPECT_NEAR(got.Values[i], want.Values[i], 1e-9) << i;
        }
    }
}
