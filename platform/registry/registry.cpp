#include "platform/registry/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <vector>

#include "platform/base/report.h"
#include "platform/files/files.h"

namespace {

constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                      "HKEY_LOCAL_MACHINE"};
constexpr int kRootCount = 3;

bool IsHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}
bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

int Lower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

bool LessName(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Lower(x) < Lower(y); });
}

struct Value {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
};

struct Key {
    std::string name;
    std::vector<Value> values;
    std::vector<std::unique_ptr<Key>> subkeys;

    Key* Child(std::string_view n) const {
        for (const auto& k : subkeys) {
            if (SameName(k->name, n)) return k.get();
        }
        return nullptr;
    }
    Value* FindValue(std::string_view n) {
        for (auto& v : values) {
            if (SameName(v.name, n)) return &v;
        }
        return nullptr;
    }
};

struct Store {
    Key roots[kRootCount];
    Store() {
        for (int i = 0; i < kRootCount; ++i) roots[i].name = kRootNames[i];
    }
};

// ---- text form of the store ----

std::string Quote(std::string_view s) {
    std::string out = "\"";
    char buf[8];
    for (unsigned char c : s) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7f) {
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
    return out;
}

// Reads a quoted text at s[pos]; advances pos past the closing quote.
bool Unquote(std::string_view s, size_t& pos, std::string& out) {
    if (pos >= s.size() || s[pos] != '"') return false;
    ++pos;
    out.clear();
    while (pos < s.size()) {
        char c = s[pos++];
        if (c == '"') return true;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (pos >= s.size()) return false;
        char e = s[pos++];
        if (e == '\\' || e == '"') {
            out += e;
        } else if (e == 'x' && pos + 2 <= s.size() && IsHex(s[pos]) && IsHex(s[pos + 1])) {
            out += static_cast<char>(std::stoi(std::string(s.substr(pos, 2)), nullptr, 16));
            pos += 2;
        } else {
            return false;
        }
    }
    return false;
}

std::string Hex(std::string_view data) {
    std::string out;
    char buf[4];
    for (size_t i = 0; i < data.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(data[i]));
        if (i) out += ',';
        out += buf;
    }
    return out;
}

bool Unhex(std::string_view s, std::string& out) {
    out.clear();
    if (s.empty()) return true;
    size_t pos = 0;
    for (;;) {
        if (pos + 2 > s.size() || !IsHex(s[pos]) || !IsHex(s[pos + 1])) return false;
        out += static_cast<char>(std::stoi(std::string(s.substr(pos, 2)), nullptr, 16));
        pos += 2;
        if (pos == s.size()) return true;
        if (s[pos] != ',') return false;
        ++pos;
    }
}

std::string FormatValue(const Value& v) {
    std::string line = v.name.empty() ? std::string("@") : Quote(v.name);
    line += '=';
    if (v.type == REG_SZ) {
        line += "sz:" + Quote(v.data);
    } else if (v.type == REG_EXPAND_SZ) {
        line += "expand:" + Quote(v.data);
    } else if (v.type == REG_DWORD && v.data.size() == 4) {
        DWORD d = 0;
        std::memcpy(&d, v.data.data(), 4);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", d);
        line += buf;
    } else if (v.type == REG_BINARY) {
        line += "hex:" + Hex(v.data);
    } else {
        line += "hex(" + std::to_string(v.type) + "):" + Hex(v.data);
    }
    return line;
}

bool ParseValue(std::string_view line, Value& v) {
    size_t pos = 0;
    if (!line.empty() && line[0] == '@') {
        v.name.clear();
        pos = 1;
    } else if (!Unquote(line, pos, v.name)) {
        return false;
    }
    if (pos >= line.size() || line[pos] != '=') return false;
    std::string_view rest = line.substr(pos + 1);
    auto quoted = [&](std::string_view prefix, DWORD type) {
        if (rest.substr(0, prefix.size()) != prefix) return false;
        size_t p = prefix.size();
        if (!Unquote(rest, p, v.data) || p != rest.size()) return false;
        v.type = type;
        return true;
    };
    if (quoted("sz:", REG_SZ) || quoted("expand:", REG_EXPAND_SZ)) return true;
    if (rest.substr(0, 6) == "dword:") {
        std::string digits(rest.substr(6));
        if (digits.size() != 8 || !std::all_of(digits.begin(), digits.end(), IsHex)) {
            return false;
        }
        DWORD d = static_cast<DWORD>(std::stoul(digits, nullptr, 16));
        v.type = REG_DWORD;
        v.data.assign(reinterpret_cast<const char*>(&d), 4);
        return true;
    }
    if (rest.substr(0, 4) == "hex:") {
        v.type = REG_BINARY;
        return Unhex(rest.substr(4), v.data);
    }
    if (rest.substr(0, 4) == "hex(") {
        size_t close = rest.find("):");
        if (close == std::string_view::npos || close == 4) return false;
        // A type number that does not fit a DWORD makes the line no value.
        const std::string_view num = rest.substr(4, close - 4);
        if (!std::all_of(num.begin(), num.end(), IsDigit)) return false;
        const auto [end, failure] = std::from_chars(num.data(), num.data() + num.size(), v.type);
        if (failure != std::errc() || end != num.data() + num.size()) return false;
        return Unhex(rest.substr(close + 2), v.data);
    }
    return false;
}

void Split(std::string_view path, std::vector<std::string>& parts) {
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t next = path.find('\\', pos);
        if (next == std::string_view::npos) next = path.size();
        if (next > pos) parts.emplace_back(path.substr(pos, next - pos));
        pos = next + 1;
    }
}

bool Parse(std::string_view text, Store& store, std::string& why) {
    Key* current = nullptr;
    size_t pos = 0;
    int number = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            if (line.back() != ']') {
                why = "line " + std::to_string(number) + ": a key line must end in ']'";
                return false;
            }
            std::vector<std::string> parts;
            Split(line.substr(1, line.size() - 2), parts);
            int root = -1;
            for (int i = 0; !parts.empty() && i < kRootCount; ++i) {
                if (SameName(parts[0], kRootNames[i])) root = i;
            }
            if (root < 0) {
                why = "line " + std::to_string(number) + ": unknown root key";
                return false;
            }
            current = &store.roots[root];
            for (size_t i = 1; i < parts.size(); ++i) {
                Key* child = current->Child(parts[i]);
                if (!child) {
                    current->subkeys.push_back(std::make_unique<Key>());
                    child = current->subkeys.back().get();
                    child->name = parts[i];
                }
                current = child;
            }
            continue;
        }
        Value v;
        if (!current || !ParseValue(line, v)) {
            why = "line " + std::to_string(number) + ": not a value of a key";
            return false;
        }
        if (Value* old = current->FindValue(v.name)) {
            *old = std::move(v);
        } else {
            current->values.push_back(std::move(v));
        }
    }
    return true;
}

void Format(const Key& key, const std::string& path, std::string& out, bool isRoot) {
    if (!isRoot || !key.values.empty()) {
        out += "[" + path + "]\n";
        for (const auto& v : key.values) out += FormatValue(v) + "\n";
        out += "\n";
    }
    for (const auto& k : key.subkeys) Format(*k, path + "\\" + k->name, out, false);
}

std::string Format(const Store& store) {
    std::string out =
        "; Registry store. One key per [line]; its values follow as \"name\"=type:data,\n"
        "; @ being the default value. Text escapes: \\\\ \\\" \\xHH.\n\n";
    for (int i = 0; i < kRootCount; ++i) Format(store.roots[i], kRootNames[i], out, true);
    return out;
}

// ---- the store file and its lock ----

std::string StoreFile() {
    if (const char* env = std::getenv("KESTO_REGISTRY"); env && *env) return env;
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.config";
    } else {
        base = "/tmp";
    }
    return base + "/kesto/registry.reg";
}

bool MakeFolders(const std::string& folder) {
    if (folder.empty()) return true;
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (!MakeFolders(platform::files::FolderOf(folder))) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

std::mutex g_reportMutex;
std::set<std::string> g_reported;

void ReportUnreadable(const std::string& path, const std::string& why) {
    std::lock_guard lock(g_reportMutex);
    if (!g_reported.insert(path).second) return;
    platform::base::Report("registry", "the store " + path + " cannot be read (" + why +
                                           "); it is left as it is and every registry call fails "
                                           "until it is repaired or removed.");
}

// Runs `work` on the loaded store under the store's lock; saves the store when `work` changed it.
template <class Work>
LONG WithStore(bool write, Work&& work) {
    std::string path = StoreFile();
    std::string folder = platform::files::FolderOf(path);
    int lockFd = -1;
    if (write && !MakeFolders(folder)) return ERROR_WRITE_FAULT;
    lockFd = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0 && write) return ERROR_WRITE_FAULT;
    if (lockFd >= 0) {
        while (::flock(lockFd, write ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {
        }
    }
    struct Unlock {
        int fd;
        ~Unlock() {
            if (fd >= 0) ::close(fd);
        }
    } unlock{lockFd};

    Store store;
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        std::optional<std::string> text = platform::files::ReadFile(path);
        if (!text) {
            ReportUnreadable(path, std::strerror(errno));
            return ERROR_BADDB;
        }
        std::string why;
        if (!Parse(*text, store, why)) {
            ReportUnreadable(path, why);
            return ERROR_BADDB;
        }
    } else if (errno != ENOENT) {
        ReportUnreadable(path, std::strerror(errno));
        return ERROR_BADDB;
    }
    bool changed = false;
    LONG result = work(store, changed);
    if (write && changed && result == ERROR_SUCCESS) {
        if (!platform::files::ReplaceFile(path, Format(store))) return ERROR_WRITE_FAULT;
    }
    return result;
}

// ---- handles ----

struct OpenKey {
    int root;
    std::vector<std::string> path;
};

std::mutex g_handleMutex;
std::map<std::uintptr_t, OpenKey> g_handles;
std::uintptr_t g_nextHandle = 0x1000;

bool HandleInfo(HKEY h, OpenKey& out) {
    auto value = reinterpret_cast<std::uintptr_t>(h);
    if (value >= 0x80000000u && value < 0x80000000u + kRootCount) {
        out = OpenKey{static_cast<int>(value - 0x80000000u), {}};
        return true;
    }
    std::lock_guard lock(g_handleMutex);
    auto it = g_handles.find(value);
    if (it == g_handles.end()) return false;
    out = it->second;
    return true;
}

HKEY NewHandle(OpenKey key) {
    std::lock_guard lock(g_handleMutex);
    std::uintptr_t value = g_nextHandle;
    g_nextHandle += 4;
    g_handles.emplace(value, std::move(key));
    return reinterpret_cast<HKEY>(value);
}

Key* Find(Store& store, const OpenKey& key, size_t depth) {
    Key* k = &store.roots[key.root];
    for (size_t i = 0; k && i < depth; ++i) k = k->Child(key.path[i]);
    return k;
}
Key* Find(Store& store, const OpenKey& key) {
    return Find(store, key, key.path.size());
}

bool ValidName(std::string_view name) {
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// The key named by a handle and a subkey path.
LONG Target(HKEY h, LPCSTR subKey, OpenKey& out) {
    if (!HandleInfo(h, out)) return ERROR_INVALID_HANDLE;
    if (subKey) {
        std::vector<std::string> parts;
        Split(subKey, parts);
        for (auto& p : parts) {
            if (!ValidName(p)) return ERROR_INVALID_PARAMETER;
            out.path.push_back(std::move(p));
        }
    }
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    OpenKey base;
    if (!HandleInfo(hKey, base)) return ERROR_INVALID_HANDLE;
    OpenKey target;
    if (LONG r = Target(hKey, lpSubKey, target); r != ERROR_SUCCESS) return r;
    LONG r = WithStore(true, [&](Store& store, bool& changed) {
        if (!Find(store, base)) return ERROR_KEY_DELETED;
        Key* k = &store.roots[target.root];
        for (const auto& part : target.path) {
            Key* child = k->Child(part);
            if (!child) {
                k->subkeys.push_back(std::make_unique<Key>());
                child = k->subkeys.back().get();
                child->name = part;
                changed = true;
            }
            k = child;
        }
        return ERROR_SUCCESS;
    });
    if (r == ERROR_SUCCESS) *phkResult = NewHandle(std::move(target));
    return r;
}

LONG RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    OpenKey target;
    if (LONG r = Target(hKey, lpSubKey, target); r != ERROR_SUCCESS) return r;
    LONG r = WithStore(false, [&](Store& store, bool&) {
        return Find(store, target) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
    if (r == ERROR_SUCCESS) *phkResult = NewHandle(std::move(target));
    return r;
}

LONG RegCloseKey(HKEY hKey) {
    auto value = reinterpret_cast<std::uintptr_t>(hKey);
    if (value >= 0x80000000u && value < 0x80000000u + kRootCount) return ERROR_SUCCESS;
    std::lock_guard lock(g_handleMutex);
    return g_handles.erase(value) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
    OpenKey key;
    if (!HandleInfo(hKey, key)) return ERROR_INVALID_HANDLE;
    if (!lpData && cbData) return ERROR_INVALID_PARAMETER;
    std::string name = lpValueName ? lpValueName : "";
    std::string data(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0);
    return WithStore(true, [&](Store& store, bool& changed) {
        Key* k = Find(store, key);
        if (!k) return ERROR_KEY_DELETED;
        Value* v = k->FindValue(name);
        if (!v) {
            k->values.push_back(Value{name, dwType, {}});
            v = &k->values.back();
        }
        v->type = dwType;
        v->data = data;
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData) {
    OpenKey key;
    if (!HandleInfo(hKey, key)) return ERROR_INVALID_HANDLE;
    if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
    std::string name = lpValueName ? lpValueName : "";
    return WithStore(false, [&](Store& store, bool&) {
        Key* k = Find(store, key);
        if (!k) return ERROR_KEY_DELETED;
        Value* v = k->FindValue(name);
        if (!v) return ERROR_FILE_NOT_FOUND;
        if (lpType) *lpType = v->type;
        DWORD size = static_cast<DWORD>(v->data.size());
        LONG r = ERROR_SUCCESS;
        if (lpData) {
            if (*lpcbData < size) {
                r = ERROR_MORE_DATA;
            } else {
                if (size) std::memcpy(lpData, v->data.data(), size);
            }
        }
        if (lpcbData) *lpcbData = size;
        return r;
    });
}

LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName) {
    OpenKey key;
    if (!HandleInfo(hKey, key)) return ERROR_INVALID_HANDLE;
    return WithStore(false, [&](Store& store, bool&) {
        Key* k = Find(store, key);
        if (!k) return ERROR_KEY_DELETED;
        std::vector<std::string> names;
        for (const auto& s : k->subkeys) names.push_back(s->name);
        std::sort(names.begin(), names.end(), LessName);
        if (dwIndex >= names.size()) return ERROR_NO_MORE_ITEMS;
        const std::string& n = names[dwIndex];
        if (!lpName || cchName < n.size() + 1) return ERROR_MORE_DATA;
        std::memcpy(lpName, n.c_str(), n.size() + 1);
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    OpenKey key;
    if (!HandleInfo(hKey, key)) return ERROR_INVALID_HANDLE;
    std::string name = lpValueName ? lpValueName : "";
    return WithStore(true, [&](Store& store, bool& changed) {
        Key* k = Find(store, key);
        if (!k) return ERROR_KEY_DELETED;
        auto it = std::find_if(k->values.begin(), k->values.end(),
                               [&](const Value& v) { return SameName(v.name, name); });
        if (it == k->values.end()) return ERROR_FILE_NOT_FOUND;
        k->values.erase(it);
        changed = true;
        return ERROR_SUCCESS;
    });
}

namespace {

LONG DeleteKey(HKEY hKey, LPCSTR lpSubKey, bool tree) {
    OpenKey target;
    if (LONG r = Target(hKey, lpSubKey, target); r != ERROR_SUCCESS) return r;
    if (target.path.empty()) return ERROR_ACCESS_DENIED;  // a root or the handle's own key
    return WithStore(true, [&](Store& store, bool& changed) {
        Key* parent = Find(store, target, target.path.size() - 1);
        if (!parent) return ERROR_FILE_NOT_FOUND;
        auto& subs = parent->subkeys;
        auto it = std::find_if(subs.begin(), subs.end(), [&](const std::unique_ptr<Key>& k) {
            return SameName(k->name, target.path.back());
        });
        if (it == subs.end()) return ERROR_FILE_NOT_FOUND;
        if (!tree && !(*it)->subkeys.empty()) return ERROR_ACCESS_DENIED;
        subs.erase(it);
        changed = true;
        return ERROR_SUCCESS;
    });
}

}  // namespace

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    if (!lpSubKey || !*lpSubKey) return ERROR_INVALID_PARAMETER;
    return DeleteKey(hKey, lpSubKey, false);
}

LONG RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey) {
    return DeleteKey(hKey, lpSubKey, true);
}

namespace platform::registry {

std::string StorePath() {
    return StoreFile();
}

std::optional<std::string> ReadString(HKEY root, const std::string& subKey,
                                      const std::string& valueName) {
    HKEY key;
    if (RegOpenKeyA(root, subKey.c_str(), &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    std::optional<std::string> result;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::string data(size, '\0');
        if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                             reinterpret_cast<LPBYTE>(data.data()), &size) == ERROR_SUCCESS) {
            data.resize(size);
            if (auto nul = data.find('\0'); nul != std::string::npos) data.resize(nul);
            result = std::move(data);
        }
    }
    RegCloseKey(key);
    return result;
}

LONG WriteString(HKEY root, const std::string& subKey, const std::string& valueName,
                 const std::string& value) {
    HKEY key;
    LONG r = RegCreateKeyA(root, subKey.c_str(), &key);
    if (r != ERROR_SUCCESS) return r;
    r = RegSetValueExA(key, valueName.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return r;
}

}  // namespace platform::registry

namespace {
std::string SettingsKey(const std::string& application, const std::string& section) {
    return "Software\\VB and VBA Program Settings\\" + application + "\\" + section;
}
}  // namespace

std::string GetSetting(const std::string& application, const std::string& section,
                       const std::string& key, const std::string& defaultValue) {
    return platform::registry::ReadString(HKEY_CURRENT_USER, SettingsKey(application, section), key)
        .value_or(defaultValue);
}

void SaveSetting(const std::string& application, const std::string& section, const std::string& key,
                 const std::string& value) {
    LONG r = platform::registry::WriteString(HKEY_CURRENT_USER, SettingsKey(application, section),
                                             key, value);
    if (r != ERROR_SUCCESS) {
        throw platform::registry::RegistryError(
            r, "the setting " + application + "\\" + section + "\\" + key +
                   " cannot be stored in " + StoreFile() + " (error " + std::to_string(r) + ")");
    }
}
