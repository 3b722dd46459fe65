#pragma once
// The record a reader of one fresh record builds before it reads the file.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectrum_record.h"

// File name, legend title, the reader's tag and kind code and the date text set; x in nm; colour and
// line style taken from the caller's record; every other field at its start value (path length 1,
// excitation, temperature and exposure -1, line width 1, concentration 0, texts empty).
inline TSpectrumRecord StartReaderRecord(const TSpectrumRecord& caller, const std::string& fileName,
                                         const std::string& title, std::string_view tag, int32_t kind,
                                         const std::string& dateText) {
    TSpectrumRecord r;
    r.FileName = fileName;
    r.Title = title;
    r.SpecType = tag;
    r.SourceKind = kind;
    r.DateText = dateText;
    r.XUnit = SpecXNanometer;
    r.Color = caller.Color;
    r.LineStyle = caller.LineStyle;
    return r;
}
