#pragma once
// The settings store in place of the registry: keys with typed values (string, DWORD, binary) kept in
// one text file per hive under $XDG_CONFIG_HOME/varolux32/ (default ~/.config/varolux32/);
// VAROLUX32_REGISTRY_DIR moves the folder. Key paths are stored as the caller spells them and matched
// ignoring ASCII case, as the registry does.
//
// Each hive file is parsed once and kept in memory. Other processes (a second instance, the SPC library,
// which links its own copy of this code) read and write the same files, so every access first compares
// the file's identity (device, inode, size, modification and change time: one stat) with the one it was
// read at and reads it again when it changed. Writers take an advisory lock on "<hive file>.lock",
// re-read a changed file under it, apply their change and replace the file through platform/safe_file,
// so no writer's change is lost to another's and a crash never leaves a half-written store.
//
// A file that cannot be read whole is never written over. An unreadable one (no access, a folder, pipe
// or device, larger than kMaxStoreBytes) is moved aside and default settings are used; a damaged one
// (bare carriage returns, lines that are no settings, cut short) is moved aside too, and the values
// that could be read stay in use and are saved as the store at once. The file is renamed to
// "<hive file>.damaged-<its date>", never copied, and one message names the file and the new name.
// When it cannot be moved, or when no one could be told (the silent ui default: the SPC library, whose
// host program meets the file at its own start), it stays where it is and the hive is not written.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace registry {

enum class Hive { CurrentUser, LocalMachine };

// The largest hive file that is read: a settings file holds a few kilobytes, and a larger one is taken
// for damage (and never read into memory). A save that would exceed it fails.
inline constexpr uint64_t kMaxStoreBytes = uint64_t{4} << 20;

// The folder that holds the hive files.
std::string storeFolder();
std::string hiveFile(Hive hive);

std::optional<std::string> readString(Hive hive, const std::string& key, const std::string& name);
std::optional<uint32_t> readDword(Hive hive, const std::string& key, const std::string& name);
std::optional<std::vector<uint8_t>> readBinary(Hive hive, const std::string& key, const std::string& name);

// False when the store could not be written.
bool writeString(Hive hive, const std::string& key, const std::string& name, const std::string& value);
bool writeDword(Hive hive, const std::string& key, const std::string& name, uint32_t value);
bool writeBinary(Hive hive, const std::string& key, const std::string& name,
                 const std::vector<uint8_t>& value);

bool keyExists(Hive hive, const std::string& key);
bool createKey(Hive hive, const std::string& key);
bool deleteValue(Hive hive, const std::string& key, const std::string& name);
// Deletes the key with all its subkeys and values.
bool deleteKey(Hive hive, const std::string& key);
std::vector<std::string> valueNames(Hive hive, const std::string& key);
std::vector<std::string> subKeys(Hive hive, const std::string& key);

// Writes to one hive made while a batch is open are saved together, once, when it commits (or ends):
// a group of values (window placement, the recent files, all options) costs one file replacement, and
// the hive stays locked against other writers meanwhile. Batches nest; the outermost one saves.
class WriteBatch {
public:
    explicit WriteBatch(Hive hive);
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;
    // Saves the batch's writes; false when the store could not be written. Later calls return the
    // same result.
    bool commit();

private:
    std::string file_;
    bool done_ = false, ok_ = true;
};

// Reads the hive now (when it was not read yet), so that a damaged or unreadable file is reported at
// the program's start rather than when a value is first needed.
void checkStore(Hive hive);

// Empty while every save of this process into the store folder in use succeeded; else one message
// naming the first hive file that could not be written and why (the program shows it at exit: those
// changes are lost).
std::string unsavedSettingsMessage();

// How many times a hive file was read and parsed in this process (tests and benchmarks).
std::size_t fileReads();

}  // namespace registry
