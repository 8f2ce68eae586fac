#include "player/ModINI.h"

#include "platform/profile/profile.h"

vb::Variant ReadINI(const std::string& Section, const std::string& Key, const vb::Variant& Default,
                    const std::string& File) {
    if (vb::Trim(File).empty()) return vb::Variant();
    std::string buffer(255, '\0');
    DWORD n = GetPrivateProfileStringA(Section.c_str(), Key.c_str(), "NO_TA", buffer.data(), 255,
                                       File.c_str());
    std::string value = buffer.substr(0, n);
    if (value == "NO_TA") return vb::Trim(vb::CStr(Default));
    return vb::Trim(value);
}

void WriteINI(const std::string& Section, const std::string& Key, const vb::Variant& Value,
              const std::string& File) {
    WritePrivateProfileStringA(Section.c_str(), Key.c_str(), vb::CStr(Value).c_str(), File.c_str());
}
