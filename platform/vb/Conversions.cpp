#include "platform/vb/Conversions.h"

#include <QString>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

#include "platform/vb/Error.h"

namespace vb {

namespace {

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string S(const QString& s) {
    return s.toUtf8().toStdString();
}

// A whole text that is a number, as the run-time's conversions accept it.
std::optional<double> ParseNumber(const std::string& text) {
    std::string t = Trim(text);
    while (!t.empty() && (t.back() == '\t' || t.back() == '\r' || t.back() == '\n')) t.pop_back();
    if (t.empty()) return std::nullopt;
    if (t.size() > 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h' || t[1] == 'O' || t[1] == 'o')) {
        int base = (t[1] == 'H' || t[1] == 'h') ? 16 : 8;
        std::string digits = t.substr(2);
        if (!digits.empty() && digits.back() == '&') digits.pop_back();
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        char* end = nullptr;
        unsigned long v = std::strtoul(digits.c_str(), &end, base);
        if (*end != '\0') return std::nullopt;
        // Hexadecimal and octal literals are 32-bit signed.
        return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
    }
    for (char c : t) {
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' ||
              c == 'e' || c == 'E')) {
            return std::nullopt;
        }
    }
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || *end != '\0' || !std::isfinite(v)) return std::nullopt;
    return v;
}

double ToNumber(const Variant& v) {
    if (v.IsEmpty()) return 0;
    if (v.IsNumber()) return v.AsNumber();
    if (v.IsBool()) return v.AsBool() ? -1 : 0;
    if (auto n = ParseNumber(v.AsString())) return *n;
    Raise(vbErrTypeMismatch);
}

}  // namespace

double RoundHalfEven(double value) {
    double r = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5) r = 2.0 * std::round(value / 2.0);
    return r;
}

short CInt(double value) {
    double r = RoundHalfEven(value);
    if (!(r >= -32768.0 && r <= 32767.0)) Raise(vbErrOverflow);
    return static_cast<short>(r);
}
short CInt(const Variant& value) {
    return CInt(ToNumber(value));
}

long CLng(double value) {
    double r = RoundHalfEven(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) Raise(vbErrOverflow);
    return static_cast<long>(r);
}
long CLng(const Variant& value) {
    return CLng(ToNumber(value));
}

float CSng(const Variant& value) {
    double d = ToNumber(value);
    if (std::fabs(d) > std::numeric_limits<float>::max()) Raise(vbErrOverflow);
    return static_cast<float>(d);
}
double CDbl(const Variant& value) {
    return ToNumber(value);
}

double Val(const std::string& text) {
    std::string t;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') t += c;
    }
    if (t.size() > 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h' || t[1] == 'O' || t[1] == 'o')) {
        int base = (t[1] == 'H' || t[1] == 'h') ? 16 : 8;
        char* end = nullptr;
        unsigned long v = std::strtoul(t.c_str() + 2, &end, base);
        return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
    }
    // The longest leading part that reads as a decimal number.
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t digits = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        if (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) {
            while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) ++j;
            i = j;
        }
    }
    return std::strtod(t.substr(0, i).c_str(), nullptr);
}

std::string FormatDigits(long value, int digits) {
    std::string s = std::to_string(value < 0 ? -static_cast<long long>(value) : value);
    while (static_cast<int>(s.size()) < digits) s.insert(s.begin(), '0');
    return value < 0 ? "-" + s : s;
}

std::string CStrInt(long value) {
    return std::to_string(value);
}

long Len(const std::string& s) {
    return static_cast<long>(Q(s).size());
}

std::string Left(const std::string& s, long n) {
    if (n < 0) Raise(vbErrInvalidProcedureCall);
    return S(Q(s).left(n));
}

std::string Right(const std::string& s, long n) {
    if (n < 0) Raise(vbErrInvalidProcedureCall);
    return S(Q(s).right(n));
}

std::string Mid(const std::string& s, long start, long length) {
    if (start < 1) Raise(vbErrInvalidProcedureCall);
    return S(Q(s).mid(start - 1, length < 0 ? -1 : length));
}

long InStr(long start, const std::string& s, const std::string& find) {
    if (start < 1) Raise(vbErrInvalidProcedureCall);
    QString hay = Q(s);
    if (start > hay.size() + 1) return 0;
    qsizetype at = hay.indexOf(Q(find), start - 1);
    return at < 0 ? 0 : static_cast<long>(at + 1);
}

long InStr(const std::string& s, const std::string& find) {
    return InStr(1, s, find);
}

long InStrRev(const std::string& s, const std::string& find) {
    QString hay = Q(s);
    if (find.empty()) return static_cast<long>(hay.size());
    qsizetype at = hay.lastIndexOf(Q(find));
    return at < 0 ? 0 : static_cast<long>(at + 1);
}

std::string UCase(const std::string& s) {
    return S(Q(s).toUpper());
}
std::string LCase(const std::string& s) {
    return S(Q(s).toLower());
}

}  // namespace vb
