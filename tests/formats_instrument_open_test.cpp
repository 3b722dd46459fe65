// A selection of instrument files of every kind opened at once through the Open command's table.
#include <gtest/gtest.h>

#include <set>

#include "formats/format_table.h"
#include "formats/open_files.h"
#include "formats_test_util.h"
#include "instrument_file_builder.h"
#include "platform/ui.h"

using fmt_test::ByteImage;
using fmt_test::CleanState;
using fmt_test::readerErrors;
using fmt_test::StartSettings;
using fmt_test::crlfLines;
using fmt_test::TempDir;
using fmt_test::zipArchive;

namespace {

std::vector<std::string> xy(int n, const char* yText = "0.1234") {
    std::vector<std::string> d;
    for (int i = 0; i < n; ++i) d.push_back(std::to_string(400 + i) + " " + yText);
    return d;
}

std::string miltonRoy() {
    std::vector<std::string> l = {"A.ASC   Sample ID: blue dye", "c", "Date and time:      01-Jan-2000"};
    while (l.size() < 12) l.push_back("h");
    for (const auto& d : xy(12)) l.push_back(d);
    l.push_back("");
    return crlfLines(l);
}

std::string oldBinarySp(int32_t count, int32_t valuesPresent) {
    ByteImage b(512);
    b.text(0, "OLDBIN").i32le(10, count).i32le(14, 41000).i32le(18, 40000).u16le(22, 100).u8(25, 1);
    b.i32le(28, 1000).u16le(80, 502).text(150, "NM");
    for (int i = 0; i < valuesPresent; ++i) b.i32le(512 + 4 * std::size_t(i), 100 * i);
    return b.str();
}

std::string scan() {
    ByteImage b(59);
    b.text(0, "S_SCAN").f32be(38, 400).f32be(42, 420).f32be(51, 1);
    for (int i = 0; i < 21; ++i) b.f32be(59 + 4 * std::size_t(i), 0.01f * float(i));
    return b.str();
}

std::string procSpec() {
    std::string xml = "<?xml version=\"1.0\"?>\n<s>\n<channelWavelengths>\n";
    for (int i = 0; i < 8; ++i) xml += "<double>" + std::to_string(500 + i) + "</double>\n";
    xml += "</channelWavelengths>\n<yUnits reference=\"CountsIntensity\"/>\n<pixelValues>\n";
    for (int i = 0; i < 8; ++i) xml += "<double>" + std::to_string(1000 + i) + "</double>\n";
    return zipArchive({{"ps_0.xml", xml + "</pixelValues>\n</s>\n"}});
}

std::string spk() {
    std::vector<std::string> l = {"9", "t", "d", "c", "5", "6", "7", "spk sample", "1", "0"};
    for (const auto& d : xy(10)) l.push_back(d);
    return crlfLines(l);
}

std::string spectraWiz() {
    std::vector<std::string> l = {"\"wiz", "  T"};
    for (int i = 0; i < 12; ++i) l.push_back(std::to_string(600 + i) + " " + std::to_string(50 + i));
    return crlfLines(l);
}

class InstrumentOpen : public ::testing::Test {
protected:
    CleanState state;
    ui::ScopedScriptedBackend ui;
    TempDir dir;
    TSpectraList list;
    TDisplayState display;
    StartSettings settings;
    OpenResult open(const std::vector<std::string>& names) { return OpenSpectrumFiles(names, list, display, settings); }

    // One good file of every kind; sorted by name they are read in this order.
    std::vector<std::string> goodFiles() {
        return {dir.write("a_milton.asc", miltonRoy()), dir.write("b_ccd.prn", crlfLines(xy(6, "5"))),
                dir.write("c_leaf.procspec", procSpec()), dir.write("d_du.scn", scan()),
                dir.write("e_old.sp", oldBinarySp(11, 11)), dir.write("f_xdap.spk", spk()),
                dir.write("g_wiz.trm", spectraWiz())};
    }
};

const std::vector<std::string> kTagsInOrder = {"milton_asc", "ccd_flasche", "oo_procspec", "beckman_coulter_du_binary",
                                               "perkinelmer_sp", "", "spectrawiz"};

TEST_F(InstrumentOpen, EveryGoodFileOpens) {
    const std::vector<std::string> files = goodFiles();
    const OpenResult r = open({files.rbegin(), files.rend()});
    EXPECT_EQ(readerErrors(r), "");
    EXPECT_TRUE(r.failed.empty());
    EXPECT_EQ(r.filesRead, 7);
    ASSERT_EQ(list.Count(), 7);
    for (int32_t i = 0; i < 7; ++i) {
        const TSpectrumRecord& rec = list[i];
        EXPECT_EQ(rec.SpecType.str(), kTagsInOrder[std::size_t(i)]) << i;
        EXPECT_EQ(rec.Color, CurveColor(i + 1)) << i;
        EXPECT_TRUE(rec.IsComplete()) << i;
        // Each record carries a tag of its own row.
        const FormatEntry* row = FormatEntryOf(FormatCodeOf(files[std::size_t(i)]));
        ASSERT_NE(row, nullptr);
        if (!row->tags.empty()) {
            EXPECT_NE(std::find(row->tags.begin(), row->tags.end(), rec.SpecType.str()), row->tags.end()) << i;
        }
    }
    // The last record (SpectraWiz transmittance) sets the display units.
    EXPECT_EQ(display.DisplayXUnit, SpecXNanometer);
    EXPECT_EQ(display.DisplayYMode, SpecYTransmittance);
}

TEST_F(InstrumentOpen, ABadFileCostsOnlyItselfAndKeepsWhatWasLoaded) {
    auto earlier = std::make_unique<TSpectrumRecord>();
    earlier->Title = "loaded before";
    earlier->FirstX = 300;
    earlier->StepX = 1;
    earlier->Values = {1, 2, 3};
    list.AddWithDefaultColor(std::move(earlier));

    std::vector<std::string> files = goodFiles();
    const std::string bad = dir.write("e_truncated.sp", oldBinarySp(11, 5));  // read after e_old.sp
    const std::string after = dir.write("z_after.asc", miltonRoy());
    const std::string empty = dir.write("d_nothing.scn", "no scan here");
    files.insert(files.end(), {bad, after, empty});

    const OpenResult r = open(files);
    EXPECT_EQ(readerErrors(r), "File: " + bad + "\r\nStream read error");
    // Every good file, those after the error too: a, b, c, d_du, e_old, f, g and z.
    ASSERT_EQ(list.Count(), 9);
    EXPECT_EQ(list[0].Title, "loaded before");
    std::vector<std::string> tags;
    for (int32_t i = 1; i < list.Count(); ++i) tags.push_back(list[i].SpecType.str());
    std::vector<std::string> expected = kTagsInOrder;
    expected.push_back("milton_asc");
    EXPECT_EQ(tags, expected);
    EXPECT_EQ(r.failed, (std::vector<OpenFailure>{{empty, "no spectrum of two or more points in it"},
                                                  {bad, "Stream read error"}}));
}

TEST_F(InstrumentOpen, ExtensionsOfEveryCaseReachTheirReaders) {
    const std::string spectra = spectraWiz();
    const std::vector<std::string> names = {"x.LIB", "x.lib", "y.Abs", "y.ssm", "z.IRR", "w.TrM"};
    std::vector<std::string> files;
    for (const auto& n : names) files.push_back(dir.write(n, spectra));
    files.push_back(dir.write("ignored.txt", spectra));
    const OpenResult r = open(files);
    EXPECT_EQ(readerErrors(r), "");
    EXPECT_EQ(list.Count(), 6);
    for (const auto& rec : list) EXPECT_EQ(rec->SpecType, "spectrawiz");
}

}  // namespace
