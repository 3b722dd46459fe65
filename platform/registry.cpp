#include "registry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/safe_file.h"

namespace registry {
namespace {

enum class Type { String, Dword, Binary };

struct Value {
    Type type = Type::String;
    std::string text;            // String
    uint32_t dword = 0;          // Dword
    std::vector<uint8_t> bytes;  // Binary
};

struct Key {
    std::string spelling;                      // as first written
    std::vector<std::pair<std::string, Value>> values;  // in insertion order
};

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string normKey(const std::string& key) {
    std::string k = key;
    for (char& c : k)
        if (c == '/') c = '\\';
    while (!k.empty() && k.back() == '\\') k.pop_back();
    while (!k.empty() && k.front() == '\\') k.erase(k.begin());
    return k;
}

using HiveData = std::map<std::string, Key>;  // lower-cased path -> key

std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '"': out += "\\\""; break;
        case '\0': out += "\\0"; break;
        default: out += c;
        }
    }
    return out;
}

// Reads a quoted, escaped text starting at s[i] == '"'; i ends after the closing quote.
bool unescapeQuoted(const std::string& s, std::size_t& i, std::string& out) {
    if (i >= s.size() || s[i] != '"') return false;
    ++i;
    out.clear();
    while (i < s.size()) {
        char c = s[i++];
        if (c == '"') return true;
        if (c == '\\' && i < s.size()) {
            char e = s[i++];
            switch (e) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case '0': out += '\0'; break;
            default: out += e;
            }
        } else {
            out += c;
        }
    }
    return false;
}

HiveData load(Hive hive) {
    HiveData data;
    std::ifstream in(hiveFile(hive), std::ios::binary);
    if (!in) return data;
    std::string line;
    Key* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[' && line.back() == ']') {
            std::string path = line.substr(1, line.size() - 2);
            Key& k = data[lower(path)];
            if (k.spelling.empty()) k.spelling = path;
            current = &k;
            continue;
        }
        if (!current) continue;
        std::size_t i = 0;
        std::string name;
        if (!unescapeQuoted(line, i, name) || i >= line.size() || line[i] != '=') continue;
        ++i;
        Value v;
        if (line.compare(i, 6, "dword:") == 0) {
            v.type = Type::Dword;
            v.dword = static_cast<uint32_t>(std::strtoul(line.c_str() + i + 6, nullptr, 16));
        } else if (line.compare(i, 4, "hex:") == 0) {
            v.type = Type::Binary;
            std::string hex = line.substr(i + 4);
            for (std::size_t p = 0; p + 1 < hex.size() + 1;) {
                while (p < hex.size() && hex[p] == ',') ++p;
                if (p + 2 > hex.size()) break;
                v.bytes.push_back(static_cast<uint8_t>(std::strtoul(hex.substr(p, 2).c_str(), nullptr, 16)));
                p += 2;
            }
        } else {
            v.type = Type::String;
            if (!unescapeQuoted(line, i, v.text)) continue;
        }
        auto it = std::find_if(current->values.begin(), current->values.end(),
                               [&](auto& p) { return lower(p.first) == lower(name); });
        if (it != current->values.end()) it->second = v;
        else current->values.emplace_back(name, v);
    }
    return data;
}

bool ensureFolder(const std::string& dir) {
    std::string path;
    std::stringstream ss(dir);
    std::string part;
    if (!dir.empty() && dir[0] == '/') path = "/";
    while (std::getline(ss, part, '/')) {
        if (part.empty()) continue;
        path += part + "/";
        if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

bool save(Hive hive, const HiveData& data) {
    if (!ensureFolder(storeFolder())) return false;
    std::string target = hiveFile(hive);
    std::ostringstream out;
    out << "; varolux32 settings store\n";
    for (const auto& [lk, key] : data) {
        out << '[' << key.spelling << "]\n";
        for (const auto& [name, v] : key.values) {
            out << '"' << escape(name) << "\"=";
            switch (v.type) {
            case Type::String: out << '"' << escape(v.text) << '"'; break;
            case Type::Dword: {
                char buf[16];
                std::snprintf(buf, sizeof buf, "dword:%08x", v.dword);
                out << buf;
                break;
            }
            case Type::Binary: {
                out << "hex:";
                for (std::size_t i = 0; i < v.bytes.size(); ++i) {
                    char buf[4];
                    std::snprintf(buf, sizeof buf, "%02x", v.bytes[i]);
                    if (i) out << ',';
                    out << buf;
                }
                break;
            }
            }
            out << '\n';
        }
    }
    return safefile::WriteFileSafely(target, out.str()) == 0;
}

const Value* find(const HiveData& data, const std::string& key, const std::string& name) {
    auto it = data.find(lower(normKey(key)));
    if (it == data.end()) return nullptr;
    std::string ln = lower(name);
    for (const auto& [n, v] : it->second.values)
        if (lower(n) == ln) return &v;
    return nullptr;
}

Key& ensureKey(HiveData& data, const std::string& key) {
    std::string k = normKey(key);
    // Create every parent too, as the registry does.
    std::size_t pos = 0;
    while ((pos = k.find('\\', pos + 1)) != std::string::npos) {
        Key& parent = data[lower(k.substr(0, pos))];
        if (parent.spelling.empty()) parent.spelling = k.substr(0, pos);
    }
    Key& kk = data[lower(k)];
    if (kk.spelling.empty()) kk.spelling = k;
    return kk;
}

bool put(Hive hive, const std::string& key, const std::string& name, const Value& v) {
    HiveData data = load(hive);
    Key& k = ensureKey(data, key);
    std::string ln = lower(name);
    auto it = std::find_if(k.values.begin(), k.values.end(), [&](auto& p) { return lower(p.first) == ln; });
    if (it != k.values.end()) it->second = v;
    else k.values.emplace_back(name, v);
    return save(hive, data);
}

}  // namespace

std::string storeFolder() {
    if (const char* d = std::getenv("VAROLUX32_REGISTRY_DIR"); d && *d) return d;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return std::string(x) + "/varolux32";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.config/varolux32";
}

std::string hiveFile(Hive hive) {
    return storeFolder() + (hive == Hive::CurrentUser ? "/current-user.reg" : "/local-machine.reg");
}

std::optional<std::string> readString(Hive hive, const std::string& key, const std::string& name) {
    HiveData data = load(hive);
    const Value* v = find(data, key, name);
    if (!v || v->type != Type::String) return std::nullopt;
    return v->text;
}

std::optional<uint32_t> readDword(Hive hive, const std::string& key, const std::string& name) {
    HiveData data = load(hive);
    const Value* v = find(data, key, name);
    if (!v || v->type != Type::Dword) return std::nullopt;
    return v->dword;
}

std::optional<std::vector<uint8_t>> readBinary(Hive hive, const std::string& key, const std::string& name) {
    HiveData data = load(hive);
    const Value* v = find(data, key, name);
    if (!v || v->type != Type::Binary) return std::nullopt;
    return v->bytes;
}

bool writeString(Hive hive, const std::string& key, const std::string& name, const std::string& value) {
    Value v;
    v.type = Type::String;
    v.text = value;
    return put(hive, key, name, v);
}

bool writeDword(Hive hive, const std::string& key, const std::string& name, uint32_t value) {
    Value v;
    v.type = Type::Dword;
    v.dword = value;
    return put(hive, key, name, v);
}

bool writeBinary(Hive hive, const std::string& key, const std::string& name,
                 const std::vector<uint8_t>& value) {
    Value v;
    v.type = Type::Binary;
    v.bytes = value;
    return put(hive, key, name, v);
}

bool keyExists(Hive hive, const std::string& key) {
    HiveData data = load(hive);
    return data.count(lower(normKey(key))) != 0;
}

bool createKey(Hive hive, const std::string& key) {
    HiveData data = load(hive);
    ensureKey(data, key);
    return save(hive, data);
}

bool deleteValue(Hive hive, const std::string& key, const std::string& name) {
    HiveData data = load(hive);
    auto it = data.find(lower(normKey(key)));
    if (it == data.end()) return false;
    auto& vals = it->second.values;
    std::string ln = lower(name);
    auto v = std::find_if(vals.begin(), vals.end(), [&](auto& p) { return lower(p.first) == ln; });
    if (v == vals.end()) return false;
    vals.erase(v);
    return save(hive, data);
}

bool deleteKey(Hive hive, const std::string& key) {
    HiveData data = load(hive);
    std::string lk = lower(normKey(key));
    bool any = false;
    for (auto it = data.begin(); it != data.end();) {
        if (it->first == lk || it->first.rfind(lk + "\\", 0) == 0) {
            it = data.erase(it);
            any = true;
        } else {
            ++it;
        }
    }
    return any ? save(hive, data) : false;
}

std::vector<std::string> valueNames(Hive hive, const std::string& key) {
    HiveData data = load(hive);
    std::vector<std::string> names;
    auto it = data.find(lower(normKey(key)));
    if (it != data.end())
        for (const auto& [n, v] : it->second.values) names.push_back(n);
    return names;
}

std::vector<std::string> subKeys(Hive hive, const std::string& key) {
    HiveData data = load(hive);
    std::string prefix = lower(normKey(key)) + "\\";
    std::vector<std::string> out;
    for (const auto& [lk, k] : data) {
        if (lk.rfind(prefix, 0) != 0) continue;
        std::string rest = lk.substr(prefix.size());
        if (rest.empty() || rest.find('\\') != std::string::npos) continue;
        out.push_back(k.spelling.substr(k.spelling.size() - rest.size()));
    }
    return out;
}

}  // namespace registry
