#include "platform/profile/profile.h"

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/files.h"
#include "platform/files/identity.h"

namespace {

std::string_view Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
        if (x != y) return false;
    }
    return true;
}

// One line of an INI file with what it means.
struct Line {
    enum Kind { kOther, kSection, kKey } kind = kOther;
    std::string text;   // the line as stored, without its line ending
    std::string name;   // section or key name, trimmed
    std::string value;  // key value, trimmed and unquoted
};

std::vector<Line> Parse(std::string_view data) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < data.size()) {
        size_t end = pos;
        while (end < data.size() && data[end] != '\r' && data[end] != '\n') ++end;
        Line line;
        line.text.assign(data.substr(pos, end - pos));
        std::string_view t = Trim(line.text);
        if (!t.empty() && t[0] == '[') {
            line.kind = Line::kSection;
            size_t close = t.find(']');
            line.name =
                Trim(t.substr(1, close == std::string_view::npos ? t.size() - 1 : close - 1));
        } else if (!t.empty() && t[0] != ';') {
            if (size_t eq = t.find('='); eq != std::string_view::npos) {
                line.kind = Line::kKey;
                line.name = Trim(t.substr(0, eq));
                std::string_view v = Trim(t.substr(eq + 1));
                if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) {
                    v = v.substr(1, v.size() - 2);
                }
                line.value = v;
            }
        }
        lines.push_back(std::move(line));
        if (end < data.size() && data[end] == '\r' && end + 1 < data.size() &&
            data[end + 1] == '\n') {
            ++end;
        }
        pos = end + 1;
    }
    return lines;
}

// Index of the first section named `name` (spaces around it do not count), or lines.size().
size_t FindSection(const std::vector<Line>& lines, std::string_view name) {
    name = Trim(name);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Line::kSection && SameText(lines[i].name, name)) return i;
    }
    return lines.size();
}

// One past the last line of the section whose header is at `header`.
size_t SectionEnd(const std::vector<Line>& lines, size_t header) {
    size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != Line::kSection) ++i;
    return i;
}

size_t FindKey(const std::vector<Line>& lines, size_t header, std::string_view key) {
    key = Trim(key);
    size_t end = SectionEnd(lines, header);
    for (size_t i = header + 1; i < end; ++i) {
        if (lines[i].kind == Line::kKey && SameText(lines[i].name, key)) return i;
    }
    return lines.size();
}

DWORD CopyOut(std::string_view value, LPSTR out, DWORD size) {
    if (!out || size == 0) return 0;
    size_t n = value.size() < size - 1 ? value.size() : size - 1;
    if (n) std::memcpy(out, value.data(), n);
    out[n] = '\0';
    return static_cast<DWORD>(n);
}

// Copies NUL-separated names with a final extra NUL; a list that does not fit returns size - 2.
DWORD CopyList(const std::vector<std::string>& names, LPSTR out, DWORD size) {
    if (!out || size == 0) return 0;
    if (size == 1) {
        out[0] = '\0';
        return 0;
    }
    std::string all;
    for (const auto& n : names) {
        all += n;
        all += '\0';
    }
    if (all.size() + 1 <= size) {
        std::memcpy(out, all.data(), all.size());
        out[all.size()] = '\0';
        if (all.empty()) out[1 < size ? 1 : 0] = '\0';
        return static_cast<DWORD>(all.size());
    }
    std::memcpy(out, all.data(), size - 2);
    out[size - 2] = '\0';
    out[size - 1] = '\0';
    return size - 2;
}

const std::string* ValueOf(const std::vector<Line>& lines, std::string_view section,
                           std::string_view key) {
    size_t header = FindSection(lines, section);
    if (header == lines.size()) return nullptr;
    size_t k = FindKey(lines, header, key);
    if (k == lines.size()) return nullptr;
    return &lines[k].value;
}

std::vector<std::string> SectionsOf(const std::vector<Line>& lines) {
    std::vector<std::string> names;
    for (const auto& l : lines) {
        if (l.kind == Line::kSection) names.push_back(l.name);
    }
    return names;
}

std::vector<std::string> KeysOf(const std::vector<Line>& lines, std::string_view section) {
    std::vector<std::string> names;
    size_t header = FindSection(lines, section);
    if (header == lines.size()) return names;
    size_t end = SectionEnd(lines, header);
    for (size_t i = header + 1; i < end; ++i) {
        if (lines[i].kind == Line::kKey) names.push_back(lines[i].name);
    }
    return names;
}

// ---- the files read ----
//
// A file is read and parsed once while it stays the same file: the same device, inode, size,
// modification and change time as when it was read. A write by this process or another changes
// the change time (a replacement also the inode), so the next read sees it. Change times are only
// as fine as the file system's clock (a second on some), so a file whose change time lies in the
// second its read began, or later, is not kept: a change made in that same second could leave
// every field as it was.

using FileState = platform::files::FileIdentity;

struct KeptFile {
    FileState state;
    std::shared_ptr<const std::vector<Line>> lines;
    unsigned long long used = 0;
};

constexpr size_t kKeptFiles = 8;
constexpr off_t kKeptFileSize = 1 << 20;

std::mutex g_keptMutex;
std::map<std::string, KeptFile> g_kept;
unsigned long long g_useCount = 0;
timespec (*g_clock)() = nullptr;
std::atomic<size_t> g_fileReads{0};

timespec Now() {
    if (g_clock) return g_clock();
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return now;
}

// The lines of the file (none when it cannot be read), from what was kept while it is unchanged.
std::shared_ptr<const std::vector<Line>> LoadLines(const char* fileName) {
    static const auto kNone = std::make_shared<const std::vector<Line>>();
    std::string path = platform::files::Resolve(fileName);
    timespec began = Now();
    struct stat st;
    auto forget = [&] {
        std::lock_guard lock(g_keptMutex);
        g_kept.erase(path);
    };
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        forget();
        return kNone;
    }
    FileState state = FileState::Of(st);
    {
        std::lock_guard lock(g_keptMutex);
        if (auto it = g_kept.find(path); it != g_kept.end() && it->second.state == state) {
            it->second.used = ++g_useCount;
            return it->second.lines;
        }
    }
    // The state kept is the one seen before the bytes are read, so that a change made while they
    // are read shows as a change at the next read.
    std::optional<std::string> data = platform::files::ReadFile(path, &st);
    if (!data) {
        forget();
        return kNone;
    }
    state = FileState::Of(st);
    ++g_fileReads;
    auto lines = std::make_shared<const std::vector<Line>>(Parse(*data));

    std::lock_guard lock(g_keptMutex);
    if (state.changed.tv_sec >= began.tv_sec || state.size > kKeptFileSize) {
        g_kept.erase(path);
        return lines;
    }
    if (g_kept.size() >= kKeptFiles && !g_kept.count(path)) {
        auto oldest = g_kept.begin();
        for (auto it = g_kept.begin(); it != g_kept.end(); ++it) {
            if (it->second.used < oldest->second.used) oldest = it;
        }
        g_kept.erase(oldest);
    }
    g_kept[path] = KeptFile{state, lines, ++g_useCount};
    return lines;
}

}  // namespace

namespace platform::profile {

std::optional<std::string> ReadValue(std::string_view text, std::string_view section,
                                     std::string_view key) {
    std::vector<Line> lines = Parse(text);
    const std::string* value = ValueOf(lines, section, key);
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

std::vector<std::string> SectionNames(std::string_view text) {
    return SectionsOf(Parse(text));
}

std::vector<std::string> KeyNames(std::string_view text, std::string_view section) {
    return KeysOf(Parse(text), section);
}

void SetCacheClockForTest(timespec (*now)()) {
    g_clock = now;
}

size_t FileReadsForTest() {
    return g_fileReads.load();
}

std::string WriteValue(std::string_view text, std::string_view section, const char* key,
                       const char* value) {
    std::vector<Line> lines = Parse(text);
    // Spaces around the names and the value given are dropped, as they are when reading.
    auto keyLine = [&](std::string_view name) {
        Line l;
        l.kind = Line::kKey;
        l.name = Trim(name);
        l.text = l.name + "=" + std::string(Trim(value));
        return l;
    };

    size_t header = FindSection(lines, section);
    if (!key) {
        if (header < lines.size()) {
            lines.erase(lines.begin() + static_cast<long>(header),
                        lines.begin() + static_cast<long>(SectionEnd(lines, header)));
        }
    } else if (!value) {
        if (header < lines.size()) {
            size_t k = FindKey(lines, header, key);
            if (k < lines.size()) lines.erase(lines.begin() + static_cast<long>(k));
        }
    } else if (header == lines.size()) {
        Line h;
        h.kind = Line::kSection;
        h.name = Trim(section);
        h.text = "[" + h.name + "]";
        lines.push_back(std::move(h));
        lines.push_back(keyLine(key));
    } else if (size_t k = FindKey(lines, header, key); k < lines.size()) {
        // The existing entry keeps its place and its spelling; only the value changes.
        lines[k] = keyLine(lines[k].name);
    } else {
        // A new key goes after the section's last non-blank line.
        size_t at = SectionEnd(lines, header);
        while (at > header + 1 && Trim(lines[at - 1].text).empty()) --at;
        lines.insert(lines.begin() + static_cast<long>(at), keyLine(key));
    }

    std::string out;
    for (const auto& l : lines) {
        out += l.text;
        out += "\r\n";
    }
    return out;
}

}  // namespace platform::profile

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                               LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
    std::string_view fallback = lpDefault ? std::string_view(lpDefault) : std::string_view();
    while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);

    static const std::vector<Line> kNoLines;
    std::shared_ptr<const std::vector<Line>> kept;
    if (lpFileName && *lpFileName) kept = LoadLines(lpFileName);
    const std::vector<Line>& lines = kept ? *kept : kNoLines;

    if (!lpAppName) return CopyList(SectionsOf(lines), lpReturnedString, nSize);
    if (!lpKeyName) return CopyList(KeysOf(lines, lpAppName), lpReturnedString, nSize);
    const std::string* value = ValueOf(lines, lpAppName, lpKeyName);
    return CopyOut(value ? std::string_view(*value) : fallback, lpReturnedString, nSize);
}

BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                LPCSTR lpFileName) {
    if (!lpAppName || !lpFileName || !*lpFileName) return FALSE;
    std::string path = platform::files::Resolve(lpFileName);

    struct stat st;
    bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists &&
        (S_ISDIR(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)) {
        return FALSE;  // a folder or a read-only file
    }
    std::optional<std::string> data = exists ? platform::files::ReadFile(path) : std::string();
    if (!data) return FALSE;
    // Removing what is not there leaves the file as it is.
    if (!lpKeyName || !lpString) {
        std::vector<Line> lines = Parse(*data);
        size_t header = FindSection(lines, lpAppName);
        if (header == lines.size()) return TRUE;
        if (lpKeyName && FindKey(lines, header, lpKeyName) == lines.size()) return TRUE;
    }
    std::string out = platform::profile::WriteValue(*data, lpAppName, lpKeyName, lpString);
    return platform::files::ReplaceFile(path, out) ? TRUE : FALSE;
}
