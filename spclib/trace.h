#pragma once
// The library's diagnostic trace: a file and a level per module, read from the local-machine settings
// under "SOFTWARE\Valdek\KORVA Suite\Tracing" ("TraceFile", "TraceLevel").
#include <string>

namespace spc {

class TraceModule {
public:
    void Init(const std::string& moduleName);
    int Level() const { return level_; }
    // Writes one line when a file is set; a file that cannot be opened ends tracing for this module.
    void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    std::string module_;
    std::string file_;
    int level_ = 0;
};

TraceModule& TraceGtarnvik();
TraceModule& TracePelmar();

inline constexpr const char* kTraceKey = "SOFTWARE\\Valdek\\KORVA Suite\\Tracing";

}  // namespace spc
