#include "platform/jpeg_file.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "platform/bmp_file.h"
#include "platform/errors.h"

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

// Decodes into `frame`; the text of libjpeg's error when it failed, nullptr on success. Nothing with a
// destructor lives in this frame between setjmp and a possible longjmp.
const char* decodeInto(const uint8_t* data, size_t size, TFrame& frame, std::vector<uint8_t>& row,
                       ErrorManager& err) {
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
    jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
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
    if (static_cast<uint64_t>(cinfo.image_width) * cinfo.image_height > (static_cast<uint64_t>(size) + 1024) * 512) {
        jpeg_destroy_decompress(&cinfo);
        return "the picture is larger than its data";
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

TFrame DecodeJpeg(const uint8_t* data, size_t size) {
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) throw vx::FileError("Not a JPEG picture.");
    TFrame frame;
    std::vector<uint8_t> row;
    ErrorManager err;
    if (const char* failure = decodeInto(data, size, frame, row, err))
        throw vx::FileError(std::string("The JPEG picture cannot be read: ") + failure);
    return frame;
}

TFrame ReadJpegFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw vx::FileError("Cannot open file \"" + path + "\".");
    std::vector<uint8_t> bytes;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        bytes.insert(bytes.end(), buf, buf + n);
        if (bytes.size() > (1u << 30)) break;  // no JPEG of a side below kMaxFrameSide is that large
    }
    std::fclose(f);
    return DecodeJpeg(bytes.data(), bytes.size());
}

void JpegFileToBitmap(const std::string& bitmapPath, const std::string& jpegPath) {
    WriteBitmapFile(bitmapPath, ReadJpegFile(jpegPath));
}
