// Automation strings (BSTR): length-prefixed UTF-16 strings with a terminating zero, allocated by
// the automation layer. A null BSTR is the empty string.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/types.h"

BSTR SysAllocString(LPCOLESTR psz);
// cch characters of pch (pch may be null: the string is then zero-filled).
BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch);
// cb bytes of psz (taken as bytes, may be odd).
BSTR SysAllocStringByteLen(LPCSTR psz, UINT cb);
int SysReAllocString(BSTR* pbstr, LPCOLESTR psz);
int SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT cch);
void SysFreeString(BSTR bstr);
UINT SysStringLen(BSTR bstr);
UINT SysStringByteLen(BSTR bstr);

namespace platform::com {

// UTF-8 <-> UTF-16. Invalid UTF-8 bytes become U+FFFD.
std::u16string Utf16(std::string_view utf8);
std::string Utf8(std::u16string_view utf16);
// The characters of a BSTR (a null BSTR is empty) and of a zero-terminated wide string.
std::string Utf8(BSTR bstr);
std::string Utf8FromWide(LPCOLESTR psz);
std::u16string_view View(BSTR bstr);
// A new BSTR holding the UTF-8 text.
BSTR AllocBstr(std::string_view utf8);

// Automation's names (members, parameters, types, saved properties, keys) match without regard
// to ASCII letter case.
bool SameName(std::string_view a, std::string_view b);

// Owns one BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::string_view utf8) : b_(AllocBstr(utf8)) {}
    explicit Bstr(LPCOLESTR psz) : b_(SysAllocString(psz)) {}
    ~Bstr() { SysFreeString(b_); }
    Bstr(const Bstr& o) : b_(o.b_ ? SysAllocStringLen(o.b_, SysStringLen(o.b_)) : nullptr) {}
    Bstr& operator=(const Bstr& o) {
        if (this != &o) {
            Bstr copy(o);
            std::swap(b_, copy.b_);
        }
        return *this;
    }
    Bstr(Bstr&& o) noexcept : b_(o.b_) { o.b_ = nullptr; }
    Bstr& operator=(Bstr&& o) noexcept {
        std::swap(b_, o.b_);
        return *this;
    }

    BSTR get() const { return b_; }
    BSTR* out() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }
    BSTR release() {
        BSTR b = b_;
        b_ = nullptr;
        return b;
    }
    std::string str() const { return Utf8(b_); }

private:
    BSTR b_ = nullptr;
};

}  // namespace platform::com
