#include "formats/spc_binding.h"

#include <dlfcn.h>

#include <cstdio>

#include "core/file_names.h"
#include "platform/errors.h"
#include "platform/ui.h"

namespace {

std::string format2(const char* fmt, const std::string& a, const std::string& b = {}) {
    std::string out(std::size_t(64) + std::string_view(fmt).size() + a.size() + b.size(), '\0');
    int n = std::snprintf(out.data(), out.size(), fmt, a.c_str(), b.c_str());
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

// Frees the library on every way out.
struct LibraryHandle {
    void* h;
    ~LibraryHandle() {
        if (h) dlclose(h);
    }
};

}  // namespace

bool RegisterTarnvikServer(const std::string& programFolder) {
    // The registration entry is taken from a table of entry names, as the only one ever called.
    static const char* const kEntries[] = {"DllRegisterServer", "DllUnregisterServer"};
    const char* entry = kEntries[0];
    const std::string path = programFolder + kTarnvikLibraryFile;
    if (!FileExists(path)) {
        ui::showMessage(std::string("the necessary file \"") + kTarnvikLibraryFile +
                        "\"\r\nis not in Varolux32 folder");
        return false;
    }
    LibraryHandle lib{dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)};
    if (!lib.h) throw vx::Error(format2("Failed to load \"%s\"", path));
    auto reg = reinterpret_cast<DllRegisterServerFn>(dlsym(lib.h, entry));
    if (!reg) throw vx::Error(format2("%s procedure not found in \"%s\"", entry, path));
    if (reg() != S_OK) throw vx::Error(format2("Call to %s failed in \"%s\"", entry, path));
    ui::showMessage(format2("Call to %s was successful!", entry));
    return reg() == S_OK;
}

void ProbeTarnvikServer(SpcBindCaller caller, const std::string& programFolder) {
    IUnknown* unk = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_GTarnvik, nullptr,
                                  CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&unk));
    if (unk) unk->Release();
    if (hr != REGDB_E_CLASSNOTREG) return;
    // The registration happens once for the program, not for the file at hand: its boxes come at once,
    // also during an Open that gathers its readers' messages.
    ui::ShownAtOnce shown;
    if (RegisterTarnvikServer(programFolder)) {
        ui::showMessage(caller == SpcBindCaller::Reader
                            ? "OK! DLL registrated. \r\nreading / saving of *.spc will work from now on"
                            : "OK! DLL registrated\r\nreading / saving of *.spc will work from now on");
    } else {
        ui::showMessage("Registration NOT successful");
    }
}

TarnvikPtr CreateTarnvik() {
    IUnknown* unk = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_GTarnvik, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&unk));
    if (FAILED(hr) || !unk) throw vx::Error(oleErrorText(FAILED(hr) ? hr : E_UNEXPECTED));
    IGTarnvik* g = nullptr;
    hr = unk->QueryInterface(IID_IGTarnvik, reinterpret_cast<void**>(&g));
    unk->Release();
    if (FAILED(hr) || !g) throw vx::Error("Interface not supported");
    ClearErrorInfo();
    return TarnvikPtr(g);
}

void CheckSpc(HRESULT hr) {
    if (SUCCEEDED(hr)) {
        ClearErrorInfo();
        return;
    }
    auto info = GetErrorInfo();
    throw vx::Error(info && !info->description.empty() ? info->description : oleErrorText(hr));
}
