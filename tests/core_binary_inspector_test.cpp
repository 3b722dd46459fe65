// The binary-file inspector: bounded to the file and to its first MiB, cells only where their bytes are.
#include <gtest/gtest.h>

#include <unistd.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "core/binary_inspector.h"
#include "core/helpers.h"
#include "platform/byte_order.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "tests/fault_injection.h"
#include "tests/tools_test_support.h"
#include "platform/ui.h"

namespace {

namespace fs = std::filesystem;

using SepGuard = tooltest::SeparatorGuard;

std::string WriteBytes(const std::string& name, const std::string& bytes) {
    const fs::path p = fs::temp_directory_path() / ("vx_inspect_" + std::to_string(::getpid()) + "_" + name);
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
}

std::vector<std::vector<std::string>> Cells(const std::string& table) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : SplitLines(table)) {
        std::vector<std::string> cells;
        std::size_t b = 0;
        for (std::size_t t; (t = line.find('\t', b)) != std::string::npos; b = t + 1)
            cells.push_back(line.substr(b, t - b));
        cells.push_back(line.substr(b));
        rows.push_back(cells);
    }
    return rows;
}

}  // namespace

TEST(BinaryInspector, HeaderRowsAndEveryTypeInItsByteOrder) {
    SepGuard point('.');
    std::string bytes(16, '\0');
    auto* p = reinterpret_cast<uint8_t*>(bytes.data());
    p[0] = 0xFE;
    p[1] = 0xFF;
    p[2] = 0x00;
    p[3] = 0x80;
    byteorder::putF32LE(p + 4, 1.5f);
    byteorder::putU64LE(p + 8, std::bit_cast<uint64_t>(0.1));
    const std::string path = WriteBytes("types.bin", bytes);
    const auto rows = Cells(BinaryFileTable(path, 0, -1, 4));
    ASSERT_EQ(rows.size(), 4u + 4u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Filename: ", path}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"Type: ", "SmallInt", "Word", "Word", "LongWord", "Integer",
                                                 "Integer", "Single", "Double"}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{"byte size ", "2", "2", "2", "4", "4", "4", "4", "8"}));
    EXPECT_EQ(rows[3], (std::vector<std::string>{"OFFSET/ Endian", "little", "little", "big", "little", "little",
                                                 "big", "little", "little"}));
    // Offset 0: FE FF 00 80.
    EXPECT_EQ(rows[4][0], "0");
    EXPECT_EQ(rows[4][1], "-2");
    EXPECT_EQ(rows[4][2], "65534");
    EXPECT_EQ(rows[4][3], "65279");
    EXPECT_EQ(rows[4][4], "2147549182");
    EXPECT_EQ(rows[4][5], "-2147418114");
    EXPECT_EQ(rows[4][6], "-16842624");
    EXPECT_EQ(rows[5][7], "1.5");
    EXPECT_EQ(rows[6][8], "0.1");
    // Offset 12: four bytes are left, so the Double's cell stays empty; every row has all nine cells.
    EXPECT_EQ(rows[7][0], "12");
    EXPECT_EQ(rows[7][8], "");
    EXPECT_NE(rows[7][7], "");
    for (std::size_t r = 4; r < rows.size(); ++r) EXPECT_EQ(rows[r].size(), 9u);
}

TEST(BinaryInspector, NonNumbersAndTheRegionalSeparator) {
    std::string bytes(24, '\0');
    auto* p = reinterpret_cast<uint8_t*>(bytes.data());
    byteorder::putF32LE(p, std::numeric_limits<float>::quiet_NaN());
    byteorder::putF32LE(p + 4, -std::numeric_limits<float>::infinity());
    byteorder::putU64LE(p + 8, std::bit_cast<uint64_t>(std::numeric_limits<double>::infinity()));
    byteorder::putU64LE(p + 16, std::bit_cast<uint64_t>(-2.25));
    const std::string path = WriteBytes("nan.bin", bytes);
    SepGuard comma(',');
    const auto rows = Cells(BinaryFileTable(path, 0, -1, 4));
    EXPECT_EQ(rows[4][7], "NAN");
    EXPECT_EQ(rows[5][7], "-INF");
    EXPECT_EQ(rows[6][8], "INF");
    EXPECT_EQ(rows[8][8], "-2,25");
    // The shortest text that reads back: 9 digits at most for a Single, 17 for a Double.
    EXPECT_EQ(numtext::ShortestFloat(0.1f + 0.2f, ','), "0,3");
    EXPECT_EQ(numtext::ShortestDouble(0.1 + 0.2, ','), "0,30000000000000004");
    EXPECT_EQ(numtext::ShortestFloat(16777217.0f, ','), "16777216");
}

TEST(BinaryInspector, RangesAndStepsStayInsideTheFile) {
    SepGuard point('.');
    const std::string path = WriteBytes("seven.bin", "\x01\x02\x03\x04\x05\x06\x07");
    struct Case {
        int64_t start, length, step;
        std::vector<std::string> offsets;
    };
    const Case cases[] = {
        {0, -1, 3, {"0", "3", "6"}},
        {0, 4, 4, {"0"}},
        {2, 100, 2, {"2", "4", "6"}},  // a length beyond the file ends with the file
        {1, -1, 1, {"1", "2", "3", "4", "5", "6"}},
        {7, -1, 4, {}},
        {50, 10, 4, {}},
        {0, 0, 4, {}},
        {0, -1, std::numeric_limits<int64_t>::max(), {"0"}},
        {3, std::numeric_limits<int64_t>::max(), 1, {"3", "4", "5", "6"}},
    };
    for (const Case& c : cases) {
        const auto rows = Cells(BinaryFileTable(path, c.start, c.length, c.step));
        std::vector<std::string> offsets;
        for (std::size_t r = 4; r < rows.size(); ++r) offsets.push_back(rows[r][0]);
        EXPECT_EQ(offsets, c.offsets) << c.start << " " << c.length << " " << c.step;
    }
    const auto rows = Cells(BinaryFileTable(path, 0, -1, 3));
    // Offset 6 holds a single byte: a row of empty cells.
    EXPECT_EQ(rows[6], (std::vector<std::string>{"6", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(rows[5][2], "1284");  // bytes 04 05
    EXPECT_EQ(rows[5][5], "117835012");  // four bytes from offset 3 end at the file's end
    EXPECT_EQ(rows[5][8], "");
}

TEST(BinaryInspector, StepBelowOneAndMissingFilesAreRefused) {
    const std::string path = WriteBytes("refuse.bin", "abcdefgh");
    EXPECT_THROW(BinaryFileTable(path, 0, -1, 0), vx::Error);
    EXPECT_THROW(BinaryFileTable(path, 0, -1, -4), vx::Error);
    EXPECT_THROW(BinaryFileTable(path, -1, -1, 4), vx::Error);
    EXPECT_THROW(BinaryFileTable(path + ".none", 0, -1, 4), vx::FileError);
    ui::ScopedScriptedBackend ui;
    InspectBinaryFile(path, 0, -1, 4);
    EXPECT_EQ(Cells(ui->clipboard).size(), 6u);
    EXPECT_EQ(ui->clipboard.substr(ui->clipboard.size() - 2), "\r\n");
}

TEST(BinaryInspector, LargeFilesAreCutAfterTheFirstMiBWithAClosingRow) {
    std::string bytes(static_cast<std::size_t>(kInspectLimit) + 10, '\x11');
    const std::string path = WriteBytes("large.bin", bytes);
    const auto rows = Cells(BinaryFileTable(path, 0, -1, 4));
    ASSERT_EQ(rows.size(), 4u + static_cast<std::size_t>(kInspectLimit / 4) + 1u);
    const auto& last = rows[rows.size() - 2];
    EXPECT_EQ(last[0], std::to_string(kInspectLimit - 4));
    EXPECT_NE(last[8], "");  // its Double reaches past the MiB, but not past the file
    EXPECT_EQ(rows.back().size(), 1u);
    EXPECT_NE(rows.back()[0].find("1048576 of 1048586 bytes"), std::string::npos) << rows.back()[0];
    // A file of exactly one MiB is tabulated whole, without the closing row.
    bytes.resize(static_cast<std::size_t>(kInspectLimit));
    const auto whole = Cells(BinaryFileTable(WriteBytes("mib.bin", bytes), 0, -1, 4));
    EXPECT_EQ(whole.size(), 4u + static_cast<std::size_t>(kInspectLimit / 4));
}

// "Open unknown binary file" on a pipe held the program; a pipe, a folder and a link loop are refused at
// once, each with its reason after "Cannot open file".
TEST(BinaryInspector, FilesThatAreNoRegularFilesAreRefusedWithTheirReason) {
    const fs::path dir = fs::temp_directory_path() / ("vx_inspect_kinds_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const auto planted = fault::plantNonRegularFiles(dir);
    const std::pair<fs::path, std::string> cases[] = {
        {planted[0], "Is a named pipe"},
        {planted[2], "Is a directory"},
        {dir / "loop", "Too many levels of symbolic links"},
    };
    const int code = fault::inChildWithin(10, [&] {
        for (const auto& [path, reason] : cases) {
            try {
                BinaryFileTable(path.string(), 0, -1, 4);
                return 1;
            } catch (const vx::FileError& e) {
                if (std::string(e.what()) != "Cannot open file \"" + path.string() + "\". " + reason) return 2;
            }
        }
        return 0;
    });
    EXPECT_EQ(code, 0);
    fs::remove_all(dir);
}
