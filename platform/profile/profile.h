// Reading and writing INI files with the profile functions' rules.
//
// Section and key names match without regard to case; the first matching section and the first
// matching key win; spaces around names and values are dropped; a value enclosed in matching quotes
// loses them; a missing file, section or key gives the default. Lines may end in CR LF, LF or CR.
// Writing keeps every other line as it was, writes CR LF lines and replaces the file as a whole.
// Text is bytes as given. A file is read and parsed once while it stays the same file (device,
// inode, size, modification and change time); any change to it is seen at the next read.
#pragma once

#include <time.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/wintypes.h"

// Copies the value of `lpKeyName` in section `lpAppName` of `lpFileName` (or lpDefault, trailing
// blanks removed) into lpReturnedString, cut to nSize - 1 characters and NUL-terminated; returns
// the number of characters copied. A null lpKeyName lists the section's keys, a null lpAppName the
// file's sections, each NUL-terminated with one more NUL at the end (cut lists return nSize - 2).
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                               LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName);

// Sets key `lpKeyName` of section `lpAppName` to lpString, creating the file, the section or the
// key as needed. A null lpString removes the key, a null lpKeyName the whole section. Returns FALSE
// when the file cannot be written (missing folder, read-only file).
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                LPCSTR lpFileName);

namespace platform::profile {

// The rules above on the text of an INI file, without the file (the functions above read and
// replace the file around these).
// The value of `key` in `section`, or nothing when either is missing.
std::optional<std::string> ReadValue(std::string_view text, std::string_view section,
                                     std::string_view key);
// The names of the sections, or of the keys of the first section named `section`.
std::vector<std::string> SectionNames(std::string_view text);
std::vector<std::string> KeyNames(std::string_view text, std::string_view section);
// The text after WritePrivateProfileStringA(section, key, value): a null value removes the key, a
// null key the whole section. Lines are written with CR LF.
std::string WriteValue(std::string_view text, std::string_view section, const char* key,
                       const char* value);

// For tests of the files kept: the clock that tells whether a file changed too recently to be
// kept (null: the system's), and how many times a file has been read from disk.
void SetCacheClockForTest(timespec (*now)());
size_t FileReadsForTest();

}  // namespace platform::profile
