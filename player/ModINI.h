// ModINI: one reader and one writer of a key in a section of an INI file.
#pragma once

#include <string>

#include "platform/vb/Variant.h"

// The value of Key in Section of File, trimmed; Default (trimmed) when the file, the section or the
// key is missing. Empty when File is blank. Values are cut to 254 characters.
vb::Variant ReadINI(const std::string& Section, const std::string& Key, const vb::Variant& Default,
                    const std::string& File);

// Writes Value's text as Key of Section in File; a failure is not reported.
void WriteINI(const std::string& Section, const std::string& Key, const vb::Variant& Value,
              const std::string& File);
