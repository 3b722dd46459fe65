// Fuzzes the SPC image parser, from memory (blobs, the clipboard) and from a file read piece by piece
// (OpenFile), and writes every accepted document back.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "spclib/spc_file.h"
#include "spclib/spc_text.h"

namespace {

void exercise(spc::TARNVIK& doc, std::size_t size) {
    for (uint32_t i = 0; i < doc.count() && i < 4; ++i) {
        std::vector<float> x, y;
        doc.ReadValues(i, &x, &y);
    }
    (void)spc::DetermineTechnique(doc);
    (void)spc::GetLogLine(doc, 3);
    (void)spc::DateValue(doc);
    if (size < 65536) (void)spc::BuildImage(doc, -1);
}

// The input as a file, without touching the disk.
int inputFile(const uint8_t* data, std::size_t size) {
    static int fd = memfd_create("spc_fuzz", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, 0) != 0) return -1;
    for (std::size_t done = 0; done < size;) {
        ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0) return -1;
        done += static_cast<std::size_t>(n);
    }
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static spc::TARNVIK doc;
    const int32_t fromMemory = spc::OpenImage(doc, data, size);
    if (fromMemory == 0) exercise(doc, size);
    const int fd = inputFile(data, size);
    if (fd < 0) return 0;
    static spc::TARNVIK fromFile;
    const int32_t r = spc::OpenFileImage(fromFile, "/proc/self/fd/" + std::to_string(fd), true);
    if (r == 0) exercise(fromFile, size);
    // Both ways give the same result.
    if (r != fromMemory || fromFile.count() != doc.count()) __builtin_trap();
    return 0;
}
