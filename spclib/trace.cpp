#include "spclib/trace.h"

#include <fcntl.h>
#include <sys/time.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/input_file.h"
#include "platform/registry.h"
#include "platform/safe_file.h"

namespace spc {

void TraceModule::Init(const std::string& moduleName) {
    file_[0] = '\0';
    std::snprintf(module_, sizeof module_, "%s", moduleName.c_str());
    level_ = 0;
    auto file = registry::readString(registry::Hive::LocalMachine, kTraceKey, "TraceFile");
    if (file && file->size() < sizeof file_) std::memcpy(file_, file->c_str(), file->size() + 1);
    if (auto level = registry::readString(registry::Hive::LocalMachine, kTraceKey, "TraceLevel")) {
        // A level that is no number is 0.
        char* end = nullptr;
        long v = std::strtol(level->c_str(), &end, 10);
        level_ = (end && end != level->c_str() && *end == '\0' && v >= 0 && v < 1000) ? static_cast<int>(v) : 0;
    } else if (auto dword = registry::readDword(registry::Hive::LocalMachine, kTraceKey, "TraceLevel")) {
        level_ = *dword < 1000 ? static_cast<int>(*dword) : 0;
    }
    if (file_[0] == '\0') level_ = 0;
}

void TraceModule::Print(const char* format, ...) {
    if (file_[0] == '\0') {
        level_ = 0;
        return;
    }
    char line[1024];
    timeval tv{};
    gettimeofday(&tv, nullptr);
    tm lt{};
    time_t secs = tv.tv_sec;
    localtime_r(&secs, &lt);
    int n = std::snprintf(line, sizeof line, "%04d/%02d/%02d %02d:%02d:%02d.%03d (%3d:0x%03x) ", lt.tm_year + 1900,
                          lt.tm_mon + 1, lt.tm_mday, lt.tm_hour, lt.tm_min, lt.tm_sec,
                          static_cast<int>(tv.tv_usec / 1000), static_cast<int>(getpid()),
                          static_cast<unsigned>(syscall(SYS_gettid)));
    if (module_[0] != '\0' && n < int(sizeof line))
        n += std::snprintf(line + n, sizeof line - n, "{%s} ", module_);
    if (n < int(sizeof line)) {
        va_list args;
        va_start(args, format);
        n += std::vsnprintf(line + n, sizeof line - n, format, args);
        va_end(args);
    }
    std::size_t len = static_cast<std::size_t>(n);
    if (len >= sizeof line) {
        // Cut: 1023 bytes in all, ending in " ...\n".
        std::memcpy(line + 1023 - 5, " ...\n", 5);
        len = 1023;
    }
    // Without waiting on a pipe or device named as trace file: only a regular file takes the lines.
    int fd = -1;
    if (OpenRegularFile(file_, O_WRONLY | O_CREAT | O_APPEND, 0644, fd) != 0) {
        file_[0] = '\0';
        level_ = 0;
        return;
    }
    {
        // A trace file at the file-size limit loses the line instead of ending the program we run in.
        safefile::FileSizeSignalHold sizeSignal;
        ssize_t w = ::write(fd, line, len);
        (void)w;
    }
    ::close(fd);
}

// Constant-initialised and never destroyed, so usable from the first constructor to the shut-down line.
namespace {
constinit TraceModule gGtarnvik;
constinit TraceModule gPelmar;
}  // namespace

TraceModule& TraceGtarnvik() { return gGtarnvik; }
TraceModule& TracePelmar() { return gPelmar; }

// Library start-up and shut-down in place of the DLL entry.
__attribute__((constructor)) static void libraryAttach() {
    TraceModule& t = TraceGtarnvik();
    t.Init("GTARNVIK");
    if (t.Level() >= 2) t.Print("(vers: %s) [DllMain] PROCESS_ATTACH\n", "9.2.0.0");
    TraceModule& p = TracePelmar();
    p.Init("PELMAR");
    if (p.Level() >= 2) p.Print("(vers: %d.%d.%d.0) [OSInitLib]\n", 9, 2, 0);
}

__attribute__((destructor)) static void libraryDetach() {
    TraceModule& t = TraceGtarnvik();
    if (t.Level() >= 2) t.Print("[DllMain] PROCESS_DETACH\n");
}

}  // namespace spc
