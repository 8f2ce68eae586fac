#include "platform/profile/profile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/files.h"

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

}  // namespace

namespace platform::profile {

std::optional<std::string> ReadValue(std::string_view text, std::string_view section,
                                     std::string_view key) {
    std::vector<Line> lines = Parse(text);
    size_t header = FindSection(lines, section);
    if (header == lines.size()) return std::nullopt;
    size_t k = FindKey(lines, header, key);
    if (k == lines.size()) return std::nullopt;
    return lines[k].value;
}

std::vector<std::string> SectionNames(std::string_view text) {
    std::vector<std::string> names;
    for (const auto& l : Parse(text)) {
        if (l.kind == Line::kSection) names.push_back(l.name);
    }
    return names;
}

std::vector<std::string> KeyNames(std::string_view text, std::string_view section) {
    std::vector<Line> lines = Parse(text);
    std::vector<std::string> names;
    size_t header = FindSection(lines, section);
    if (header == lines.size()) return names;
    size_t end = SectionEnd(lines, header);
    for (size_t i = header + 1; i < end; ++i) {
        if (lines[i].kind == Line::kKey) names.push_back(lines[i].name);
    }
    return names;
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

    std::optional<std::string> data;
    if (lpFileName && *lpFileName) data = platform::files::ReadFile(lpFileName);
    std::string_view text = data ? std::string_view(*data) : std::string_view();

    if (!lpAppName) return CopyList(platform::profile::SectionNames(text), lpReturnedString, nSize);
    if (!lpKeyName) {
        return CopyList(platform::profile::KeyNames(text, lpAppName), lpReturnedString, nSize);
    }
    std::optional<std::string> value = platform::profile::ReadValue(text, lpAppName, lpKeyName);
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
