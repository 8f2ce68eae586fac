#include "platform/vb/Dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include "platform/vb/App.h"

namespace vb {

namespace {
DialogScript* g_active = nullptr;

template <class T>
std::optional<T> Pop(std::deque<T>& q) {
    if (q.empty()) return std::nullopt;
    T v = std::move(q.front());
    q.pop_front();
    return v;
}

QString Q(const std::string& s) {
    return QString::fromUtf8(s.c_str());
}
}  // namespace

DialogScript::DialogScript() : previous_(g_active) {
    g_active = this;
}
DialogScript::~DialogScript() {
    g_active = previous_;
}
DialogScript* DialogScript::Active() {
    return g_active;
}
std::optional<int> DialogScript::NextMsgBox() {
    return Pop(msgbox_);
}
std::optional<std::string> DialogScript::NextInputBox() {
    return Pop(input_);
}
std::optional<std::vector<std::string>> DialogScript::NextShowOpen() {
    return Pop(open_);
}
std::optional<std::string> DialogScript::NextPopupMenu() {
    return Pop(popup_);
}

int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    std::string caption = title.empty() ? App::Title() : title;
    int kind = buttons & 7;
    if (DialogScript* s = DialogScript::Active()) {
        s->Record({"MsgBox", prompt, caption, buttons});
        if (auto a = s->NextMsgBox()) return *a;
        return kind == vbOKOnly ? vbOK : kind == vbYesNo ? vbNo : vbCancel;
    }
    QMessageBox box;
    box.setWindowTitle(Q(caption));
    box.setText(Q(prompt));
    switch (buttons & 0x70) {
        case vbCritical:
            box.setIcon(QMessageBox::Critical);
            break;
        case vbQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case vbExclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case vbInformation:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    if (kind == vbOKCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    } else if (kind == vbYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    switch (box.exec()) {
        case QMessageBox::Ok:
            return vbOK;
        case QMessageBox::Yes:
            return vbYes;
        case QMessageBox::No:
            return vbNo;
        default:
            return kind == vbOKOnly ? vbOK : vbCancel;
    }
}

std::string InputBox(const std::string& prompt, const std::string& title,
                     const std::string& defaultText) {
    std::string caption = title.empty() ? App::Title() : title;
    if (DialogScript* s = DialogScript::Active()) {
        s->Record({"InputBox", prompt, caption, 0});
        return s->NextInputBox().value_or(std::string());
    }
    bool ok = false;
    QString text = QInputDialog::getText(nullptr, Q(caption), Q(prompt), QLineEdit::Normal,
                                         Q(defaultText), &ok);
    return ok ? text.toUtf8().toStdString() : std::string();
}

}  // namespace vb
