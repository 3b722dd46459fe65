// DU scan files and ProcSpec archives, built byte by byte from their layouts.
#include <gtest/gtest.h>

#include <cmath>

#include "formats/beckman_scn.h"
#include "formats/procspectrum_archive.h"
#include "formats_test_util.h"
#include "instrument_file_builder.h"
#include "platform/errors.h"

using fmt_test::ByteImage;
using fmt_test::CleanState;
using fmt_test::TempDir;
using fmt_test::ZipMember;
using fmt_test::zipArchive;

namespace {

constexpr const char* kFileDate = "2010-11-12 13:14:15";

// ---- DU scans

std::string scan(const char* signature, float first, float last, float step, uint8_t transmittance, int values,
                 float (*value)(int) = [](int i) { return 0.001f * float(i); }) {
    ByteImage b(59);
    b.text(0, signature).f32be(38, first).f32be(42, last).u8(46, transmittance).f32be(51, step);
    for (int i = 0; i < values; ++i) b.f32be(59 + 4 * std::size_t(i), value(i));
    return b.str();
}

TSpectrumRecord readScan(const std::string& bytes) {
    TSpectrumRecord r;
    ReadSpecBeckmanScnBytes(r, bytes, "/d/cuvette 3.scn", kFileDate);
    return r;
}

TEST(BeckmanScn, BigEndianSingle) {
    const uint8_t one[] = {0x3F, 0x80, 0x00, 0x00};
    const uint8_t minusTwoAndHalf[] = {0xC0, 0x20, 0x00, 0x00};
    EXPECT_EQ(BigEndianSingle(one), 1.0f);
    EXPECT_EQ(BigEndianSingle(minusTwoAndHalf), -2.5f);
}

TEST(BeckmanScn, ScanFieldsAndGrid) {
    CleanState state;
    const TSpectrumRecord r = readScan(scan("S_SCAN", 190, 1100, 1, 0, 911));
    ASSERT_EQ(r.PointCount(), 911);
    EXPECT_EQ(r.FirstX, 190.0);
    EXPECT_EQ(r.StepX, 1.0);
    EXPECT_EQ(r.Values[910], double(0.001f * 910));
    EXPECT_EQ(r.SourceKind, 38);
    EXPECT_EQ(r.SpecType, "beckman_coulter_du_binary");
    EXPECT_EQ(r.Title, "cuvette 3.scn");
    EXPECT_EQ(r.FileName, "/d/cuvette 3.scn");
    EXPECT_EQ(r.DateText, kFileDate);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    EXPECT_EQ(r.ExcitationWl, -1.0);
    EXPECT_EQ(r.PathLength, 1.0);
    EXPECT_TRUE(r.Comment1.empty() && r.Comment2.empty() && r.Solvent.empty());
}

TEST(BeckmanScn, Variants) {
    CleanState state;
    // Extra bytes after the values are ignored.
    EXPECT_EQ(readScan(scan("S_NSCN", 200, 300, 0.5, 0, 205)).PointCount(), 201);
    // Falling scans are stored rising, reversed.
    TSpectrumRecord r = readScan(scan("S_SCAN", 800, 400, -2, 0, 201));
    ASSERT_EQ(r.PointCount(), 201);
    EXPECT_EQ(r.FirstX, 400.0);
    EXPECT_EQ(r.StepX, 2.0);
    EXPECT_EQ(r.Values[0], double(0.001f * 200));
    // Transmittance in percent; 0 stores 6.0.
    r = readScan(scan("S_SCAN", 400, 410, 1, 1, 11, [](int i) { return float(10 * i); }));
    ASSERT_EQ(r.PointCount(), 11);
    EXPECT_EQ(r.YKind, SpecYTransmittance);
    EXPECT_EQ(r.Values[0], 6.0);
    EXPECT_DOUBLE_EQ(r.Values[1], 1.0);
    EXPECT_DOUBLE_EQ(r.Values[10], 0.0);
    // The signature is tested as part of "S_SCAN S_NSCN"; other files give nothing, silently.
    EXPECT_EQ(readScan(scan("SCAN S", 400, 410, 1, 0, 11)).PointCount(), 11);
    EXPECT_EQ(readScan(scan("SCANX1", 400, 410, 1, 0, 11)).PointCount(), 0);
    EXPECT_EQ(readScan("S_SC").PointCount(), 0);
    // One point is no spectrum.
    EXPECT_EQ(readScan(scan("S_SCAN", 400, 400, 1, 0, 3)).PointCount(), 0);
}

TEST(BeckmanScn, CountsAreCheckedAgainstTheFile) {
    CleanState state;
    auto error = [](const std::string& bytes) { return fmt_test::errorText<vx::Error>([&] { readScan(bytes); }); };
    EXPECT_EQ(error(scan("S_SCAN", 190, 1100, 1, 0, 910)), "Stream read error");
    EXPECT_EQ(error(scan("S_SCAN", 190, 1100, 1, 0, 0).substr(0, 50)), "Stream read error");
    EXPECT_EQ(error(scan("S_SCAN", 0, 3e38f, 1e-30f, 0, 4)), "Stream read error");
    EXPECT_EQ(error(scan("S_SCAN", 190, 1100, 0, 0, 10)), "Invalid floating point operation");
    EXPECT_EQ(error(scan("S_SCAN", 190, 1100, NAN, 0, 10)), "Invalid floating point operation");
    EXPECT_EQ(error(scan("S_SCAN", INFINITY, 1100, 1, 0, 10)), "Invalid floating point operation");
}

// A member's XML, one element per line.
std::string procSpecXml(const std::vector<double>& xs, const std::string& unit, const std::vector<double>& pixels,
                        const std::vector<double>& processed, bool closeWavelengths = true) {
    auto list = [](const std::string& tag, const std::vector<double>& v, bool close) {
        std::string s = "  <" + tag + ">\n";
        for (double d : v) s += "    <double>" + numtext::FloatToStr(d, '.') + "</double>\n";
        if (close) s += "  </" + tag + ">\n";
        return s;
    };
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<processedSpectrum>\n";
    s += list("processedPixels", processed, true);
    s += list("channelWavelengths", xs, closeWavelengths);
    s += "  <xUnits reference=\"../units/Wavelength\"/>\n";
    if (!unit.empty()) s += "  <yUnits reference=\"../units/" + unit + "\"/>\n";
    s += list("pixelValues", pixels, true);
    return s + "</processedSpectrum>\n";
}

std::vector<double> ramp(double first, double last, int n) {
    std::vector<double> v;
    for (int i = 0; i < n; ++i) v.push_back(first + (last - first) * i / (n - 1));
    return v;
}

TSpectrumRecord readArchive(const std::string& bytes) {
    TSpectrumRecord r;
    ReadSpecProcSpecBytes(r, bytes, "/m/leaf 2.ProcSpec", kFileDate);
    return r;
}

template <class E>
std::string archiveError(const std::string& bytes) {
    return fmt_test::errorText<E>([&] { readArchive(bytes); });
}

TEST(ProcSpec, CountsFromPixelValues) {
    CleanState state(',');
    const std::vector<double> xs = ramp(177.2, 890.8, 2048);
    const std::vector<double> counts = ramp(1000, 3000, 2048), processed(2048, 0.5);
    const std::string xml = procSpecXml(xs, "CountsIntensity", counts, processed);
    const TSpectrumRecord r = readArchive(zipArchive({{"OOISignatures.xml", "<sig/>"}, {"ps_1700.xml", xml}}));
    ASSERT_EQ(r.PointCount(), 2048);
    EXPECT_EQ(r.FirstX, 177.2);
    EXPECT_DOUBLE_EQ(r.StepX, (890.8 - 177.2) / 2047);
    EXPECT_EQ(r.YKind, SpecYIntensity);
    EXPECT_NEAR(r.Values[0], 1000, 1e-9);
    EXPECT_NEAR(r.Values[2047], 3000, 1e-9);
    EXPECT_EQ(r.SourceKind, 42);
    EXPECT_EQ(r.SpecType, "oo_procspec");
    EXPECT_EQ(r.Title, "leaf 2");
    EXPECT_EQ(r.FileName, "/m/leaf 2.ProcSpec");
    EXPECT_EQ(r.DateText, kFileDate);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_EQ(r.ExcitationWl, -1.0);
    EXPECT_TRUE(r.Comment1.empty() && r.Comment2.empty());
}

TEST(ProcSpec, UnitsAndPercent) {
    CleanState state;
    const std::vector<double> xs = ramp(400, 500, 101);
    struct Case {
        std::string unit;
        double top;
        SpecYKind kind;
        double stored;  // of the last point
    };
    const Case cases[] = {
        {"TransmissionIntensity", 95, SpecYTransmittance, -std::log10(0.95)},
        {"TransmissionIntensity", 0.95, SpecYTransmittance, -std::log10(0.95)},
        {"ReflectionIntensity", 1.2, SpecYReflectance, -std::log10(1.2)},
        {"ReflectionIntensity", 50, SpecYReflectance, -std::log10(0.5)},
        {"AbsorbanceIntensity", 2.5, SpecYAbsorbance, 2.5},
        {"", 2.5, SpecYAbsorbance, 2.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit + " " + std::to_string(c.top));
        const std::vector<double> ys = ramp(0, c.top, 101);
        const TSpectrumRecord r = readArchive(zipArchive({{"ps_0.xml", procSpecXml(xs, c.unit, {}, ys)}}));
        ASSERT_EQ(r.PointCount(), 101);
        EXPECT_EQ(r.YKind, c.kind);
        EXPECT_NEAR(r.Values[100], c.stored, 1e-12);
        if (c.kind != SpecYAbsorbance) {
            EXPECT_EQ(r.Values[0], 6.0);
        }
    }
}

TEST(ProcSpec, FallingWavelengthsAreReversedOnce) {
    CleanState state;
    const TSpectrumRecord r =
        readArchive(zipArchive({{"ps_0.xml", procSpecXml(ramp(900, 200, 8), "CountsIntensity", ramp(1, 8, 8), {})}}));
    ASSERT_EQ(r.PointCount(), 8);
    EXPECT_EQ(r.FirstX, 200.0);
    EXPECT_EQ(r.StepX, 100.0);
    EXPECT_EQ(r.Values[0], 8.0);
    EXPECT_EQ(r.Values[7], 1.0);
}

TEST(ProcSpec, MemberChoice) {
    CleanState state;
    const std::vector<double> xs = ramp(400, 401, 2);
    auto member = [&](double y) { return procSpecXml(xs, "AbsorbanceIntensity", {}, {y, y}); };
    // The last member matching ps_*.xml in any folder and of any case; other names are not taken.
    TSpectrumRecord r = readArchive(zipArchive({{"data/PS_1.XML", member(1)},
                                                {"sub/ps_2.xml", member(2), false},
                                                {"x_ps_3.xml", member(3)},
                                                {"ps_4.xml.bak", member(4)}}));
    ASSERT_EQ(r.PointCount(), 2);
    EXPECT_EQ(r.Values[0], 2.0);
    // No member: the scan finds no line.
    EXPECT_THROW(readArchive(zipArchive({{"other.xml", member(1)}})), vx::ListIndexError);
}

TEST(ProcSpec, BadContents) {
    CleanState state;
    const std::vector<double> xs = ramp(400, 410, 11);
    const std::string counts = "CountsIntensity";
    auto zipped = [](const std::string& xml) { return zipArchive({{"ps_0.xml", xml}}); };
    EXPECT_EQ(archiveError<vx::ListIndexError>(zipped(procSpecXml(xs, counts, ramp(1, 2, 10), {}))),
              "List index out of bounds (10)");
    EXPECT_EQ(archiveError<vx::ListIndexError>(zipped(procSpecXml(xs, counts, ramp(1, 2, 12), {}))),
              "List index out of bounds (11)");
    EXPECT_THROW(readArchive(zipped(procSpecXml(xs, counts, ramp(1, 2, 11), {}, false))), vx::ListIndexError);
    std::string empty = procSpecXml(xs, counts, ramp(1, 2, 11), {});
    empty.replace(empty.rfind("<double>"), empty.rfind("</double>") - empty.rfind("<double>"), "<double>");
    EXPECT_EQ(archiveError<vx::ConversionError>(zipped(empty)), "'' is not a valid floating point value");
    EXPECT_EQ(archiveError<vx::FloatError>(zipped(procSpecXml({400}, counts, {1}, {}))),
              "Invalid floating point operation");
    EXPECT_EQ(archiveError<vx::FloatError>(zipped(procSpecXml({400, 400}, counts, {1, 2}, {}))),
              "Invalid floating point operation");
}

TEST(ProcSpec, ArchivesAreCheckedBeforeTheyAreTrusted) {
    CleanState state;
    const std::string xml = procSpecXml(ramp(400, 410, 11), "CountsIntensity", ramp(1, 2, 11), {});
    const std::string cannot = "Cannot open file /m/leaf 2.ProcSpec";
    EXPECT_EQ(archiveError<vx::FileError>("not a zip archive at all"), cannot);
    EXPECT_EQ(archiveError<vx::FileError>(zipArchive({{"ps_0.xml", xml}}).substr(0, 60)), cannot);
    EXPECT_EQ(archiveError<vx::FileError>(zipArchive({{"ps_0.xml", xml, true, -1, true}})), cannot);
    // Declared sizes that differ from the contents, either way and either method.
    for (bool deflate : {true, false}) {
        SCOPED_TRACE(deflate);
        EXPECT_EQ(archiveError<vx::FileError>(zipArchive({{"ps_0.xml", xml, deflate, int64_t(xml.size()) - 10}})),
                  cannot);
        EXPECT_EQ(archiveError<vx::FileError>(zipArchive({{"ps_0.xml", xml, deflate, int64_t(xml.size()) + 10}})),
                  cannot);
    }
    // A member declared above 256 MiB is not extracted at all.
    const std::string big = archiveError<vx::FileError>(zipArchive({{"ps_0.xml", xml, true, int64_t(300) << 20}}));
    EXPECT_NE(big.find("larger than 256 MiB"), std::string::npos) << big;
}

TEST(ProcSpec, ReadsAFileFromDisk) {
    CleanState state;
    TempDir dir;
    const std::string path = dir.write("sample.procspec", zipArchive({{"ps_0.xml", procSpecXml(ramp(400, 410, 11),
                                                                                              "CountsIntensity",
                                                                                              ramp(1, 2, 11), {})}}));
    TSpectrumRecord r;
    LoadSpecProcSpec(r, path);
    EXPECT_EQ(r.PointCount(), 11);
    EXPECT_EQ(r.Title, "sample");
    EXPECT_EQ(r.DateText.str().size(), 19u);
    EXPECT_THROW(LoadSpecProcSpec(r, dir.file("missing.procspec")), vx::FileError);
}

}  // namespace
