// The form run-time's variant, as far as the player's procedures pass one around.
#pragma once

#include <string>
#include <variant>

namespace vb {

class Variant {
public:
    Variant() = default;  // Empty
    Variant(const char* s) : value_(std::string(s)) {}
    Variant(std::string s) : value_(std::move(s)) {}
    Variant(double d) : value_(d) {}
    Variant(int i) : value_(static_cast<double>(i)) {}
    Variant(bool b) : value_(b) {}

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
    bool IsString() const { return std::holds_alternative<std::string>(value_); }
    bool IsNumber() const { return std::holds_alternative<double>(value_); }
    bool IsBool() const { return std::holds_alternative<bool>(value_); }

    const std::string& AsString() const { return std::get<std::string>(value_); }
    double AsNumber() const { return std::get<double>(value_); }
    bool AsBool() const { return std::get<bool>(value_); }

    bool operator==(const Variant&) const = default;

private:
    std::variant<std::monostate, std::string, double, bool> value_;
};

// The text form of a variant: "" for Empty, "True"/"False", numbers as the run-time prints them.
std::string CStr(const Variant& v);

// The run-time's Trim: leading and trailing spaces removed.
std::string Trim(const std::string& s);

}  // namespace vb
