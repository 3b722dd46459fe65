#pragma once
// Spectra the tools keep outside the list: the lamp curve of the quantum-yield and excitation-intensity
// tools, the correction curve, the solvent tables of the low-temperature yield. Each is absent until a
// file is loaded into it, and is read with the two-column text reader.
#include <memory>
#include <string>

#include "core/spectrum_record.h"

struct TAuxCurve {
    std::unique_ptr<TSpectrumRecord> Record;
    std::string FileName;  // the file it was read from
    bool Loaded() const { return Record != nullptr; }
    void Free() {
        Record.reset();
        FileName.clear();
    }
};

// Reads a curve file as the tools read it: nm and intensity unless its label line names other axes,
// never asking. Errors leave as the reader raises them; a file that gives fewer than two points on a
// usable grid raises "<file>: no curve of at least two points". A file larger than the Open command
// takes of *.fak files is refused before it is read.
std::unique_ptr<TSpectrumRecord> ReadAuxCurve(const std::string& fileName);
// Reads fileName into `curve`. On an error the curve keeps what it held and the error leaves.
void LoadAuxCurve(TAuxCurve& curve, const std::string& fileName);

// The lamp load shared by the dialogs that use the lamp curve ("load lamp spectrum (*.fak)"): an empty
// name (the open dialog cancelled) clears the curve; otherwise the file is read into it and
// `lampFolder` becomes the file's folder. A file that cannot be read shows its error and leaves the
// curve and the folder as they were. Returns whether a lamp curve is loaded afterwards.
bool LoadLampCurve(TAuxCurve& lamp, const std::string& fileName, std::string& lampFolder);
inline constexpr const char* kLampDialogTitle = "load lamp spectrum (*.fak)";
inline constexpr const char* kLampDialogFilter = "ASCII (*.fak)|*.fak";
