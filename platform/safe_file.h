#pragma once
// Replacing a file without ever destroying the old one first, and without letting anyone who can write
// the folder redirect the save: the content goes to a temporary file beside the target, it is synced,
// given the replaced file's permission bits (the umask's for a new file), and only then renamed over
// the target. The temporary file has no name while it is written (O_TMPFILE), so a save that is killed
// leaves nothing behind; when it is whole it is linked under a fresh random name and at once renamed
// over the target (linkat cannot replace a name), so only a kill in that instant leaves it named. Where the file system has no unnamed files, it is
// created under a fresh random name "<name>.vxtmp-<random>" with O_EXCL (so a planted symbolic link is
// never opened) and locked while it lives; such temporaries of the same target that no live save
// holds, left by a killed save, are removed before the next save writes. A symbolic link that is the
// target is followed to the file it names, so the link stays. Only a regular file is replaced: a
// folder, pipe, device or socket under the name is refused (vx::ErrorText names its kind), and so is a
// file that its owner made read-only for us (EACCES), as a file in a read-only folder is. On any
// failure the temporary file is removed and the target is left as it was.
//
// Errors are errno values (0 = success), so that callers without exceptions (the SPC library) can pass
// them on; formats/file_writer turns them into messages.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace safefile {

class SafeFileWriter {
public:
    SafeFileWriter() = default;
    ~SafeFileWriter();  // discards the temporary file unless commit() succeeded
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Starts a save to `target`: resolves a symbolic link that is the target and creates the temporary
    // file. 0 or an error code (ELOOP for a link cycle, EISDIR for a folder, vx::kErrNamedPipe and the
    // like for other kinds of file, EACCES for a read-only file, the create error of the folder).
    int open(const std::string& target);
    // The temporary file's descriptor, for callers that write through it themselves (then pass the
    // expected size to commit).
    int fd() const { return fd_; }
    // Writes all of `bytes` (short writes and interrupts retried). 0 or errno; the first error sticks
    // and makes commit() fail.
    int write(std::string_view bytes);
    // Checks the length (`expectedSize` < 0: the bytes given to write()), syncs, sets the permission
    // bits and renames over the target. 0 or errno; after a failure nothing of the save is left.
    int commit(int64_t expectedSize = -1);
    // Drops the save: the temporary file is removed (the target is untouched).
    void discard();

    // The file that is replaced (the target with its symbolic links followed).
    const std::string& resolvedTarget() const { return resolved_; }
    // The temporary file's name while a save is open; "" while it is an unnamed file.
    const std::string& temporaryPath() const { return temp_; }

private:
    int placeUnnamed();
    int replaceTarget();

    int fd_ = -1;
    int holder_ = -1;  // the temporary's open file kept (and its lock held) until it is renamed
    bool unnamed_ = false;
    int error_ = 0;
    bool hadTarget_ = false;  // a regular file is replaced: keep its mode and owner
    unsigned oldMode_ = 0;
    unsigned oldUid_ = 0, oldGid_ = 0;
    int64_t written_ = 0;
    std::string resolved_, temp_;
};

// For a batch of new files, where a sync per file costs far more than the writing (ten seconds for a
// thousand files on a disk): while one lives on this thread, commit() renames without syncing the file
// and its folder and notes the folder here; finish() then makes every save of the batch durable with
// one sync per file system. Without a crash nothing differs: a file appears under its name only
// complete, and a failed save leaves the target as it was.
class DeferredSync {
public:
    DeferredSync();
    ~DeferredSync();  // finishes when finish() was not called
    DeferredSync(const DeferredSync&) = delete;
    DeferredSync& operator=(const DeferredSync&) = delete;
    // 0 or the errno of the first sync that failed; afterwards saves sync themselves again.
    int finish();
    // The batch that the saves of this thread join (nullptr when none).
    static DeferredSync* active();
    void note(const std::string& folder);

private:
    DeferredSync* outer_ = nullptr;
    bool finished_ = false;
    std::vector<std::string> folders_;
};

// Writes the pieces one after the other (never joined in memory) as the new content of `target`.
// 0 or errno.
int WriteFileSafely(const std::string& target, const std::vector<std::string_view>& pieces);
int WriteFileSafely(const std::string& target, std::string_view bytes);
// The same, raising vx::FileError: "Cannot create file "<target>". <reason>" when the temporary file
// cannot be made, "Cannot write file "<target>". <reason>" when writing or replacing fails.
void WriteFileOrThrow(const std::string& target, const std::vector<std::string_view>& pieces);

// Files that belong together (one names the other): every one is written whole before the first is
// replaced, and they replace their targets in the order given. A save stopped part-way leaves each
// file either old or new, and never a later one new beside an earlier old one. Raises vx::FileError
// as WriteFileOrThrow does; a failure before the first replacement leaves every target as it was.
struct FileContent {
    std::string target;
    std::vector<std::string_view> pieces;
};
void WriteFilesOrThrow(const std::vector<FileContent>& files);

// The file a save to `path` replaces: symbolic links that are the path are followed (relative ones
// from the link's folder), up to 40 of them; a dangling link gives the path it names. 0 or errno.
int ResolveSaveTarget(const std::string& path, std::string& resolved);

// The mode bits a new file gets from this process's umask (0666 & ~umask).
unsigned NewFileMode();

// A write past the file-size limit (ulimit -f) raises SIGXFSZ, which ends the process unless it is
// ignored or held off; then the write fails with EFBIG ("File too large") and the save reports it.
// The program ignores the signal from its start:
void IgnoreFileSizeSignal();
// Code that must not change the signal handling of a program it runs in (the SPC library) holds the
// signal off for its own thread while it writes: the signal a write raised meanwhile is taken and
// dropped when this ends, and the thread's signal mask is as before.
class FileSizeSignalHold {
public:
    FileSizeSignalHold();
    ~FileSizeSignalHold();
    FileSizeSignalHold(const FileSizeSignalHold&) = delete;
    FileSizeSignalHold& operator=(const FileSizeSignalHold&) = delete;

private:
    bool held_ = false;  // false when the signal was held off already (nested, or by the caller)
};

// Seams for the tests that stop a save part-way and that save as on a file system without unnamed files.
namespace seam {
enum class Step {
    Written,   // a piece went to the temporary file
    Placed,    // the whole temporary file has its name beside the target, about to replace it
    Replaced,  // the target holds the new content
};
// Called at every step of every save in this process (nullptr: none).
void SetStepHook(void (*hook)(Step step, const std::string& target));
// False: temporary files are made under a name, as where the file system has no unnamed files.
void AllowUnnamedTemporaries(bool allowed);
}  // namespace seam

}  // namespace safefile
