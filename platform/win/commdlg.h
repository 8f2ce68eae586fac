// The common open-file dialog (GetOpenFileNameA), shown as a Qt file dialog.
//
// The filter is pairs of zero-terminated texts (a description and its patterns, "*.hsp;*.txt")
// ended by an extra zero; patterns match file names without regard to letter case. Without the
// window system's application object (a QApplication), or when the environment variable
// KESTO_DIALOGS is "log", nothing is shown: "OpenFileName: <title>" goes to standard error and
// the dialog answers Cancel.
#pragma once

#include <string>

#include "platform/base/wintypes.h"

inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

struct OPENFILENAMEA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;  // 1 is the first pair
    LPSTR lpstrFile;     // in: the name shown at first; out: the full path
    DWORD nMaxFile;
    LPSTR lpstrFileTitle;  // out: the file's name without its folder
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    void* lpfnHook;
    LPCSTR lpTemplateName;
};

// TRUE when the user chose a file (its path and name are in the record's buffers); FALSE when
// the user cancelled or the path does not fit the buffer (CommDlgExtendedError tells which).
BOOL GetOpenFileNameA(OPENFILENAMEA* lpofn);
// 0 after a cancel, FNERR_BUFFERTOOSMALL when the path did not fit.
DWORD CommDlgExtendedError();

namespace platform::win {

// File patterns ("*.hsp; *.txt") as patterns of a file dialog that match without regard to letter
// case ("*.[hH][sS][pP] *.[tT][xX][tT]"); "*" for none.
std::string CaseInsensitiveFilePatterns(const std::string& patterns);

}  // namespace platform::win
