// RRUFF export: the layout, y in the display mode, the presets from an RRUFF spectrum's header, and
// the file reading back through the RRUFF reader.
#include "core/units.h"
#include "exports_test_support.h"
#include "formats/format_table.h"
#include "formats/rruff_wls_dsp_ggg_readers.h"
#include "platform/codepage.h"
#include "tools/rruff_export.h"

namespace {

using namespace exptest;

class RruffExport : public ExportTest {};

TEST_F(RruffExport, LayoutFromTheLastPointDownWithDecimalPoints) {
    numtext::setDecimalSeparator(',');
    auto rec = spectrum("quartz", 100, 100, 12, 1, SpecXRamanShift, SpecYIntensity);
    rec->Values[0] = 12.5;
    rec->Values[11] = 1234.567891;
    TRruffHeader h{"Quartz", "Brazil", "R040031", "SiO2"};
    const auto lines = linesOf(RruffExportText(*rec, h, {SpecXWavenumber, SpecYAbsorbance}));
    ASSERT_EQ(lines.size(), 4u + 12u + 1u);
    EXPECT_EQ(lines[0], "##NAMES=Quartz");
    EXPECT_EQ(lines[1], "##LOCALITY=Brazil");
    EXPECT_EQ(lines[2], "##RRUFFID=R040031");
    EXPECT_EQ(lines[3], "##CHEMISTRY=SiO2");
    EXPECT_EQ(lines[4], "1200.000, 1234.56800");  // 7 significant digits
    EXPECT_EQ(lines[15], "100.000, 12.50000");
    EXPECT_EQ(lines[16], "##END= ");
}

// y follows the display mode: a transmittance display writes 10^-A; a header entry stays on its line.
TEST_F(RruffExport, TransmittanceDisplayAndHeaderLineBreaks) {
    auto rec = spectrum("abs", 400, 1, 3);
    rec->Values = {1.0, 2.0, 0.0};
    TRruffHeader h{"two\r\nlines", "", "", ""};
    const auto lines = linesOf(RruffExportText(*rec, h, {SpecXNanometer, SpecYTransmittance}));
    EXPECT_EQ(lines[0], "##NAMES=two  lines");
    EXPECT_EQ(lines[4], "402.000, 1.00000");
    EXPECT_EQ(lines[5], "401.000, 0.01000");
    EXPECT_EQ(lines[6], "400.000, 0.10000");
}

TEST(RruffPresets, FromTheSpectrumsHeaderOrDefaults) {
    struct Case {
        const char* what;
        int32_t kind;
        bool copy;
        const char *c1, *c2;
        TRruffHeader want;
        const char* status;  // nullptr: unchanged
    } cases[] = {
        {"rruff header", 39, true, "##NAMES=Quartz  ##LOCALITY=Brazil", "##RRUFFID=R040031  ##CHEMISTRY=SiO_2",
         {"Quartz", "Brazil", "R040031", "SiO_2"}, nullptr},
        {"markers in other case", 39, true, "##names=Quartz  ##locality= Minas Gerais ", "##chemistry=SiO2",
         {"Quartz", "Minas Gerais", "old s", "SiO2"}, nullptr},
        {"locality without a blank before it", 39, true, "##LOCALITY=Brazil", "", {"old n", "Brazil", "old s", "old c"},
         nullptr},
        {"sample cut to 7", 39, true, "##NAMES=Calcite", "##RRUFFID=R050048-1-2", {"Calcite", "old l", "R050048", "old c"},
         nullptr},
        {"no markers keep the entries", 39, true, "", "", {"old n", "old l", "old s", "old c"}, nullptr},
        {"not from an rruff file", 11, true, "##NAMES=Quartz", "", {"sample", "none", "SAMP001", "unknown"},
         "no RRUFF data available!"},
        {"not copied", 39, false, "##NAMES=Quartz", "", {"sample", "none", "SAMP001", "unknown"}, " "},
    };
    for (const Case& c : cases) {
        TSpectrumRecord rec;
        rec.FileName = "/data/sample.rruff";
        rec.SourceKind = c.kind;
        rec.Comment1 = c.c1;
        rec.Comment2 = c.c2;
        TRruffHeader f{"old n", "old l", "old s", "old c"};
        std::string status = "before";
        PresetFields(rec, c.copy, f, status);
        EXPECT_EQ(f.Name, c.want.Name) << c.what;
        EXPECT_EQ(f.Locality, c.want.Locality) << c.what;
        EXPECT_EQ(f.Sample, c.want.Sample) << c.what;
        EXPECT_EQ(f.Chemistry, c.want.Chemistry) << c.what;
        EXPECT_EQ(status, c.status ? c.status : "before") << c.what;
    }
}

// The file reads back through the RRUFF reader as the same spectrum, and its header presets the same
// entries again.
TEST_F(RruffExport, ReadsBackThroughTheReader) {
    TSpectraList list;
    list.Add(spectrum("raman", 1200, -2.5, 300, 3, SpecXRamanShift, SpecYIntensity));
    list.Add(spectrum("other", 400, 1, 20));
    TRruffHeader h{"Quartz", "Brazil", "R040031", "SiO2"};
    const std::string written = SaveRruffExport(list, {SpecXWavenumber, SpecYAbsorbance}, 0, path("quartz.txt"), h);
    EXPECT_EQ(written, path("quartz.rruff"));

    TSpectrumRecord back;
    LoadSpecRruff(back, written, ReadLimitOf(OpenFormat::Rruff));
    const TSpectrumRecord& want = list[0];
    EXPECT_EQ(back.XUnit, SpecXRamanShift);
    EXPECT_DOUBLE_EQ(back.FirstX, want.FirstX);
    EXPECT_DOUBLE_EQ(back.StepX, want.StepX);
    ASSERT_EQ(back.PointCount(), want.PointCount());
    for (int i = 0; i < want.PointCount(); ++i)
        EXPECT_NEAR(back.Values[std::size_t(i)], want.Values[std::size_t(i)], 5e-6) << i;

    TRruffHeader again;
    std::string status;
    PresetFields(back, true, again, status);
    EXPECT_EQ(again.Name, "Quartz");
    EXPECT_EQ(again.Locality, "Brazil");
    EXPECT_EQ(again.Sample, "R040031");
    EXPECT_EQ(again.Chemistry, "SiO2");
    EXPECT_THROW(SaveRruffExport(list, {SpecXWavenumber, SpecYAbsorbance}, 2, path("x"), h), std::exception);
}

}  // namespace
