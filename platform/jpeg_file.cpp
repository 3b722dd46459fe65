#include "platform/jpeg_file.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/input_file.h"

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr, int) {}  // warnings of damaged data do not stop the picture

// A JPEG file read in pieces as the decoder asks for them, never beyond `limit`: the markers before the
// picture are skipped without being read, the decoder stops at the picture's end marker, and a file
// whose picture data runs on far beyond what its declared size can take is refused there.
struct FileSource {
    jpeg_source_mgr pub;
    const InputFile* file = nullptr;
    ErrorManager* err = nullptr;
    uint64_t offset = 0;  // the next byte to read
    uint64_t limit = 0;   // no byte from here on is read
    JOCTET buffer[65536];
};

// Markers and tables before the frame header (metadata, thumbnails) take at most this much.
constexpr uint64_t kHeaderBytes = 16u << 20;
// The most compressed data an 8 x 8 block of one component can take, with room to spare: Huffman
// codes of every coefficient, byte stuffing, progressive refinement scans.
constexpr uint64_t kBytesPerBlock = 2048;

[[noreturn]] void failSource(j_decompress_ptr cinfo, const char* text) {
    auto* src = reinterpret_cast<FileSource*>(cinfo->src);
    std::snprintf(src->err->message, sizeof src->err->message, "%s", text);
    std::longjmp(src->err->jump, 1);
}

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<FileSource*>(cinfo->src);
    static const JOCTET kEnd[2] = {0xFF, JPEG_EOI};
    if (src->offset >= src->limit && src->limit < src->file->Size())
        failSource(cinfo, "the file holds more data than its picture can take");
    long long got = 0;
    if (src->offset < src->limit) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(sizeof src->buffer, src->limit - src->offset));
        got = src->file->ReadAt(src->offset, src->buffer, want);
        if (got < 0) failSource(cinfo, std::strerror(errno));
    }
    if (got == 0) {
        // The file ends before the picture: an end marker, as for a picture in memory (the rest stays grey).
        src->pub.next_input_byte = kEnd;
        src->pub.bytes_in_buffer = 2;
        return TRUE;
    }
    src->offset += static_cast<uint64_t>(got);
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = static_cast<size_t>(got);
    return TRUE;
}

void skipInput(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    auto* src = reinterpret_cast<FileSource*>(cinfo->src);
    const auto n = static_cast<uint64_t>(count);
    if (n <= src->pub.bytes_in_buffer) {
        src->pub.next_input_byte += n;
        src->pub.bytes_in_buffer -= static_cast<size_t>(n);
        return;
    }
    src->offset += n - src->pub.bytes_in_buffer;  // skipped, not read
    src->pub.bytes_in_buffer = 0;
}

void useFileSource(j_decompress_ptr cinfo, FileSource& src) {
    src.pub.init_source = initSource;
    src.pub.fill_input_buffer = fillInput;
    src.pub.skip_input_data = skipInput;
    src.pub.resync_to_restart = jpeg_resync_to_restart;
    src.pub.term_source = termSource;
    src.pub.bytes_in_buffer = 0;
    src.pub.next_input_byte = nullptr;
    src.limit = std::min(src.file->Size(), kHeaderBytes);
    cinfo->src = &src.pub;
}

// Decodes into `frame` the picture in memory (`file` null) or in the file; `size` is the number of its
// bytes. The text of libjpeg's error when it failed, nullptr on success. Nothing with a destructor
// lives in this frame between setjmp and a possible longjmp.
const char* decodeInto(const uint8_t* data, uint64_t size, FileSource* file, TFrame& frame,
                       std::vector<uint8_t>& row, ErrorManager& err) {
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    err.message[0] = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return err.message;
    }
    jpeg_create_decompress(&cinfo);
    if (file) {
        file->err = &err;
        useFileSource(&cinfo, *file);
    } else {
        jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    }
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return "no picture";
    }
    if (cinfo.num_components != 1 && cinfo.num_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        return "unsupported colour format";
    }
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxFrameSide ||
        cinfo.image_height > kMaxFrameSide) {
        jpeg_destroy_decompress(&cinfo);
        return "picture size out of range";
    }
    // Every 8 x 8 block of a JPEG costs at least one bit: a header claiming far more pixels than the
    // data can hold is damaged, and is refused before its picture is allocated.
    if (static_cast<uint64_t>(cinfo.image_width) * cinfo.image_height > (size + 1024) * 512) {
        jpeg_destroy_decompress(&cinfo);
        return "the picture is larger than its data";
    }
    if (file) {
        // From here on no more is read than a picture of the declared size can take.
        const uint64_t blocks = (static_cast<uint64_t>(cinfo.image_width) + 7) / 8 *
                                ((static_cast<uint64_t>(cinfo.image_height) + 7) / 8);
        const uint64_t used = file->offset - file->pub.bytes_in_buffer;
        file->limit = std::min(size, std::max(file->limit, used + kHeaderBytes +
                                                               blocks * static_cast<uint64_t>(cinfo.num_components) * kBytesPerBlock));
    }
    cinfo.out_color_space = cinfo.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int32_t w = static_cast<int32_t>(cinfo.output_width);
    const int32_t h = static_cast<int32_t>(cinfo.output_height);
    const int comps = cinfo.output_components;
    frame.Resize(w, h);
    row.resize(static_cast<size_t>(w) * comps);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int32_t y = static_cast<int32_t>(cinfo.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
        uint8_t* out = frame.Pixel(0, y);
        const uint8_t* in = row.data();
        for (int32_t x = 0; x < w; ++x, out += 4, in += comps) {
            if (comps == 1) {
                out[0] = out[1] = out[2] = in[0];
            } else {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
}

}  // namespace

namespace {

bool hasSignature(const uint8_t* p, size_t n) { return n >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF; }

}  // namespace

TFrame DecodeJpeg(const uint8_t* data, size_t size) {
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) throw vx::FileError("Not a JPEG picture.");
    TFrame frame;
    std::vector<uint8_t> row;
    ErrorManager err;
    if (const char* failure = decodeInto(data, size, nullptr, frame, row, err))
        throw vx::FileError(std::string("The JPEG picture cannot be read: ") + failure);
    return frame;
}

TFrame ReadJpegFile(const std::string& path) {
    const InputFile file = InputFile::OpenOrThrow(path);
    // The signature before anything else: a large file that only carries a picture's name is refused
    // after three bytes.
    uint8_t start[4] = {};
    const long long got = file.ReadAt(0, start, sizeof start);
    if (got < 4 || !hasSignature(start, static_cast<size_t>(got))) throw vx::FileError("Not a JPEG picture.");
    auto src = std::make_unique<FileSource>();
    src->file = &file;
    TFrame frame;
    std::vector<uint8_t> row;
    ErrorManager err;
    if (const char* failure = decodeInto(nullptr, file.Size(), src.get(), frame, row, err))
        throw vx::FileError(std::string("The JPEG picture cannot be read: ") + failure);
    return frame;
}

void JpegFileToBitmap(const std::string& bitmapPath, const std::string& jpegPath) {
    WriteBitmapFile(bitmapPath, ReadJpegFile(jpegPath));
}
