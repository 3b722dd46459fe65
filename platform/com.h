#pragma once
// A small COM layer: result codes, GUIDs, the IUnknown / IClassFactory / IDispatch contracts, BSTR,
// VARIANT and one-dimensional SAFEARRAY for the types in use, per-thread error info, a clipboard with
// named formats, and CoCreateInstance resolving a class through the per-user class registration of the
// settings store. A library and its host each carry their own copy of this layer; the host hands its
// shared state (error info, clipboard) to the library when it creates a class (see HostServices).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

using HRESULT = int32_t;
using ULONG = uint32_t;
using VARTYPE = uint16_t;
using VARIANT_BOOL = int16_t;
using BSTR = char16_t*;
using DATE = double;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
inline constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = static_cast<HRESULT>(0x80020004);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005);
inline constexpr HRESULT CO_E_DLLNOTFOUND = static_cast<HRESULT>(0x800401F8);
inline constexpr HRESULT CO_E_ERRORINDLL = static_cast<HRESULT>(0x800401F9);

inline constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline constexpr bool FAILED(HRESULT hr) { return hr < 0; }
// System error numbers as results; values below 1 stay as they are.
inline constexpr HRESULT HRESULT_FROM_WIN32(uint32_t err) {
    return static_cast<int32_t>(err) <= 0 ? static_cast<HRESULT>(err)
                                          : static_cast<HRESULT>((err & 0xFFFF) | 0x80070000u);
}

inline constexpr uint32_t CLSCTX_INPROC_SERVER = 1;
inline constexpr uint32_t CLSCTX_INPROC_HANDLER = 2;
inline constexpr uint32_t CLSCTX_LOCAL_SERVER = 4;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};
    friend bool operator==(const GUID& a, const GUID& b);
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

namespace com {
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper-case hex) and back; braces optional on parsing.
std::string guidToString(const GUID& g);
std::optional<GUID> guidFromString(std::string_view text);
}  // namespace com

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_ISupportErrorInfo = {0xDF0B3D60, 0x548F, 0x101B,
                                              {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
// Our own: a class factory that accepts the host's shared services.
inline constexpr IID IID_IHostLink = {0x6A1F4E21, 0x3C9B, 0x4D7E, {0x9B, 0x10, 0x52, 0xE4, 0x7A, 0x0C, 0x3D, 0x91}};

// Interfaces are C++ classes whose virtual function table is the binary contract; host and library are
// built by the same compiler.
class IUnknown {
public:
    virtual HRESULT QueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

class IClassFactory : public IUnknown {
public:
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
    virtual HRESULT LockServer(int32_t lock) = 0;

protected:
    ~IClassFactory() = default;
};

// Late binding is not offered; the four slots keep the dual interfaces' layout.
class IDispatch : public IUnknown {
public:
    virtual HRESULT GetTypeInfoCount(uint32_t* count) = 0;
    virtual HRESULT GetTypeInfo(uint32_t index, uint32_t lcid, void** info) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, char16_t** names, uint32_t count, uint32_t lcid,
                                  int32_t* ids) = 0;
    virtual HRESULT Invoke(int32_t id, REFIID riid, uint32_t lcid, uint16_t flags, void* params,
                           void* result, void* excepInfo, uint32_t* argErr) = 0;

protected:
    ~IDispatch() = default;
};

class ISupportErrorInfo : public IUnknown {
public:
    virtual HRESULT InterfaceSupportsErrorInfo(REFIID riid) = 0;

protected:
    ~ISupportErrorInfo() = default;
};

// The state a host shares with the libraries it loads: error info and the clipboard.
struct HostServices;
class IHostLink : public IUnknown {
public:
    virtual HRESULT LinkHost(const HostServices* services) = 0;

protected:
    ~IHostLink() = default;
};

// ---- BSTR: UTF-16 text with a 4-byte byte length in front and a NUL behind. Null is the empty text.
BSTR SysAllocString(const char16_t* s);
BSTR SysAllocStringLen(const char16_t* s, uint32_t len);
void SysFreeString(BSTR s);
uint32_t SysStringLen(BSTR s);

namespace com {
std::u16string utf8ToUtf16(std::string_view s);
using unicode::utf16ToUtf8;
// BSTR <-> UTF-8.
BSTR allocBstr(std::string_view utf8);
std::string bstrToUtf8(BSTR s);
// Owns a BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::string_view utf8) : s_(allocBstr(utf8)) {}
    ~Bstr() { SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return s_; }
    BSTR* out() {
        SysFreeString(s_);
        s_ = nullptr;
        return &s_;
    }
    std::string utf8() const { return bstrToUtf8(s_); }

private:
    BSTR s_ = nullptr;
};
}  // namespace com

// ---- SAFEARRAY (one dimension) and VARIANT.
enum : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UI1 = 17,
    VT_ARRAY = 0x2000,
};

struct SAFEARRAYBOUND {
    uint32_t cElements;
    int32_t lLbound;
};

struct SAFEARRAY {
    uint16_t cDims;
    uint16_t fFeatures;
    uint32_t cbElements;
    uint32_t cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];
    VARTYPE vt;  // element type (kept here instead of in front of the block)
};

// Arrays of VT_UI1, VT_I2, VT_I4, VT_R4, VT_R8 elements; null when out of memory.
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, int32_t lowerBound, uint32_t count);
HRESULT SafeArrayDestroy(SAFEARRAY* psa);
HRESULT SafeArrayGetLBound(SAFEARRAY* psa, uint32_t dim, int32_t* out);
HRESULT SafeArrayGetUBound(SAFEARRAY* psa, uint32_t dim, int32_t* out);
HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* out);
HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* psa);
uint32_t SafeArrayGetDim(SAFEARRAY* psa);

struct VARIANT {
    VARTYPE vt;
    uint16_t reserved1, reserved2, reserved3;
    union {
        uint8_t bVal;
        int16_t iVal;
        int32_t lVal;
        float fltVal;
        double dblVal;
        DATE date;
        VARIANT_BOOL boolVal;
        HRESULT scode;
        BSTR bstrVal;
        SAFEARRAY* parray;
    };
};

void VariantInit(VARIANT* v);
HRESULT VariantClear(VARIANT* v);
// Conversion for the types in use: numbers, dates and booleans among each other, BSTR to and from
// plain decimal numbers. DISP_E_TYPEMISMATCH otherwise.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, uint16_t flags, VARTYPE vt);

namespace com {
// Owns a VARIANT.
struct Variant : VARIANT {
    Variant() { VariantInit(this); }
    ~Variant() { VariantClear(this); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};
// A missing optional argument (VT_ERROR with DISP_E_PARAMNOTFOUND).
VARIANT missingArg();
// A VT_ARRAY|VT_R4 variant holding a copy of the values; VT_EMPTY when out of memory.
VARIANT floatArrayVariant(const float* values, std::size_t count);
VARIANT byteArrayVariant(const uint8_t* bytes, std::size_t count);
// The elements of a one-dimensional array variant of the given element type, or nullopt.
std::optional<std::vector<float>> floatsOf(const VARIANT& v);
// The same elements where they lie in the variant's array (valid while the variant holds it).
std::optional<std::span<const float>> floatsIn(const VARIANT& v);
std::optional<std::vector<uint8_t>> bytesOf(const VARIANT& v);
}  // namespace com

// ---- Per-thread error info (what a failing member reports besides its result).
struct ErrorInfoRecord {
    std::string description;  // UTF-8
    std::string source;
    GUID iid;
};
void SetErrorInfo(const ErrorInfoRecord& info);
// Takes the thread's error info and clears it; nullopt when there is none.
std::optional<ErrorInfoRecord> GetErrorInfo();
void ClearErrorInfo();

// ---- The thread's last system error (errno-like), kept explicitly.
uint32_t GetLastError();
void SetLastError(uint32_t err);
// The system message text for a result or error code: "Class not registered" for REGDB_E_CLASSNOTREG,
// the errno text (vx::ErrorText) for HRESULT_FROM_WIN32 values of errno numbers, empty when there is none.
std::string systemMessage(HRESULT hr);
// The text for a failed creation: the system message, else "OLE error %.8x".
std::string oleErrorText(HRESULT hr);

// ---- Clipboard with named formats ("SPC") and CF_TEXT. The host installs a backend (the program's
// clipboard); the default keeps the data in memory.
inline constexpr uint32_t CF_TEXT = 1;
struct ClipboardBackend {
    bool (*open)();
    void (*close)();
    bool (*empty)();
    // Replaces the data of one format; false on failure.
    bool (*setData)(const char* format, const uint8_t* bytes, std::size_t size);
    // Copies the data of one format into a malloc()ed block (caller frees); false when absent.
    bool (*getData)(const char* format, uint8_t** bytes, std::size_t* size);
};
void setClipboardBackend(const ClipboardBackend* backend);  // null restores the in-memory one
uint32_t RegisterClipboardFormat(const char* name);          // >= 0xC000
bool OpenClipboard();
void CloseClipboard();
bool EmptyClipboard();
bool SetClipboardData(uint32_t format, const std::vector<uint8_t>& data);
std::optional<std::vector<uint8_t>> GetClipboardData(uint32_t format);

// ---- What a host shares with a library (a function table, passed through IHostLink).
struct HostServices {
    uint32_t version;
    void (*setErrorInfo)(const char* description, const char* source, const GUID* iid);
    // Returns a malloc()ed description and source (caller frees) and clears; false when none.
    bool (*getErrorInfo)(char** description, char** source, GUID* iid);
    const ClipboardBackend* (*clipboard)();
};
namespace com {
// This module's own services, and adoption of a host's (inside a library).
const HostServices* ownHostServices();
void adoptHostServices(const HostServices* host);
}  // namespace com

// ---- Class creation through the class registration of the settings store:
// HKCU "Software\Classes\CLSID\{clsid}\InprocServer32" (default value) names the library's absolute path.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, uint32_t clsctx, REFIID riid, void** ppv);
using DllGetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
using DllRegisterServerFn = HRESULT (*)();

namespace com {
inline constexpr const char* kClassesRoot = "Software\\Classes";
// "Software\\Classes\\CLSID\\{...}".
std::string classKey(const GUID& clsid);
// The registered library path of a class, or nullopt.
std::optional<std::string> registeredServerPath(const GUID& clsid);
}  // namespace com
