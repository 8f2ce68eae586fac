// The INI reader and writer on any text: reading never fails, and a write changes only what it
// names (the written value reads back, every other first-found value stays).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/profile/profile.h"
#include "tests/fuzz/fuzz_check.h"

using namespace platform::profile;

namespace {

// A name or value the writer can store as one line: no line breaks, no spaces at the ends, and
// none of the characters that would give the line another meaning.
std::string Storable(std::string_view s, std::string_view forbidden) {
    std::string out;
    for (char c : s) {
        if (c != '\r' && c != '\n' && c != '\0' && forbidden.find(c) == std::string_view::npos) {
            out += c;
        }
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\t')) out.pop_back();
    while (!out.empty() && (out.front() == ' ' || out.front() == '\t')) out.erase(0, 1);
    return out;
}

// Names compare without regard to letter case (ASCII), as the profile functions compare them.
bool Same(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> sections = SectionNames(text);
    sections.resize(std::min<size_t>(sections.size(), 6));
    for (const std::string& section : sections) {
        std::vector<std::string> keys = KeyNames(text, section);
        keys.resize(std::min<size_t>(keys.size(), 8));
        for (const std::string& key : keys) FUZZ_CHECK(ReadValue(text, section, key));
    }

    // Write a value into the first section (or a new one) under a name taken from the text.
    std::string section =
        sections.empty() ? std::string("Configuration") : Storable(sections.front(), "[]");
    std::vector<std::string> keys = KeyNames(text, section);
    std::string key = keys.empty() ? std::string("skin") : Storable(keys.back(), "=[;");
    std::string value = Storable(text.substr(0, std::min<size_t>(text.size(), 40)), "\"'");
    if (section.empty() || key.empty()) return 0;

    std::string written = WriteValue(text, section, key.c_str(), value.c_str());
    std::optional<std::string> back = ReadValue(written, section, key);
    FUZZ_CHECK(back && *back == value);
    for (const std::string& other : sections) {
        std::vector<std::string> others = KeyNames(text, other);
        others.resize(std::min<size_t>(others.size(), 8));
        for (const std::string& k : others) {
            if (Same(other, section) && Same(k, key)) continue;  // the entry written
            FUZZ_CHECK(ReadValue(written, other, k) == ReadValue(text, other, k));
        }
    }
    // Removing the section takes away the first one of that name.
    std::string removed = WriteValue(written, section, nullptr, nullptr);
    FUZZ_CHECK(SectionNames(removed).size() + 1 == SectionNames(written).size());
    return 0;
}
