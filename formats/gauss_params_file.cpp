#include "formats/gauss_params_file.h"

#include <cstdio>
#include <memory>

#include "formats/file_writer.h"
#include "platform/errors.h"

bool SaveGaussParams(const std::string& fileName, const TGaussModelParams& block) {
    const GaussBlockImage img = GaussParamsToImage(block);
    WriteFileAtomically(fileName, std::string_view(reinterpret_cast<const char*>(img.data()), img.size()));
    return true;
}

bool LoadGaussParams(const std::string& fileName, TGaussModelParams& block) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(fileName.c_str(), "rb"), &std::fclose);
    if (!f) throw vx::FileError("Cannot open file \"" + fileName + "\".");
    GaussBlockImage img{};
    const std::size_t got = std::fread(img.data(), 1, img.size(), f.get());
    GaussParamsFromBytes(std::string_view(reinterpret_cast<const char*>(img.data()), got), fileName, block);
    return true;
}

void GaussParamsFromBytes(std::string_view bytes, const std::string& fileName, TGaussModelParams& block) {
    if (bytes.size() < kGaussBlockImageSize) vx::throwStreamRead();
    const TGaussModelParams read = GaussParamsFromImage(reinterpret_cast<const uint8_t*>(bytes.data()));
    if (std::string problem = GaussParamsProblem(read); !problem.empty())
        throw vx::FileError("\"" + fileName + "\" is no usable Gauss parameter file:\r\n" + problem);
    block = read;
}
