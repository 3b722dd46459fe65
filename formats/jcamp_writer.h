#pragma once
// JCAMP-DX 5.01 writer: one spectrum per block, data class XYDATA, "(X++(Y..Y))" tables of plain
// decimal numbers. Numbers always carry "." whatever the regional settings.
#include <cstdint>
#include <string>

#include "core/spectra_list.h"

// The text of one block (lines ending CR LF); blockId > 0 adds "##BLOCK_ID=" for a linked file.
std::string JcampBlockText(const TSpectrumRecord& rec, int blockId = 0);
// The linked file of all spectra of `list`; `fileName` names the link block (its folder is dropped).
std::string JcampLinkedText(const TSpectraList& list, const std::string& fileName);

// Writes one spectrum into `fileName` (replaced only when the new file is complete).
void SaveSpecJcamp(const std::string& fileName, const TSpectrumRecord& rec);
// Writes all spectra of the list as one compound file of linked blocks.
void SaveSpecJcampLinked(const std::string& fileName, const TSpectraList& list);
