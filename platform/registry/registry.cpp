#include "platform/registry/registry.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/base/report.h"
#include "platform/files/files.h"
#include "platform/files/identity.h"

namespace {

constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                      "HKEY_LOCAL_MACHINE"};
constexpr int kRootCount = 3;

bool IsHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}
int HexValue(char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
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

// Hashing and comparing names without regard to case, so that a name is found in one step
// without making a folded copy of it.
struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view n) const {
        size_t h = 14695981039346656037ull;
        for (unsigned char c : n) h = (h ^ static_cast<size_t>(Lower(c))) * 1099511628211ull;
        return h;
    }
};
struct NameEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return SameName(a, b); }
};
template <class K, class T>
using ByName = std::unordered_map<K, T, NameHash, NameEqual>;

// How deep keys may lie below their root: a store or a path with deeper keys is refused (the
// store cannot be read; RegCreateKeyA fails with ERROR_INVALID_PARAMETER).
constexpr size_t kMaxDepth = 512;

// A key: its values and subkeys in the order they were made. A key with many subkeys or values
// also finds them by name in one step (a few are looked through).
struct Key {
    static constexpr size_t kFew = 8;

    std::string name;
    std::vector<Value> values;
    std::vector<std::unique_ptr<Key>> subkeys;
    ByName<std::string, size_t> valueAt;        // filled once there are more than a few
    ByName<std::string_view, Key*> childNamed;  // the same; views of the children's names

    Key* Child(std::string_view n) const {
        if (subkeys.size() <= kFew) {
            for (const auto& k : subkeys) {
                if (SameName(k->name, n)) return k.get();
            }
            return nullptr;
        }
        auto it = childNamed.find(n);
        return it == childNamed.end() ? nullptr : it->second;
    }
    Key* AddChild(std::string n) {
        subkeys.push_back(std::make_unique<Key>());
        Key* child = subkeys.back().get();
        child->name = std::move(n);
        if (subkeys.size() == kFew + 1) {
            for (const auto& k : subkeys) childNamed.emplace(k->name, k.get());
        } else if (subkeys.size() > kFew + 1) {
            childNamed.emplace(child->name, child);
        }
        return child;
    }
    void RemoveChild(std::string_view n) {
        Key* child = Child(n);
        if (!child) return;
        childNamed.erase(child->name);
        subkeys.erase(
            std::find_if(subkeys.begin(), subkeys.end(),
                         [&](const std::unique_ptr<Key>& k) { return k.get() == child; }));
    }
    Value* FindValue(std::string_view n) {
        if (values.size() <= kFew) {
            for (auto& v : values) {
                if (SameName(v.name, n)) return &v;
            }
            return nullptr;
        }
        auto it = valueAt.find(n);
        return it == valueAt.end() ? nullptr : &values[it->second];
    }
    // Sets a value, keeping the place (and the spelling) of one of the same name.
    void SetValue(Value v) {
        if (Value* old = FindValue(v.name)) {
            old->type = v.type;
            old->data = std::move(v.data);
            return;
        }
        values.push_back(std::move(v));
        IndexValues(values.size() == kFew + 1 ? 0 : values.size() - 1);
    }
    bool RemoveValue(std::string_view n) {
        Value* v = FindValue(n);
        if (!v) return false;
        values.erase(values.begin() + (v - values.data()));
        valueAt.clear();
        IndexValues(0);
        return true;
    }

private:
    void IndexValues(size_t from) {
        if (values.size() <= kFew) return;
        for (size_t i = from; i < values.size(); ++i) valueAt.emplace(values[i].name, i);
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
            out += static_cast<char>(HexValue(s[pos]) * 16 + HexValue(s[pos + 1]));
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
        out += static_cast<char>(HexValue(s[pos]) * 16 + HexValue(s[pos + 1]));
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
        std::string_view digits = rest.substr(6);
        if (digits.size() != 8 || !std::all_of(digits.begin(), digits.end(), IsHex)) {
            return false;
        }
        DWORD d = 0;
        for (char c : digits) d = d * 16 + static_cast<DWORD>(HexValue(c));
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

// Calls `part` with each non-empty part of a key path ("a\\b\\\\c": a, b, c); stops early when it
// returns false.
template <class Part>
void ForEachPart(std::string_view path, Part&& part) {
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t next = path.find('\\', pos);
        if (next == std::string_view::npos) next = path.size();
        if (next > pos && !part(path.substr(pos, next - pos))) return;
        pos = next + 1;
    }
}

void Split(std::string_view path, std::vector<std::string>& parts) {
    ForEachPart(path, [&](std::string_view p) {
        parts.emplace_back(p);
        return true;
    });
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
            // The root, then each key below it, made where it is missing.
            current = nullptr;
            size_t depth = 0;
            ForEachPart(line.substr(1, line.size() - 2), [&](std::string_view part) {
                if (!current) {
                    for (int i = 0; i < kRootCount; ++i) {
                        if (SameName(part, kRootNames[i])) current = &store.roots[i];
                    }
                    if (!current) why = "line " + std::to_string(number) + ": unknown root key";
                    return current != nullptr;
                }
                if (++depth > kMaxDepth) {
                    why = "line " + std::to_string(number) + ": a key more than " +
                          std::to_string(kMaxDepth) + " levels deep";
                    return false;
                }
                Key* child = current->Child(part);
                current = child ? child : current->AddChild(std::string(part));
                return true;
            });
            if (!current) {
                if (why.empty()) why = "line " + std::to_string(number) + ": unknown root key";
                return false;
            }
            if (!why.empty()) return false;
            continue;
        }
        Value v;
        if (!current || !ParseValue(line, v)) {
            why = "line " + std::to_string(number) + ": not a value of a key";
            return false;
        }
        current->SetValue(std::move(v));
    }
    return true;
}

// Every key with its path, each before its subkeys (in their order); a root only when it has
// values. Walked without recursion, however deep the keys lie.
void Format(const Key& root, std::string& out) {
    std::vector<std::pair<const Key*, std::string>> pending{{&root, root.name}};
    while (!pending.empty()) {
        auto [key, path] = std::move(pending.back());
        pending.pop_back();
        if (key != &root || !key->values.empty()) {
            out += "[" + path + "]\n";
            for (const auto& v : key->values) out += FormatValue(v) + "\n";
            out += "\n";
        }
        for (auto it = key->subkeys.rbegin(); it != key->subkeys.rend(); ++it) {
            pending.emplace_back(it->get(), path + "\\" + (*it)->name);
        }
    }
}

std::string Format(const Store& store) {
    std::string out =
        "; Registry store. One key per [line]; its values follow as \"name\"=type:data,\n"
        "; @ being the default value. Text escapes: \\\\ \\\" \\xHH.\n\n";
    for (int i = 0; i < kRootCount; ++i) Format(store.roots[i], out);
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
    // Once for each store and reason: a store repaired and broken again is reported again.
    if (!g_reported.insert(path + "\n" + why).second) return;
    platform::base::Report("registry", "the store " + path + " cannot be read (" + why +
                                           "); it is left as it is and every registry call fails "
                                           "until it is repaired or removed.");
}

// The store as last read or written by this process, kept while its file stays the same file:
// the same inode, size, modification and change time, seen under the store's lock.
struct Snapshot {
    std::string path;
    platform::files::FileIdentity identity;
    std::unique_ptr<Store> store;  // null: the file cannot be read, for `why`
    std::string why;

    bool Matches(const std::string& p, const struct stat& st) const {
        return path == p && identity == platform::files::FileIdentity::Of(st);
    }
    void Remember(const std::string& p, const struct stat& st) {
        path = p;
        identity = platform::files::FileIdentity::Of(st);
    }
};

std::mutex g_snapshotMutex;
Snapshot g_snapshot;

// ---- changes put in place later ----
//
// With write-behind on, a change is written whole to a temporary file beside the store at once,
// and a worker thread flushes it to disk and renames it over the store (then flushes the folder),
// so that the caller does not wait for the disk. From that write until the worker has put the
// newest change in place, this process holds the store's lock for all its threads: other
// processes wait for it, their readers as well as their writers, and this process's calls work
// on the store it holds, which is ahead of the file. A newer change replaces one not yet begun.
// The store file is therefore always the previous store or the new one, complete and on disk: a
// crash (of the process or of the system) before the rename leaves the previous store, the
// change is lost and the next writer removes the temporary file; after it, the new store stays.
// Flush waits for the worker; the end of the program calls it, so nothing is lost by a normal
// end. All of it is guarded by g_snapshotMutex.
struct WriteBehind {
    bool enabled = false;
    int lockFd = -1;   // the store's lock, held for this process while changes wait
    std::string path;  // the store it locks
    std::optional<platform::files::Replacement> next;  // the newest change not yet begun
    bool worker = false;
};
WriteBehind g_behind;

// Left to the end of the process: the worker waits on it then.
std::condition_variable* g_behindChanged = new std::condition_variable;

std::condition_variable& BehindChanged() {
    return *g_behindChanged;
}

void WaitForWorker(std::unique_lock<std::mutex>& guard) {
    BehindChanged().wait(guard, [] { return g_behind.lockFd < 0; });
}

void PutChangesInPlace() {
    std::unique_lock guard(g_snapshotMutex);
    for (;;) {
        BehindChanged().wait(guard, [] { return g_behind.next.has_value(); });
        platform::files::Replacement change = std::move(*g_behind.next);
        g_behind.next.reset();
        guard.unlock();
        std::string error;
        bool ok = change.Commit(true, &error);
        guard.lock();
        if (!ok) {
            platform::base::Report("registry", "a change to the store " + g_behind.path +
                                                   " could not be saved (" + error +
                                                   "); the store keeps what it held before.");
        }
        if (g_behind.next) continue;
        // The store held is now the file's, or (after a failure) is read from the file again.
        struct stat st;
        if (ok && g_snapshot.store && g_snapshot.path == g_behind.path &&
            ::stat(g_behind.path.c_str(), &st) == 0) {
            g_snapshot.Remember(g_behind.path, st);
        } else {
            g_snapshot = Snapshot{};
        }
        ::close(g_behind.lockFd);
        g_behind.lockFd = -1;
        g_behind.path.clear();
        BehindChanged().notify_all();
    }
}

// A forked child has no worker and does not hold the store's lock (its copy of the lock and of a
// change not yet in place belong to the parent): it starts with no change pending, reading the
// store from the file again.
void BeforeFork() {
    g_snapshotMutex.lock();
}
void AfterFork() {
    g_snapshotMutex.unlock();
}
void InForkedChild() {
    // The parent's worker waits on the condition the child got a copy of: the child starts a
    // new one (the copy is left as it is).
    g_behindChanged = new std::condition_variable;
    g_behind.worker = false;
    if (g_behind.lockFd >= 0) {
        ::close(g_behind.lockFd);
        g_behind.lockFd = -1;
        g_behind.path.clear();
        if (g_behind.next) g_behind.next->Forget();
        g_behind.next.reset();
        g_snapshot = Snapshot{};
    }
    g_snapshotMutex.unlock();
}

// Runs `work` on the loaded store under the store's lock; saves the store when `work` changed it.
// The store is read and parsed again only when its file has changed since this process last read
// or wrote it.
template <class Work>
LONG WithStore(bool write, Work&& work) {
    std::string path = StoreFile();
    std::string folder = platform::files::FolderOf(path);
    std::unique_lock guard(g_snapshotMutex);
    if (g_behind.lockFd >= 0 && g_behind.path != path) WaitForWorker(guard);
    const bool held = g_behind.lockFd >= 0;
    struct Unlock {
        int fd;
        ~Unlock() {
            if (fd >= 0) ::close(fd);
        }
    } unlock{-1};
    Snapshot& snap = g_snapshot;
    struct stat st;
    if (!held) {
        if (write && !MakeFolders(folder)) return ERROR_WRITE_FAULT;
        unlock.fd = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (unlock.fd < 0 && write) return ERROR_WRITE_FAULT;
        if (unlock.fd >= 0) {
            while (::flock(unlock.fd, write ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {
            }
        }
        if (::stat(path.c_str(), &st) == 0) {
            if (!snap.Matches(path, st)) {
                snap = Snapshot{};
                std::optional<std::string> text = platform::files::ReadFile(path);
                if (!text) {
                    ReportUnreadable(path, std::strerror(errno));
                    return ERROR_BADDB;
                }
                auto store = std::make_unique<Store>();
                std::string why;
                if (Parse(*text, *store, why)) {
                    snap.store = std::move(store);
                } else {
                    snap.why = why;
                }
                snap.Remember(path, st);
            }
            if (!snap.store) {
                ReportUnreadable(path, snap.why);
                return ERROR_BADDB;
            }
        } else if (errno == ENOENT) {
            snap = Snapshot{};
            snap.store = std::make_unique<Store>();
            snap.path = path;  // no file: matches no stat, so the next call looks again
        } else {
            ReportUnreadable(path, std::strerror(errno));
            return ERROR_BADDB;
        }
    }
    // While this process holds the lock for changes still to be put in place, the store it holds
    // is the newest there is.
    bool changed = false;
    LONG result = work(*snap.store, changed);
    if (write && changed && result == ERROR_SUCCESS) {
        if (g_behind.enabled) {
            std::optional<platform::files::Replacement> change =
                platform::files::WriteReplacement(path, Format(*snap.store));
            if (!change) {
                // What this process holds is not what the file says once the worker is done.
                WaitForWorker(guard);
                g_snapshot = Snapshot{};
                return ERROR_WRITE_FAULT;
            }
            g_behind.next = std::move(*change);
            if (!held) {
                g_behind.lockFd = std::exchange(unlock.fd, -1);
                g_behind.path = path;
            }
            if (!g_behind.worker) {
                g_behind.worker = true;
                static const bool forks = ::pthread_atfork(BeforeFork, AfterFork, InForkedChild);
                (void)forks;
                std::thread(PutChangesInPlace).detach();
            }
            BehindChanged().notify_all();
        } else if (!platform::files::ReplaceFile(path, Format(*snap.store)) ||
                   ::stat(path.c_str(), &st) != 0) {
            snap = Snapshot{};  // what this process holds is not what the file says
            return ERROR_WRITE_FAULT;
        } else {
            snap.Remember(path, st);
        }
    } else if (changed) {
        // A change that was not saved is forgotten: the store is read again from the file, once
        // the changes still to be put in place are.
        if (held) WaitForWorker(guard);
        g_snapshot = Snapshot{};
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
    if (target.path.size() > kMaxDepth) return ERROR_INVALID_PARAMETER;
    LONG r = WithStore(true, [&](Store& store, bool& changed) {
        if (!Find(store, base)) return ERROR_KEY_DELETED;
        Key* k = &store.roots[target.root];
        for (const auto& part : target.path) {
            Key* child = k->Child(part);
            if (!child) {
                child = k->AddChild(part);
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
        k->SetValue(Value{name, dwType, data});
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
        if (!k->RemoveValue(name)) return ERROR_FILE_NOT_FOUND;
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
        Key* key = parent->Child(target.path.back());
        if (!key) return ERROR_FILE_NOT_FOUND;
        if (!tree && !key->subkeys.empty()) return ERROR_ACCESS_DENIED;
        parent->RemoveChild(target.path.back());
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

std::optional<std::string> ReformatStore(std::string_view text, std::string* why) {
    Store store;
    std::string reason;
    if (!Parse(text, store, reason)) {
        if (why) *why = reason;
        return std::nullopt;
    }
    return Format(store);
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

void SetWriteBehind(bool on) {
    std::unique_lock guard(g_snapshotMutex);
    if (on && !g_behind.enabled) {
        static const bool atEnd = std::atexit([] { Flush(); }) == 0;
        (void)atEnd;
    }
    g_behind.enabled = on;
    if (!on) WaitForWorker(guard);
}

void Flush() {
    std::unique_lock guard(g_snapshotMutex);
    WaitForWorker(guard);
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
