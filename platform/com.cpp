#include "platform/com.h"

#include <dlfcn.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/errors.h"
#include "platform/registry.h"

bool operator==(const GUID& a, const GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, 8) == 0;
}

namespace com {

std::string guidToString(const GUID& g) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
                  g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5],
                  g.Data4[6], g.Data4[7]);
    return buf;
}

std::optional<GUID> guidFromString(std::string_view text) {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
    if (text.size() != 36) return std::nullopt;
    uint8_t bytes[16];
    std::size_t n = 0;
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < 36;) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-') return std::nullopt;
            ++i;
            continue;
        }
        int hi = hex(text[i]), lo = hex(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes[n++] = static_cast<uint8_t>(hi * 16 + lo);
        i += 2;
    }
    GUID g;
    g.Data1 = (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
    g.Data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
    g.Data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
    std::memcpy(g.Data4, bytes + 8, 8);
    return g;
}

// ---- UTF-8 <-> UTF-16

std::u16string utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        uint32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
        }
        if (len > 1) {
            if (i + len > s.size()) {
                len = 1;
            } else {
                cp = c & (0x7F >> len);
                for (std::size_t k = 1; k < len; ++k) {
                    auto cc = static_cast<unsigned char>(s[i + k]);
                    if ((cc & 0xC0) != 0x80) {
                        cp = 0xFFFD;
                        len = k;
                        break;
                    }
                    cp = (cp << 6) | (cc & 0x3F);
                }
            }
        }
        i += len;
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp > 0x10FFFF ? 0xFFFD : cp));
        }
    }
    return out;
}

BSTR allocBstr(std::string_view utf8) {
    std::u16string w = utf8ToUtf16(utf8);
    return SysAllocStringLen(w.data(), static_cast<uint32_t>(w.size()));
}

std::string bstrToUtf8(BSTR s) {
    if (!s) return {};
    return utf16ToUtf8(std::u16string_view(s, SysStringLen(s)));
}

}  // namespace com

// ---- BSTR

BSTR SysAllocStringLen(const char16_t* s, uint32_t len) {
    if (len > (UINT32_MAX - 6) / 2) return nullptr;
    auto* block = static_cast<uint8_t*>(std::malloc(4 + std::size_t(len) * 2 + 2));
    if (!block) return nullptr;
    uint32_t bytes = len * 2;
    std::memcpy(block, &bytes, 4);
    auto* text = reinterpret_cast<char16_t*>(block + 4);
    if (s) {
        std::memcpy(text, s, std::size_t(len) * 2);
    } else {
        std::memset(text, 0, std::size_t(len) * 2);
    }
    text[len] = 0;
    return text;
}

BSTR SysAllocString(const char16_t* s) {
    if (!s) return nullptr;
    uint32_t n = 0;
    while (s[n]) ++n;
    return SysAllocStringLen(s, n);
}

void SysFreeString(BSTR s) {
    if (s) std::free(reinterpret_cast<uint8_t*>(s) - 4);
}

uint32_t SysStringLen(BSTR s) {
    if (!s) return 0;
    uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<uint8_t*>(s) - 4, 4);
    return bytes / 2;
}

// ---- SAFEARRAY

static uint32_t elementSize(VARTYPE vt) {
    switch (vt) {
    case VT_UI1: return 1;
    case VT_I2: case VT_BOOL: return 2;
    case VT_I4: case VT_R4: return 4;
    case VT_R8: case VT_DATE: return 8;
    default: return 0;
    }
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, int32_t lowerBound, uint32_t count) {
    uint32_t size = elementSize(vt);
    if (size == 0) return nullptr;
    auto* psa = static_cast<SAFEARRAY*>(std::calloc(1, sizeof(SAFEARRAY)));
    if (!psa) return nullptr;
    psa->cDims = 1;
    psa->cbElements = size;
    psa->vt = vt;
    psa->rgsabound[0].cElements = count;
    psa->rgsabound[0].lLbound = lowerBound;
    psa->pvData = std::calloc(count ? count : 1, size);
    if (!psa->pvData) {
        std::free(psa);
        return nullptr;
    }
    return psa;
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
    if (!psa) return S_OK;
    std::free(psa->pvData);
    std::free(psa);
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, uint32_t dim, int32_t* out) {
    if (!psa || !out) return E_INVALIDARG;
    if (dim != 1) return E_INVALIDARG;
    *out = psa->rgsabound[0].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, uint32_t dim, int32_t* out) {
    if (!psa || !out) return E_INVALIDARG;
    if (dim != 1) return E_INVALIDARG;
    *out = static_cast<int32_t>(int64_t(psa->rgsabound[0].lLbound) + psa->rgsabound[0].cElements - 1);
    return S_OK;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* out) {
    if (!psa || !out) return E_INVALIDARG;
    *out = psa->vt;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** data) {
    if (!psa || !data) return E_INVALIDARG;
    ++psa->cLocks;
    *data = psa->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) {
    if (!psa || psa->cLocks == 0) return E_UNEXPECTED;
    --psa->cLocks;
    return S_OK;
}

uint32_t SafeArrayGetDim(SAFEARRAY* psa) { return psa ? psa->cDims : 0; }

// ---- VARIANT

void VariantInit(VARIANT* v) {
    std::memset(v, 0, sizeof(VARIANT));
    v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* v) {
    if (!v) return E_INVALIDARG;
    if (v->vt & VT_ARRAY) {
        SafeArrayDestroy(v->parray);
    } else if (v->vt == VT_BSTR) {
        SysFreeString(v->bstrVal);
    }
    VariantInit(v);
    return S_OK;
}

static std::optional<double> numberOf(const VARIANT& v) {
    switch (v.vt) {
    case VT_UI1: return v.bVal;
    case VT_I2: return v.iVal;
    case VT_I4: return v.lVal;
    case VT_R4: return v.fltVal;
    case VT_R8: return v.dblVal;
    case VT_DATE: return v.date;
    case VT_BOOL: return v.boolVal ? -1.0 : 0.0;
    case VT_BSTR: {
        std::string s = com::bstrToUtf8(v.bstrVal);
        char* end = nullptr;
        errno = 0;
        double d = std::strtod(s.c_str(), &end);
        if (s.empty() || end != s.c_str() + s.size() || errno == ERANGE || !std::isfinite(d)) return std::nullopt;
        return d;
    }
    default: return std::nullopt;
    }
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, uint16_t /*flags*/, VARTYPE vt) {
    if (!dest || !src) return E_INVALIDARG;
    if (vt == VT_BSTR) {
        if (src->vt == VT_BSTR) {
            BSTR copy = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
            VariantClear(dest);
            dest->vt = VT_BSTR;
            dest->bstrVal = copy;
            return S_OK;
        }
        auto n = numberOf(*src);
        if (!n) return DISP_E_TYPEMISMATCH;
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", *n);
        VariantClear(dest);
        dest->vt = VT_BSTR;
        dest->bstrVal = com::allocBstr(buf);
        return S_OK;
    }
    auto n = numberOf(*src);
    if (!n) return DISP_E_TYPEMISMATCH;
    double d = *n;
    VARIANT out;
    VariantInit(&out);
    out.vt = vt;
    switch (vt) {
    case VT_R8: out.dblVal = d; break;
    case VT_DATE: out.date = d; break;
    case VT_R4:
        if (std::fabs(d) > 3.4028234663852886e38) return DISP_E_TYPEMISMATCH;
        out.fltVal = static_cast<float>(d);
        break;
    case VT_I4:
        if (!(d >= -2147483648.5 && d < 2147483647.5)) return DISP_E_TYPEMISMATCH;
        out.lVal = static_cast<int32_t>(std::nearbyint(d));
        break;
    case VT_I2:
        if (!(d >= -32768.5 && d < 32767.5)) return DISP_E_TYPEMISMATCH;
        out.iVal = static_cast<int16_t>(std::nearbyint(d));
        break;
    case VT_BOOL: out.boolVal = d != 0 ? VARIANT_TRUE : VARIANT_FALSE; break;
    default: return DISP_E_TYPEMISMATCH;
    }
    VariantClear(dest);
    *dest = out;
    return S_OK;
}

namespace com {

VARIANT missingArg() {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

static VARIANT arrayVariant(VARTYPE vt, const void* data, std::size_t count) {
    VARIANT v;
    VariantInit(&v);
    if (count > UINT32_MAX) return v;
    SAFEARRAY* psa = SafeArrayCreateVector(vt, 0, static_cast<uint32_t>(count));
    if (!psa) return v;
    if (count) std::memcpy(psa->pvData, data, count * psa->cbElements);
    v.vt = VT_ARRAY | vt;
    v.parray = psa;
    return v;
}

VARIANT floatArrayVariant(const float* values, std::size_t count) { return arrayVariant(VT_R4, values, count); }
VARIANT byteArrayVariant(const uint8_t* bytes, std::size_t count) { return arrayVariant(VT_UI1, bytes, count); }

template <class T>
static std::optional<std::vector<T>> elementsOf(const VARIANT& v, VARTYPE vt) {
    if (v.vt != (VT_ARRAY | vt) || !v.parray || v.parray->cDims != 1 || v.parray->vt != vt) return std::nullopt;
    const auto* p = static_cast<const T*>(v.parray->pvData);
    return std::vector<T>(p, p + v.parray->rgsabound[0].cElements);
}

std::optional<std::vector<float>> floatsOf(const VARIANT& v) { return elementsOf<float>(v, VT_R4); }

std::optional<std::span<const float>> floatsIn(const VARIANT& v) {
    if (v.vt != (VT_ARRAY | VT_R4) || !v.parray || v.parray->cDims != 1 || v.parray->vt != VT_R4) return std::nullopt;
    return std::span<const float>(static_cast<const float*>(v.parray->pvData), v.parray->rgsabound[0].cElements);
}
std::optional<std::vector<uint8_t>> bytesOf(const VARIANT& v) { return elementsOf<uint8_t>(v, VT_UI1); }

}  // namespace com

// ---- Error info, last error

namespace {
// Static TLS also in the library that is loaded at run time: dynamic TLS blocks of a loaded library are
// not walked reliably by the leak checker, and these few bytes fit the space the loader keeps for them.
[[gnu::tls_model("initial-exec")]] thread_local std::optional<ErrorInfoRecord> tErrorInfo;
[[gnu::tls_model("initial-exec")]] thread_local uint32_t tLastError = 0;
const HostServices* gHost = nullptr;  // a host's services adopted by this library copy

char* dupString(const std::string& s) {
    auto* p = static_cast<char*>(std::malloc(s.size() + 1));
    if (p) std::memcpy(p, s.c_str(), s.size() + 1);
    return p;
}

void ownSetErrorInfo(const char* description, const char* source, const GUID* iid) {
    tErrorInfo = ErrorInfoRecord{description ? description : "", source ? source : "", iid ? *iid : GUID{}};
}

bool ownGetErrorInfo(char** description, char** source, GUID* iid) {
    if (!tErrorInfo) return false;
    *description = dupString(tErrorInfo->description);
    *source = dupString(tErrorInfo->source);
    *iid = tErrorInfo->iid;
    tErrorInfo.reset();
    return true;
}
}  // namespace

void SetErrorInfo(const ErrorInfoRecord& info) {
    if (gHost) {
        gHost->setErrorInfo(info.description.c_str(), info.source.c_str(), &info.iid);
        return;
    }
    tErrorInfo = info;
}

std::optional<ErrorInfoRecord> GetErrorInfo() {
    char* d = nullptr;
    char* s = nullptr;
    GUID iid;
    bool got = gHost ? gHost->getErrorInfo(&d, &s, &iid) : ownGetErrorInfo(&d, &s, &iid);
    if (!got) return std::nullopt;
    ErrorInfoRecord r{d ? d : "", s ? s : "", iid};
    std::free(d);
    std::free(s);
    return r;
}

void ClearErrorInfo() { (void)GetErrorInfo(); }

uint32_t GetLastError() { return tLastError; }
void SetLastError(uint32_t err) { tLastError = err; }

std::string systemMessage(HRESULT hr) {
    if (hr == REGDB_E_CLASSNOTREG) return "Class not registered";
    if (hr == E_NOINTERFACE) return "No such interface supported";
    if (hr == E_INVALIDARG) return "The parameter is incorrect.";
    if (hr == E_FAIL) return "Unspecified error";
    if (hr == E_POINTER) return "Invalid pointer";
    if (hr == E_UNEXPECTED) return "Catastrophic failure";
    if (hr == E_NOTIMPL) return "Not implemented";
    if (hr == E_OUTOFMEMORY) return "Not enough memory resources are available to complete this operation.";
    if (hr == CLASS_E_CLASSNOTAVAILABLE) return "ClassFactory cannot supply requested class";
    if ((static_cast<uint32_t>(hr) & 0xFFFF0000u) == 0x80070000u) {
        int err = hr & 0xFFFF;
        if (err > 0 && err < 4096) return vx::ErrorText(err);
    }
    return {};
}

std::string oleErrorText(HRESULT hr) {
    std::string text = systemMessage(hr);
    if (!text.empty()) return text;
    char buf[32];
    std::snprintf(buf, sizeof buf, "OLE error %.8x", static_cast<uint32_t>(hr));
    return buf;
}

// ---- Clipboard

namespace {
struct MemoryClipboard {
    std::map<std::string, std::vector<uint8_t>> data;
    bool isOpen = false;
};
MemoryClipboard& memoryClipboard() {
    static MemoryClipboard clip;
    return clip;
}
bool memOpen() {
    if (memoryClipboard().isOpen) return false;
    memoryClipboard().isOpen = true;
    return true;
}
void memClose() { memoryClipboard().isOpen = false; }
bool memEmpty() {
    memoryClipboard().data.clear();
    return true;
}
bool memSet(const char* format, const uint8_t* bytes, std::size_t size) {
    memoryClipboard().data[format] = std::vector<uint8_t>(bytes, bytes + size);
    return true;
}
bool memGet(const char* format, uint8_t** bytes, std::size_t* size) {
    auto& d = memoryClipboard().data;
    auto it = d.find(format);
    if (it == d.end()) return false;
    *bytes = static_cast<uint8_t*>(std::malloc(it->second.size() ? it->second.size() : 1));
    if (!*bytes) return false;
    if (!it->second.empty()) std::memcpy(*bytes, it->second.data(), it->second.size());
    *size = it->second.size();
    return true;
}
const ClipboardBackend kMemoryBackend = {memOpen, memClose, memEmpty, memSet, memGet};
const ClipboardBackend* gClipboard = &kMemoryBackend;

const ClipboardBackend* ownClipboard() { return gClipboard; }
const ClipboardBackend* clipboard() { return gHost ? gHost->clipboard() : gClipboard; }

std::vector<std::string>& formatNames() {
    static std::vector<std::string> names;
    return names;
}
std::string formatName(uint32_t format) {
    if (format == CF_TEXT) return "text/plain";
    if (format >= 0xC000 && format - 0xC000 < formatNames().size()) return formatNames()[format - 0xC000];
    return "format-" + std::to_string(format);
}
const HostServices kOwnServices = {1, ownSetErrorInfo, ownGetErrorInfo, ownClipboard};
}  // namespace

void setClipboardBackend(const ClipboardBackend* backend) { gClipboard = backend ? backend : &kMemoryBackend; }

uint32_t RegisterClipboardFormat(const char* name) {
    auto& names = formatNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<uint32_t>(0xC000 + i);
    names.emplace_back(name);
    return static_cast<uint32_t>(0xC000 + names.size() - 1);
}

bool OpenClipboard() { return clipboard()->open(); }
void CloseClipboard() { clipboard()->close(); }
bool EmptyClipboard() { return clipboard()->empty(); }

bool SetClipboardData(uint32_t format, const std::vector<uint8_t>& data) {
    return clipboard()->setData(formatName(format).c_str(), data.data(), data.size());
}

std::optional<std::vector<uint8_t>> GetClipboardData(uint32_t format) {
    uint8_t* bytes = nullptr;
    std::size_t size = 0;
    if (!clipboard()->getData(formatName(format).c_str(), &bytes, &size)) return std::nullopt;
    std::vector<uint8_t> out(bytes, bytes + size);
    std::free(bytes);
    return out;
}

namespace com {
const HostServices* ownHostServices() { return &kOwnServices; }
void adoptHostServices(const HostServices* host) {
    gHost = (host && host != &kOwnServices && host->version >= 1) ? host : nullptr;
}

std::string classKey(const GUID& clsid) { return std::string(kClassesRoot) + "\\CLSID\\" + guidToString(clsid); }

std::optional<std::string> registeredServerPath(const GUID& clsid) {
    auto path = registry::readString(registry::Hive::CurrentUser, classKey(clsid) + "\\InprocServer32", "");
    if (!path || path->empty()) return std::nullopt;
    return path;
}
}  // namespace com

// ---- Class creation

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, uint32_t clsctx, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!(clsctx & (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER))) return REGDB_E_CLASSNOTREG;
    auto path = com::registeredServerPath(clsid);
    if (!path) return REGDB_E_CLASSNOTREG;
    // Libraries stay loaded for the rest of the process, as their objects may outlive this call.
    static std::map<std::string, void*> loaded;
    void* handle = nullptr;
    if (auto it = loaded.find(*path); it != loaded.end()) {
        handle = it->second;
    } else {
        handle = dlopen(path->c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) return CO_E_DLLNOTFOUND;
        loaded[*path] = handle;
    }
    auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    if (!getClassObject) return CO_E_ERRORINDLL;
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    if (!factory) return E_UNEXPECTED;
    IHostLink* link = nullptr;
    if (SUCCEEDED(factory->QueryInterface(IID_IHostLink, reinterpret_cast<void**>(&link))) && link) {
        link->LinkHost(com::ownHostServices());
        link->Release();
    }
    hr = factory->CreateInstance(outer, riid, ppv);
    factory->Release();
    return hr;
}
