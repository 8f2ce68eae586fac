#include "player/Module2.h"

#include <iterator>

#include "platform/files/files.h"
#include "platform/win/shell.h"

namespace {

constexpr AssociationRow kTable[] = {
    {".mp3", "Kesto Player MP3 file"},   {".wav", "Kesto Player Wav file"},
    {".wma", "Kesto Player WMA file"},   {".mid", "Kesto Player Mid file"},
    {".midi", "Kesto Player MIDI file"}, {".dat", "Kesto Player DAT file"},
    {".kwo", "Kesto Player PlayList"},   {".avi", "Kesto Player AVI file"},
};

}  // namespace

const AssociationRow* AssociationTable(int n) {
    if (n < 1 || n > static_cast<int>(std::size(kTable))) return nullptr;
    return &kTable[n - 1];
}

short AssociationRowOf(const std::string& type) {
    for (short n = 1; n <= static_cast<short>(std::size(kTable)); ++n) {
        if (platform::files::SameName(kTable[n - 1].ext + 1, type)) return n;
    }
    return 0;
}

void RegisterFileType(short n, const std::string& appPath, const std::string& exeName) {
    if (const AssociationRow* row = AssociationTable(n)) {
        CreateAssociation(row->ext, row->description, appPath, exeName);
    }
}

void CreateAssociation(const std::string& ext, const std::string& description,
                       const std::string& appPath, const std::string& exeName) {
    const std::string cls = exeName + ext;
    const std::string open =
        appPath + (!appPath.empty() && appPath.back() == '/' ? "" : "/") + exeName + " %1";
    SaveRegString(HKEY_CLASSES_ROOT, ext, "", cls);
    SaveRegString(HKEY_CLASSES_ROOT, ext + "\\ShellNew", "", "");
    SaveRegString(HKEY_CLASSES_ROOT, ".lst\\ShellNew", "NullFile", "");
    SaveRegString(HKEY_CLASSES_ROOT, cls, "", description);
    SaveRegString(HKEY_CLASSES_ROOT, cls + "\\Shell\\Open\\command", "", open);
    SaveRegString(HKEY_CLASSES_ROOT, cls + "\\DefaultIcon", "", appPath + "/" + exeName + ",0");
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void SaveRegString(HKEY root, const std::string& key, const std::string& valueName,
                   const std::string& data) {
    HKEY h = nullptr;
    if (RegCreateKeyA(root, key.c_str(), &h) != ERROR_SUCCESS) return;
    RegSetValueExA(h, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    // The key is closed also when the value could not be written, so no handle is left open.
    RegCloseKey(h);
}
