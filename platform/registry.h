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
// A file that cannot be read whole is never written over: an unreadable one is moved aside, a damaged
// one (bare carriage returns, lines that are no settings, cut short) is copied aside as
// "<hive file>.damaged-<its date>"; the values that could be read stay in use, and one message names
// the file and the copy. When it cannot be kept aside, the hive is not written at all.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace registry {

enum class Hive { CurrentUser, LocalMachine };

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

// How many times a hive file was read and parsed in this process (tests and benchmarks).
std::size_t fileReads();

}  // namespace registry
