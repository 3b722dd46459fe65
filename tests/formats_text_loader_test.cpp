// The shared text loader: line walking, counting and jumping agree everywhere (also across the 64-byte
// blocks the counters work in), files are mapped and converted only where needed, and a file too large
// for its kind is refused before it is read.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "formats/ascii_reader.h"
#include "formats/dat_reader.h"
#include "formats/format_table.h"
#include "formats/jcamp_reader.h"
#include "formats/text_loader.h"
#include "formats/text_spectra.h"
#include "formats_test_util.h"
#include "platform/errors.h"
#include "platform/ui.h"
#include "tests/fault_injection.h"

namespace {

// Line starts as a string list splits a text: after each CR, LF, CR LF or CR CR LF; the end adds no
// empty line.
std::vector<std::size_t> referenceStarts(const std::string& t) {
    std::vector<std::size_t> starts;
    std::size_t i = 0;
    while (i < t.size()) {
        starts.push_back(i);
        while (i < t.size() && t[i] != '\r' && t[i] != '\n') ++i;
        if (i == t.size()) break;
        if (t.compare(i, 2, "\r\n") == 0)
            i += 2;
        else if (t.compare(i, 3, "\r\r\n") == 0)
            i += 3;
        else
            ++i;
    }
    return starts;
}

TEST(TextLoader, CountingSkippingAndJumpingAgreeWithWalking) {
    std::mt19937 rng(19);
    const char pool[] = {'a', '1', ' ', '\r', '\n', '\r', '\n'};
    for (int round = 0; round < 400; ++round) {
        // Long runs without line ends as well as crowded ones, so that endings fall on every position of
        // a block, CR LF pairs straddle block borders, and the text ends in every way.
        std::string t;
        const int len = std::uniform_int_distribution<int>(0, 700)(rng);
        const int density = std::uniform_int_distribution<int>(1, 40)(rng);
        for (int i = 0; i < len; ++i) {
            const bool end = std::uniform_int_distribution<int>(0, density)(rng) == 0;
            t += end ? pool[std::uniform_int_distribution<int>(3, 6)(rng)] : pool[std::uniform_int_distribution<int>(0, 2)(rng)];
        }
        SCOPED_TRACE(testing::Message() << "round " << round << " size " << t.size());
        const std::vector<std::size_t> starts = referenceStarts(t);
        ASSERT_EQ(CountLines(t), starts.size());
        LineCursor walk(t);
        std::string_view line;
        for (std::size_t k = 0; k < starts.size(); ++k) {
            ASSERT_EQ(walk.Position(), starts[k]);
            ASSERT_TRUE(walk.Next(line));
        }
        EXPECT_FALSE(walk.Next(line));
        const LineIndex index(t);
        ASSERT_EQ(index.Count(), starts.size());
        for (std::size_t k = 0; k <= starts.size(); ++k) {
            const std::size_t want = k < starts.size() ? starts[k] : t.size();
            ASSERT_EQ(index.At(k).Position(), want) << "line " << k;
            LineCursor skip(t);
            EXPECT_EQ(skip.Skip(k), k <= starts.size()) << "line " << k;
            ASSERT_EQ(skip.Position(), want) << "line " << k;
        }
        LineCursor past(t);
        EXPECT_FALSE(past.Skip(starts.size() + 1));
    }
}

TEST(TextLoader, JumpsIntoLongTexts) {
    // More lines than one stride of the index, with CR LF, LF and CR endings mixed.
    std::string t;
    const char* ends[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 5000; ++i) t += std::to_string(i) + ends[i % 3];
    const LineIndex index(t);
    ASSERT_EQ(index.Count(), 5000u);
    for (std::size_t k : {0u, 1u, 1023u, 1024u, 1025u, 2048u, 4999u}) {
        std::string_view line;
        ASSERT_TRUE(index.At(k).Next(line));
        EXPECT_EQ(line, std::to_string(k));
    }
}

class TextFiles : public ::testing::Test {
protected:
    fmt_test::TempDir dir;
};

TEST_F(TextFiles, MapsConvertsOnlyWhatNeedsIt) {
    const std::string path = dir.write("t.csv", "nm;\xB5m\r\n400;1\r\n");
    const MappedText text = MappedText::OpenFile(path, 1000, "CSV");
    EXPECT_FALSE(text.IsUtf8());
    EXPECT_EQ(text.Bytes(), "nm;\xB5m\r\n400;1\r\n");
    std::string scratch;
    const std::string_view ascii = text.Bytes().substr(0, 3);
    EXPECT_EQ(text.Utf8(ascii, scratch).data(), ascii.data());  // no copy of plain text
    EXPECT_EQ(text.Utf8(text.Bytes().substr(3, 2), scratch), "\xC2\xB5m");
    EXPECT_EQ(text.Utf8(text.Bytes().substr(3, 2)), "\xC2\xB5m");

    // UTF-16 files become UTF-8; empty files are empty.
    const MappedText wide = MappedText::OpenFile(dir.write("w.csv", std::string("\xFF\xFE" "a\0\xB5\0", 6)), 1000, "CSV");
    EXPECT_TRUE(wide.IsUtf8());
    EXPECT_EQ(wide.Bytes(), "a\xC2\xB5");
    EXPECT_TRUE(MappedText::OpenFile(dir.write("e.csv", ""), 1000, "CSV").Bytes().empty());
    // Text from memory is already UTF-8 and stays as it is.
    const std::string mem = "\xC2\xB5";
    EXPECT_EQ(MappedText::FromUtf8(mem).Utf8(mem), mem);
}

TEST_F(TextFiles, RefusesWhatCannotBeAFile) {
    EXPECT_THROW(MappedText::OpenFile(dir.file("missing.csv"), 1000, "CSV"), vx::FileError);
    EXPECT_THROW(MappedText::OpenFile(dir.file(""), 1000, "CSV"), vx::FileError);  // the folder
    const std::string path = dir.write("big.csv", std::string(1001, '1'));
    try {
        MappedText::OpenFile(path, 1000, "CSV");
        FAIL() << "no error";
    } catch (const vx::FileError& e) {
        EXPECT_EQ(std::string(e.what()), TooLargeMessage(path, 1001, 1000, "CSV"));
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
    }
    EXPECT_EQ(MappedText::OpenFile(path, 1001, "CSV").Bytes().size(), 1001u);
}

// A pipe under a spectrum file's name held the Open command for ever; it and the other kinds are refused
// at once, and every refusal says why.
TEST_F(TextFiles, PipesFoldersAndLinkLoopsAreRefusedWithTheirReason) {
    const auto planted = fault::plantNonRegularFiles(dir.file(""));
    const std::pair<std::string, std::string> cases[] = {
        {planted[0].string(), "Is a named pipe"},
        {planted[2].string(), "Is a directory"},
        {dir.file("loop"), "Too many levels of symbolic links"},
        {"/dev/zero", "Is a device"},
        {dir.file("missing.csv"), "No such file or directory"},
    };
    const int code = fault::inChildWithin(10, [&] {
        int failures = 0;
        for (const auto& [path, reason] : cases) {
            for (bool binary : {false, true}) {
                try {
                    if (binary) MappedText::OpenBinaryFile(path, 1000, "SPE");
                    else MappedText::OpenFile(path, 1000, "CSV");
                    ++failures;
                } catch (const vx::FileError& e) {
                    if (std::string(e.what()) != "Cannot open file \"" + path + "\". " + reason) ++failures;
                }
            }
        }
        return failures;
    });
    EXPECT_EQ(code, 0);
}

// A sparse file one byte over each reader's limit is refused at once, without reading or holding it.
TEST_F(TextFiles, EveryTextReaderRefusesFilesAboveItsLimit) {
    ui::ScopedScriptedBackend ui;
    struct Case {
        const char* name;
        std::uint64_t limit;
        std::function<void(const std::string&)> read;
    } cases[] = {
        {"big.csv", std::uint64_t{1} << 30,
         [](const std::string& p) { TSpectraList l; LoadTextSpectraFile(p, l, ReadLimitOf(OpenFormat::Csv)); }},
        {"big.dx", std::uint64_t{1} << 30,
         [](const std::string& p) { TSpectraList l; LoadSpecJcamp(p, l, ReadLimitOf(OpenFormat::JcampDx)); }},
        {"big.dat", std::uint64_t{1} << 30,
         [](const std::string& p) { TSpectraList l; LoadDatFile(p, l, ReadLimitOf(OpenFormat::Dat)); }},
        {"big.fak", std::uint64_t{256} << 20,
         [](const std::string& p) { TSpectrumRecord r; LoadSpecAscii(r, p, nullptr, ReadLimitOf(OpenFormat::Fak)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(c.name);
        {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(c.limit + 1)), 0);
            ::close(fd);
        }
        try {
            c.read(path);
            FAIL() << "no error";
        } catch (const vx::FileError& e) {
            EXPECT_NE(std::string(e.what()).find("is too large to be a"), std::string::npos) << e.what();
        }
        ::unlink(path.c_str());
    }
}

// Files read through the loader give what the same text read from memory gives, with their texts
// converted from the code page.
TEST_F(TextFiles, ReadersTakeTheCodePageFromFiles) {
    fmt_test::CleanState state;
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    LoadTextSpectraFile(dir.write("a.csv", ";\xB5-sample 77K\r\nnm;A\r\n400;1\r\n401;2\r\n402;3\r\n"), list,
                        ReadLimitOf(OpenFormat::Csv));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Title.str(), "\xC2\xB5-sample 77K");
    EXPECT_DOUBLE_EQ(list[0].Temperature, 77.0);

    list.Clear();
    LoadDatFile(dir.write("a.dat", "Wavelength [nm]\tWavelength [\xB5m]\tWavenumbers [1/cm]\t\xE9t\xE9\r\n"
                                   "400.000\t0.4000\t25000.00\t0.5\r\n401.000\t0.4010\t24937.66\t0.6\r\n"),
                list, ReadLimitOf(OpenFormat::Dat));
    ASSERT_EQ(list.Count(), 1);  // the µm column is recognised as an x column
    EXPECT_EQ(list[0].Title.str(), "\xC3\xA9t\xC3\xA9");

    list.Clear();
    LoadSpecJcamp(dir.write("a.dx", "##TITLE= \xE4rger\r\n##XUNITS= NANOMETERS\r\n##YUNITS= ABSORBANCE\r\n"
                                    "##XYDATA= (X++(Y..Y))\r\n400 1 2\r\n402 3 4\r\n##END=\r\n"),
                  list, ReadLimitOf(OpenFormat::JcampDx));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Title.str(), "\xC3\xA4rger");

    // A number field with a byte of the code page names it in UTF-8.
    list.Clear();
    try {
        LoadDatFile(dir.write("b.dat", "a\tb\tc\r\n400\t1\t0.5\r\n401\t2\t\xB5\r\n"), list,
                    ReadLimitOf(OpenFormat::Dat));
        FAIL() << "no error";
    } catch (const vx::ConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "'\xC2\xB5' is not a valid floating point value");
    }
}

}  // namespace
