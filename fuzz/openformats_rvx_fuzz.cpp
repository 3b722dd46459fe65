// Any byte string given to the own-format reader, from memory and from a file, ends in complete
// spectra or the stream read error, the same both ways.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/rvx.h"
#include "platform/errors.h"

namespace {

// The input as a file, without touching the disk.
std::string inputFile(const uint8_t* data, std::size_t size) {
    static int fd = memfd_create("rvx_fuzz", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, 0) != 0) return {};
    for (std::size_t done = 0; done < size;) {
        ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0) return {};
        done += static_cast<std::size_t>(n);
    }
    return "/proc/self/fd/" + std::to_string(fd);
}

bool complete(const TSpectraList& list) {
    for (const auto& r : list)
        if (r->PointCount() < 2 || r->StepX == 0.0) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    TSpectraList fromBytes, fromFile;
    try {
        LoadRvxBytes(std::string_view(reinterpret_cast<const char*>(data), size), 40000.0, fromBytes);
    } catch (const vx::Error&) {
    }
    const std::string path = inputFile(data, size);
    if (!path.empty()) {
        try {
            LoadRvxFile(path, fromFile);
        } catch (const vx::Error&) {
        }
        if (fromFile.Count() != fromBytes.Count()) __builtin_trap();
    }
    if (!complete(fromBytes) || !complete(fromFile)) __builtin_trap();
    return 0;
}
