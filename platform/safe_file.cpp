#include "platform/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/errors.h"
#include "platform/input_file.h"
#include "platform/path_names.h"

namespace safefile {
namespace {

constexpr int kMaxLinks = 40;
constexpr int kNameTries = 100;
constexpr std::size_t kRandomChars = 12;
constexpr const char* kTempMark = ".vxtmp-";

// The folder of a path as a name that opens it ("." for a bare name).
std::string openableFolderOf(const std::string& path) {
    std::string folder = FolderOf(path);
    return folder.empty() ? std::string(".") : folder;
}

std::string randomSuffix() {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[kRandomChars];
    if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // No entropy yet (early boot): a counter, the process and the clock still give a fresh name,
        // and O_EXCL makes a clash harmless.
        static unsigned long counter = 0;
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        unsigned long long mix = (static_cast<unsigned long long>(ts.tv_nsec) << 20) ^
                                 static_cast<unsigned long long>(ts.tv_sec) ^
                                 (static_cast<unsigned long long>(::getpid()) << 40) ^ (++counter * 0x9E3779B97F4A7C15ull);
        for (auto& b : bytes) {
            mix ^= mix >> 29;
            mix *= 0xBF58476D1CE4E5B9ull;
            b = static_cast<unsigned char>(mix >> 56);
        }
    }
    std::string s;
    for (unsigned char b : bytes) s += kChars[b % (sizeof kChars - 1)];
    return s;
}

// "<name>.vxtmp-" of the target's temporaries, the name shortened where the folder's name limit needs it.
std::string tempPrefixFor(const std::string& resolved) {
    std::string name = NameWithoutFolder(resolved);
    const std::size_t extra = std::strlen(kTempMark) + kRandomChars;
    if (name.size() + extra > NAME_MAX) name.resize(NAME_MAX - extra);
    return name + kTempMark;
}

// "<name>.vxtmp-<random>" beside the target.
std::string tempNameFor(const std::string& resolved) {
    return FolderOf(resolved) + tempPrefixFor(resolved) + randomSuffix();
}

bool isTempNameOf(const std::string& entry, const std::string& prefix) {
    if (entry.size() != prefix.size() + kRandomChars || entry.compare(0, prefix.size(), prefix) != 0) return false;
    return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()), entry.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); });
}

// Removes the named temporaries of `resolved` that no save holds any more: a save holds its own
// locked from creation to rename, so one that can be locked was left by a save that was killed.
void removeStaleTemporaries(const std::string& resolved) {
    const int dirFd = ::open(openableFolderOf(resolved).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return;  // the create that follows reports the folder's error
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return;
    }
    const std::string prefix = tempPrefixFor(resolved);
    std::vector<std::string> stale;
    while (const dirent* e = ::readdir(dir)) {
        if (!isTempNameOf(e->d_name, prefix)) continue;
        // Never a link, and never waiting on a pipe planted under such a name.
        const int fd = ::openat(dirFd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            (::flock(fd, LOCK_SH | LOCK_NB) == 0 || errno != EWOULDBLOCK))
            stale.push_back(e->d_name);
        ::close(fd);
    }
    for (const std::string& name : stale) ::unlinkat(dirFd, name.c_str(), 0);
    ::closedir(dir);
}

std::atomic<void (*)(seam::Step, const std::string&)> stepHook{nullptr};
std::atomic<bool> unnamedAllowed{true};

void reached(seam::Step step, const std::string& target) {
    if (auto hook = stepHook.load()) hook(step, target);
}

// An unnamed file is linked into place through /proc, which must be there.
bool canLinkUnnamed() {
    static const bool proc = ::access("/proc/self/fd", X_OK) == 0;
    return proc && unnamedAllowed.load();
}

int writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

// Makes the rename itself durable; a folder that cannot be synced (some file systems) is no failure of
// the save, which is complete at this point.
void syncFolder(const std::string& folder) {
    const int d = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d < 0) return;
    ::fsync(d);
    ::close(d);
}

}  // namespace

unsigned NewFileMode() {
    // /proc tells the umask without changing it; the fallback sets it back at once.
    if (std::FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                found = true;
                break;
            }
        std::fclose(f);
        if (found) return 0666u & ~mask;
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return 0666u & ~static_cast<unsigned>(mask);
}

int ResolveSaveTarget(const std::string& path, std::string& resolved) {
    if (path.empty()) return ENOENT;
    std::string p = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0) {
            if (errno != ENOENT) return errno;
            resolved = p;  // a new file, or the file a dangling link names
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            resolved = p;
            return 0;
        }
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1, '\0');
        const ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) >= link.size()) return ENAMETOOLONG;  // changed while read
        link.resize(static_cast<std::size_t>(n));
        if (link.empty()) return ENOENT;
        p = link[0] == '/' ? link : FolderOf(p) + link;
    }
    return ELOOP;
}

SafeFileWriter::~SafeFileWriter() { discard(); }

int SafeFileWriter::open(const std::string& target) {
    discard();
    error_ = 0;
    written_ = 0;
    hadTarget_ = false;
    resolved_.clear();
    if (int e = ResolveSaveTarget(target, resolved_)) return error_ = e;

    struct stat st {};
    if (::stat(resolved_.c_str(), &st) == 0) {
        // The target itself is never opened (the rename replaces it), so nothing here can wait on a
        // pipe or a device; they and folders are refused, as renaming over them would drop them.
        if (int e = NotRegularFileError(st.st_mode)) return error_ = e;
        // The rename needs only the folder's permission; a file made read-only stays as it is.
        if (::faccessat(AT_FDCWD, resolved_.c_str(), W_OK, AT_EACCESS) != 0) return error_ = errno;
        hadTarget_ = true;
        oldMode_ = st.st_mode & 0777u;
        oldUid_ = st.st_uid;
        oldGid_ = st.st_gid;
    } else if (errno != ENOENT) {
        return error_ = errno;
    }

    // Temporaries that killed saves of this target left under a name (the instant between an unnamed
    // file's link and its rename, or any moment on a file system without unnamed files) go first.
    removeStaleTemporaries(resolved_);
    // Only the owner may read the half-written file; the final bits are set in commit().
    if (canLinkUnnamed()) {
        fd_ = ::open(openableFolderOf(resolved_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        // Without unnamed files here (some network and user-space file systems) a named one is made.
        if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return error_ = errno;
        unnamed_ = fd_ >= 0;
    }
    if (!unnamed_) {
        for (int attempt = 0; fd_ < 0; ++attempt) {
            if (attempt == kNameTries) return error_ = EEXIST;
            std::string name = tempNameFor(resolved_);
            fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd_ >= 0) temp_ = std::move(name);
            else if (errno != EEXIST) return error_ = errno;
        }
    }
    // Marks the temporary as in use for removeStaleTemporaries(); a file system without locks leaves
    // it unmarked. The second descriptor keeps the lock after the writing one is closed.
    (void)::flock(fd_, LOCK_EX | LOCK_NB);
    holder_ = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    return 0;
}

// Gives the whole unnamed file a fresh name beside the target (linkat cannot replace one).
int SafeFileWriter::placeUnnamed() {
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd_);
    for (int attempt = 0; attempt < kNameTries; ++attempt) {
        std::string name = tempNameFor(resolved_);
        int e = 0;
        if (::linkat(AT_FDCWD, self, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            e = errno;
            // /proc gone since: the descriptor itself, where the system lets us link it.
            if (e == ENOENT && ::linkat(fd_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) e = 0;
        }
        if (!e) {
            temp_ = std::move(name);
            return 0;
        }
        if (e != EEXIST) return e;
    }
    return EEXIST;
}

// Renames the named, whole temporary over the target (the caller removes it when that fails).
int SafeFileWriter::replaceTarget() {
    reached(seam::Step::Placed, resolved_);
    if (::rename(temp_.c_str(), resolved_.c_str()) != 0) return errno;
    temp_.clear();
    reached(seam::Step::Replaced, resolved_);
    return 0;
}

int SafeFileWriter::write(std::string_view bytes) {
    if (fd_ < 0) return error_ ? error_ : EBADF;
    if (error_) return error_;
    if (int e = writeAll(fd_, bytes.data(), bytes.size())) return error_ = e;
    written_ += static_cast<int64_t>(bytes.size());
    reached(seam::Step::Written, resolved_);
    return 0;
}

int SafeFileWriter::commit(int64_t expectedSize) {
    if (fd_ < 0) return error_ ? error_ : EBADF;
    int e = error_;
    const int64_t expected = expectedSize < 0 ? written_ : expectedSize;
    struct stat st {};
    if (!e && ::fstat(fd_, &st) != 0) e = errno;
    if (!e && st.st_size != expected) e = EIO;
    if (!e && hadTarget_) {
        // Keep the owner where we may (root saving a user's file); a refusal keeps ours.
        if ((st.st_uid != oldUid_ || st.st_gid != oldGid_) && ::fchown(fd_, oldUid_, oldGid_) != 0)
            (void)::fchown(fd_, static_cast<uid_t>(-1), oldGid_);
    }
    if (!e && ::fchmod(fd_, hadTarget_ ? oldMode_ : NewFileMode()) != 0) e = errno;
    DeferredSync* batch = DeferredSync::active();
    if (!e && !batch && ::fsync(fd_) != 0) e = errno;
    if (!e && unnamed_) e = placeUnnamed();
    if (::close(fd_) != 0 && !e) e = errno;
    fd_ = -1;
    if (!e) e = replaceTarget();
    if (e) {
        discard();
        return error_ = e;
    }
    ::close(holder_);
    holder_ = -1;
    if (batch) batch->note(openableFolderOf(resolved_));
    else syncFolder(openableFolderOf(resolved_));
    return 0;
}

namespace {
thread_local DeferredSync* activeBatch = nullptr;
}  // namespace

DeferredSync::DeferredSync() : outer_(activeBatch) { activeBatch = this; }

DeferredSync::~DeferredSync() { finish(); }

DeferredSync* DeferredSync::active() { return activeBatch; }

void DeferredSync::note(const std::string& folder) {
    // Batches write into few folders: the last one is usually the same again.
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it)
        if (*it == folder) return;
    folders_.push_back(folder);
}

int DeferredSync::finish() {
    if (finished_) return 0;
    finished_ = true;
    if (activeBatch == this) activeBatch = outer_;
    int error = 0;
    std::vector<dev_t> synced;
    for (const std::string& folder : folders_) {
        const int d = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (d < 0) continue;  // a folder that went away has nothing left to sync
        struct stat st {};
        const bool seen = ::fstat(d, &st) == 0 &&
                          std::find(synced.begin(), synced.end(), st.st_dev) != synced.end();
        if (!seen) {
            // One sync of the file system writes every file and rename of the batch there.
            if (::syncfs(d) != 0 && !error) error = errno;
            synced.push_back(st.st_dev);
        }
        ::close(d);
    }
    folders_.clear();
    return error;
}

void SafeFileWriter::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    if (holder_ >= 0) ::close(holder_);  // unlocked only once the name is gone
    holder_ = -1;
    unnamed_ = false;
}

int WriteFileSafely(const std::string& target, const std::vector<std::string_view>& pieces) {
    SafeFileWriter w;
    if (int e = w.open(target)) return e;
    for (std::string_view piece : pieces)
        if (int e = w.write(piece)) return e;
    return w.commit();
}

int WriteFileSafely(const std::string& target, std::string_view bytes) {
    return WriteFileSafely(target, std::vector<std::string_view>{bytes});
}

namespace {
[[noreturn]] void throwFileError(const char* what, const std::string& target, int e) {
    throw vx::FileError(std::string(what) + " \"" + target + "\". " + vx::ErrorText(e));
}
}  // namespace

void WriteFileOrThrow(const std::string& target, const std::vector<std::string_view>& pieces) {
    WriteFilesOrThrow({FileContent{target, pieces}});
}

void WriteFilesOrThrow(const std::vector<FileContent>& files) {
    std::vector<SafeFileWriter> writers(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (int e = writers[i].open(files[i].target)) throwFileError("Cannot create file", files[i].target, e);
        for (std::string_view piece : files[i].pieces)
            if (int e = writers[i].write(piece)) throwFileError("Cannot write file", files[i].target, e);
    }
    for (std::size_t i = 0; i < files.size(); ++i)
        if (int e = writers[i].commit()) throwFileError("Cannot write file", files[i].target, e);
}

namespace seam {
void SetStepHook(void (*hook)(Step step, const std::string& target)) { stepHook.store(hook); }
void AllowUnnamedTemporaries(bool allowed) { unnamedAllowed.store(allowed); }
}  // namespace seam

void IgnoreFileSizeSignal() { ::signal(SIGXFSZ, SIG_IGN); }

namespace {
sigset_t fileSizeSignal() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGXFSZ);
    return set;
}
}  // namespace

FileSizeSignalHold::FileSizeSignalHold() {
    const sigset_t set = fileSizeSignal();
    sigset_t old;
    if (::pthread_sigmask(SIG_BLOCK, &set, &old) == 0) held_ = !sigismember(&old, SIGXFSZ);
}

FileSizeSignalHold::~FileSizeSignalHold() {
    if (!held_) return;
    const sigset_t set = fileSizeSignal();
    const timespec now{};
    while (::sigtimedwait(&set, nullptr, &now) == SIGXFSZ) {
    }
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace safefile
