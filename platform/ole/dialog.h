// Modal dialogs built from a template, and message boxes, as the class library shows them.
//
// Both need the application object of the window system (a QApplication). Without one, or when
// the environment variable KESTO_DIALOGS is "log" (headless runs and tests), nothing is shown: a
// line describing the dialog goes to standard error ("MessageBox <style>: <caption>: <text>" or
// "Dialog: <caption>: <texts>") and the dialog answers as if its default button (IDOK) was
// pressed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/base/wintypes.h"

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONASTERISK = 0x40;

// One control of a dialog template; positions and sizes in dialog units.
struct DialogItem {
    enum Kind { Static, Button, DefaultButton, Icon } kind;
    int id;
    std::string text;
    int x, y, cx, cy;
};

struct DialogTemplate {
    std::string caption;
    int cx, cy;  // dialog units
    std::vector<DialogItem> items;
};

// A modal dialog: DoModal shows it until one of its buttons is pressed and returns that button's
// id (IDCANCEL when it is closed otherwise).
class CDialog {
public:
    explicit CDialog(const DialogTemplate& dialogTemplate, HWND hWndParent = nullptr);
    virtual ~CDialog() = default;
    virtual INT DoModal();

private:
    const DialogTemplate& m_template;
    HWND m_hWndParent;
};

// A message box with the text and caption; returns the button pressed (IDOK, IDCANCEL).
int AfxMessageBox(HWND hWndOwner, const std::string& text, const std::string& caption, UINT nType);

namespace platform::ole {

// Replaces how message boxes are shown (tests); an empty function restores the default.
using MessageBoxPresenter =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT)>;
void SetMessageBoxPresenter(MessageBoxPresenter presenter);

}  // namespace platform::ole
