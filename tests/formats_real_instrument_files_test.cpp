// Real files written by instruments (tests/data/instruments, with their origins and licences), read to
// the values an independent reader gives and to the instrument software's own exports of them.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "formats/format_table.h"
#include "formats/jws_reader.h"
#include "formats/perkinelmer_sp.h"
#include "formats/text_loader.h"
#include "formats_test_util.h"
#include "instrument_file_builder.h"
#include "platform/byte_order.h"
#include "platform/errors.h"
#include "platform/ui.h"

using fmt_test::CleanState;
using fmt_test::TempDir;

namespace {

std::string dataFile(const std::string& name) { return std::string(VX_TEST_DATA_DIR) + "/instruments/" + name; }

std::string fileBytes(const std::string& name) { return TempDir::read(dataFile(name)); }

// The x, y pairs after the line holding `start` of an instrument export, up to the first line that is
// no pair; `sep` parts x from y.
std::vector<std::pair<double, double>> exportPairs(const std::string& name, const std::string& start, char sep) {
    std::ifstream f(dataFile(name), std::ios::binary);
    std::vector<std::pair<double, double>> pairs;
    bool in = false;
    for (std::string line; std::getline(f, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!in) {
            in = line == start;
            continue;
        }
        const std::size_t at = line.find(sep);
        if (line.empty() || at == std::string::npos) break;
        pairs.emplace_back(std::stod(line.substr(0, at)), std::stod(line.substr(at + 1)));
    }
    return pairs;
}

// The stored form of a transmittance in percent.
double storedTransmittance(double percent) { return percent <= 1e-6 ? 6.0 : -std::log10(percent / 100.0); }

// The x of point i of a record.
double xOf(const TSpectrumRecord& r, std::size_t i) { return r.FirstX + static_cast<double>(i) * r.StepX; }

constexpr float kInvalidPoint = -1.17549435e-38f;  // the instrument's mark of a point it could not measure

class RealInstrumentFiles : public ::testing::Test {
protected:
    CleanState state;
    ui::ScopedScriptedBackend ui;
};

// A block-layout file whose x text is "cm-1": 3301 points from 4000 down to 700 1/cm, in file order.
TEST_F(RealInstrumentFiles, PerkinElmerBlockFileInWavenumbers) {
    TSpectrumRecord r;
    LoadSpecPerkinElmer(r, dataFile("spectra.sp"), ReadLimitOf(OpenFormat::PerkinElmerSp));
    ASSERT_EQ(r.PointCount(), 3301);
    EXPECT_EQ(r.XUnit, SpecXWavenumber);
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    EXPECT_DOUBLE_EQ(r.FirstX, 4000.0);
    EXPECT_DOUBLE_EQ(r.StepX, -1.0);
    EXPECT_DOUBLE_EQ(xOf(r, 3300), 700.0);
    const double first[] = {0.03723936, 0.03718614, 0.03713289, 0.03707970, 0.03702638};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(r.Values[i], first[i], 5e-9) << i;
    const double last[] = {0.00313506, 0.00368404, 0.00417556};
    for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(r.Values[3298 + i], last[i], 5e-9) << i;
    EXPECT_TRUE(ui->messages.empty());
}

// A compound file of 512-byte sectors: through its directory the DataInfo header and all 7573 values of
// Y-Data, every one at the x the instrument's own export gives it. The 460 invalid points keep their
// places; as transmittances of (almost) nothing they are stored as 6.0, the floor of the stored form,
// where the export shows the mark itself.
TEST_F(RealInstrumentFiles, JwsCompoundMatchesTheInstrumentExport) {
    TSpectrumRecord r;
    LoadJwsFile(r, dataFile("legacy_trans_512.jws"), ReadLimitOf(OpenFormat::Jws));
    ASSERT_EQ(r.PointCount(), 7573);
    EXPECT_EQ(r.XUnit, SpecXWavenumber);
    EXPECT_EQ(r.YKind, SpecYTransmittance);
    // Stored falling: the file's last x first.
    EXPECT_DOUBLE_EQ(r.FirstX, 7800.6487838216835);
    EXPECT_DOUBLE_EQ(r.StepX, -0.9642334714241884);
    EXPECT_NEAR(xOf(r, 7572), 499.47293819772955, 1e-9);
    const std::size_t n = r.Values.size();
    const double first[] = {0.07733272, 0.09251174, 0.08255544, 0.05683092, 0.03084800};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(r.Values[n - 1 - i], storedTransmittance(first[i]), 1e-7) << i;
    EXPECT_NEAR(r.Values[0], storedTransmittance(16.77827835), 1e-8);

    const auto pairs = exportPairs("legacy_trans_512_pair.csv", "XYDATA", ',');
    ASSERT_EQ(pairs.size(), 7573u);
    std::size_t marks = 0;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const auto [x, y] = pairs[i];
        const std::size_t k = n - 1 - i;
        ASSERT_NEAR(xOf(r, k), x, 1e-3) << i;  // the export rounds x to 4 decimals
        if (y < -1e-38 && y > -2e-38) ++marks;
        if (y <= 1e-6) {
            ASSERT_EQ(r.Values[k], 6.0) << i;
        } else {
            // Six significant digits in the export.
            ASSERT_NEAR(std::pow(10.0, -r.Values[k]) * 100.0, y, std::fabs(y) * 1e-5 + 1e-9) << i;
        }
    }
    EXPECT_EQ(marks, 460u);
    EXPECT_TRUE(ui->messages.empty());
}

// The directory and the pattern search give the same header fields and values, with the invalid
// points' marks replaced by a plausible value and as the instrument wrote them; a directory that names
// no Y-Data stream leaves the file to the pattern search.
TEST_F(RealInstrumentFiles, JwsCompoundDirectoryAndPatternAgree) {
    std::string bytes = fileBytes("legacy_trans_512.jws");
    const std::string mark(reinterpret_cast<const char*>(&kInvalidPoint), 4);
    std::size_t replaced = 0;
    for (std::size_t at = bytes.find(mark); at != std::string::npos; at = bytes.find(mark, at + 4), ++replaced)
        byteorder::putF32LE(reinterpret_cast<uint8_t*>(bytes.data()) + at, 0.5f);
    EXPECT_EQ(replaced, 460u);
    // The directory entry's name "Y-Data" in UTF-16: renamed, the stream is no longer found.
    const std::string name("Y\0-\0D\0a\0t\0a\0", 12);
    std::string renamed = bytes;
    const std::size_t entry = renamed.find(name);
    ASSERT_NE(entry, std::string::npos);
    renamed[entry + 10] = 'o';

    TSpectrumRecord byDirectory, byPattern;
    ReadJwsBytes(byDirectory, bytes, "/data/a.jws");
    ReadJwsBytes(byPattern, renamed, "/data/a.jws");
    ASSERT_EQ(byDirectory.PointCount(), 7573);
    ASSERT_EQ(byPattern.PointCount(), 7573);
    EXPECT_EQ(byPattern.FirstX, byDirectory.FirstX);
    EXPECT_EQ(byPattern.StepX, byDirectory.StepX);
    EXPECT_EQ(byPattern.XUnit, byDirectory.XUnit);
    EXPECT_EQ(byPattern.YKind, byDirectory.YKind);
    EXPECT_EQ(byPattern.Values, byDirectory.Values);

    // With the marks left in, the pattern search keeps them at their places too: the runs of marks lie
    // between plausible values, so they are inside the data, and both ways give the same spectrum.
    std::string original = fileBytes("legacy_trans_512.jws");
    original[original.find(name) + 10] = 'o';
    TSpectrumRecord marked, markedByPattern;
    ReadJwsBytes(marked, fileBytes("legacy_trans_512.jws"), "/data/a.jws");
    ReadJwsBytes(markedByPattern, original, "/data/a.jws");
    ASSERT_EQ(markedByPattern.PointCount(), 7573);
    EXPECT_EQ(markedByPattern.FirstX, marked.FirstX);
    EXPECT_EQ(markedByPattern.Values, marked.Values);
}

// A flat FTIR file: the axis descriptor at 160 says wavenumbers where the x code at 840 would say nm.
TEST_F(RealInstrumentFiles, JwsFlatFtirAbsorbance) {
    TSpectrumRecord r;
    LoadJwsFile(r, dataFile("ftir_test.jws"), ReadLimitOf(OpenFormat::Jws));
    ASSERT_EQ(r.PointCount(), 12447);
    EXPECT_EQ(r.XUnit, SpecXWavenumber);
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    EXPECT_DOUBLE_EQ(r.FirstX, 7000.335002539608);
    EXPECT_DOUBLE_EQ(r.StepX, -0.4821167357120942);
    EXPECT_NEAR(xOf(r, 12446), 999.9101098668833, 1e-9);
    const std::size_t n = r.Values.size();
    const double first[] = {0.018802715, 0.019578341, 0.020647377, 0.022070961, 0.023791898};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(r.Values[n - 1 - i], first[i], 1e-9) << i;
    EXPECT_NEAR(r.Values[0], 0.012622221, 1e-9);
    EXPECT_TRUE(ui->messages.empty());
}

// A flat UV-Vis file from 700 down to 400 nm: stored rising, every value as the instrument software's
// text export gives it.
TEST_F(RealInstrumentFiles, JwsFlatUvVisMatchesTheInstrumentExport) {
    TSpectrumRecord r;
    LoadJwsFile(r, dataFile("uvvis_abs.jws"), ReadLimitOf(OpenFormat::Jws));
    ASSERT_EQ(r.PointCount(), 61);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    EXPECT_DOUBLE_EQ(r.FirstX, 400.0);
    EXPECT_DOUBLE_EQ(r.StepX, 5.0);
    EXPECT_EQ(r.Comment1, "Bandwidth: 1.0 nm; ");
    EXPECT_EQ(r.Comment2, "Speed: 400 nm/min");
    EXPECT_NEAR(r.Values[60], -6.3877727e-05, 1e-12);
    EXPECT_NEAR(r.Values[0], -1.9697033e-04, 1e-12);
    const auto pairs = exportPairs("uvvis_abs.txt", "XYDATA", '\t');
    ASSERT_EQ(pairs.size(), 61u);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const auto [x, y] = pairs[i];
        EXPECT_NEAR(xOf(r, 60 - i), x, 1e-9) << i;
        EXPECT_NEAR(r.Values[60 - i], y, std::fabs(y) * 1e-5) << i;
    }
}

// A compound file cut short anywhere gives the values it holds, with the message that counts them:
// where the directory still names Y-Data (a cut behind the stream's size), each at its own x; before
// that, as the pattern search finds them.
TEST_F(RealInstrumentFiles, CutJwsCompoundFilesGiveWhatTheyHold) {
    const std::string good = fileBytes("legacy_trans_512.jws");
    TSpectrumRecord whole;
    ReadJwsBytes(whole, good, "/data/cut.jws");
    ASSERT_EQ(whole.PointCount(), 7573);
    constexpr std::size_t kYDataStart = 3584, kYDataSize = 4 * 7573;  // its sectors follow one another
    std::vector<std::size_t> sizes;
    for (std::size_t percent = 50; percent < 100; ++percent) sizes.push_back(good.size() * percent / 100);
    for (std::size_t size : {kYDataSize - 1, kYDataSize, kYDataSize + 3, std::size_t{30721}, std::size_t{31333},
                             kYDataStart + kYDataSize - 1, kYDataStart + kYDataSize, std::size_t{34305}})
        sizes.push_back(size);
    for (const std::size_t size : sizes) {
        SCOPED_TRACE(size);
        ui->messages.clear();
        TSpectrumRecord r;
        EXPECT_EQ(fmt_test::errorText<vx::Error>([&] { ReadJwsBytes(r, good.substr(0, size), "/data/cut.jws"); }),
                  "no error");
        ASSERT_TRUE(r.IsComplete());
        const std::size_t n = r.Values.size();
        ASSERT_LE(n, (size - kYDataStart) / 4);
        if (n < 7573) {
            ASSERT_EQ(ui->messages.size(), 1u);
            EXPECT_EQ(ui->messages[0], "/data/cut.jws\r\n\r\n" + JwsShortValuesText(n, 7573));
        } else {
            EXPECT_TRUE(ui->messages.empty());
        }
        if (size < kYDataStart + 4 * 64) continue;
        // Stored falling: the file's first values are the record's last. Where the cut took the
        // container's directory the data block is found by its pattern; the points the instrument
        // marked invalid keep their places either way.
        ASSERT_EQ(n, std::min<std::size_t>(7573, (size - kYDataStart) / 4));
        for (std::size_t k = 0; k < n; ++k) {
            ASSERT_EQ(r.Values[n - 1 - k], whole.Values[7572 - k]) << k;
            ASSERT_NEAR(xOf(r, n - 1 - k), xOf(whole, 7572 - k), 1e-9) << k;
        }
    }
}

// Damaged copies of a real compound file, cut short or with bytes of the container's tables changed:
// each gives a spectrum, none, or an error, never a crash or a read outside the file.
TEST_F(RealInstrumentFiles, DamagedJwsCompoundFilesNeverCrash) {
    const std::string good = fileBytes("legacy_trans_512.jws");
    auto check = [](const std::string& bytes) {
        TSpectrumRecord r;
        try {
            ReadJwsBytes(r, bytes, "/data/damaged.jws");
        } catch (const vx::Error&) {
            return;
        }
        EXPECT_LE(r.Values.size(), bytes.size() / 4);
        EXPECT_TRUE(r.Values.empty() || r.IsComplete());
    };
    for (std::size_t size = 0; size < good.size(); size += 509) check(good.substr(0, size));
    // The header, the allocation table and the directory (the file's first four sectors after the
    // header): every 7th byte set to each of a few telling values in turn.
    for (std::size_t at = 0; at < 2560; at += 7)
        for (const unsigned char v : {0x00, 0x01, 0x7F, 0xFE, 0xFF}) {
            std::string bytes = good;
            bytes[at] = static_cast<char>(v);
            check(bytes);
        }
}

}  // namespace
