#include "registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string_view>
#include <unordered_map>

#include "platform/errors.h"
#include "platform/input_file.h"
#include "platform/path_names.h"
#include "platform/safe_file.h"
#include "platform/ui.h"

namespace registry {
namespace {

enum class Type { String, Dword, Binary };

struct Value {
    Type type = Type::String;
    std::string text;            // String
    uint32_t dword = 0;          // Dword
    std::vector<uint8_t> bytes;  // Binary
};

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

struct Key {
    std::string spelling;                               // as first written
    std::vector<std::pair<std::string, Value>> values;  // in insertion order
    std::unordered_map<std::string, std::size_t> index;  // lower-cased name -> position in values

    const Value* find(const std::string& name) const {
        auto it = index.find(lower(name));
        return it == index.end() ? nullptr : &values[it->second].second;
    }
    // A new name is appended; an existing one keeps its spelling and place.
    void set(const std::string& name, Value v) {
        auto [it, fresh] = index.emplace(lower(name), values.size());
        if (fresh) values.emplace_back(name, std::move(v));
        else values[it->second].second = std::move(v);
    }
    bool erase(const std::string& name) {
        auto it = index.find(lower(name));
        if (it == index.end()) return false;
        const std::size_t pos = it->second;
        index.erase(it);
        values.erase(values.begin() + static_cast<std::ptrdiff_t>(pos));
        for (auto& [n, i] : index)
            if (i > pos) --i;
        return true;
    }
};

using HiveData = std::map<std::string, Key>;  // lower-cased path -> key

std::string normKey(const std::string& key) {
    std::string k = key;
    for (char& c : k)
        if (c == '/') c = '\\';
    while (!k.empty() && k.back() == '\\') k.pop_back();
    while (!k.empty() && k.front() == '\\') k.erase(k.begin());
    return k;
}

// ------------------------------------------------------------------------------------------ file text

constexpr const char* kHeader = "; varolux32 settings store\n";
constexpr char kHex[] = "0123456789abcdef";

void appendEscaped(std::string& out, const std::string& s) {
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
}

std::string serialize(const HiveData& data) {
    std::string out = kHeader;
    for (const auto& [lk, key] : data) {
        out += '[';
        out += key.spelling;
        out += "]\n";
        for (const auto& [name, v] : key.values) {
            out += '"';
            appendEscaped(out, name);
            out += "\"=";
            switch (v.type) {
            case Type::String:
                out += '"';
                appendEscaped(out, v.text);
                out += '"';
                break;
            case Type::Dword:
                out += "dword:";
                for (int shift = 28; shift >= 0; shift -= 4) out += kHex[(v.dword >> shift) & 0xF];
                break;
            case Type::Binary:
                out += "hex:";
                for (std::size_t i = 0; i < v.bytes.size(); ++i) {
                    if (i) out += ',';
                    out += kHex[v.bytes[i] >> 4];
                    out += kHex[v.bytes[i] & 0xF];
                }
                break;
            }
            out += '\n';
        }
    }
    return out;
}

// Reads a quoted, escaped text starting at s[i] == '"'; i ends after the closing quote.
bool unescapeQuoted(std::string_view s, std::size_t& i, std::string& out) {
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

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool parseDword(std::string_view s, uint32_t& out) {
    if (s.empty() || s.size() > 8) return false;
    out = 0;
    for (char c : s) {
        const int d = hexDigit(c);
        if (d < 0) return false;
        out = out << 4 | static_cast<uint32_t>(d);
    }
    return true;
}

bool parseHex(std::string_view s, std::vector<uint8_t>& out) {
    out.clear();
    if (s.empty()) return true;
    if ((s.size() + 1) % 3 != 0) return false;
    for (std::size_t p = 0; p < s.size(); p += 3) {
        const int hi = hexDigit(s[p]), lo = hexDigit(s[p + 1]);
        if (hi < 0 || lo < 0 || (p + 2 < s.size() && s[p + 2] != ',')) return false;
        out.push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
    return true;
}

struct Parsed {
    HiveData data;
    std::size_t badLines = 0;
    bool bareCr = false;
    bool cutShort = false;
    bool damaged() const { return badLines > 0 || bareCr || cutShort; }
};

// One line; false when it is no setting of this store. `unterminated`: the file ends inside it, so a
// binary value on it may have lost bytes and is not taken.
bool parseLine(std::string_view line, bool unterminated, HiveData& data, Key*& current) {
    if (line.find_first_not_of(" \t") == std::string_view::npos) return true;
    if (line.find('\0') != std::string_view::npos) return false;  // the writer escapes NUL
    if (line[0] == ';') return true;
    if (line[0] == '[') {
        current = nullptr;  // values below a broken key line belong to no known key
        if (line.size() < 2 || line.back() != ']') return false;
        const std::string_view path = line.substr(1, line.size() - 2);
        Key& k = data[lower(path)];
        if (k.spelling.empty()) k.spelling = path;
        current = &k;
        return true;
    }
    if (!current) return false;
    std::size_t i = 0;
    std::string name;
    if (!unescapeQuoted(line, i, name) || i >= line.size() || line[i] != '=') return false;
    ++i;
    const std::string_view rest = line.substr(i);
    Value v;
    if (rest.substr(0, 6) == "dword:") {
        v.type = Type::Dword;
        if (!parseDword(rest.substr(6), v.dword)) return false;
    } else if (rest.substr(0, 4) == "hex:") {
        v.type = Type::Binary;
        if (unterminated || !parseHex(rest.substr(4), v.bytes)) return false;
    } else {
        v.type = Type::String;
        if (!unescapeQuoted(line, i, v.text) || i != line.size()) return false;
    }
    current->set(name, std::move(v));
    return true;
}

Parsed parse(std::string_view text) {
    Parsed p;
    Key* current = nullptr;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        const bool unterminated = end == std::string_view::npos;
        const std::string_view line = text.substr(pos, (unterminated ? text.size() : end) - pos);
        if (unterminated) {
            p.cutShort = true;
            pos = text.size();
        } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
            pos = end + 2;
        } else {
            p.bareCr = p.bareCr || text[end] == '\r';
            pos = end + 1;
        }
        if (!parseLine(line, unterminated, p.data, current)) ++p.badLines;
    }
    return p;
}

// ------------------------------------------------------------------------------------ state per file

// What a file was when it was read: another process that replaced or changed it changes one of these.
struct Stamp {
    int error = ENOENT;  // 0: the file exists
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtim{}, ctim{};

    static Stamp of(const struct stat& st) {
        Stamp s;
        s.error = 0;
        s.dev = st.st_dev;
        s.ino = st.st_ino;
        s.size = st.st_size;
        s.mtim = st.st_mtim;
        s.ctim = st.st_ctim;
        return s;
    }
    static Stamp ofPath(const std::string& path) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            Stamp s;
            s.error = errno;
            return s;
        }
        return of(st);
    }
    bool operator==(const Stamp& o) const {
        return error == o.error && dev == o.dev && ino == o.ino && size == o.size &&
               mtim.tv_sec == o.mtim.tv_sec && mtim.tv_nsec == o.mtim.tv_nsec && ctim.tv_sec == o.ctim.tv_sec &&
               ctim.tv_nsec == o.ctim.tv_nsec;
    }
    std::string id(const std::string& path) const {
        return path + '|' + std::to_string(dev) + '|' + std::to_string(ino) + '|' + std::to_string(size) + '|' +
               std::to_string(mtim.tv_sec) + '.' + std::to_string(mtim.tv_nsec);
    }
};

// An advisory lock on "<hive file>.lock" for one read-change-write. A writer that holds it for more
// than a few seconds (or a folder without locks) is not waited for longer: the save goes on unlocked.
class HiveLock {
public:
    explicit HiveLock(const std::string& file) {
        // Something else under the lock's name: no lock, and nothing waited on.
        if (OpenRegularFile((file + ".lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW, 0600, fd_) != 0) return;
        for (int i = 0; i < 300; ++i) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
            if (errno != EWOULDBLOCK && errno != EINTR) return;
            ::usleep(10000);
        }
    }
    ~HiveLock() {
        if (fd_ >= 0) ::close(fd_);  // releases the lock
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;

private:
    int fd_ = -1;
};

struct HiveState {
    bool loaded = false;
    Stamp stamp;
    HiveData data;
    bool readOnly = false;  // a file that could not be read whole nor kept aside: never written over
    int batchDepth = 0;
    bool dirty = false;
    std::unique_ptr<HiveLock> lock;
};

std::map<std::string, HiveState>& states() {
    static std::map<std::string, HiveState> s;
    return s;
}

std::size_t g_fileReads = 0;

std::vector<std::string>& pendingWarnings() {
    static std::vector<std::string> w;
    return w;
}

// One warning per file and version of it, even when it is met again after a failed save.
void warnOnce(const std::string& id, std::string text) {
    static std::set<std::string> warned;
    if (warned.insert(id).second) pendingWarnings().push_back(std::move(text));
}

// Shown once the store is consistent again (a message box may run other code that reads settings).
struct WarningsAfterCall {
    ~WarningsAfterCall() {
        std::vector<std::string> w;
        w.swap(pendingWarnings());
        for (const auto& text : w) {
            try {
                ui::showMessage(text);
            } catch (...) {
            }
        }
    }
};

bool ensureFolder(const std::string& dir) {
    std::string path;
    if (!dir.empty() && dir[0] == '/') path = "/";
    std::size_t start = 0;
    while (start <= dir.size()) {
        std::size_t end = dir.find('/', start);
        if (end == std::string::npos) end = dir.size();
        if (end > start) {
            path.append(dir, start, end - start);
            path += '/';
            if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
        }
        start = end + 1;
    }
    return true;
}

// "<file>.damaged-<yyyymmdd-hhmmss of its modification>", then "-2", "-3", ... when that is taken.
std::string asideName(const std::string& file, time_t modified, int n) {
    tm t{};
    localtime_r(&modified, &t);
    char when[32];
    ::strftime(when, sizeof when, "%Y%m%d-%H%M%S", &t);
    return file + ".damaged-" + when + (n > 1 ? "-" + std::to_string(n) : std::string());
}

// The file's bytes, at most kMaxStoreBytes + 1 of them (one more tells that it grew past the limit).
int readWhole(const InputFile& file, std::string& text) {
    constexpr std::size_t kMost = static_cast<std::size_t>(kMaxStoreBytes) + 1;
    std::size_t got = 0;
    text.resize(std::min<std::size_t>(static_cast<std::size_t>(file.Size()) + 1, kMost));
    for (;;) {
        const long long n = file.ReadAt(got, text.data() + got, text.size() - got);
        if (n < 0) return errno;
        got += static_cast<std::size_t>(n);
        if (got < text.size() || text.size() == kMost) break;
        text.resize(std::min(text.size() * 2, kMost));  // it grew since it was opened
    }
    text.resize(got);
    return 0;
}

// Moves a damaged or unreadable file aside, without replacing anything there and without copying it.
std::string moveAside(const std::string& file, time_t modified) {
    for (int n = 1; n <= 100; ++n) {
        const std::string aside = asideName(file, modified, n);
        if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) return aside;
        if (errno == EEXIST) continue;
        if (errno != EINVAL && errno != ENOSYS) return {};
        struct stat st {};
        if (::lstat(aside.c_str(), &st) == 0) continue;
        return ::rename(file.c_str(), aside.c_str()) == 0 ? aside : std::string();
    }
    return {};
}

std::string damageText(const Parsed& p) {
    std::string why;
    auto add = [&](const std::string& s) { why += (why.empty() ? "" : ", ") + s; };
    if (p.bareCr) add("its lines end in a bare carriage return");
    if (p.badLines == 1) add("1 line is no setting");
    if (p.badLines > 1) add(std::to_string(p.badLines) + " lines are no settings");
    if (p.cutShort) add("it is cut short");
    return why;
}

std::string megabytes(uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

// "<size> MB, more than the <limit> MB", in exact bytes where the two would read the same.
std::string sizeBeyondLimit(uint64_t size, uint64_t limit) {
    if (megabytes(size) != megabytes(limit)) return megabytes(size) + " MB, more than the " + megabytes(limit) + " MB";
    return std::to_string(size) + " bytes, more than the " + std::to_string(limit) + " bytes";
}

// A file that is not read at all (no access, no regular file, too large): moved aside and defaults used;
// left where it is (and never written over) when nobody could be told.
void unreadable(const std::string& file, HiveState& s, const std::string& why) {
    struct stat st {};
    const bool seen = ::lstat(file.c_str(), &st) == 0;
    const Stamp before = seen ? Stamp::of(st) : Stamp{};
    const std::string head = "The settings file \"" + file + "\" could not be read (" + why + "). ";
    const std::string aside = seen && ui::hasBackend() ? moveAside(file, st.st_mtim.tv_sec) : std::string();
    if (!aside.empty()) {
        s.stamp = Stamp::ofPath(file);
        warnOnce(before.id(file), head + "It was moved aside as \"" + aside + "\"; default settings are used.");
    } else {
        s.readOnly = true;
        s.stamp = Stamp::ofPath(file);
        warnOnce(before.id(file), head + "Default settings are used, and nothing is saved to this file.");
    }
}

void reload(const std::string& file, HiveState& s) {
    s.data.clear();
    s.readOnly = false;
    s.loaded = true;
    InputFile in;
    if (int e = InputFile::Open(file, in)) {
        if (e == ENOENT) s.stamp = Stamp{};
        else unreadable(file, s, vx::ErrorText(e));
        return;
    }
    const struct stat st = in.Status();
    if (in.Size() > kMaxStoreBytes) {
        in = InputFile();
        unreadable(file, s, "it holds " + sizeBeyondLimit(static_cast<uint64_t>(st.st_size), kMaxStoreBytes) +
                                " a settings file may hold");
        return;
    }
    std::string text;
    const int error = readWhole(in, text);
    in = InputFile();
    if (error) {
        unreadable(file, s, vx::ErrorText(error));
        return;
    }
    if (text.size() > kMaxStoreBytes) {
        unreadable(file, s, "it grew past the " + megabytes(kMaxStoreBytes) + " MB a settings file may hold");
        return;
    }
    ++g_fileReads;
    s.stamp = Stamp::of(st);
    Parsed p = parse(text);
    s.data = std::move(p.data);
    if (!p.damaged()) return;
    const std::string head = "The settings file \"" + file + "\" could not be read whole (" + damageText(p) + "). ";
    const std::string id = s.stamp.id(file);
    // Only a process that can say so moves the file; the others (the SPC library) leave it to the
    // program, which meets it at its start.
    const std::string aside = ui::hasBackend() ? moveAside(file, st.st_mtim.tv_sec) : std::string();
    if (aside.empty()) {
        s.readOnly = true;
        warnOnce(id, head + "It could not be moved aside, so the settings that could be read are used and "
                            "nothing is saved to this file.");
        return;
    }
    // What could be read becomes the store again at once, so that other processes (the SPC library) see
    // the same settings as this one.
    if (!s.data.empty()) (void)safefile::WriteFileSafely(file, serialize(s.data));
    s.stamp = Stamp::ofPath(file);
    warnOnce(id, head + "The settings that could be read are used; the file was moved aside as \"" + aside + "\".");
}

// The hive as the file holds it now: read again only when another writer changed the file. Inside a
// batch the lock is ours and the pending changes are the truth.
HiveState& state(const std::string& file) {
    HiveState& s = states()[file];
    if (s.loaded && s.batchDepth > 0) return s;
    if (!s.loaded || !(Stamp::ofPath(file) == s.stamp)) reload(file, s);
    return s;
}

struct SaveFailure {
    std::string file;
    int error = 0;
};

// The first failed save into the store's folder (its changes, and those of later failed saves, are
// lost); a save into another folder starts over.
std::optional<SaveFailure>& firstSaveFailure() {
    static std::optional<SaveFailure> f;
    return f;
}

bool failed(const std::string& file, int error) {
    auto& f = firstSaveFailure();
    if (!f || FolderOf(f->file) != FolderOf(file)) f = SaveFailure{file, error};
    return false;
}

bool save(const std::string& file, HiveState& s) {
    const std::string text = serialize(s.data);
    int error = 0;
    if (text.size() > kMaxStoreBytes) error = EFBIG;  // it would not be read again
    else if (!ensureFolder(FolderOf(file))) error = errno;
    else error = safefile::WriteFileSafely(file, text);
    if (error) {
        s.loaded = false;  // the next access sees the file as it is
        return failed(file, error);
    }
    s.stamp = Stamp::ofPath(file);
    return true;
}

// One change of the hive: `change` returns false when there is nothing to save.
template <class Change>
bool modify(Hive hive, Change&& change) {
    const std::string file = hiveFile(hive);
    HiveState& s = states()[file];
    if (s.batchDepth > 0) {
        HiveState& st = state(file);
        if (st.readOnly || !change(st.data)) return false;
        st.dirty = true;
        return true;
    }
    if (!ensureFolder(FolderOf(file))) return failed(file, errno);
    HiveLock lock(file);
    HiveState& st = state(file);
    if (st.readOnly || !change(st.data)) return false;
    return save(file, st);
}

const Value* find(const HiveData& data, const std::string& key, const std::string& name) {
    auto it = data.find(lower(normKey(key)));
    return it == data.end() ? nullptr : it->second.find(name);
}

const HiveData& dataOf(Hive hive) { return state(hiveFile(hive)).data; }

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

// A key line holds its path as it is: a line break in it could not be read back.
bool validKey(const std::string& key) { return key.find_first_of("\r\n") == std::string::npos; }

bool put(Hive hive, const std::string& key, const std::string& name, Value v) {
    WarningsAfterCall w;
    if (!validKey(key)) return false;
    return modify(hive, [&](HiveData& data) {
        ensureKey(data, key).set(name, std::move(v));
        return true;
    });
}

// Every key at or below `lk` (lower-cased): they sort together.
template <class F>
void forSubtree(HiveData& data, const std::string& lk, F&& f) {
    for (auto it = data.lower_bound(lk); it != data.end() && it->first.compare(0, lk.size(), lk) == 0;) {
        if (it->first.size() == lk.size() || it->first[lk.size()] == '\\') it = f(it);
        else ++it;
    }
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
    WarningsAfterCall w;
    const Value* v = find(dataOf(hive), key, name);
    if (!v || v->type != Type::String) return std::nullopt;
    return v->text;
}

std::optional<uint32_t> readDword(Hive hive, const std::string& key, const std::string& name) {
    WarningsAfterCall w;
    const Value* v = find(dataOf(hive), key, name);
    if (!v || v->type != Type::Dword) return std::nullopt;
    return v->dword;
}

std::optional<std::vector<uint8_t>> readBinary(Hive hive, const std::string& key, const std::string& name) {
    WarningsAfterCall w;
    const Value* v = find(dataOf(hive), key, name);
    if (!v || v->type != Type::Binary) return std::nullopt;
    return v->bytes;
}

bool writeString(Hive hive, const std::string& key, const std::string& name, const std::string& value) {
    Value v;
    v.type = Type::String;
    v.text = value;
    return put(hive, key, name, std::move(v));
}

bool writeDword(Hive hive, const std::string& key, const std::string& name, uint32_t value) {
    Value v;
    v.type = Type::Dword;
    v.dword = value;
    return put(hive, key, name, std::move(v));
}

bool writeBinary(Hive hive, const std::string& key, const std::string& name,
                 const std::vector<uint8_t>& value) {
    Value v;
    v.type = Type::Binary;
    v.bytes = value;
    return put(hive, key, name, std::move(v));
}

bool keyExists(Hive hive, const std::string& key) {
    WarningsAfterCall w;
    return dataOf(hive).count(lower(normKey(key))) != 0;
}

bool createKey(Hive hive, const std::string& key) {
    WarningsAfterCall w;
    if (!validKey(key)) return false;
    return modify(hive, [&](HiveData& data) {
        ensureKey(data, key);
        return true;
    });
}

bool deleteValue(Hive hive, const std::string& key, const std::string& name) {
    WarningsAfterCall w;
    return modify(hive, [&](HiveData& data) {
        auto it = data.find(lower(normKey(key)));
        return it != data.end() && it->second.erase(name);
    });
}

bool deleteKey(Hive hive, const std::string& key) {
    WarningsAfterCall w;
    const std::string lk = lower(normKey(key));
    return modify(hive, [&](HiveData& data) {
        bool any = false;
        forSubtree(data, lk, [&](HiveData::iterator it) {
            any = true;
            return data.erase(it);
        });
        return any;
    });
}

std::vector<std::string> valueNames(Hive hive, const std::string& key) {
    WarningsAfterCall w;
    const HiveData& data = dataOf(hive);
    std::vector<std::string> names;
    auto it = data.find(lower(normKey(key)));
    if (it != data.end())
        for (const auto& [n, v] : it->second.values) names.push_back(n);
    return names;
}

std::vector<std::string> subKeys(Hive hive, const std::string& key) {
    WarningsAfterCall w;
    const HiveData& data = dataOf(hive);
    const std::string prefix = lower(normKey(key)) + "\\";
    std::vector<std::string> out;
    for (auto it = data.lower_bound(prefix); it != data.end() && it->first.compare(0, prefix.size(), prefix) == 0;
         ++it) {
        const std::string rest = it->first.substr(prefix.size());
        if (rest.empty() || rest.find('\\') != std::string::npos) continue;
        out.push_back(it->second.spelling.substr(it->second.spelling.size() - rest.size()));
    }
    return out;
}

WriteBatch::WriteBatch(Hive hive) : file_(hiveFile(hive)) {
    WarningsAfterCall w;
    HiveState& s = states()[file_];
    if (s.batchDepth == 0) {
        ensureFolder(FolderOf(file_));
        s.lock = std::make_unique<HiveLock>(file_);
        state(file_);  // read a changed file once, under the lock
        s.dirty = false;
    }
    ++s.batchDepth;
}

WriteBatch::~WriteBatch() { commit(); }

bool WriteBatch::commit() {
    if (done_) return ok_;
    done_ = true;
    WarningsAfterCall w;
    HiveState& s = states()[file_];
    if (--s.batchDepth > 0) return ok_ = true;  // the outermost batch saves
    ok_ = !s.dirty || save(file_, s);
    s.dirty = false;
    s.lock.reset();
    return ok_;
}

void checkStore(Hive hive) {
    WarningsAfterCall w;
    (void)dataOf(hive);
}

std::string unsavedSettingsMessage() {
    const auto& f = firstSaveFailure();
    // Only the store in use counts (tests move it from one folder to the next).
    if (!f || FolderOf(f->file) != FolderOf(hiveFile(Hive::CurrentUser))) return {};
    return "The settings could not be saved to \"" + f->file + "\" (" + vx::ErrorText(f->error) +
           "); the changes made to them in this session are lost.";
}

std::size_t fileReads() { return g_fileReads; }

}  // namespace registry
