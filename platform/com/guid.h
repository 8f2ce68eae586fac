// GUIDs in their registry form "{43D45806-ED84-11D0-901E-0020AF7543C2}".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/com/types.h"

// Writes the registry form (38 characters and a terminating zero) into lpsz; returns the number of
// characters written including the zero, or 0 when cchMax is too small.
int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);
// The registry form in a new task-memory string (free it with CoTaskMemFree).
HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz);
HRESULT StringFromIID(REFIID rclsid, LPOLESTR* lplpsz);
// Parses the registry form (braces required, hex digits of either case). CLSIDFromString also
// accepts a ProgID and looks it up (CLSIDFromProgID). CO_E_CLASSSTRING when the text is neither.
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
HRESULT IIDFromString(LPCOLESTR lpsz, LPGUID lpiid);

namespace platform::com {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::string GuidToString(REFGUID guid);
// The registry form, braces optional; nothing when the text is not a GUID.
std::optional<GUID> ParseGuid(std::string_view text);

}  // namespace platform::com
