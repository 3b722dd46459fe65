#include "formats/gauss_params_file.h"

#include "formats/file_writer.h"
#include "platform/errors.h"
#include "platform/input_file.h"

bool SaveGaussParams(const std::string& fileName, const TGaussModelParams& block) {
    const GaussBlockImage img = GaussParamsToImage(block);
    WriteFileAtomically(fileName, std::string_view(reinterpret_cast<const char*>(img.data()), img.size()));
    return true;
}

bool LoadGaussParams(const std::string& fileName, TGaussModelParams& block) {
    const InputFile f = InputFile::OpenOrThrow(fileName);
    GaussBlockImage img{};
    const long long got = f.ReadAt(0, img.data(), img.size());
    if (got < 0) vx::throwStreamRead();
    GaussParamsFromBytes(std::string_view(reinterpret_cast<const char*>(img.data()), static_cast<std::size_t>(got)),
                         fileName, block);
    return true;
}

void GaussParamsFromBytes(std::string_view bytes, const std::string& fileName, TGaussModelParams& block) {
    if (bytes.size() < kGaussBlockImageSize) vx::throwStreamRead();
    const TGaussModelParams read = GaussParamsFromImage(reinterpret_cast<const uint8_t*>(bytes.data()));
    if (std::string problem = GaussParamsProblem(read); !problem.empty())
        throw vx::FileError("\"" + fileName + "\" is no usable Gauss parameter file:\r\n" + problem);
    block = read;
}
