#pragma once
// The program's binding to the SPC library: it reaches the library only through its COM class,
// created by class identifier. When the class is not registered, the library file beside the program
// registers itself first. Every SPC read or save binds afresh and releases the object at its end.
#include <memory>
#include <string>

#include "platform/com.h"
#include "spclib/igtarnvik.h"

// The library file, looked up in the program's folder.
inline constexpr const char* kTarnvikLibraryFile = "gtarnviklib.so";

// Registers the library from `programFolder` (ending with "/"). True on success; false when the file is
// missing (after its message) or the second call of the registration entry failed. Raises vx::Error
// when the file cannot be loaded, the entry is missing or its first call fails.
bool RegisterTarnvikServer(const std::string& programFolder);

// Which caller binds: the success messages differ.
enum class SpcBindCaller { Reader, Saver };

// Probe, and registration from `programFolder` with its messages when the class is not registered.
void ProbeTarnvikServer(SpcBindCaller caller, const std::string& programFolder);

struct TarnvikRelease {
    void operator()(IGTarnvik* p) const {
        if (p) p->Release();
    }
};
using TarnvikPtr = std::unique_ptr<IGTarnvik, TarnvikRelease>;

// Creates the class as IGTarnvik; raises vx::Error with the system's text for a failed creation and
// "Interface not supported" for a failed query.
TarnvikPtr CreateTarnvik();

// Raises vx::Error for a failed member call, with the description the library gave.
void CheckSpc(HRESULT hr);
