#pragma once
// The settings store in place of the registry: keys with typed values (string, DWORD, binary) kept in
// one text file per hive under $XDG_CONFIG_HOME/varolux32/ (default ~/.config/varolux32/);
// VAROLUX32_REGISTRY_DIR moves the folder. Every write rewrites the hive's file through a temporary
// file and a rename, so a crash never leaves a half-written store. Key paths keep their given spelling
// and are matched ignoring ASCII case, as the registry does.
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

}  // namespace registry
