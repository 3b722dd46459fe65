#pragma once
// The floor of a binary reader: the fread of the whole file, then the one pass that turns its values
// into the lists of doubles the records hold (each list a vector reserved once). No reader of the file
// into records can do less, so its time is set beside the floor's, not beside the fread's alone: the
// doubles take two to four times the file's bytes in fresh memory.
//
// Fresh memory is what both mostly cost where page faults are dear, and readers let the system back
// their large lists with 2 MiB pages: the floor is also taken that way (LargePages::Advised: the fread's
// buffer and every list of 2 MiB or more advised before they are written), the stricter of the two.
#include <sys/mman.h>
#include <zip.h>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench_files.h"
#include "platform/fault_in.h"

namespace bench_floors {

using Lists = std::vector<std::vector<double>>;

enum class LargePages { Plain, Advised };

// The file's bytes read whole into a buffer of their own (advised before the read where asked); empty
// when the file was not read whole.
class FileBuffer {
public:
    FileBuffer(const std::string& path, LargePages pages) {
        size_ = static_cast<std::size_t>(bench_files::FileBytes(path));
        if (pages == LargePages::Plain) {
            plain_ = bench_files::FreadWhole(path, size_);
            data_ = plain_.get();
            return;
        }
        void* m = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (m == MAP_FAILED) return;
        mapped_ = m;
        vxmem::AdviseHugePages(m, size_);
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (f && std::fread(m, 1, size_, f) == size_) data_ = static_cast<char*>(m);
        if (f) std::fclose(f);
    }
    ~FileBuffer() {
        if (mapped_) ::munmap(mapped_, size_);
    }
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    std::size_t size_ = 0;
    std::unique_ptr<char[]> plain_;
    void* mapped_ = nullptr;
    const char* data_ = nullptr;
};

// Where the values of a file lie: `lists` runs of `count` fields of `Bytes` bytes, the first at `offset`,
// each run `gap` bytes after the end of the one before.
struct Runs {
    std::size_t offset = 0;
    std::size_t lists = 1;
    std::size_t count = 0;
    std::size_t gap = 0;
};

// The one pass over bytes already in memory.
template <std::size_t Bytes, class Convert>
Lists ValuesIntoDoubles(const char* file, const Runs& runs, Convert convert, LargePages pages = LargePages::Plain) {
    Lists out(runs.lists);
    const auto* p = reinterpret_cast<const uint8_t*>(file) + runs.offset;
    for (auto& list : out) {
        list.reserve(runs.count);
        if (pages == LargePages::Advised) vxmem::AdviseHugePages(list.data(), runs.count * sizeof(double));
        for (std::size_t i = 0; i < runs.count; ++i, p += Bytes) list.push_back(convert(p));
        p += runs.gap;
    }
    return out;
}

// The floor itself: fread of the whole file, then that pass. Empty when the file was not read whole or
// is shorter than the runs.
template <std::size_t Bytes, class Convert>
Lists FreadIntoDoubles(const std::string& path, const Runs& runs, Convert convert, LargePages pages = LargePages::Plain) {
    const FileBuffer file(path, pages);
    if (!file.data() || runs.offset + runs.lists * (runs.count * Bytes + runs.gap) - runs.gap > file.size()) return {};
    return ValuesIntoDoubles<Bytes>(file.data(), runs, convert, pages);
}

// The values of every "<double>" element of an XML text, in order, into one list per element list
// (a list ends at the first closing tag that is no "</double>").
inline Lists ParseDoubleElements(std::string_view text) {
    Lists out;
    constexpr std::string_view kOpen = "<double>";
    bool inList = false;
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (text.compare(at, kOpen.size(), kOpen) == 0) {
            if (!inList) out.emplace_back();
            inList = true;
            double v = 0;
            const char* from = text.data() + at + kOpen.size();
            const auto r = std::from_chars(from, text.data() + text.size(), v);
            out.back().push_back(v);
            at = static_cast<std::size_t>(r.ptr - text.data());
        } else if (text.compare(at, 9, "</double>") != 0) {
            inList = false;
        }
    }
    return out;
}

// The floor of a ZIP-packed XML spectrum: the fread of the whole archive, the member unpacked into
// memory, its values parsed.
inline Lists FreadUnzipIntoDoubles(const std::string& path, const char* member, LargePages pages = LargePages::Plain) {
    const FileBuffer file(path, pages);
    if (!file.data()) return {};
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(file.data(), file.size(), 0, &error);
    zip_t* z = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    Lists out;
    zip_stat_t st;
    zip_stat_init(&st);
    if (z && zip_stat(z, member, 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE)) {
        const auto n = static_cast<std::size_t>(st.size);
        const std::unique_ptr<char[]> text(new char[n]);  // written by the unpacking alone
        if (pages == LargePages::Advised) vxmem::AdviseHugePages(text.get(), n);
        zip_file_t* f = zip_fopen(z, member, 0);
        if (f && zip_fread(f, text.get(), st.size) == static_cast<zip_int64_t>(st.size))
            out = ParseDoubleElements(std::string_view(text.get(), n));
        if (f) zip_fclose(f);
    }
    if (z) zip_discard(z);
    else if (source) zip_source_free(source);
    zip_error_fini(&error);
    return out;
}

}  // namespace bench_floors
