#include "platform/com/bstr.h"

#include <cstdlib>
#include <cstring>

namespace {

// A BSTR points just past a 32-bit byte count; the characters end with a 16-bit zero.
BSTR Allocate(UINT bytes) {
    auto* block = static_cast<char*>(std::malloc(sizeof(std::uint32_t) + bytes + 2));
    if (!block) return nullptr;
    std::uint32_t count = bytes;
    std::memcpy(block, &count, sizeof count);
    block[sizeof count + bytes] = 0;
    block[sizeof count + bytes + 1] = 0;
    return reinterpret_cast<BSTR>(block + sizeof count);
}

char* BlockOf(BSTR b) {
    return reinterpret_cast<char*>(b) - sizeof(std::uint32_t);
}

std::size_t WideLength(LPCOLESTR p) {
    std::size_t n = 0;
    while (p[n]) ++n;
    return n;
}

}  // namespace

BSTR SysAllocString(LPCOLESTR psz) {
    if (!psz) return nullptr;
    return SysAllocStringLen(psz, static_cast<UINT>(WideLength(psz)));
}

BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch) {
    BSTR b = Allocate(cch * sizeof(OLECHAR));
    if (!b) return nullptr;
    if (pch) {
        std::memcpy(b, pch, cch * sizeof(OLECHAR));
    } else {
        std::memset(b, 0, cch * sizeof(OLECHAR));
    }
    return b;
}

BSTR SysAllocStringByteLen(LPCSTR psz, UINT cb) {
    BSTR b = Allocate(cb);
    if (!b) return nullptr;
    if (psz) {
        std::memcpy(b, psz, cb);
    } else {
        std::memset(b, 0, cb);
    }
    return b;
}

int SysReAllocString(BSTR* pbstr, LPCOLESTR psz) {
    if (!pbstr) return FALSE;
    BSTR b = SysAllocString(psz);
    if (psz && !b) return FALSE;
    SysFreeString(*pbstr);
    *pbstr = b;
    return TRUE;
}

int SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT cch) {
    if (!pbstr) return FALSE;
    BSTR b = SysAllocStringLen(psz, cch);
    if (!b) return FALSE;
    SysFreeString(*pbstr);
    *pbstr = b;
    return TRUE;
}

void SysFreeString(BSTR bstr) {
    if (bstr) std::free(BlockOf(bstr));
}

UINT SysStringByteLen(BSTR bstr) {
    if (!bstr) return 0;
    std::uint32_t count;
    std::memcpy(&count, BlockOf(bstr), sizeof count);
    return count;
}

UINT SysStringLen(BSTR bstr) {
    return SysStringByteLen(bstr) / sizeof(OLECHAR);
}

namespace platform::com {

std::u16string Utf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        if (i + extra >= s.size() && extra > 0) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::u16string_view View(BSTR b) {
    if (!b) return {};
    return std::u16string_view(b, SysStringLen(b));
}

std::string Utf8(BSTR b) {
    return Utf8(View(b));
}

std::string Utf8FromWide(LPCOLESTR p) {
    if (!p) return {};
    return Utf8(std::u16string_view(p, WideLength(p)));
}

BSTR AllocBstr(std::string_view utf8) {
    std::u16string w = Utf16(utf8);
    return SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
}

}  // namespace platform::com
