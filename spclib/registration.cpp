// The library's COM entry points: the class factory and the per-user class registration.
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include <atomic>
#include <string>

#include "platform/registry.h"
#include "platform/safe_file.h"
#include "spclib/gtarnvik_class.h"
#include "spclib/igtarnvik.h"

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

namespace spc {
namespace {

std::atomic<int32_t> gLocks{0};

class Factory final : public IClassFactory, public IHostLink {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
        } else if (riid == IID_IHostLink) {
            *ppv = static_cast<IHostLink*>(this);
        } else {
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    // The factory is a static object; counting its references changes nothing.
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* obj = new (std::nothrow) GTarnvik;
        if (!obj) return E_OUTOFMEMORY;
        HRESULT hr = obj->QueryInterface(riid, ppv);
        obj->Release();
        return hr;
    }
    HRESULT LockServer(int32_t lock) override {
        gLocks += lock ? 1 : -1;
        return S_OK;
    }
    HRESULT LinkHost(const HostServices* services) override {
        com::adoptHostServices(services);
        return S_OK;
    }
};

Factory gFactory;

constexpr const char* kProgIdVersioned = "GTarnvikLib.GTarnvik.1";
constexpr const char* kProgIdIndependent = "GTarnvikLib.GTarnvik";
constexpr const char* kClassName = "GTarnvik Class";

std::string modulePath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&modulePath), &info) || !info.dli_fname) return {};
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved)) return resolved;
    return info.dli_fname;
}

}  // namespace
}  // namespace spc

using registry::Hive;

VX_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!(clsid == CLSID_GTarnvik)) return CLASS_E_CLASSNOTAVAILABLE;
    return spc::gFactory.QueryInterface(riid, ppv);
}

VX_EXPORT HRESULT DllCanUnloadNow() {
    return spc::gLiveObjects.load() == 0 && spc::gLocks.load() == 0 ? S_OK : S_FALSE;
}

// The registration is saved in the settings store: a save past the file-size limit fails instead of
// ending the program we run in.
VX_EXPORT HRESULT DllRegisterServer() {
    safefile::FileSizeSignalHold sizeSignal;
    std::string path = spc::modulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    const std::string root = com::kClassesRoot;
    const std::string clsid = com::guidToString(CLSID_GTarnvik);
    const std::string libid = com::guidToString(LIBID_GTarnvikLib);
    const std::string cls = com::classKey(CLSID_GTarnvik);
    auto put = [](const std::string& key, const std::string& name, const std::string& value) {
        return registry::writeString(Hive::CurrentUser, key, name, value);
    };
    bool ok = put(root + "\\" + spc::kProgIdVersioned, "", spc::kClassName) &&
              put(root + "\\" + spc::kProgIdVersioned + "\\CLSID", "", clsid) &&
              put(root + "\\" + spc::kProgIdIndependent, "", spc::kClassName) &&
              put(root + "\\" + spc::kProgIdIndependent + "\\CLSID", "", clsid) &&
              put(root + "\\" + spc::kProgIdIndependent + "\\CurVer", "", spc::kProgIdVersioned) &&
              put(cls, "", spc::kClassName) && put(cls + "\\ProgID", "", spc::kProgIdVersioned) &&
              put(cls + "\\VersionIndependentProgID", "", spc::kProgIdIndependent) &&
              registry::createKey(Hive::CurrentUser, cls + "\\Programmable") &&
              put(cls + "\\InprocServer32", "", path) &&
              put(cls + "\\InprocServer32", "ThreadingModel", "Apartment") && put(cls + "\\TypeLib", "", libid) &&
              put(root + "\\TypeLib\\" + libid + "\\1.0", "", "GTarnvikLib") &&
              put(root + "\\TypeLib\\" + libid + "\\1.0\\0\\linux64", "", path);
    return ok ? S_OK : SELFREG_E_CLASS;
}

VX_EXPORT HRESULT DllUnregisterServer() {
    safefile::FileSizeSignalHold sizeSignal;
    const std::string root = com::kClassesRoot;
    registry::deleteKey(Hive::CurrentUser, root + "\\" + spc::kProgIdVersioned);
    registry::deleteKey(Hive::CurrentUser, root + "\\" + spc::kProgIdIndependent);
    registry::deleteKey(Hive::CurrentUser, com::classKey(CLSID_GTarnvik));
    registry::deleteKey(Hive::CurrentUser, root + "\\TypeLib\\" + com::guidToString(LIBID_GTarnvikLib));
    return S_OK;
}
