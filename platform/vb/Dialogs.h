// MsgBox and InputBox, and the script that answers the program's dialogs in tests.
//
// While a DialogScript is active, no dialog is shown: each MsgBox, InputBox, open-file dialog
// and pop-up menu is recorded and answered from the script's queue (an empty queue gives the
// dialog's Cancel: vbCancel or vbOK for a box with OK only, "" for InputBox, Cancel for the file
// dialog, nothing chosen for a menu).
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vb {

enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

int MsgBox(const std::string& prompt, int buttons = vbOKOnly, const std::string& title = {});
// The typed text, or "" when the user cancels.
std::string InputBox(const std::string& prompt, const std::string& title = {},
                     const std::string& defaultText = {});

struct DialogRecord {
    std::string kind;  // "MsgBox", "InputBox", "ShowOpen", "PopupMenu"
    std::string prompt;
    std::string title;
    int buttons = 0;
};

class DialogScript {
public:
    DialogScript();  // becomes the active script
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // Queues answers, consumed in order by the dialogs of their kind.
    void AnswerMsgBox(int result) { msgbox_.push_back(result); }
    void AnswerInputBox(std::string text) { input_.push_back(std::move(text)); }
    // Files chosen in the open dialog (full paths); an empty list is Cancel.
    void AnswerShowOpen(std::vector<std::string> files) { open_.push_back(std::move(files)); }
    // The name of the menu item picked from the next pop-up menu; "" picks nothing.
    void AnswerPopupMenu(std::string item) { popup_.push_back(std::move(item)); }

    const std::vector<DialogRecord>& Log() const { return log_; }
    // Called with each dialog as it opens, before it is answered (the state of the program while
    // the dialog is up).
    void OnDialog(std::function<void(const DialogRecord&)> watcher) {
        watcher_ = std::move(watcher);
    }

    static DialogScript* Active();

    // Used by the dialogs.
    void Record(DialogRecord r) {
        log_.push_back(std::move(r));
        if (watcher_) watcher_(log_.back());
    }
    std::optional<int> NextMsgBox();
    std::optional<std::string> NextInputBox();
    std::optional<std::vector<std::string>> NextShowOpen();
    std::optional<std::string> NextPopupMenu();

private:
    DialogScript* previous_;
    std::deque<int> msgbox_;
    std::deque<std::string> input_;
    std::deque<std::vector<std::string>> open_;
    std::deque<std::string> popup_;
    std::vector<DialogRecord> log_;
    std::function<void(const DialogRecord&)> watcher_;
};

}  // namespace vb
