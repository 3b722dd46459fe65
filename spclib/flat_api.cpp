// The flat TARNVIK_ functions over the same document as the COM class.
#include <cmath>
#include <cstring>
#include <limits>

#include "spclib/spc_document.h"
#include "spclib/spc_file.h"
#include "spclib/spc_text.h"
#include "spclib/tarnvik_api.h"
#include "spclib/trace.h"

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

using spc::TARNVIK;

namespace {

TARNVIK* doc(HTARNVIK h) { return static_cast<TARNVIK*>(h); }

int32_t copyText(const std::string& text, char* buf, int32_t size) {
    if (!buf || size < 1) return -2;
    std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
    return static_cast<int32_t>(n);
}

std::string textOf(const char* s) { return s ? std::string(s) : std::string(); }

void normaliseDate(TARNVIK& d) {
    if (auto v = spc::DateValue(d)) spc::SetDateValue(d, *v);
}

template <class T, class F>
int32_t getValue(HTARNVIK h, T* out, F f) {
    if (!h) return -3;
    if (!out) return -2;
    *out = static_cast<T>(f(*doc(h)));
    return 0;
}

template <class F>
int32_t getText(HTARNVIK h, char* buf, int32_t size, F f) {
    if (!h) return -3;
    return copyText(f(*doc(h)), buf, size);
}

int32_t readPoints(HTARNVIK h, float* values, int32_t count, bool xs) {
    if (!h) return -3;
    TARNVIK& d = *doc(h);
    if (!values || !d.HasCurrent() || count < 0 || uint32_t(count) != d.dir[d.current].points) return -2;
    // Straight from the store into the caller's array.
    return (xs ? d.ReadX(d.current, values) : d.ReadY(d.current, values)) ? 0 : -4;
}

int32_t getArea(HTARNVIK h, uint8_t* buf, int32_t size, std::vector<uint8_t> TARNVIK::*area) {
    if (!h) return -3;
    const auto& a = doc(h)->*area;
    if (!buf || size < 0 || static_cast<std::size_t>(size) < a.size()) return -2;
    if (!a.empty()) std::memcpy(buf, a.data(), a.size());
    return static_cast<int32_t>(a.size());
}

int32_t setArea(HTARNVIK h, const uint8_t* bytes, int32_t size, std::vector<uint8_t> TARNVIK::*area) {
    if (!h) return -3;
    auto& a = doc(h)->*area;
    try {
        if (!bytes || size <= 0) a.clear();
        else a.assign(bytes, bytes + size);
    } catch (const std::bad_alloc&) {
        return -2;
    }
    return 0;
}

}  // namespace

VX_EXPORT HTARNVIK TARNVIK_Create() { return new (std::nothrow) TARNVIK; }

VX_EXPORT void TARNVIK_Destroy(HTARNVIK h) { delete doc(h); }

VX_EXPORT int32_t TARNVIK_CreateSpc(HTARNVIK h, int32_t fileType) {
    if (!h) return -3;
    doc(h)->Create(fileType);
    return 0;
}

VX_EXPORT int32_t TARNVIK_OpenFile(HTARNVIK h, const char* fileName) {
    if (!h) return -3;
    TARNVIK& d = *doc(h);
    // The integrity outcome is not reported here, so its digest is not computed.
    int32_t r = spc::OpenFileImage(d, textOf(fileName), false);
    if (r == 0) {
        normaliseDate(d);
    } else if (spc::TraceGtarnvik().Level() >= 1) {
        spc::TraceGtarnvik().Print("[TARNVIK_OpenFile] failed (%d): %s\n", r, textOf(fileName).c_str());
    }
    return r;
}

VX_EXPORT int32_t TARNVIK_SaveFile(HTARNVIK h, const char* fileName, int32_t subFileIndex) {
    if (!h) return -3;
    // The count of bytes written must fit the result: larger images are not written at all.
    auto size = spc::ImageSize(*doc(h), subFileIndex);
    if (!size || *size > uint64_t(std::numeric_limits<int32_t>::max())) return -5;
    int64_t n = spc::SaveImageFile(*doc(h), subFileIndex, textOf(fileName));
    if (n <= 0) {
        if (spc::TraceGtarnvik().Level() >= 1)
            spc::TraceGtarnvik().Print("[TARNVIK_SaveFile] failed: %s\n", textOf(fileName).c_str());
        return -5;
    }
    return static_cast<int32_t>(n);
}

VX_EXPORT int32_t TARNVIK_AddPoints(HTARNVIK h, const float* y, const float* x, int32_t count) {
    if (!h) return -3;
    if (!y || count < 1) return -2;
    std::vector<float> ys(y, y + count);
    std::vector<float> xs;
    if (x) xs.assign(x, x + count);
    return doc(h)->AddPoints(ys, x ? &xs : nullptr) ? 0 : -2;
}

VX_EXPORT int32_t TARNVIK_AddSubFile(HTARNVIK h, const float* y, const float* x, int32_t count, float zStart,
                                     float zEnd) {
    if (!h) return -3;
    if (!y || count < 1) return -2;
    std::vector<float> ys(y, y + count);
    std::vector<float> xs;
    if (x) xs.assign(x, x + count);
    return doc(h)->AddSubFile(ys, x ? &xs : nullptr, zStart, zEnd) ? 0 : -2;
}

VX_EXPORT int32_t TARNVIK_AppendLogKey(HTARNVIK h, const char* key, const char* value) {
    if (!h) return -3;
    std::string v = textOf(value);
    std::string_view vv = v;
    spc::AppendLog(*doc(h), textOf(key), &vv);
    return 0;
}

VX_EXPORT int32_t TARNVIK_AppendLogLine(HTARNVIK h, const char* text) {
    if (!h) return -3;
    spc::AppendLog(*doc(h), textOf(text), nullptr);
    return 0;
}

VX_EXPORT int32_t TARNVIK_DetermineTechnique(HTARNVIK h, int32_t* tech, char* buf, int32_t size) {
    if (!h) return -3;
    if (!tech) return -2;
    *tech = spc::DetermineTechnique(*doc(h));
    if (buf && size >= 1) return copyText(spc::TechniqueName(*tech, true), buf, size);
    return 0;
}

VX_EXPORT int32_t TARNVIK_GetDate(HTARNVIK h, uint16_t* year, uint16_t* month, uint16_t* day, uint16_t* hour,
                                  uint16_t* minute) {
    if (!h) return -3;
    if (!year || !month || !day || !hour || !minute) return -2;
    uint32_t f = doc(h)->u32(spc::kDate);
    if (f == 0) {
        *year = *month = *day = 0;
        *hour = *minute = 65535;
        return 0;
    }
    *year = static_cast<uint16_t>(spc::ExpandYear(static_cast<int>(f >> 20)));
    *month = static_cast<uint16_t>((f >> 16) & 0xF);
    *day = static_cast<uint16_t>((f >> 11) & 0x1F);
    *hour = static_cast<uint16_t>((f >> 6) & 0x1F);
    *minute = static_cast<uint16_t>(f & 0x3F);
    return 0;
}

VX_EXPORT int32_t TARNVIK_SetDate(HTARNVIK h, uint16_t year, uint16_t month, uint16_t day, uint16_t hour,
                                  uint16_t minute) {
    if (!h) return -3;
    return spc::SetDateFields(*doc(h), year, month, day, hour, minute) ? 0 : -2;
}

VX_EXPORT int32_t TARNVIK_GetSpare(HTARNVIK h, int32_t index, float* out) {
    if (!h) return -3;
    if (!out || index < 0 || index > 7) return -2;
    *out = doc(h)->f32(spc::kSpare + 4 * std::size_t(index));
    return 0;
}

VX_EXPORT int32_t TARNVIK_SetSpare(HTARNVIK h, int32_t index, float value) {
    if (!h) return -3;
    if (index < 0 || index > 7) return -2;
    doc(h)->setF32(spc::kSpare + 4 * std::size_t(index), value);
    return 0;
}

VX_EXPORT int32_t TARNVIK_SetSubFileIndex(HTARNVIK h, int32_t index) {
    if (!h) return -3;
    TARNVIK& d = *doc(h);
    uint32_t previous = d.current;
    if (int64_t(d.Select(index, 0)) == int64_t(index) && d.HasCurrent()) return 0;
    d.current = previous;
    return -2;
}

VX_EXPORT int32_t TARNVIK_GetWarningCode(HTARNVIK h, int32_t index, int32_t* code) {
    if (!h) return -3;
    if (!code || index < 0 || index >= doc(h)->warningCount) return -2;
    *code = doc(h)->warnings[static_cast<std::size_t>(index)];
    return 0;
}

VX_EXPORT int32_t TARNVIK_GetXPoints(HTARNVIK h, float* values, int32_t count) { return readPoints(h, values, count, true); }
VX_EXPORT int32_t TARNVIK_GetYPoints(HTARNVIK h, float* values, int32_t count) { return readPoints(h, values, count, false); }

VX_EXPORT int32_t TARNVIK_GetYMinMax(HTARNVIK h, double beginX, double endX, float* minY, float* maxY) {
    if (!h) return -3;
    if (!minY || !maxY) return -2;
    doc(h)->YMinMax(beginX, endX, *minY, *maxY);
    return 0;
}

VX_EXPORT int32_t TARNVIK_GetLogBinary(HTARNVIK h, uint8_t* buf, int32_t size) { return getArea(h, buf, size, &TARNVIK::logBinary); }
VX_EXPORT int32_t TARNVIK_GetLogDisk(HTARNVIK h, uint8_t* buf, int32_t size) { return getArea(h, buf, size, &TARNVIK::logDisk); }
VX_EXPORT int32_t TARNVIK_SetLogBinary(HTARNVIK h, const uint8_t* bytes, int32_t size) { return setArea(h, bytes, size, &TARNVIK::logBinary); }
VX_EXPORT int32_t TARNVIK_SetLogDisk(HTARNVIK h, const uint8_t* bytes, int32_t size) { return setArea(h, bytes, size, &TARNVIK::logDisk); }

VX_EXPORT int32_t TARNVIK_GetLogText(HTARNVIK h, char* buf, int32_t size) {
    if (!h) return -3;
    TARNVIK& d = *doc(h);
    if (!buf || size < 1) return -2;
    if (!d.hasLogText) {
        buf[0] = '\0';
        return 0;
    }
    // Room for the text and its NUL.
    if (static_cast<std::size_t>(size) < d.logText.size() + 1) return -2;
    std::memcpy(buf, d.logText.c_str(), d.logText.size() + 1);
    return static_cast<int32_t>(d.logText.size());
}

// ---- Value getters

#define VX_GET(name, type, expr) \
    VX_EXPORT int32_t TARNVIK_Get##name(HTARNVIK h, type* out) { return getValue(h, out, [](TARNVIK& d) { return expr; }); }

VX_GET(FileType, int32_t, d.FileTypeOf())
VX_GET(FirstPoint, double, d.FirstPoint())
VX_GET(LastPoint, double, d.LastPoint())
VX_GET(LogBinarySize, int32_t, d.logBinary.size())
VX_GET(LogDiskSize, int32_t, d.logDisk.size())
VX_GET(LogTextSize, int32_t, d.hasLogText ? d.logText.size() : 0)
VX_GET(ModificationBitmask, int32_t, d.u32(spc::kModFlags))
VX_GET(NumPoints, int32_t, d.isXYXY() ? (d.HasCurrent() ? d.dir[d.current].points : 0u) : d.u32(spc::kPoints))
VX_GET(NumScans, int32_t, d.HasCurrent() ? d.dir[d.current].scans : 0u)
VX_GET(NumSubfiles, int32_t, d.count())
VX_GET(PeakPoint, uint16_t, d.u16(spc::kPeakPoint))
VX_GET(SubFileIndex, int32_t, d.current)
VX_GET(TechniqueType, int32_t, d.u8(spc::kTech))
VX_GET(WIncrement, float, d.f32(spc::kWIncrement))
VX_GET(WNumPlanes, int32_t, d.u32(spc::kWPlanes))
VX_GET(WPlaneValue, float, d.WValueOf(d.current))
VX_GET(WType, int32_t, d.u8(spc::kWType))
VX_GET(WarningCount, int16_t, d.warningCount)
VX_GET(XType, int32_t, d.u8(spc::kXType))
VX_GET(YPrecision, int32_t, d.YPrecision())
VX_GET(YType, int32_t, d.u8(spc::kYType))
VX_GET(ZEnd, float, d.ZEndOf(d.current))
VX_GET(ZIncrement, float, d.ZIncrementValue())
VX_GET(ZIncrementType, int32_t, d.ZIncrementType())
VX_GET(ZIncrementTypeDefault, int32_t, d.zIncTypeDefault)
VX_GET(ZStart, float, d.HasCurrent() ? d.ZStartOf(d.current) : (d.dir.empty() ? d.pendingZStart.value_or(0.0f) : 0.0f))
VX_GET(ZType, int32_t, d.u8(spc::kZType))

// ---- Text getters

#define VX_TEXT(name, expr) \
    VX_EXPORT int32_t TARNVIK_Get##name(HTARNVIK h, char* buf, int32_t size) { \
        return getText(h, buf, size, [](TARNVIK& d) { return expr; }); \
    }

VX_TEXT(Comment, spc::GetText(d, spc::CommentField(d)))
VX_TEXT(Method, spc::GetText(d, spc::kMethodField))
VX_TEXT(Resolution, spc::GetText(d, spc::kResolutionField))
VX_TEXT(Source, spc::GetText(d, spc::kSourceField))
VX_TEXT(TechniqueLabel, spc::TechniqueLabel(d))
VX_TEXT(WLabel, spc::AxisLabel(d, 3))
VX_TEXT(XLabel, spc::AxisLabel(d, 0))
VX_TEXT(YLabel, spc::AxisLabel(d, 1))
VX_TEXT(ZLabel, spc::AxisLabel(d, 2))
VX_TEXT(XCustomLabel, spc::CustomLabel(d, 0))
VX_TEXT(YCustomLabel, spc::CustomLabel(d, 1))
VX_TEXT(ZCustomLabel, spc::CustomLabel(d, 2))

VX_EXPORT int32_t TARNVIK_GetXTypeString(HTARNVIK h, int32_t type, char* buf, int32_t size) {
    return h ? copyText(spc::XTypeName(type), buf, size) : -3;
}
VX_EXPORT int32_t TARNVIK_GetYTypeString(HTARNVIK h, int32_t type, char* buf, int32_t size) {
    return h ? copyText(spc::YTypeName(type), buf, size) : -3;
}
VX_EXPORT int32_t TARNVIK_GetWarningString(HTARNVIK h, int32_t code, char* buf, int32_t size) {
    return h ? copyText(spc::WarningText(code), buf, size) : -3;
}
VX_EXPORT int32_t TARNVIK_GetTechniqueTypeString(HTARNVIK h, int32_t tech, int32_t shortName, char* buf, int32_t size) {
    return h ? copyText(spc::TechniqueName(tech, shortName != 0), buf, size) : -3;
}
VX_EXPORT int32_t TARNVIK_GetLogKey(HTARNVIK h, const char* key, char* buf, int32_t size) {
    if (!h) return -3;
    return copyText(spc::GetLogKey(*doc(h), textOf(key)).value_or(std::string()), buf, size);
}
VX_EXPORT int32_t TARNVIK_GetLogLine(HTARNVIK h, int32_t line, char* buf, int32_t size) {
    if (!h) return -3;
    if (!buf || size < 1) return -2;
    auto l = spc::GetLogLine(*doc(h), line);
    if (!l) return -4;
    return copyText(*l, buf, size);
}

// ---- Setters

#define VX_SET(name, type, stmt) \
    VX_EXPORT int32_t TARNVIK_Set##name(HTARNVIK h, type v) { \
        if (!h) return -3; \
        TARNVIK& d = *doc(h); \
        stmt; \
        return 0; \
    }

VX_SET(Comment, const char*, spc::SetText(d, spc::CommentField(d), textOf(v)))
VX_SET(Method, const char*, spc::SetText(d, spc::kMethodField, textOf(v)))
VX_SET(Resolution, const char*, spc::SetText(d, spc::kResolutionField, textOf(v)))
VX_SET(Source, const char*, spc::SetText(d, spc::kSourceField, textOf(v)))
VX_SET(FirstPoint, double, d.setF64(spc::kFirstX, v))
VX_SET(LastPoint, double, d.setF64(spc::kLastX, v))
VX_SET(ModificationBitmask, int32_t, d.setU32(spc::kModFlags, static_cast<uint32_t>(v)))
VX_SET(NumScans, int32_t, if (!d.HasCurrent()) return -2; d.dir[d.current].scans = static_cast<uint32_t>(v))
VX_SET(PeakPoint, uint16_t, d.setU16(spc::kPeakPoint, v))
VX_SET(TechniqueType, int32_t, d.setU8(spc::kTech, static_cast<uint8_t>(v)))
VX_SET(WIncrement, float, d.PutWIncrement(v))
VX_SET(WNumPlanes, int32_t, d.PutWNumPlanes(v))
VX_SET(WPlaneValue, float, if (!d.HasCurrent()) return -2; d.dir[d.current].wValue = v)
VX_SET(WType, int32_t, d.setU8(spc::kWType, static_cast<uint8_t>(v)))
VX_SET(XType, int32_t, d.setU8(spc::kXType, static_cast<uint8_t>(v)))
VX_SET(YType, int32_t, d.setU8(spc::kYType, static_cast<uint8_t>(v)))
VX_SET(ZType, int32_t, d.setU8(spc::kZType, static_cast<uint8_t>(v)))
VX_SET(ZEnd, float, if (!d.HasCurrent()) return -2; d.dir[d.current].zEnd = v)
VX_SET(ZIncrement, float, d.PutZIncrement(v))
VX_SET(ZIncrementType, int32_t, d.PutZIncrementType(v))  // a refusal is not reported
VX_SET(ZIncrementTypeDefault, int32_t, d.zIncTypeDefault = (v >= 0 && v <= 2) ? v : 1)
VX_SET(ZStart, float,
       if (d.dir.empty()) { d.pendingZStart = v; return 0; } if (!d.HasCurrent()) return -2;
       d.dir[d.current].zStart = v)
VX_SET(XCustomLabel, const char*, spc::SetCustomLabel(d, 0, textOf(v)))
VX_SET(YCustomLabel, const char*, spc::SetCustomLabel(d, 1, textOf(v)))
VX_SET(ZCustomLabel, const char*, spc::SetCustomLabel(d, 2, textOf(v)))

VX_EXPORT int32_t TARNVIK_SetIntegrityKey(HTARNVIK h, const uint8_t* key, int32_t length) {
    if (!h) return -3;
    if (!key || length <= 0) doc(h)->key.clear();
    else doc(h)->key.assign(key, key + length);
    return 0;
}
