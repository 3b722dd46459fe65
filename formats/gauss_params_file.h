#pragma once
// The ".gss" files of the GaussFit Open and Save commands: the 1180-byte image of the Gauss parameter
// block and nothing else.
#include <string>
#include <string_view>

#include "core/gauss_params.h"

// Writes the block (a temporary file beside the target, renamed over it). Throws vx::FileError when
// the file cannot be written; the old file then stays. Returns true.
bool SaveGaussParams(const std::string& fileName, const TGaussModelParams& block);

// Reads the first 1180 bytes of the file into `block`. A file that cannot be opened, is shorter than
// the block ("Stream read error") or holds a block that cannot be used (GaussParamsProblem) raises
// vx::FileError and leaves `block` unchanged. Returns true.
bool LoadGaussParams(const std::string& fileName, TGaussModelParams& block);
// The same for the bytes of a file (those beyond the block are not looked at); `fileName` names it in
// the message.
void GaussParamsFromBytes(std::string_view bytes, const std::string& fileName, TGaussModelParams& block);
