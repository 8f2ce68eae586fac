#include "platform/com/guid.h"

#include <cctype>
#include <cstdio>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"

namespace platform::com {

std::string GuidToString(REFGUID g) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1,
                  g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4],
                  g.Data4[5], g.Data4[6], g.Data4[7]);
    return buf;
}

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ReadHex(std::string_view s, size_t& pos, int digits, std::uint64_t& out) {
    out = 0;
    for (int i = 0; i < digits; ++i) {
        if (pos >= s.size()) return false;
        int v = HexValue(s[pos++]);
        if (v < 0) return false;
        out = out * 16 + static_cast<unsigned>(v);
    }
    return true;
}

bool Expect(std::string_view s, size_t& pos, char c) {
    if (pos >= s.size() || s[pos] != c) return false;
    ++pos;
    return true;
}

std::optional<GUID> Parse(std::string_view s, bool bracesRequired) {
    size_t pos = 0;
    bool braces = !s.empty() && s[0] == '{';
    if (bracesRequired && !braces) return std::nullopt;
    if (braces) ++pos;
    GUID g{};
    std::uint64_t v;
    if (!ReadHex(s, pos, 8, v)) return std::nullopt;
    g.Data1 = static_cast<std::uint32_t>(v);
    if (!Expect(s, pos, '-') || !ReadHex(s, pos, 4, v)) return std::nullopt;
    g.Data2 = static_cast<std::uint16_t>(v);
    if (!Expect(s, pos, '-') || !ReadHex(s, pos, 4, v)) return std::nullopt;
    g.Data3 = static_cast<std::uint16_t>(v);
    if (!Expect(s, pos, '-')) return std::nullopt;
    for (int i = 0; i < 8; ++i) {
        if (i == 2 && !Expect(s, pos, '-')) return std::nullopt;
        if (!ReadHex(s, pos, 2, v)) return std::nullopt;
        g.Data4[i] = static_cast<std::uint8_t>(v);
    }
    if (braces && !Expect(s, pos, '}')) return std::nullopt;
    if (pos != s.size()) return std::nullopt;
    return g;
}

}  // namespace

std::optional<GUID> ParseGuid(std::string_view text) {
    return Parse(text, false);
}

}  // namespace platform::com

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
    std::string s = platform::com::GuidToString(rguid);
    if (!lpsz || cchMax < static_cast<int>(s.size()) + 1) return 0;
    for (size_t i = 0; i < s.size(); ++i) lpsz[i] = static_cast<OLECHAR>(s[i]);
    lpsz[s.size()] = 0;
    return static_cast<int>(s.size()) + 1;
}

HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz) {
    if (!lplpsz) return E_INVALIDARG;
    auto* p = static_cast<LPOLESTR>(CoTaskMemAlloc(39 * sizeof(OLECHAR)));
    if (!p) return E_OUTOFMEMORY;
    StringFromGUID2(rclsid, p, 39);
    *lplpsz = p;
    return S_OK;
}

HRESULT StringFromIID(REFIID riid, LPOLESTR* lplpsz) {
    return StringFromCLSID(riid, lplpsz);
}

HRESULT IIDFromString(LPCOLESTR lpsz, LPGUID lpiid) {
    if (!lpsz || !lpiid) return E_INVALIDARG;
    auto g = platform::com::Parse(platform::com::Utf8FromWide(lpsz), true);
    if (!g) return CO_E_CLASSSTRING;
    *lpiid = *g;
    return S_OK;
}

HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
    if (!lpsz || !pclsid) return E_INVALIDARG;
    std::string text = platform::com::Utf8FromWide(lpsz);
    if (auto g = platform::com::Parse(text, true)) {
        *pclsid = *g;
        return S_OK;
    }
    if (!text.empty() && text[0] != '{' && SUCCEEDED(CLSIDFromProgID(lpsz, pclsid))) return S_OK;
    return CO_E_CLASSSTRING;
}
