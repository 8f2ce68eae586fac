// A registry kept in one human-readable file, with the registry functions' rules.
//
// The store is $KESTO_REGISTRY when set, else $XDG_CONFIG_HOME/kesto/registry.reg (with
// ~/.config for an unset XDG_CONFIG_HOME). Every call locks the store (a lock file beside it),
// reads it, changes it and replaces it as a whole, so two processes may write at once and a reader
// never sees a torn store; the store parsed last is used again while its file stays the same. A
// store that cannot be read is reported on stderr with the line that is wrong (once for each
// reason), every call on it fails with ERROR_BADDB, and it is never overwritten. Keys lie at most
// 512 levels below their root.
//
// Key and value names match without regard to case and keep the spelling they were created with;
// the empty (or null) value name is the key's default value.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/base/error.h"
#include "platform/base/wintypes.h"

struct HKEY__ {
    int unused;
};
using HKEY = HKEY__*;
using PHKEY = HKEY*;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u)))

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_WRITE_FAULT = 29;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
inline constexpr LONG ERROR_BADDB = 1009;
inline constexpr LONG ERROR_KEY_DELETED = 1018;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

// Opens the key, creating every missing key of the path.
LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult);
// Opens an existing key (ERROR_FILE_NOT_FOUND when it does not exist).
LONG RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult);
LONG RegCloseKey(HKEY hKey);
// Stores cbData bytes of lpData as the value, with the type given.
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData);
// Reads a value: its type into *lpType, its bytes into lpData and their count into *lpcbData. With
// a null lpData only the size is returned; a buffer too small gives ERROR_MORE_DATA and the size.
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData);
// The name of subkey number dwIndex (sorted without regard to case); ERROR_NO_MORE_ITEMS past the
// end.
LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName);
LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED when it has some).
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
// Deletes a key with everything below it.
LONG RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey);

namespace platform::registry {

// The path of the store file in use.
std::string StorePath();

// Reads a REG_SZ value (without its terminating NUL) of a key given by root and path.
std::optional<std::string> ReadString(HKEY root, const std::string& subKey,
                                      const std::string& valueName);
// Writes a REG_SZ value (with a terminating NUL), creating the key.
LONG WriteString(HKEY root, const std::string& subKey, const std::string& valueName,
                 const std::string& value);

// The text a store file holds, read and written again as a save of it writes it; nothing, with the
// reason ("line 3: ...") in *why, when it cannot be read.
std::optional<std::string> ReformatStore(std::string_view text, std::string* why = nullptr);

// Write-behind (off unless turned on): a change is written whole beside the store at once and put
// in place (flushed to disk, renamed over the store) by a worker thread, so the call does not
// wait for the disk. Until then this process holds the store's lock, other processes wait for it,
// and the store file stays the previous one, complete; a crash before the rename loses the change,
// never the store. A change that cannot be written is refused at once (ERROR_WRITE_FAULT); one that
// cannot be put in place is reported on stderr and the store keeps what it held. Flush waits
// until every change is in place; turning write-behind off and the program's end (exit, vb::End)
// flush.
void SetWriteBehind(bool on);
void Flush();

// Raised by SaveSetting when the store cannot be written.
class RegistryError : public platform::base::Error {
public:
    RegistryError(LONG code, const std::string& what) : platform::base::Error(what), code_(code) {}
    LONG code() const { return code_; }

private:
    LONG code_;
};

}  // namespace platform::registry

// The form run-time's per-user program settings, under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>.
std::string GetSetting(const std::string& application, const std::string& section,
                       const std::string& key, const std::string& defaultValue = "");
// Raises platform::registry::RegistryError when the setting cannot be stored.
void SaveSetting(const std::string& application, const std::string& section, const std::string& key,
                 const std::string& value);
