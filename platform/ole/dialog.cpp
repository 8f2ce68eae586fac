#include "platform/ole/dialog.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/base/report.h"
#include "platform/win/window.h"

namespace {

bool Headless() {
    const char* mode = std::getenv("KESTO_DIALOGS");
    if (mode && std::strcmp(mode, "log") == 0) return true;
    return QApplication::instance() == nullptr ||
           qobject_cast<QApplication*>(QApplication::instance()) == nullptr;
}

std::mutex g_presenterMutex;
platform::ole::MessageBoxPresenter g_presenter;

// Dialog units to pixels for the dialogs' 8-point font.
int UnitX(int du) {
    return du * 3 / 2;
}
int UnitY(int du) {
    return du * 13 / 8;
}

}  // namespace

CDialog::CDialog(const DialogTemplate& dialogTemplate, HWND hWndParent)
    : m_template(dialogTemplate), m_hWndParent(hWndParent) {}

INT CDialog::DoModal() {
    if (Headless()) {
        std::string texts;
        for (const auto& item : m_template.items) {
            if (item.kind == DialogItem::Static) texts += (texts.empty() ? "" : " | ") + item.text;
        }
        platform::base::Report("Dialog", m_template.caption + ": " + texts);
        return IDOK;
    }
    QDialog dialog(m_hWndParent ? platform::win::WidgetOf(m_hWndParent) : nullptr);
    dialog.setWindowTitle(QString::fromStdString(m_template.caption));
    dialog.setFixedSize(UnitX(m_template.cx), UnitY(m_template.cy));
    for (const auto& item : m_template.items) {
        QRect at(UnitX(item.x), UnitY(item.y), UnitX(item.cx), UnitY(item.cy));
        QWidget* w = nullptr;
        switch (item.kind) {
            case DialogItem::Static:
                w = new QLabel(QString::fromStdString(item.text), &dialog);
                break;
            case DialogItem::Icon: {
                auto* label = new QLabel(&dialog);
                label->setPixmap(dialog.style()
                                     ->standardIcon(QStyle::SP_MessageBoxInformation)
                                     .pixmap(at.size()));
                w = label;
                break;
            }
            case DialogItem::Button:
            case DialogItem::DefaultButton: {
                auto* button = new QPushButton(QString::fromStdString(item.text), &dialog);
                button->setDefault(item.kind == DialogItem::DefaultButton);
                int id = item.id;
                QObject::connect(button, &QPushButton::clicked, &dialog,
                                 [&dialog, id] { dialog.done(id); });
                w = button;
                break;
            }
        }
        w->setObjectName(QString::number(item.id));
        w->setGeometry(at);
    }
    int result = dialog.exec();
    return result == QDialog::Rejected ? IDCANCEL : result;
}

int AfxMessageBox(HWND hWndOwner, const std::string& text, const std::string& caption, UINT nType) {
    platform::ole::MessageBoxPresenter presenter;
    {
        std::lock_guard lock(g_presenterMutex);
        presenter = g_presenter;
    }
    if (presenter) return presenter(hWndOwner, text, caption, nType);
    if (Headless()) {
        char area[32];
        std::snprintf(area, sizeof area, "MessageBox 0x%02X", nType);
        platform::base::Report(area, caption + ": " + text);
        return IDOK;
    }
    QMessageBox box(hWndOwner ? platform::win::WidgetOf(hWndOwner) : nullptr);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (nType & 0xF0) {
        case MB_ICONHAND:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONEXCLAMATION:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONASTERISK:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    if ((nType & 0xF) == MB_OKCANCEL) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Cancel ? IDCANCEL : IDOK;
}

namespace platform::ole {

void SetMessageBoxPresenter(MessageBoxPresenter presenter) {
    std::lock_guard lock(g_presenterMutex);
    g_presenter = std::move(presenter);
}

}  // namespace platform::ole
