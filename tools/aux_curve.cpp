#include "tools/aux_curve.h"

#include <exception>

#include "core/file_names.h"
#include "formats/ascii_reader.h"
#include "formats/format_table.h"
#include "platform/errors.h"
#include "platform/ui.h"

std::unique_ptr<TSpectrumRecord> ReadAuxCurve(const std::string& fileName) {
    auto rec = std::make_unique<TSpectrumRecord>();
    LoadSpecAscii(*rec, fileName, nullptr, ReadLimitOf(OpenFormat::Fak));
    if (!rec->IsComplete()) throw vx::Error(fileName + ": no curve of at least two points");
    return rec;
}

void LoadAuxCurve(TAuxCurve& curve, const std::string& fileName) {
    auto rec = ReadAuxCurve(fileName);
    curve.Record = std::move(rec);
    curve.FileName = fileName;
}

bool LoadLampCurve(TAuxCurve& lamp, const std::string& fileName, std::string& lampFolder) {
    if (fileName.empty()) {
        lamp.Free();
        return false;
    }
    try {
        LoadAuxCurve(lamp, fileName);
    } catch (const std::exception& e) {
        ui::messageBox(e.what());
        return lamp.Loaded();
    }
    lampFolder = FolderOf(fileName);
    return true;
}
