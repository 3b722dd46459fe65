// Batch export: the file names and their free "(k)" forms, the memo report, and the files written in
// each format reading back through our own readers.
#include <algorithm>

#include "exports_test_support.h"
#include "core/file_names.h"
#include "formats/csv_writer.h"
#include "formats/format_table.h"
#include "formats/jcamp_reader.h"
#include "formats/multi_export.h"
#include "formats/spc_binding.h"
#include "formats/spc_reader.h"
#include "formats/spc_writer.h"
#include "formats/text_spectra.h"
#include "platform/errors.h"
#include "tools/batch_export.h"

namespace {

using namespace exptest;

class BatchExport : public ExportTest {
protected:
    // Runs the export and keeps the memo's lines and how they were handed over.
    TBatchExportResult run(const TMultiSave& s, const std::string& folder) {
        TBatchExportReport report;
        report.Lines = [this](const std::vector<std::string>& lines) {
            ++handovers;
            memo.insert(memo.end(), lines.begin(), lines.end());
        };
        return SaveSpectraBatch(list, s, folder, programFolder(), report);
    }
    std::vector<std::string> names(const TBatchExportResult& r) const {
        std::vector<std::string> n;
        for (const auto& f : r.Files) n.push_back(NameWithoutFolder(f));
        return n;
    }
    static TMultiSave csvSingles() {
        TMultiSave s;
        s.FileType = 2;
        s.Output = 0;
        s.Location = 1;
        return s;
    }

    TSpectraList list;
    std::vector<std::string> memo;
    int handovers = 0;
};

TEST(BatchNames, NumberTextCountsTheDigitsOfTheSpectraCount) {
    struct Case {
        int c, n;
        const char* text;
    } cases[] = {{0, 2, "1"}, {8, 9, "9"}, {0, 12, "01"}, {9, 12, "010"}, {11, 12, "012"}, {0, 10, "01"},
                 {0, 99, "01"}, {0, 100, "001"}, {99, 1000, "000100"}, {0, 1000, "0001"}};
    for (const Case& k : cases) EXPECT_EQ(BatchNumberText(k.c, k.n), k.text) << k.c << " of " << k.n;
}

TEST_F(BatchExport, NumberedNamesAreNeverWrittenOver) {
    for (int i = 0; i < 12; ++i) list.Add(spectrum("s" + std::to_string(i), 400, 1, 5, i));
    write(out() + "run_01.csv", "keep me");
    TMultiSave s = csvSingles();
    s.Numbering = true;
    s.BaseName = "run";
    const auto r = run(s, out().substr(0, out().size() - 1));  // the folder without its "/"
    ASSERT_TRUE(r.Finished);
    const std::vector<std::string> expected = {"run_01(1).csv", "run_02.csv", "run_03.csv", "run_04.csv",
                                               "run_05.csv", "run_06.csv", "run_07.csv", "run_08.csv",
                                               "run_09.csv", "run_010.csv", "run_011.csv", "run_012.csv"};
    EXPECT_EQ(names(r), expected);
    EXPECT_EQ(read(out() + "run_01.csv"), "keep me");
    EXPECT_EQ(memo.front(), "exporting 12 spectra as single files into new location: " + out());
    EXPECT_EQ(memo[1], std::string(108, '-'));
    EXPECT_EQ(memo.back(), "export finished!");
}

// Names from the spectra's files keep the old rule (x(1).spc beside x.rvx) and then take the first
// free number; names from legends keep their text after a "." and get the extension appended.
TEST_F(BatchExport, NamesFromFilesAndLegends) {
    const std::string src = path("src") + "/";
    fs::create_directories(src);
    write(src + "x.rvx", "rvx");
    write(src + "y.rvx", "rvx");
    write(src + "y(1).csv", "older export");
    auto a = spectrum("conc 0.5 mM", 400, 1, 5);
    a->FileName = src + "x.rvx";
    auto b = spectrum("a/b:c", 400, 1, 5, 2);
    b->FileName = src + "y.rvx";
    auto computed = spectrum("Subtraction", 400, 1, 5, 3);
    auto untitled = spectrum("", 400, 1, 5, 4);
    auto windows = spectrum("w", 400, 1, 5, 5);
    windows->FileName = "C:\\data\\w.vux";
    list.Add(std::move(a));
    list.Add(std::move(b));
    list.Add(std::move(computed));
    list.Add(std::move(untitled));
    list.Add(std::move(windows));

    TMultiSave same = csvSingles();
    same.Location = 0;
    auto r = run(same, out());
    ASSERT_TRUE(r.Finished);
    // Computed spectra and files from elsewhere go to the target folder.
    EXPECT_EQ(r.Files, (std::vector<std::string>{src + "x(1).csv", src + "y(2).csv", out() + "Subtraction.csv",
                                                  out() + "spectrum_4.csv", out() + "w.csv"}));
    EXPECT_EQ(read(src + "y(1).csv"), "older export");
    EXPECT_EQ(memo[2], "exporting x.rvx as " + src + "x(1).csv");
    EXPECT_EQ(memo[4], "exporting Subtraction as " + out() + "Subtraction.csv");

    TMultiSave legends = csvSingles();
    legends.Legends = true;
    r = run(legends, out());
    EXPECT_EQ(names(r), (std::vector<std::string>{"conc 0.5 mM.csv", "a_b_c.csv", "Subtraction(1).csv",
                                                  "spectrum_4(1).csv", "w(1).csv"}));
    legends.Numbering = true;
    legends.BaseName = "";
    r = run(legends, out());
    EXPECT_EQ(r.BaseName, "my_file_name");
    EXPECT_EQ(names(r).front(), "my_file_name_1_conc 0.5 mM.csv");
}

TEST(BatchNames, FreeNameRules) {
    const fs::path d = fs::temp_directory_path() / ("vxfree" + std::to_string(::getpid()));
    fs::remove_all(d);
    fs::create_directories(d / "taken.csv");  // a folder of that name counts as taken too
    std::ofstream((d / "a.dx").string()) << "x";
    const std::string f = d.string() + "/";
    EXPECT_EQ(FreeExportName(f, "new", ".csv", false), "new.csv");
    EXPECT_EQ(FreeExportName(f, "NEW.CSV", ".csv", false), "NEW.csv");  // its extension is not doubled
    EXPECT_EQ(FreeExportName(f, "taken", ".csv", false), "taken(1).csv");
    EXPECT_EQ(FreeExportName(f, "a.dx", ".dx", true), "a(1).dx");
    EXPECT_EQ(FreeExportName(f, "a.spc", ".dx", true), "a(1).dx");
    EXPECT_EQ(FreeExportName(f, "b.1.rvx", ".dx", true), "b.1.dx");

    // A stem longer than a file name may be is cut between characters; "(k)" and the extension stay.
    std::string euros;
    for (int i = 0; i < 120; ++i) euros += "\xE2\x82\xAC";  // 360 bytes
    const std::string first = FreeExportName(f, euros, ".csv", false);
    EXPECT_EQ(first, euros.substr(0, 83 * 3) + ".csv");
    std::ofstream(f + first) << "x";
    EXPECT_EQ(FreeExportName(f, euros, ".csv", false), euros.substr(0, 82 * 3) + "(1).csv");
    EXPECT_EQ(FreeExportName(f, euros + ".rvx", ".csv", true), euros.substr(0, 82 * 3) + "(1).csv");
    fs::remove_all(d);
}

// Legends in scripts of several bytes a character still name files, twice over without loss.
TEST_F(BatchExport, LongLegendsStillGiveFiles) {
    std::string title;
    for (int i = 0; i < 100; ++i) title += "\xD0\x96\xE2\x82\xAC";  // 500 bytes, 200 characters
    list.Add(spectrum(title, 400, 1, 5));
    list.Add(spectrum(title, 400, 1, 5, 2));
    TMultiSave s = csvSingles();
    s.Legends = true;
    s.Numbering = true;
    s.BaseName = "run";
    const auto r = run(s, out());
    ASSERT_TRUE(r.Finished);
    ASSERT_EQ(r.Files.size(), 2u);
    for (const std::string& name : names(r)) {
        EXPECT_LE(name.size(), 255u);
        EXPECT_EQ(name.rfind("run_", 0), 0u);
        EXPECT_EQ(ExtensionOf(name), "csv");
    }
    EXPECT_NE(r.Files[0], r.Files[1]);
    for (const std::string& f : r.Files) EXPECT_TRUE(fs::exists(f)) << f;
}

// Many spectra report in tenths, and the lines after the last tenth are shown at the end too.
TEST_F(BatchExport, ManySpectraReportEveryFile) {
    for (int i = 0; i < 35; ++i) list.Add(spectrum("t" + std::to_string(i), 400, 1, 3, i));
    std::vector<int> progress;
    TBatchExportReport report;
    report.Lines = [this](const std::vector<std::string>& lines) {
        ++handovers;
        memo.insert(memo.end(), lines.begin(), lines.end());
    };
    report.Progress = [&](int32_t c, int32_t) { progress.push_back(c); };
    TMultiSave s = csvSingles();
    s.Legends = true;
    ASSERT_TRUE(SaveSpectraBatch(list, s, out(), programFolder(), report).Finished);
    ASSERT_EQ(memo.size(), 2u + 35u + 1u);
    EXPECT_EQ(memo[2 + 34], "exporting t34 as t34.csv");
    // Two header lines, twelve tenths (c = 0, 3, ..., 33), the rest, "export finished!".
    EXPECT_EQ(handovers, 2 + 12 + 1 + 1);
    EXPECT_EQ(progress.back(), -1);
}

// The CSV single files hold one spectrum each, padded to the longest spectrum, and read back.
TEST_F(BatchExport, CsvFilesReadBack) {
    list.Add(spectrum("long", 400, 0.5, 40, 1));
    list.Add(spectrum("short", 300, 2, 7, 2, SpecXNanometer, SpecYTransmittance));
    TMultiSave s = csvSingles();
    s.Legends = true;
    const auto r = run(s, out());
    ASSERT_EQ(r.Files.size(), 2u);
    const std::string text = read(r.Files[1]);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 40);
    for (int k = 0; k < 2; ++k) {
        TSpectraList back;
        ui::ScopedScriptedBackend quiet;
        LoadTextSpectraFile(r.Files[std::size_t(k)], back, ReadLimitOf(OpenFormat::Csv));
        ASSERT_EQ(back.Count(), 1) << k;
        const TSpectrumRecord& want = list[k];
        const TSpectrumRecord& got = back[0];
        EXPECT_EQ(got.Title.str(), want.Title.str());
        ASSERT_EQ(got.PointCount(), want.PointCount());
        for (int i = 0; i < want.PointCount(); ++i) {
            EXPECT_NEAR(got.XAt(i), want.XAt(i), 1e-3) << i;
            EXPECT_NEAR(got.Values[std::size_t(i)], want.Values[std::size_t(i)], 1e-4) << i;
        }
    }
    // The multi-file is one table; further spectra carry capitalised y titles.
    const auto m = [&] {
        TMultiSave multi = s;
        multi.Output = 1;
        multi.BaseName = "all";
        return run(multi, out());
    }();
    ASSERT_TRUE(m.Finished);
    EXPECT_NE(read(m.Files[0]).find("Wavelength [nm],Absorbance,Wavelength [nm],Transmittance,"),
              std::string::npos);
    EXPECT_EQ(memo[memo.size() - 3], "multifile path: " + out());
    EXPECT_EQ(memo[memo.size() - 2], "multifile name: all.csv");
}

TEST_F(BatchExport, JcampFilesReadBack) {
    for (int i = 0; i < 3; ++i) list.Add(spectrum("j" + std::to_string(i), 500 + i, 1, 25, i + 1));
    TMultiSave s = csvSingles();
    s.FileType = 1;
    s.Legends = true;
    const auto singles = run(s, out());
    ASSERT_EQ(singles.Files.size(), 3u);
    s.Output = 1;
    s.BaseName = "linked";
    const auto linked = run(s, out());
    ASSERT_EQ(NameWithoutFolder(linked.Files.at(0)), "linked.dx");

    auto same = [&](const TSpectraList& back, int offset) {
        for (int i = 0; i < back.Count(); ++i) {
            const TSpectrumRecord& want = list[i + offset];
            const TSpectrumRecord& got = back[i];
            EXPECT_EQ(got.Title.str(), want.Title.str());
            EXPECT_NEAR(got.FirstX, want.FirstX, 1e-9);
            ASSERT_EQ(got.PointCount(), want.PointCount());
            for (int k = 0; k < want.PointCount(); ++k)
                EXPECT_NEAR(got.Values[std::size_t(k)], want.Values[std::size_t(k)], 5e-6) << k;
        }
    };
    for (int i = 0; i < 3; ++i) {
        TSpectraList back;
        LoadSpecJcamp(singles.Files[std::size_t(i)], back, ReadLimitOf(OpenFormat::JcampDx));
        ASSERT_EQ(back.Count(), 1);
        same(back, i);
    }
    TSpectraList back;
    LoadSpecJcamp(linked.Files[0], back, ReadLimitOf(OpenFormat::JcampDx));
    ASSERT_EQ(back.Count(), 3);
    same(back, 0);
}

// The multi-file's same-dimensions test: counts exactly, grids within 1e-4 of the larger magnitude
// (two zeros equal), and the same x unit and y kind.
TEST(SpcDimensions, Table) {
    struct Case {
        const char* what;
        double first2, step2;
        int n2;
        SpecXUnit unit2;
        SpecYKind kind2;
        bool same;
    } cases[] = {
        {"equal", 400, 1, 10, SpecXNanometer, SpecYAbsorbance, true},
        {"first within 1e-4", 400.03, 1, 10, SpecXNanometer, SpecYAbsorbance, true},
        {"first beyond 1e-4", 400.05, 1, 10, SpecXNanometer, SpecYAbsorbance, false},
        {"step beyond", 400, 1.0002, 10, SpecXNanometer, SpecYAbsorbance, false},
        {"one point more", 400, 1, 11, SpecXNanometer, SpecYAbsorbance, false},
        {"other x unit", 400, 1, 10, SpecXWavenumber, SpecYAbsorbance, false},
        {"other y kind", 400, 1, 10, SpecXNanometer, SpecYIntensity, false},
    };
    for (const Case& c : cases) {
        TSpectraList l;
        l.Add(exptest::spectrum("a", 400, 1, 10));
        l.Add(exptest::spectrum("b", c.first2, c.step2, c.n2, 2, c.unit2, c.kind2));
        EXPECT_EQ(SameSpcDimensions(l), c.same) << c.what;
    }
    TSpectraList zeros;
    zeros.Add(exptest::spectrum("a", 0, 1, 10));
    zeros.Add(exptest::spectrum("b", 0, 1, 10, 2));
    EXPECT_TRUE(SameSpcDimensions(zeros));
    TSpectraList many;  // 10000 and 10001 points differ
    many.Add(exptest::spectrum("a", 400, 1, 10000));
    many.Add(exptest::spectrum("b", 400, 1, 10001));
    EXPECT_FALSE(SameSpcDimensions(many));
}

TEST_F(BatchExport, SpcFilesReadBackThroughOurReader) {
    RegisterSpcLibrary();
    ui::ScopedScriptedBackend ui;
    for (int i = 0; i < 4; ++i) {
        auto r = spectrum("spc" + std::to_string(i), 350, 0.5, 30, i + 1);
        r->ExcitationWl = 300 + 10 * i;
        list.Add(std::move(r));
    }
    TMultiSave s = csvSingles();
    s.FileType = 0;
    s.Output = 1;
    s.BaseName = "multi";
    const auto multi = run(s, out());
    ASSERT_TRUE(multi.Finished);
    s.Output = 0;
    s.Legends = true;
    const auto singles = run(s, out());
    ASSERT_EQ(singles.Files.size(), 4u);

    TSpectraList back;
    LoadSpecSpc(multi.Files.at(0), back, ReadLimitOf(OpenFormat::Spc), programFolder());
    ASSERT_EQ(back.Count(), 4);
    for (const auto& f : singles.Files) LoadSpecSpc(f, back, ReadLimitOf(OpenFormat::Spc), programFolder());
    ASSERT_EQ(back.Count(), 8);
    for (int i = 0; i < 8; ++i) {
        const TSpectrumRecord& want = list[i % 4];
        const TSpectrumRecord& got = back[i];
        EXPECT_EQ(got.Title.str(), i < 4 ? "multi.spc, subfile " + std::to_string(i + 1) : want.Title.str());
        EXPECT_DOUBLE_EQ(got.FirstX, want.FirstX);
        EXPECT_DOUBLE_EQ(got.StepX, want.StepX);
        ASSERT_EQ(got.PointCount(), want.PointCount());
        for (int k = 0; k < want.PointCount(); ++k)
            EXPECT_FLOAT_EQ(static_cast<float>(got.Values[std::size_t(k)]), static_cast<float>(want.Values[std::size_t(k)]));
    }

    // The z values: the excitation wavelengths the records carry.
    TarnvikPtr g = CreateTarnvik();
    com::Bstr name(multi.Files[0]);
    CheckSpc(g->OpenFile(name.get()));
    float zStart = 0, zInc = 0;
    spcXType zType{};
    CheckSpc(g->get_ZStart(&zStart));
    CheckSpc(g->get_ZIncrement(&zInc));
    CheckSpc(g->get_ZType(&zType));
    EXPECT_FLOAT_EQ(zStart, 300.0f);
    EXPECT_FLOAT_EQ(zInc, 10.0f);
    EXPECT_EQ(zType, spcXNMetr);
}

// Spectra whose excitation wavelengths are unset start their z at 1, of arbitrary type; spectra of other
// dimensions are refused and nothing is written.
TEST_F(BatchExport, SpcMultiFileZAndRefusal) {
    RegisterSpcLibrary();
    ui::ScopedScriptedBackend ui;
    for (int i = 0; i < 3; ++i) list.Add(spectrum("u" + std::to_string(i), 400, 1, 10, i + 1));
    const std::string file = out() + "unset.spc";
    ASSERT_TRUE(SaveSpectraMulti(list, file, 1, -1, programFolder()));
    TarnvikPtr g = CreateTarnvik();
    com::Bstr name(file);
    CheckSpc(g->OpenFile(name.get()));
    float zStart = 0;
    spcXType zType{};
    CheckSpc(g->get_ZType(&zType));
    EXPECT_EQ(zType, spcXArb);
    CheckSpc(g->put_SubFileIndex(0));
    CheckSpc(g->get_ZStart(&zStart));
    EXPECT_FLOAT_EQ(zStart, 1.0f);

    list.Add(spectrum("longer", 400, 1, 11));
    TMultiSave s = csvSingles();
    s.FileType = 0;
    s.Output = 1;
    s.BaseName = "refused";
    ui->messages.clear();
    const auto r = run(s, out());
    EXPECT_FALSE(r.Finished);
    EXPECT_TRUE(r.Files.empty());
    EXPECT_FALSE(fs::exists(out() + "refused.spc"));
    ASSERT_FALSE(ui->messages.empty());
    EXPECT_EQ(ui->messages.back(), "Saving *.spc multi-file works only for spectra of same dimensions");
    EXPECT_EQ(std::find(memo.begin(), memo.end(), "export finished!"), memo.end());
}

// A typed base name stays inside the chosen folder: "../outside" once wrote beside it.
TEST_F(BatchExport, BaseNamesThatLeaveTheFolderAreRefused) {
    ui::ScopedScriptedBackend ui;
    list.Add(spectrum("a", 400, 1, 5));
    list.Add(spectrum("b", 400, 1, 5));
    struct Case {
        const char* what;
        int output;
        bool numbering;
        const char* base;
        const char* message;  // "" = exported
    } cases[] = {
        {"multi-file up", 1, false, "../outside",
         "The new multi-file name \"../outside\" must not hold \"/\" or \"..\": nothing was exported."},
        {"numbered into a folder", 0, true, "sub/run",
         "The new file name \"sub/run\" must not hold \"/\" or \"..\": nothing was exported."},
        {"only dots", 1, false, "..",
         "The new multi-file name \"..\" must not hold \"/\" or \"..\": nothing was exported."},
        // Without numbering the single files are named after their spectra: the base name is not used.
        {"unused", 0, false, "../outside", ""},
        {"one dot", 1, false, "run.1", ""},
    };
    fs::create_directories(out() + "sub");
    for (const Case& c : cases) {
        ui->messages.clear();
        memo.clear();
        TMultiSave s = csvSingles();
        s.Output = c.output;
        s.Numbering = c.numbering;
        s.BaseName = c.base;
        const auto r = run(s, out());
        if (*c.message) {
            EXPECT_EQ(ui->messages, std::vector<std::string>{c.message}) << c.what;
            EXPECT_FALSE(r.Finished) << c.what;
            EXPECT_TRUE(r.Files.empty()) << c.what;
            EXPECT_TRUE(memo.empty()) << c.what;
        } else {
            EXPECT_TRUE(ui->messages.empty()) << c.what;
            EXPECT_TRUE(r.Finished) << c.what;
            for (const std::string& f : r.Files) EXPECT_EQ(f.rfind(out(), 0), 0u) << c.what << ": " << f;
        }
    }
    EXPECT_FALSE(fs::exists(path("outside.csv")));
    EXPECT_TRUE(fs::is_empty(out() + "sub"));
}

TEST_F(BatchExport, AnEmptyFolderIsRefusedAndOtherExtensionsWriteNothing) {
    list.Add(spectrum("a", 400, 1, 5));
    list.Add(spectrum("b", 400, 1, 5));
    EXPECT_THROW(run(csvSingles(), ""), vx::Error);
    EXPECT_FALSE(SaveSpectraMulti(list, out() + "x.txt", 1, -1, programFolder()));
    EXPECT_FALSE(fs::exists(out() + "x.txt"));
}

}  // namespace
