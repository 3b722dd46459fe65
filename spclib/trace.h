#pragma once
// The library's diagnostic trace: a file and a level per module, read from the local-machine settings
// under "SOFTWARE\Valdek\KORVA Suite\Tracing" ("TraceFile", "TraceLevel").
#include <climits>
#include <string>
#include <type_traits>

namespace spc {

// Holds no memory of its own (fixed buffers), so the library's two modules need no destruction and
// leave nothing behind when the library is unloaded.
class TraceModule {
public:
    constexpr TraceModule() = default;
    void Init(const std::string& moduleName);
    int Level() const { return level_; }
    // Writes one line when a file is set; a file that cannot be opened ends tracing for this module.
    void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    char module_[16] = {};
    char file_[PATH_MAX] = {};  // empty: no tracing; a longer path leaves tracing off
    int level_ = 0;
};
static_assert(std::is_trivially_destructible_v<TraceModule>);

TraceModule& TraceGtarnvik();
TraceModule& TracePelmar();

inline constexpr const char* kTraceKey = "SOFTWARE\\Valdek\\KORVA Suite\\Tracing";

}  // namespace spc
