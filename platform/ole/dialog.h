// Dialogs built from a template, as the class library shows them: modal dialogs (DoModal), child
// dialogs placed inside another window (Create: the property pages), their controls addressed by
// id, the notices the controls send to their dialog (OnCommand), the data exchange between the
// controls and a dialog's members (DDX_...), and message boxes.
//
// The controls are Qt widgets, each named by its id (objectName), so that any module of the
// process reaches them through the dialog's window handle: static texts and icons (QLabel), edit
// boxes (QLineEdit), drop-down lists (QComboBox), check boxes (QCheckBox) and push buttons
// (QPushButton). A list with CBS_SORT keeps the entries added with CB_ADDSTRING in order without
// regard to case; CB_INSERTSTRING puts an entry at the index given, sorted or not.
//
// Notices (OnCommand with MAKEWPARAM(id, code) and the control's handle): EN_CHANGE whenever an
// edit box's text changes (also when the program sets it, as on the original platform),
// CBN_SELCHANGE when the user picks a list entry, BN_CLICKED when the user clicks a button or a
// check box. Setting a list's selection or a check box's state from the program (CB_SETCURSEL,
// BM_SETCHECK) sends none. The UserSelect, UserClick and UserType functions work a control as the
// user does, with the notices the user's action sends (scripts and tests).
//
// Dialogs and message boxes need the application object of the window system (a QApplication).
// Without one, or when the environment variable KESTO_DIALOGS is "log" (headless runs and tests),
// nothing is shown: a line describing the dialog goes to standard error ("MessageBox <style>:
// <caption>: <text>" or "Dialog: <caption>: <texts>") and the dialog answers as if its default
// button (IDOK) was pressed; a child dialog cannot be created then (Create returns FALSE).
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/wintypes.h"
#include "platform/win/messages.h"
#include "platform/win/paint.h"

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONASTERISK = 0x40;

// Window and control styles of a template.
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD SS_RIGHT = 0x0002;
inline constexpr DWORD SS_SUNKEN = 0x1000;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;
inline constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
inline constexpr DWORD CBS_SORT = 0x0100;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x0003;

// Messages to the controls.
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT CB_ADDSTRING = 0x0143;
inline constexpr UINT CB_GETCOUNT = 0x0146;
inline constexpr UINT CB_GETCURSEL = 0x0147;
inline constexpr UINT CB_GETLBTEXT = 0x0148;
inline constexpr UINT CB_GETLBTEXTLEN = 0x0149;
inline constexpr UINT CB_INSERTSTRING = 0x014A;
inline constexpr UINT CB_RESETCONTENT = 0x014B;
inline constexpr UINT CB_SETCURSEL = 0x014E;
inline constexpr LRESULT CB_ERR = -1;
inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr WPARAM BST_UNCHECKED = 0;
inline constexpr WPARAM BST_CHECKED = 1;

// Notice codes.
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT CBN_SELCHANGE = 1;
inline constexpr UINT EN_CHANGE = 0x0300;

constexpr WPARAM MAKEWPARAM(UINT low, UINT high) {
    return static_cast<WPARAM>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}

// One control of a dialog template; positions and sizes in dialog units (for a list, the height
// is that of the dropped list).
struct DialogItem {
    enum Kind { Static, Button, DefaultButton, Icon, Edit, ComboBox, CheckBox } kind;
    int id;
    // The text: a static's or a button's text; for an icon, "#<n>" names icon resource n of the
    // dialog's module (the standard information icon when empty).
    std::string text;
    int x, y, cx, cy;
    DWORD style = 0;
    std::vector<std::string> data = {};  // a list's initial entries, added in order
};

struct DialogTemplate {
    std::string caption;
    int cx, cy;  // dialog units
    std::vector<DialogItem> items;
    DWORD style = 0;  // WS_CHILD: a child dialog; WS_VISIBLE: shown as soon as it is created
    std::string fontName = "MS Sans Serif";
    int fontSize = 8;
};

// Dialog units to pixels, for the dialogs' 8-point font.
int DialogUnitsToPixelsX(int du);
int DialogUnitsToPixelsY(int du);

class CDataExchange;

// A dialog of a template. DoModal shows it until one of its buttons is pressed and returns that
// button's id (IDCANCEL when it is closed otherwise); Create makes it a child window of another
// window, where it stays until DestroyWindow (or the dialog's end).
class CDialog {
public:
    explicit CDialog(const DialogTemplate& dialogTemplate, HWND hWndParent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    virtual INT DoModal();
    BOOL Create(HWND hWndParent);
    void DestroyWindow();
    void EndDialog(int nResult);

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int nID) const;
    const DialogTemplate& GetTemplate() const { return *m_pTemplate; }
    // Runs DoDataExchange: loads the controls from the members (FALSE) or the members from the
    // controls (TRUE). FALSE when an exchange failed (DDX or DDP reported it already).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    // After the controls are made; TRUE lets the dialog give the focus to its first control.
    virtual BOOL OnInitDialog();
    // A control's notice; TRUE when it was handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void DoDataExchange(CDataExchange* pDX);

    HWND m_hWnd = nullptr;

private:
    struct Window;
    void Build(Window& window, bool modal);

    const DialogTemplate* m_pTemplate;
    HWND m_hWndParent;
    HINSTANCE m_hInstance;  // the module whose resources the template names
    std::unique_ptr<Window> m_window;
};

// The exchange between a dialog's controls and its members, one DoDataExchange at a time.
class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    // The control about to be exchanged (the one Fail gives the focus to).
    HWND PrepareCtrl(int nIDC);
    // Ends the exchange: the last prepared control takes the focus and UpdateData returns FALSE.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;

private:
    HWND m_hWndLastControl = nullptr;
};

// What Fail throws; UpdateData catches it.
struct CUserException {};

// The message of a number field that does not hold a whole number.
inline constexpr const char* kParseIntMessage = "Please enter an integer.";

// An edit box's text.
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
// A whole number in an edit box: saving accepts an optional sign and decimal digits with blanks
// around them that fit an int; anything else shows kParseIntMessage and fails the exchange.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
// A list's selected index (-1: none).
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
// A check box's state (0 or 1).
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);

// The controls of a dialog by handle, from any module of the process.
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString);
// Copies at most cchMax - 1 characters and a zero; returns the number copied.
UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax);
// WM_SETTEXT / WM_GETTEXT, the CB_ messages of a list, BM_GETCHECK / BM_SETCHECK of a check box.
LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam);

// A message box with the text and caption; returns the button pressed (IDOK, IDCANCEL).
int AfxMessageBox(HWND hWndOwner, const std::string& text, const std::string& caption, UINT nType);

namespace platform::ole {

// Replaces how message boxes are shown (tests); an empty function restores the default.
using MessageBoxPresenter =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT)>;
void SetMessageBoxPresenter(MessageBoxPresenter presenter);

// A dialog's text of a control (an edit box's text, a list's selected entry, "" otherwise) and its
// kind: "text", "list", "check", "button", "static", "icon", or "" when there is no such control.
std::string DialogItemKind(HWND hDlg, int id);
std::string DialogItemText(HWND hDlg, int id);
// The ids of a dialog's controls in the order of its template.
std::vector<int> DialogItemIds(HWND hDlg);

// The user's own actions on a dialog's controls; false when the control is not of that kind or
// the index is not an entry. UserSelect picks list entry `index`; UserClick clicks a button or a
// check box; UserType replaces an edit box's text.
bool UserSelect(HWND hDlg, int id, int index);
bool UserClick(HWND hDlg, int id);
bool UserType(HWND hDlg, int id, const std::string& text);

// Answers the modal dialogs of the window system that code shows while Run runs it, in this or
// any other module of the process (scripts and tests): a message box is reported and closed with
// OK; an open-file dialog takes the next of `files` (a path, or "" for Cancel; Cancel when none is
// left) and is reported with the answer ("cancelled" for Cancel).
class DialogAnswers {
public:
    std::deque<std::string> files;
    std::function<void(const std::string& caption, const std::string& text)> onMessage;
    std::function<void(const std::string& title, const std::string& answer)> onFileDialog;

    void Run(const std::function<void()>& action);
};

}  // namespace platform::ole
