#include "platform/vb/Variant.h"

#include <cmath>
#include <cstdio>

namespace vb {

std::string CStr(const Variant& v) {
    if (v.IsEmpty()) return {};
    if (v.IsString()) return v.AsString();
    if (v.IsBool()) return v.AsBool() ? "True" : "False";
    double d = v.AsNumber();
    if (d == std::floor(d) && std::fabs(d) < 1e15) {
        return std::to_string(static_cast<long long>(d));
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    return buf;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

}  // namespace vb
