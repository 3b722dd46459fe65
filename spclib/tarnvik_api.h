#pragma once
// The flat C interface of the SPC library: a handle per document, texts as NUL-terminated single-byte
// strings in caller buffers, points as caller arrays of 4-byte floats. Results: 0 (or a count) for
// success, -2 bad argument, -3 null handle, -4 missing item or short read, -5 nothing written.
#include <cstdint>

typedef void* HTARNVIK;

extern "C" {
HTARNVIK TARNVIK_Create();
void TARNVIK_Destroy(HTARNVIK h);
int32_t TARNVIK_CreateSpc(HTARNVIK h, int32_t fileType);
int32_t TARNVIK_OpenFile(HTARNVIK h, const char* fileName);
int32_t TARNVIK_SaveFile(HTARNVIK h, const char* fileName, int32_t subFileIndex);
int32_t TARNVIK_AddPoints(HTARNVIK h, const float* y, const float* x, int32_t count);
int32_t TARNVIK_AddSubFile(HTARNVIK h, const float* y, const float* x, int32_t count, float zStart, float zEnd);
int32_t TARNVIK_AppendLogKey(HTARNVIK h, const char* key, const char* value);
int32_t TARNVIK_AppendLogLine(HTARNVIK h, const char* text);
int32_t TARNVIK_DetermineTechnique(HTARNVIK h, int32_t* tech, char* buf, int32_t size);
int32_t TARNVIK_GetDate(HTARNVIK h, uint16_t* year, uint16_t* month, uint16_t* day, uint16_t* hour, uint16_t* minute);
int32_t TARNVIK_SetDate(HTARNVIK h, uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute);
int32_t TARNVIK_GetSpare(HTARNVIK h, int32_t index, float* out);
int32_t TARNVIK_SetSpare(HTARNVIK h, int32_t index, float value);
int32_t TARNVIK_SetSubFileIndex(HTARNVIK h, int32_t index);
int32_t TARNVIK_GetWarningCode(HTARNVIK h, int32_t index, int32_t* code);
int32_t TARNVIK_GetXPoints(HTARNVIK h, float* values, int32_t count);
int32_t TARNVIK_GetYPoints(HTARNVIK h, float* values, int32_t count);
int32_t TARNVIK_GetYMinMax(HTARNVIK h, double beginX, double endX, float* minY, float* maxY);
int32_t TARNVIK_GetLogBinary(HTARNVIK h, uint8_t* buf, int32_t size);
int32_t TARNVIK_GetLogDisk(HTARNVIK h, uint8_t* buf, int32_t size);
int32_t TARNVIK_SetLogBinary(HTARNVIK h, const uint8_t* bytes, int32_t size);
int32_t TARNVIK_SetLogDisk(HTARNVIK h, const uint8_t* bytes, int32_t size);
int32_t TARNVIK_GetLogText(HTARNVIK h, char* buf, int32_t size);

int32_t TARNVIK_GetFileType(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetFirstPoint(HTARNVIK h, double* out);
int32_t TARNVIK_GetLastPoint(HTARNVIK h, double* out);
int32_t TARNVIK_GetLogBinarySize(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetLogDiskSize(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetLogTextSize(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetModificationBitmask(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetNumPoints(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetNumScans(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetNumSubfiles(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetPeakPoint(HTARNVIK h, uint16_t* out);
int32_t TARNVIK_GetSubFileIndex(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetTechniqueType(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetWIncrement(HTARNVIK h, float* out);
int32_t TARNVIK_GetWNumPlanes(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetWPlaneValue(HTARNVIK h, float* out);
int32_t TARNVIK_GetWType(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetWarningCount(HTARNVIK h, int16_t* out);
int32_t TARNVIK_GetXType(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetYPrecision(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetYType(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetZEnd(HTARNVIK h, float* out);
int32_t TARNVIK_GetZIncrement(HTARNVIK h, float* out);
int32_t TARNVIK_GetZIncrementType(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetZIncrementTypeDefault(HTARNVIK h, int32_t* out);
int32_t TARNVIK_GetZStart(HTARNVIK h, float* out);
int32_t TARNVIK_GetZType(HTARNVIK h, int32_t* out);

int32_t TARNVIK_GetComment(HTARNVIK h, char* buf, int32_t size);
int32_t TARNVIK_GetMethod(HTARNVIK h, char* buf, int32_t size);
int32_t TARNVIK_GetResolution(HTARNVIK h, char* buf, int32_t size);
int32_t TARNVIK_GetSource(HTARNVIK h, char* buf, int32_t size);
int32_t TARNVIK_GetTechniqueLabel(HTARNVIK h, char* buf, int32_t size);
int32_t TARNVIK_GetWLabel(HTARNVIK h, char* buf, int32_t size);
int32_t TARNVIK_GetXLabel(HTARNVIK h, char* buf, int32_t size);
int32_t TARNVIK_GetYLabel(HTARNVIK h, char* buf, int32_t size);
int32_t TARNVIK_GetZLabel(HTARNVIK h, char* buf, int32_t size);
int32_t TARNVIK_GetXCustomLabel(HTARNVIK h, char* buf, int32_t size);
int32_t TARNVIK_GetYCustomLabel(HTARNVIK h, char* buf, int32_t size);
int32_t TARNVIK_GetZCustomLabel(HTARNVIK h, char* buf, int32_t size);
int32_t TARNVIK_GetXTypeString(HTARNVIK h, int32_t type, char* buf, int32_t size);
int32_t TARNVIK_GetYTypeString(HTARNVIK h, int32_t type, char* buf, int32_t size);
int32_t TARNVIK_GetWarningString(HTARNVIK h, int32_t code, char* buf, int32_t size);
int32_t TARNVIK_GetTechniqueTypeString(HTARNVIK h, int32_t tech, int32_t shortName, char* buf, int32_t size);
int32_t TARNVIK_GetLogKey(HTARNVIK h, const char* key, char* buf, int32_t size);
int32_t TARNVIK_GetLogLine(HTARNVIK h, int32_t line, char* buf, int32_t size);

int32_t TARNVIK_SetComment(HTARNVIK h, const char* text);
int32_t TARNVIK_SetMethod(HTARNVIK h, const char* text);
int32_t TARNVIK_SetResolution(HTARNVIK h, const char* text);
int32_t TARNVIK_SetSource(HTARNVIK h, const char* text);
int32_t TARNVIK_SetFirstPoint(HTARNVIK h, double v);
int32_t TARNVIK_SetLastPoint(HTARNVIK h, double v);
int32_t TARNVIK_SetModificationBitmask(HTARNVIK h, int32_t v);
int32_t TARNVIK_SetNumScans(HTARNVIK h, int32_t v);
int32_t TARNVIK_SetPeakPoint(HTARNVIK h, uint16_t v);
int32_t TARNVIK_SetTechniqueType(HTARNVIK h, int32_t v);
int32_t TARNVIK_SetWIncrement(HTARNVIK h, float v);
int32_t TARNVIK_SetWNumPlanes(HTARNVIK h, int32_t v);
int32_t TARNVIK_SetWPlaneValue(HTARNVIK h, float v);
int32_t TARNVIK_SetWType(HTARNVIK h, int32_t v);
int32_t TARNVIK_SetXType(HTARNVIK h, int32_t v);
int32_t TARNVIK_SetYType(HTARNVIK h, int32_t v);
int32_t TARNVIK_SetZType(HTARNVIK h, int32_t v);
int32_t TARNVIK_SetZEnd(HTARNVIK h, float v);
int32_t TARNVIK_SetZIncrement(HTARNVIK h, float v);
int32_t TARNVIK_SetZIncrementType(HTARNVIK h, int32_t v);
int32_t TARNVIK_SetZIncrementTypeDefault(HTARNVIK h, int32_t v);
int32_t TARNVIK_SetZStart(HTARNVIK h, float v);
int32_t TARNVIK_SetXCustomLabel(HTARNVIK h, const char* text);
int32_t TARNVIK_SetYCustomLabel(HTARNVIK h, const char* text);
int32_t TARNVIK_SetZCustomLabel(HTARNVIK h, const char* text);
int32_t TARNVIK_SetIntegrityKey(HTARNVIK h, const uint8_t* key, int32_t length);
}
