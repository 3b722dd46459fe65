#include "core/record_header.h"

void CopyRecordHeader(const TSpectrumRecord& src, TSpectrumRecord& dst) {
    dst.FileName = src.FileName;
    dst.Comment1 = src.Comment1;
    dst.Comment2 = src.Comment2;
    dst.SpecType = src.SpecType;
    dst.Solvent = src.Solvent;
    dst.DateText = src.DateText;
    dst.Concentration = src.Concentration;
    dst.ExcitationWl = src.ExcitationWl;
    dst.Temperature = src.Temperature;
    dst.ExposureTime = src.ExposureTime;
    dst.SourceKind = src.SourceKind;
    dst.XUnit = src.XUnit;
    dst.YKind = src.YKind;
    dst.LineWidth = src.LineWidth;
    dst.LineStyle = src.LineStyle;
}
