#include "formats/multi_export.h"

#include "formats/save_dispatcher.h"

bool SaveSpectraMulti(const TSpectraList& list, const std::string& fileName, int multi, int32_t index,
                      const std::string& programFolder) {
    const SaveFormatEntry* row = SaveFormatEntryOf(SaveFormatOf(fileName));
    if (!row || !row->batch.all) return false;
    return multi == 1 ? row->batch.all(fileName, list, programFolder)
                      : row->batch.one(fileName, list, index, programFolder);
}
