// The COM class GTarnvik: one SPC document behind the IGTarnvik interface.
#include <unistd.h>
#include <sys/syscall.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/codepage.h"
#include "spclib/gtarnvik_class.h"
#include "spclib/igtarnvik.h"
#include "spclib/spc_clip_text.h"
#include "spclib/spc_file.h"
#include "spclib/spc_text.h"
#include "spclib/trace.h"

namespace spc {

std::atomic<int32_t> gLiveObjects{0};

namespace {

constexpr const char* kProgId = "GTarnvikLib.GTarnvik.1";

std::string bytesOf(BSTR s) { return cp1252::fromUtf8(com::bstrToUtf8(s)); }
BSTR bstrOf(const std::string& bytes) { return com::allocBstr(cp1252::toUtf8(bytes)); }

HRESULT setInfo(const std::string& text, HRESULT hr) {
    SetErrorInfo(ErrorInfoRecord{text, kProgId, IID_IGTarnvik});
    return hr;
}

// Reports a failure: the text, and the last system error with its message when there is one.
HRESULT reportFailure(const char* format, const std::string& arg = {}) {
    char buf[1024];
    std::snprintf(buf, sizeof buf, format, arg.c_str());
    std::string text = buf;
    uint32_t err = GetLastError();
    if (err != 0) {
        std::string msg = systemMessage(HRESULT_FROM_WIN32(err));
        if (msg.size() > 256) msg.resize(256);
        while (!msg.empty() && (msg.back() == '\r' || msg.back() == '\n')) msg.pop_back();
        text += "\r\n(" + msg + ")";
        return setInfo(text, HRESULT_FROM_WIN32(err));
    }
    return setInfo(text, E_FAIL);
}

HRESULT notValid() { return setInfo("Not valid spc data format.", SPC_E_NOTVALID); }

// A failed read or write of the values: the system's own text for the last error ("No space left
// on device", "File too large").
HRESULT systemFailure() {
    uint32_t err = GetLastError();
    if (err == 0) err = EIO;
    return setInfo(systemMessage(HRESULT_FROM_WIN32(err)), HRESULT_FROM_WIN32(err));
}

bool isMissing(const VARIANT& v) { return v.vt == VT_EMPTY || v.vt == VT_ERROR || v.vt == VT_NULL; }

// Y (and X) arrays of AddPoints / AddSubFile: one-dimensional R4 arrays of at least one element.
bool pointArrays(const VARIANT& yv, const VARIANT& xv, std::vector<float>& y, std::optional<std::vector<float>>& x) {
    auto ys = com::floatsOf(yv);
    if (!ys || ys->empty()) return false;
    y = std::move(*ys);
    if (!isMissing(xv)) {
        x = com::floatsOf(xv);
        if (!x || x->size() != y.size()) return false;
    }
    return true;
}

}  // namespace

GTarnvik::GTarnvik() : clipFormat_(RegisterClipboardFormat("SPC")) { ++gLiveObjects; }
GTarnvik::~GTarnvik() { --gLiveObjects; }

HRESULT GTarnvik::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IGTarnvik) {
        *ppv = static_cast<IGTarnvik*>(this);
    } else if (riid == IID_ISupportErrorInfo) {
        *ppv = static_cast<ISupportErrorInfo*>(this);
    } else if (riid == IID_ICObject) {
        *ppv = static_cast<ICObject*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG GTarnvik::AddRef() { return ++refs_; }

ULONG GTarnvik::Release() {
    ULONG r = --refs_;
    if (r == 0) delete this;
    return r;
}

HRESULT GTarnvik::GetTypeInfoCount(uint32_t* count) {
    if (count) *count = 0;
    return S_OK;
}
HRESULT GTarnvik::GetTypeInfo(uint32_t, uint32_t, void**) { return E_NOTIMPL; }
HRESULT GTarnvik::GetIDsOfNames(REFIID, char16_t**, uint32_t, uint32_t, int32_t*) { return E_NOTIMPL; }
HRESULT GTarnvik::Invoke(int32_t, REFIID, uint32_t, uint16_t, void*, void*, void*, uint32_t*) { return E_NOTIMPL; }

HRESULT GTarnvik::InterfaceSupportsErrorInfo(REFIID riid) { return riid == IID_IGTarnvik ? S_OK : S_FALSE; }

HRESULT GTarnvik::GetCObject(uint32_t version, int32_t processId, int32_t threadId, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (version != 0xFFFFFFFFu && (version >> 16) > 9) return E_UNEXPECTED;
    if (processId != -1 && processId != static_cast<int32_t>(getpid())) return E_UNEXPECTED;
    if (threadId != -1 && threadId != static_cast<int32_t>(syscall(SYS_gettid))) return E_UNEXPECTED;
    *out = &doc_;
    return S_OK;
}

// ---- Text properties

#define VX_OUT(p)            \
    do {                     \
        if (!(p)) return E_POINTER; \
    } while (0)

HRESULT GTarnvik::getText(BSTR* out, const std::string& bytes) {
    VX_OUT(out);
    *out = bstrOf(bytes);
    return S_OK;
}

HRESULT GTarnvik::get_Comment(BSTR* out) { return getText(out, GetText(doc_, CommentField(doc_))); }
HRESULT GTarnvik::put_Comment(BSTR v) {
    SetText(doc_, CommentField(doc_), bytesOf(v));
    return S_OK;
}
HRESULT GTarnvik::get_Method(BSTR* out) { return getText(out, GetText(doc_, kMethodField)); }
HRESULT GTarnvik::put_Method(BSTR v) {
    SetText(doc_, kMethodField, bytesOf(v));
    return S_OK;
}
HRESULT GTarnvik::get_Resolution(BSTR* out) { return getText(out, GetText(doc_, kResolutionField)); }
HRESULT GTarnvik::put_Resolution(BSTR v) {
    SetText(doc_, kResolutionField, bytesOf(v));
    return S_OK;
}
HRESULT GTarnvik::get_Source(BSTR* out) { return getText(out, GetText(doc_, kSourceField)); }
HRESULT GTarnvik::put_Source(BSTR v) {
    SetText(doc_, kSourceField, bytesOf(v));
    return S_OK;
}
HRESULT GTarnvik::get_TechniqueLabel(BSTR* out) { return getText(out, TechniqueLabel(doc_)); }
HRESULT GTarnvik::get_WLabel(BSTR* out) { return getText(out, AxisLabel(doc_, 3)); }
HRESULT GTarnvik::get_XLabel(BSTR* out) { return getText(out, AxisLabel(doc_, 0)); }
HRESULT GTarnvik::get_YLabel(BSTR* out) { return getText(out, AxisLabel(doc_, 1)); }
HRESULT GTarnvik::get_ZLabel(BSTR* out) { return getText(out, AxisLabel(doc_, 2)); }
HRESULT GTarnvik::get_XCustomLabel(BSTR* out) { return getText(out, CustomLabel(doc_, 0)); }
HRESULT GTarnvik::get_YCustomLabel(BSTR* out) { return getText(out, CustomLabel(doc_, 1)); }
HRESULT GTarnvik::get_ZCustomLabel(BSTR* out) { return getText(out, CustomLabel(doc_, 2)); }
HRESULT GTarnvik::put_XCustomLabel(BSTR v) {
    SetCustomLabel(doc_, 0, bytesOf(v));
    return S_OK;
}
HRESULT GTarnvik::put_YCustomLabel(BSTR v) {
    SetCustomLabel(doc_, 1, bytesOf(v));
    return S_OK;
}
HRESULT GTarnvik::put_ZCustomLabel(BSTR v) {
    SetCustomLabel(doc_, 2, bytesOf(v));
    return S_OK;
}

// ---- Date

HRESULT GTarnvik::get_Date(VARIANT* out) {
    VX_OUT(out);
    VariantInit(out);
    if (auto d = DateValue(doc_)) {
        out->vt = VT_DATE;
        out->date = *d;
    }
    return S_OK;
}

HRESULT GTarnvik::put_Date(VARIANT v) {
    VARIANT d;
    VariantInit(&d);
    if (FAILED(VariantChangeType(&d, &v, 0, VT_DATE))) return E_INVALIDARG;
    return SetDateValue(doc_, d.date) ? S_OK : E_INVALIDARG;
}

// ---- Numeric header properties

HRESULT GTarnvik::get_TechniqueType(spcTechType* out) {
    VX_OUT(out);
    *out = static_cast<spcTechType>(doc_.u8(kTech));
    return S_OK;
}
HRESULT GTarnvik::put_TechniqueType(spcTechType v) {
    doc_.setU8(kTech, static_cast<uint8_t>(v));
    return S_OK;
}
HRESULT GTarnvik::get_FileType(spcFileType* out) {
    VX_OUT(out);
    *out = static_cast<spcFileType>(doc_.FileTypeOf());
    return S_OK;
}
HRESULT GTarnvik::get_FirstPoint(double* out) {
    VX_OUT(out);
    *out = doc_.FirstPoint();
    return S_OK;
}
HRESULT GTarnvik::put_FirstPoint(double v) {
    doc_.setF64(kFirstX, v);
    return S_OK;
}
HRESULT GTarnvik::get_LastPoint(double* out) {
    VX_OUT(out);
    *out = doc_.LastPoint();
    return S_OK;
}
HRESULT GTarnvik::put_LastPoint(double v) {
    doc_.setF64(kLastX, v);
    return S_OK;
}
HRESULT GTarnvik::get_ModificationBitmask(int32_t* out) {
    VX_OUT(out);
    *out = static_cast<int32_t>(doc_.u32(kModFlags));
    return S_OK;
}
HRESULT GTarnvik::put_ModificationBitmask(int32_t v) {
    doc_.setU32(kModFlags, static_cast<uint32_t>(v));
    return S_OK;
}
HRESULT GTarnvik::get_NumPoints(int32_t* out) {
    VX_OUT(out);
    uint32_t n = doc_.isXYXY() ? (doc_.HasCurrent() ? doc_.dir[doc_.current].points : 0) : doc_.u32(kPoints);
    *out = static_cast<int32_t>(n);
    return S_OK;
}
HRESULT GTarnvik::get_NumScans(int32_t* out) {
    VX_OUT(out);
    *out = doc_.HasCurrent() ? static_cast<int32_t>(doc_.dir[doc_.current].scans) : 0;
    return S_OK;
}
HRESULT GTarnvik::put_NumScans(int32_t v) {
    if (!doc_.HasCurrent()) return E_INVALIDARG;
    doc_.dir[doc_.current].scans = static_cast<uint32_t>(v);
    return S_OK;
}
HRESULT GTarnvik::get_NumSubfiles(int32_t* out) {
    VX_OUT(out);
    *out = static_cast<int32_t>(doc_.count());
    return S_OK;
}
HRESULT GTarnvik::get_PeakPoint(int32_t* out) {
    VX_OUT(out);
    *out = doc_.u16(kPeakPoint);
    return S_OK;
}
HRESULT GTarnvik::put_PeakPoint(int32_t v) {
    doc_.setU16(kPeakPoint, static_cast<uint16_t>(v));
    return S_OK;
}
HRESULT GTarnvik::get_Spare(int32_t index, float* out) {
    VX_OUT(out);
    if (index < 0 || index > 7) return E_INVALIDARG;
    *out = doc_.f32(kSpare + 4 * std::size_t(index));
    return S_OK;
}
HRESULT GTarnvik::put_Spare(int32_t index, float v) {
    if (index < 0 || index > 7) return E_INVALIDARG;
    doc_.setF32(kSpare + 4 * std::size_t(index), v);
    return S_OK;
}
HRESULT GTarnvik::get_SubFileIndex(int32_t* out) {
    VX_OUT(out);
    *out = static_cast<int32_t>(doc_.current);
    return S_OK;
}
HRESULT GTarnvik::put_SubFileIndex(int32_t v) {
    return int64_t(doc_.Select(v, 0)) == int64_t(v) && doc_.HasCurrent() ? S_OK : E_INVALIDARG;
}
HRESULT GTarnvik::get_WIncrement(float* out) {
    VX_OUT(out);
    *out = doc_.f32(kWIncrement);
    return S_OK;
}
HRESULT GTarnvik::put_WIncrement(float v) {
    doc_.PutWIncrement(v);
    return S_OK;
}
HRESULT GTarnvik::get_WNumPlanes(int32_t* out) {
    VX_OUT(out);
    *out = static_cast<int32_t>(doc_.u32(kWPlanes));
    return S_OK;
}
HRESULT GTarnvik::put_WNumPlanes(int32_t v) {
    doc_.PutWNumPlanes(v);
    return S_OK;
}
HRESULT GTarnvik::get_WPlaneValue(float* out) {
    VX_OUT(out);
    *out = doc_.WValueOf(doc_.current);
    return S_OK;
}
HRESULT GTarnvik::put_WPlaneValue(float v) {
    if (!doc_.HasCurrent()) return E_INVALIDARG;
    doc_.dir[doc_.current].wValue = v;
    return S_OK;
}
HRESULT GTarnvik::get_WType(spcXType* out) {
    VX_OUT(out);
    *out = static_cast<spcXType>(doc_.u8(kWType));
    return S_OK;
}
HRESULT GTarnvik::put_WType(spcXType v) {
    doc_.setU8(kWType, static_cast<uint8_t>(v));
    return S_OK;
}
HRESULT GTarnvik::get_XType(spcXType* out) {
    VX_OUT(out);
    *out = static_cast<spcXType>(doc_.u8(kXType));
    return S_OK;
}
HRESULT GTarnvik::put_XType(spcXType v) {
    doc_.setU8(kXType, static_cast<uint8_t>(v));
    return S_OK;
}
HRESULT GTarnvik::get_YType(spcYType* out) {
    VX_OUT(out);
    *out = static_cast<spcYType>(doc_.u8(kYType));
    return S_OK;
}
HRESULT GTarnvik::put_YType(spcYType v) {
    doc_.setU8(kYType, static_cast<uint8_t>(v));
    return S_OK;
}
HRESULT GTarnvik::get_ZType(spcXType* out) {
    VX_OUT(out);
    *out = static_cast<spcXType>(doc_.u8(kZType));
    return S_OK;
}
HRESULT GTarnvik::put_ZType(spcXType v) {
    doc_.setU8(kZType, static_cast<uint8_t>(v));
    return S_OK;
}
HRESULT GTarnvik::get_YPrecision(spcYPrec* out) {
    VX_OUT(out);
    *out = static_cast<spcYPrec>(doc_.YPrecision());
    return S_OK;
}

// ---- Z values

HRESULT GTarnvik::get_ZStart(float* out) {
    VX_OUT(out);
    *out = doc_.HasCurrent() ? doc_.ZStartOf(doc_.current) : (doc_.dir.empty() ? doc_.pendingZStart.value_or(0) : 0);
    return S_OK;
}
HRESULT GTarnvik::put_ZStart(float v) {
    if (doc_.dir.empty()) {
        doc_.pendingZStart = v;  // applied to the first subfile added
        return S_OK;
    }
    if (!doc_.HasCurrent()) return E_INVALIDARG;
    doc_.dir[doc_.current].zStart = v;
    return S_OK;
}
HRESULT GTarnvik::get_ZEnd(float* out) {
    VX_OUT(out);
    *out = doc_.ZEndOf(doc_.current);
    return S_OK;
}
HRESULT GTarnvik::put_ZEnd(float v) {
    if (!doc_.HasCurrent()) return E_INVALIDARG;
    doc_.dir[doc_.current].zEnd = v;
    return S_OK;
}
HRESULT GTarnvik::get_ZIncrement(float* out) {
    VX_OUT(out);
    *out = doc_.ZIncrementValue();
    return S_OK;
}
HRESULT GTarnvik::put_ZIncrement(float v) {
    doc_.PutZIncrement(v);
    return S_OK;
}
HRESULT GTarnvik::get_ZIncrementType(spcZIncType* out) {
    VX_OUT(out);
    *out = static_cast<spcZIncType>(doc_.ZIncrementType());
    return S_OK;
}
HRESULT GTarnvik::put_ZIncrementType(spcZIncType v) { return doc_.PutZIncrementType(v) ? S_OK : E_INVALIDARG; }
HRESULT GTarnvik::get_ZIncrementTypeDefault(spcZIncType* out) {
    VX_OUT(out);
    *out = static_cast<spcZIncType>(doc_.zIncTypeDefault);
    return S_OK;
}
HRESULT GTarnvik::put_ZIncrementTypeDefault(spcZIncType v) {
    doc_.zIncTypeDefault = (v >= 0 && v <= 2) ? v : 1;
    return S_OK;
}

// ---- Log areas

static HRESULT getBytes(VARIANT* out, const std::vector<uint8_t>& bytes) {
    if (!out) return E_POINTER;
    VariantInit(out);
    if (!bytes.empty()) *out = com::byteArrayVariant(bytes.data(), bytes.size());
    return S_OK;
}

HRESULT GTarnvik::get_LogBinary(VARIANT* out) { return getBytes(out, doc_.logBinary); }
HRESULT GTarnvik::put_LogBinary(VARIANT v) {
    doc_.logBinary = com::bytesOf(v).value_or(std::vector<uint8_t>{});
    return S_OK;
}
HRESULT GTarnvik::get_LogDisk(VARIANT* out) { return getBytes(out, doc_.logDisk); }
HRESULT GTarnvik::put_LogDisk(VARIANT v) {
    doc_.logDisk = com::bytesOf(v).value_or(std::vector<uint8_t>{});
    return S_OK;
}
HRESULT GTarnvik::get_LogBinarySize(int32_t* out) {
    VX_OUT(out);
    *out = static_cast<int32_t>(doc_.logBinary.size());
    return S_OK;
}
HRESULT GTarnvik::get_LogDiskSize(int32_t* out) {
    VX_OUT(out);
    *out = static_cast<int32_t>(doc_.logDisk.size());
    return S_OK;
}
HRESULT GTarnvik::get_LogBinaryFloats(VARIANT* out) {
    VX_OUT(out);
    VariantInit(out);
    std::size_t n = doc_.logBinary.size() / 4;
    if (n == 0) return S_OK;
    std::vector<float> f(n);
    std::memcpy(f.data(), doc_.logBinary.data(), n * 4);
    *out = com::floatArrayVariant(f.data(), n);
    return S_OK;
}
HRESULT GTarnvik::put_LogBinaryFloats(VARIANT v) {
    doc_.logBinary.clear();
    if (auto f = com::floatsOf(v)) {
        doc_.logBinary.resize(f->size() * 4);
        if (!f->empty()) std::memcpy(doc_.logBinary.data(), f->data(), f->size() * 4);
    }
    return S_OK;
}
HRESULT GTarnvik::get_LogText(VARIANT_BOOL fixCrLf, BSTR* out) {
    VX_OUT(out);
    *out = nullptr;
    if (!doc_.hasLogText || doc_.logText.empty()) return S_OK;
    *out = bstrOf(LogTextFixed(doc_, fixCrLf != VARIANT_FALSE));
    return S_OK;
}
HRESULT GTarnvik::get_LogTextSize(int32_t* out) {
    VX_OUT(out);
    *out = doc_.hasLogText ? static_cast<int32_t>(doc_.logText.size() + 1) : 0;
    return S_OK;
}

// ---- Points

// The points of the current subfile, read from the store straight into the array handed out.
HRESULT GTarnvik::getPoints(VARIANT* out, bool xs) {
    VX_OUT(out);
    VariantInit(out);
    const uint32_t n = doc_.HasCurrent() ? doc_.dir[doc_.current].points : 0;
    SAFEARRAY* psa = SafeArrayCreateVector(VT_R4, 0, n);
    if (!psa) return E_OUTOFMEMORY;
    auto* values = static_cast<float*>(psa->pvData);
    SetLastError(0);
    if (n > 0 && !(xs ? doc_.ReadX(doc_.current, values) : doc_.ReadY(doc_.current, values))) {
        SafeArrayDestroy(psa);
        return systemFailure();
    }
    out->vt = VT_ARRAY | VT_R4;
    out->parray = psa;
    return S_OK;
}

HRESULT GTarnvik::get_XPoints(VARIANT* out) { return getPoints(out, true); }
HRESULT GTarnvik::get_YPoints(VARIANT* out) { return getPoints(out, false); }

// A refusal of the document is an invalid argument; a store that could not take the values reports
// the system's error.
HRESULT GTarnvik::addResult(bool stored) {
    if (stored) return S_OK;
    return GetLastError() != 0 ? systemFailure() : E_INVALIDARG;
}

HRESULT GTarnvik::AddPoints(VARIANT yVals, VARIANT xVals) {
    std::vector<float> y;
    std::optional<std::vector<float>> x;
    if (!pointArrays(yVals, xVals, y, x)) return E_INVALIDARG;
    SetLastError(0);
    return addResult(doc_.AddPoints(y, x ? &*x : nullptr));
}

HRESULT GTarnvik::AddSubFile(VARIANT yVals, VARIANT xVals, float zStart, float zEnd) {
    std::vector<float> y;
    std::optional<std::vector<float>> x;
    if (!pointArrays(yVals, xVals, y, x)) return E_INVALIDARG;
    SetLastError(0);
    return addResult(doc_.AddSubFile(y, x ? &*x : nullptr, zStart, zEnd));
}

HRESULT GTarnvik::GetYMinMax(double beginX, double endX, float* minY, float* maxY) {
    if (!minY || !maxY) return E_POINTER;
    doc_.YMinMax(beginX, endX, *minY, *maxY);
    return S_OK;
}

// ---- Log text methods

HRESULT GTarnvik::AppendLogKey(BSTR key, BSTR value) {
    std::string k = bytesOf(key), v = bytesOf(value);
    std::string_view vv = v;
    AppendLog(doc_, k, &vv);
    return S_OK;
}
HRESULT GTarnvik::AppendLogLine(BSTR lineText) {
    AppendLog(doc_, bytesOf(lineText), nullptr);
    return S_OK;
}
HRESULT GTarnvik::GetLogKey(BSTR keyName, BSTR* keyValue) {
    VX_OUT(keyValue);
    *keyValue = nullptr;
    if (auto v = spc::GetLogKey(doc_, bytesOf(keyName))) *keyValue = bstrOf(*v);
    return S_OK;
}
HRESULT GTarnvik::GetLogLine(int32_t lineNum, BSTR* lineText, int32_t* lineLen) {
    if (lineText) *lineText = nullptr;  // an incoming value is the caller's, never freed here
    VX_OUT(lineLen);
    auto line = spc::GetLogLine(doc_, lineNum);
    if (!line) {
        *lineLen = -1;
        return S_OK;
    }
    *lineLen = static_cast<int32_t>(line->size());
    if (!line->empty() && lineText) *lineText = bstrOf(*line);
    return S_OK;
}

// ---- Create, names, warnings

HRESULT GTarnvik::CreateSpc(spcFileType fileType) {
    doc_.Create(fileType);
    return S_OK;
}
HRESULT GTarnvik::DetermineTechnique(BSTR* techLabel, spcTechType* techId) {
    VX_OUT(techId);
    if (techLabel) *techLabel = nullptr;
    int32_t t = spc::DetermineTechnique(doc_);
    *techId = static_cast<spcTechType>(t);
    if (techLabel) {
        std::string name = TechniqueName(t, true);
        if (!name.empty()) *techLabel = bstrOf(name);
    }
    return S_OK;
}
static HRESULT nameOut(BSTR* out, const std::string& name) {
    if (!out) return E_POINTER;
    *out = name.empty() ? nullptr : com::allocBstr(cp1252::toUtf8(name));
    return S_OK;
}
HRESULT GTarnvik::GetTechniqueTypeString(spcTechType techType, VARIANT_BOOL shortName, BSTR* out) {
    return nameOut(out, TechniqueName(techType, shortName == VARIANT_TRUE));
}
HRESULT GTarnvik::GetXTypeString(spcXType xType, BSTR* out) { return nameOut(out, XTypeName(xType)); }
HRESULT GTarnvik::GetYTypeString(spcYType yType, BSTR* out) { return nameOut(out, YTypeName(yType)); }
HRESULT GTarnvik::GetWarningString(spcWarning code, BSTR* out) { return nameOut(out, WarningText(code)); }
HRESULT GTarnvik::GetWarningCount(int16_t* out) {
    VX_OUT(out);
    *out = doc_.warningCount;
    return S_OK;
}
HRESULT GTarnvik::GetWarningCode(int16_t index, spcWarning* out) {
    VX_OUT(out);
    *out = spcWarningNone;
    if (index < 0 || index >= doc_.warningCount) return E_INVALIDARG;
    *out = static_cast<spcWarning>(doc_.warnings[static_cast<std::size_t>(index)]);
    return S_OK;
}

// ---- Open and save

HRESULT GTarnvik::afterOpen(spcIntegrity* out) {
    if (out) *out = static_cast<spcIntegrity>(doc_.integrity);
    // The date is normalised through its own put.
    VARIANT d;
    get_Date(&d);
    if (d.vt == VT_DATE) put_Date(d);
    return S_OK;
}

HRESULT GTarnvik::OpenFileWithCheck(BSTR spcFile, spcIntegrity* out) {
    if (out) *out = spcIntegrityFail;
    doc_.Reset();
    lastFile_.reset();
    SetLastError(0);
    std::string name = com::bstrToUtf8(spcFile);
    int32_t r = OpenFileImage(doc_, name, out != nullptr);
    if (r == kOpenNotSpc || r == kOpenBadData) {
        if (TraceGtarnvik().Level() >= 1) TraceGtarnvik().Print("[OpenFile] not valid: %s\n", name.c_str());
        return notValid();
    }
    if (r < 0) {
        if (TraceGtarnvik().Level() >= 1) TraceGtarnvik().Print("[OpenFile] failed (%d): %s\n", r, name.c_str());
        return reportFailure("Can not open file: '%s'", name);
    }
    lastFile_ = name;  // kept only after a successful open
    return afterOpen(out);
}

HRESULT GTarnvik::OpenFile(BSTR spcFile) { return OpenFileWithCheck(spcFile, nullptr); }

HRESULT GTarnvik::openImage(const std::vector<uint8_t>& bytes, spcIntegrity* out) {
    int32_t r = OpenImage(doc_, bytes.data(), bytes.size(), out != nullptr);
    if (r == kOpenNotSpc || r == kOpenBadData) return notValid();
    if (r < 0) return reportFailure("Can not read SPC Data.");
    return afterOpen(out);
}

HRESULT GTarnvik::OpenBlobWithCheck(VARIANT spcBlob, spcIntegrity* out) {
    if (out) *out = spcIntegrityFail;
    doc_.Reset();
    lastFile_.reset();
    SetLastError(0);
    auto bytes = com::bytesOf(spcBlob);
    if (!bytes) return E_INVALIDARG;
    return openImage(*bytes, out);
}

HRESULT GTarnvik::OpenBlob(VARIANT spcBlob) { return OpenBlobWithCheck(spcBlob, nullptr); }

HRESULT GTarnvik::OpenFromClipboardWithCheck(spcIntegrity* out) {
    if (out) *out = spcIntegrityFail;
    SetLastError(0);
    if (!OpenClipboard()) return E_FAIL;
    HRESULT hr = E_FAIL;
    if (auto spcData = GetClipboardData(clipFormat_)) {
        if (!spcData->empty()) {
            doc_.Reset();
            lastFile_.reset();
            hr = openImage(*spcData, out);
        }
    } else if (auto text = GetClipboardData(CF_TEXT)) {
        if (!text->empty()) {
            lastFile_.reset();
            std::string_view t(reinterpret_cast<const char*>(text->data()), text->size());
            int32_t r = OpenSubfileText(doc_, t);
            hr = r == 0 ? S_OK : (r == -2 ? E_OUTOFMEMORY : notValid());
        }
    }
    CloseClipboard();
    return hr;
}

HRESULT GTarnvik::OpenFromClipboard() { return OpenFromClipboardWithCheck(nullptr); }

HRESULT GTarnvik::SaveFile(BSTR spcFile, int32_t subFileIndex) {
    SetLastError(0);
    if (subFileIndex < -1 || (subFileIndex >= 0 && uint32_t(subFileIndex) >= doc_.count())) return E_INVALIDARG;
    std::string name = com::bstrToUtf8(spcFile);
    if (name.empty()) {
        if (!lastFile_) return reportFailure("Missing output file name.");
        name = *lastFile_;
    }
    if (SaveImageFile(doc_, subFileIndex, name) <= 0) {
        if (TraceGtarnvik().Level() >= 1) TraceGtarnvik().Print("[SaveFile] failed: %s\n", name.c_str());
        return reportFailure("Can not save file: '%s'", name);
    }
    return S_OK;
}

HRESULT GTarnvik::SaveBlob(int32_t subFileIndex, VARIANT* spcBlob) {
    VX_OUT(spcBlob);
    VariantInit(spcBlob);
    if (subFileIndex < -1 || (subFileIndex >= 0 && uint32_t(subFileIndex) >= doc_.count())) return E_INVALIDARG;
    auto image = BuildImage(doc_, subFileIndex);
    if (image) *spcBlob = com::byteArrayVariant(image->data(), image->size());
    if (!image || spcBlob->vt == VT_EMPTY) return setInfo("Conversion to blob failed.", E_FAIL);
    return S_OK;
}

HRESULT GTarnvik::SaveToClipboard(int32_t subFileIndex, VARIANT_BOOL append) {
    if (subFileIndex < -1 || (subFileIndex >= 0 && uint32_t(subFileIndex) >= doc_.count())) return E_INVALIDARG;
    if (!OpenClipboard()) return E_FAIL;
    HRESULT hr = S_OK;
    auto image = BuildImage(doc_, subFileIndex);
    if ((append == VARIANT_FALSE && !EmptyClipboard()) || !image || !SetClipboardData(clipFormat_, *image)) {
        hr = E_FAIL;
    } else {
        uint32_t keep = doc_.current;
        if (subFileIndex >= 0) doc_.current = static_cast<uint32_t>(subFileIndex);
        if (auto text = SubfileText(doc_)) {
            std::vector<uint8_t> bytes(text->begin(), text->end());
            bytes.push_back(0);
            SetClipboardData(CF_TEXT, bytes);  // the text is a courtesy; its failure is ignored
        }
        doc_.current = keep;
    }
    CloseClipboard();
    return hr;
}

// ---- Later additions

HRESULT GTarnvik::get_IntegrityKey(VARIANT* out) {
    VX_OUT(out);
    VariantInit(out);  // an incoming value is the caller's, never freed here
    if (doc_.key.empty()) return S_FALSE;
    *out = com::byteArrayVariant(doc_.key.data(), doc_.key.size());
    return S_OK;
}
HRESULT GTarnvik::put_IntegrityKey(VARIANT v) {
    auto bytes = com::bytesOf(v);
    if (!bytes) {
        doc_.key.clear();
        return S_FALSE;
    }
    doc_.key = std::move(*bytes);
    return S_OK;
}
HRESULT GTarnvik::get_SpcVersion(BSTR* out) {
    VX_OUT(out);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%u.%u", doc_.u8(kMajorRev), doc_.u8(kMinorRev));
    *out = com::allocBstr(buf);
    return S_OK;
}
HRESULT GTarnvik::get_CheckMajorRevisionNumber(VARIANT_BOOL* out) {
    VX_OUT(out);
    *out = doc_.u8(kMajorRev) == 4 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

}  // namespace spc
