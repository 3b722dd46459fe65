#include "core/binary_inspector.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "platform/byte_order.h"
#include "platform/errors.h"
#include "platform/input_file.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

template <typename T>
void appendInt(std::string& t, T v) {
    char buf[24];
    t.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

struct Column {
    int size;
    void (*append)(std::string& t, const uint8_t* p, char sep);
};

const Column kColumns[] = {
    {2, [](std::string& t, const uint8_t* p, char) { appendInt(t, byteorder::getI16LE(p)); }},
    {2, [](std::string& t, const uint8_t* p, char) { appendInt(t, byteorder::getU16LE(p)); }},
    {2, [](std::string& t, const uint8_t* p, char) { appendInt(t, byteorder::getU16BE(p)); }},
    {4, [](std::string& t, const uint8_t* p, char) { appendInt(t, byteorder::getU32LE(p)); }},
    {4, [](std::string& t, const uint8_t* p, char) { appendInt(t, byteorder::getI32LE(p)); }},
    {4, [](std::string& t, const uint8_t* p, char) { appendInt(t, byteorder::getI32BE(p)); }},
    {4, [](std::string& t, const uint8_t* p, char sep) { t += numtext::ShortestFloat(byteorder::getF32LE(p), sep); }},
    {8, [](std::string& t, const uint8_t* p, char sep) { t += numtext::ShortestDouble(byteorder::getF64LE(p), sep); }},
};
constexpr int kWidest = 8;

}  // namespace

std::string BinaryFileTable(const std::string& path, int64_t start, int64_t length, int64_t step) {
    if (step < 1) throw vx::Error("The step width must be at least 1 byte.");
    if (start < 0) throw vx::Error("The start offset must not be negative.");
    const InputFile in = InputFile::OpenOrThrow(path);
    const int64_t fileSize = static_cast<int64_t>(in.Size());

    // The rows cover [start, end); the cells of the last rows may reach a little beyond, up to the file's end.
    start = std::min(start, fileSize);
    const int64_t rangeEnd = length < 0 ? fileSize : start + std::min(length, fileSize - start);
    const int64_t end = std::min(rangeEnd, start + kInspectLimit);
    const bool cut = rangeEnd > end;
    std::vector<uint8_t> bytes;
    if (end > start) {
        const int64_t readEnd = std::min(fileSize, end + kWidest - 1);
        bytes.resize(static_cast<std::size_t>(readEnd - start));
        if (in.ReadAt(static_cast<uint64_t>(start), bytes.data(), bytes.size()) != static_cast<long long>(bytes.size()))
            vx::throwStreamRead();
    }

    const char sep = numtext::decimalSeparator();
    std::string t;
    t.reserve(static_cast<std::size_t>((end - start) / step + 6) * 90);
    t += "Filename: \t" + path + "\r\n";
    t += "Type: \tSmallInt\tWord\tWord\tLongWord\tInteger\tInteger\tSingle\tDouble\r\n";
    t += "byte size \t2\t2\t2\t4\t4\t4\t4\t8\r\n";
    t += "OFFSET/ Endian\tlittle\tlittle\tbig\tlittle\tlittle\tbig\tlittle\tlittle\r\n";
    for (int64_t o = start; o < end; o += step) {
        appendInt(t, o);
        const int64_t left = static_cast<int64_t>(bytes.size()) - (o - start);
        for (const Column& c : kColumns) {
            t += '\t';
            if (c.size <= left) c.append(t, bytes.data() + (o - start), sep);
        }
        t += "\r\n";
        if (step > end - o) break;  // the next offset would overflow or leave the range
    }
    if (cut)
        t += "table cut: only the first " + std::to_string(kInspectLimit) + " of " +
             std::to_string(rangeEnd - start) + " bytes are shown\r\n";
    return t;
}

void InspectBinaryFile(const std::string& path, int64_t start, int64_t length, int64_t step) {
    ui::setClipboardText(BinaryFileTable(path, start, length, step));
}
