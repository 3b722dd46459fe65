#include "formats/compound_file.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>

#include <algorithm>

namespace compound {

namespace {

// The library reports damage it meets on the way (an entry it skips, a chain it cuts short) as log
// messages on standard error; the readers say in their own words what a damaged file cost, so these
// are dropped.
void dropMessage(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

constexpr GLogLevelFlags kDroppedLevels = static_cast<GLogLevelFlags>(
    G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG);

void initLibrary() {
    static const bool done = [] {
        gsf_init();
        for (const char* domain : {"libgsf", "libgsf:msole"})
            g_log_set_handler(domain, kDroppedLevels, dropMessage, nullptr);
        return true;
    }();
    (void)done;
}

// Opening a child the library cannot follow logs a warning in the default domain, not in its own: while
// that call runs, the default domain's messages are dropped too.
class QuietDefaultDomain {
public:
    QuietDefaultDomain() : id_(g_log_set_handler(nullptr, kDroppedLevels, dropMessage, nullptr)) {}
    ~QuietDefaultDomain() { g_log_remove_handler(nullptr, id_); }
    QuietDefaultDomain(const QuietDefaultDomain&) = delete;
    QuietDefaultDomain& operator=(const QuietDefaultDomain&) = delete;

private:
    guint id_;
};

bool sameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

GsfInput* input(const Handle& h) { return static_cast<GsfInput*>(h.get()); }

}  // namespace

void Unref::operator()(void* object) const {
    if (object) g_object_unref(object);
}

std::uint64_t Stream::Remaining() const {
    const gsf_off_t left = gsf_input_remaining(input(input_));
    return left > 0 ? static_cast<std::uint64_t>(left) : 0;
}

const std::uint8_t* Stream::Next(std::size_t n) {
    if (n == 0 || n > Remaining()) return nullptr;
    return gsf_input_read(input(input_), n, nullptr);
}

bool Stream::Seek(std::uint64_t offset) {
    if (offset > size_) return false;
    // The library answers false on success.
    return !gsf_input_seek(input(input_), static_cast<gsf_off_t>(offset), G_SEEK_SET);
}

std::optional<File> File::Open(std::string_view bytes) {
    initLibrary();
    // The library reads the caller's bytes in place; it neither copies nor frees them.
    Handle source(gsf_input_memory_new(reinterpret_cast<const guint8*>(bytes.data()),
                                       static_cast<gsf_off_t>(bytes.size()), FALSE));
    if (!source) return std::nullopt;
    GError* error = nullptr;
    Handle root(gsf_infile_msole_new(input(source), &error));  // holds its own reference to the source
    if (error) g_error_free(error);
    if (!root) return std::nullopt;
    return File(std::move(root));
}

std::optional<Stream> File::TopStream(std::string_view name, bool& damaged) const {
    GsfInfile* root = GSF_INFILE(root_.get());
    const int children = gsf_infile_num_children(root);
    for (int i = 0; i < children; ++i) {
        const char* childName = gsf_infile_name_by_index(root, i);
        if (!childName || !sameName(childName, name)) continue;
        // A child the library cannot open comes back empty.
        Handle child;
        {
            const QuietDefaultDomain quiet;
            child.reset(gsf_infile_child_by_index(root, i));
        }
        if (!child) {
            damaged = true;
            continue;
        }
        // A storage (a folder of the directory) is no stream.
        if (GSF_IS_INFILE(child.get()) && gsf_infile_num_children(GSF_INFILE(child.get())) >= 0) continue;
        const gsf_off_t size = gsf_input_size(input(child));
        if (size < 0) {
            damaged = true;
            continue;
        }
        return Stream(std::move(child), static_cast<std::uint64_t>(size));
    }
    return std::nullopt;
}

}  // namespace compound
