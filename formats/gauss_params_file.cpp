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
    if (std::fread(img.data(), 1, img.size(), f.get()) != img.size()) vx::throwStreamRead();
    const TGaussModelParams read = GaussParamsFromImage(img.data());
    if (std::string problem = GaussParamsProblem(read); !problem.empty())
        throw vx::FileError("\"" + fileName + "\" is no usable Gauss parameter file:\r\n" + problem);
    block = read;
    return true;
}
