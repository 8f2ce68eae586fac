// The run-time's conversions and text functions, as the player's procedures use them.
// Texts are UTF-8; lengths and positions count characters, positions start at 1.
#pragma once

#include <string>

#include "platform/vb/Variant.h"

namespace vb {

// Rounds to the nearest whole number, a half going to the even neighbour (as CInt and CLng do).
double RoundHalfEven(double value);

// CInt: rounded half to even into -32768..32767, else run-time error 6 (Overflow).
short CInt(double value);
short CInt(const Variant& value);
// CLng: the same into the 32-bit range.
long CLng(double value);
long CLng(const Variant& value);
// CSng / CDbl: Empty is 0; a text must be a number (spaces around it allowed, "&H" hexadecimal),
// else run-time error 13 (Type mismatch).
float CSng(const Variant& value);
double CDbl(const Variant& value);

// Val: the number at the start of a text (spaces skipped, "&H"/"&O" prefixes), 0 when there is
// none.
double Val(const std::string& text);

// Format(n, "00"): the whole number with at least `digits` digits.
std::string FormatDigits(long value, int digits);
// Str-like decimal text of a whole number, without a leading space.
std::string CStrInt(long value);

long Len(const std::string& s);
std::string Left(const std::string& s, long n);
std::string Right(const std::string& s, long n);
// Mid(s, start, length): length < 0 means to the end. start < 1 raises error 5.
std::string Mid(const std::string& s, long start, long length = -1);
// InStr(start, s, find): position of find in s at or after start, 0 when absent.
long InStr(long start, const std::string& s, const std::string& find);
long InStr(const std::string& s, const std::string& find);
// InStrRev: position of the last find in s, 0 when absent.
long InStrRev(const std::string& s, const std::string& find);
std::string UCase(const std::string& s);
std::string LCase(const std::string& s);

}  // namespace vb
