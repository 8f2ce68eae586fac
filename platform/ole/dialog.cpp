#include "platform/ole/dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/base/report.h"
#include "platform/com/resources.h"
#include "platform/ole/module.h"
#include "platform/win/window.h"

using platform::win::HandleOf;
using platform::win::WidgetOf;

namespace {

bool Headless() {
    const char* mode = std::getenv("KESTO_DIALOGS");
    if (mode && std::strcmp(mode, "log") == 0) return true;
    return qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr;
}

std::mutex g_presenterMutex;
platform::ole::MessageBoxPresenter g_presenter;

// What a control's widget carries besides its Qt state: its kind and its list's sorting.
constexpr const char* kKindProperty = "kesto.kind";
constexpr const char* kSortedProperty = "kesto.sorted";

QWidget* Item(HWND hDlg, int id) {
    QWidget* dialog = WidgetOf(hDlg);
    if (!dialog) return nullptr;
    return dialog->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

std::string KindOf(const QWidget* w) {
    return w ? w->property(kKindProperty).toString().toStdString() : std::string();
}

LRESULT CopyText(const QString& text, LPSTR buffer, int cchMax) {
    if (!buffer || cchMax <= 0) return 0;
    QByteArray bytes = text.toUtf8();
    int n = std::min<int>(static_cast<int>(bytes.size()), cchMax - 1);
    std::memcpy(buffer, bytes.constData(), static_cast<std::size_t>(n));
    buffer[n] = 0;
    return n;
}

// The index at which a sorted list puts a new entry: before the first entry that sorts after it.
int SortedIndex(const QComboBox* combo, const QString& text) {
    for (int i = 0; i < combo->count(); ++i) {
        if (QString::compare(combo->itemText(i), text, Qt::CaseInsensitive) > 0) return i;
    }
    return combo->count();
}

LRESULT ComboMessage(QComboBox* combo, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case CB_ADDSTRING: {
            QString text = QString::fromUtf8(reinterpret_cast<LPCSTR>(lParam));
            int at = combo->property(kSortedProperty).toBool() ? SortedIndex(combo, text)
                                                               : combo->count();
            combo->insertItem(at, text);
            return at;
        }
        case CB_INSERTSTRING: {
            int at = static_cast<int>(static_cast<LONG_PTR>(wParam));
            if (at == -1) at = combo->count();
            if (at < 0 || at > combo->count()) return CB_ERR;
            combo->insertItem(at, QString::fromUtf8(reinterpret_cast<LPCSTR>(lParam)));
            return at;
        }
        case CB_GETCOUNT:
            return combo->count();
        case CB_GETCURSEL:
            return combo->currentIndex();
        case CB_SETCURSEL: {
            int at = static_cast<int>(static_cast<LONG_PTR>(wParam));
            if (at < 0 || at >= combo->count()) {
                combo->setCurrentIndex(-1);
                return CB_ERR;
            }
            combo->setCurrentIndex(at);
            return at;
        }
        case CB_GETLBTEXTLEN:
        case CB_GETLBTEXT: {
            int at = static_cast<int>(static_cast<LONG_PTR>(wParam));
            if (at < 0 || at >= combo->count()) return CB_ERR;
            QByteArray bytes = combo->itemText(at).toUtf8();
            if (msg == CB_GETLBTEXTLEN) return bytes.size();
            auto* buffer = reinterpret_cast<LPSTR>(lParam);
            if (!buffer) return CB_ERR;
            std::memcpy(buffer, bytes.constData(), static_cast<std::size_t>(bytes.size()) + 1);
            return bytes.size();
        }
        case CB_RESETCONTENT:
            combo->clear();
            return 0;
        case WM_GETTEXT:
            return CopyText(combo->currentText(), reinterpret_cast<LPSTR>(lParam),
                            static_cast<int>(wParam));
        default:
            return 0;
    }
}

// The dialog font here is wider than the one the templates were laid out for: a text that does not
// fit its control is drawn a little smaller (down to 6 points) rather than cut.
void FitText(QWidget* w, const QString& text, int width) {
    QFont font = w->font();
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(text) > width) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    w->setFont(font);
}

}  // namespace

int DialogUnitsToPixelsX(int du) {
    return du * 3 / 2;
}
int DialogUnitsToPixelsY(int du) {
    return du * 13 / 8;
}

// ---- the dialog's window ----

struct CDialog::Window {
    QPointer<QWidget> widget;  // the dialog (a QDialog when modal)
    bool modal = false;
    bool owned = false;  // made by Create: DestroyWindow deletes it
};

CDialog::CDialog(const DialogTemplate& dialogTemplate, HWND hWndParent)
    : m_pTemplate(&dialogTemplate), m_hWndParent(hWndParent), m_hInstance(AfxGetResourceHandle()) {}

CDialog::~CDialog() {
    DestroyWindow();
}

void CDialog::Build(Window& window, bool modal) {
    QWidget* dialog = window.widget;
    QFont font(QString::fromStdString(m_pTemplate->fontName));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(m_pTemplate->fontSize);
    dialog->setFont(font);
    dialog->setFixedSize(DialogUnitsToPixelsX(m_pTemplate->cx),
                         DialogUnitsToPixelsY(m_pTemplate->cy));
    m_hWnd = HandleOf(dialog);
    for (const auto& item : m_pTemplate->items) {
        QRect at(DialogUnitsToPixelsX(item.x), DialogUnitsToPixelsY(item.y),
                 DialogUnitsToPixelsX(item.cx), DialogUnitsToPixelsY(item.cy));
        QString text = QString::fromStdString(item.text);
        QWidget* w = nullptr;
        const char* kind = "";
        int id = item.id;
        auto notify = [this, id](UINT code, QWidget* control) {
            OnCommand(MAKEWPARAM(static_cast<UINT>(id), code),
                      reinterpret_cast<LPARAM>(HandleOf(control)));
        };
        switch (item.kind) {
            case DialogItem::Static: {
                auto* label = new QLabel(text, dialog);
                label->setAlignment(((item.style & SS_RIGHT) ? Qt::AlignRight : Qt::AlignLeft) |
                                    Qt::AlignTop);
                FitText(label, text, at.width());
                w = label;
                kind = "static";
                break;
            }
            case DialogItem::Icon: {
                auto* label = new QLabel(dialog);
                QPixmap pixmap;
                if (text.startsWith('#')) {
                    auto bytes =
                        platform::com::ReadModuleResource(m_hInstance, "ICON", text.mid(1).toInt());
                    if (bytes) {
                        pixmap.loadFromData(reinterpret_cast<const uchar*>(bytes->data()),
                                            static_cast<uint>(bytes->size()));
                    }
                } else {
                    pixmap = dialog->style()
                                 ->standardIcon(QStyle::SP_MessageBoxInformation)
                                 .pixmap(at.size());
                }
                label->setPixmap(pixmap);
                label->setAlignment(Qt::AlignCenter);
                if (item.style & SS_SUNKEN) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                w = label;
                kind = "icon";
                break;
            }
            case DialogItem::Edit: {
                auto* edit = new QLineEdit(dialog);
                edit->setFrame((item.style & WS_BORDER) != 0);
                QObject::connect(edit, &QLineEdit::textChanged, edit,
                                 [notify, edit] { notify(EN_CHANGE, edit); });
                w = edit;
                kind = "text";
                break;
            }
            case DialogItem::ComboBox: {
                auto* combo = new QComboBox(dialog);
                combo->setProperty(kSortedProperty, (item.style & CBS_SORT) != 0);
                for (const auto& entry : item.data) {
                    QByteArray bytes = QByteArray::fromStdString(entry);
                    ComboMessage(combo, CB_ADDSTRING, 0,
                                 reinterpret_cast<LPARAM>(bytes.constData()));
                }
                combo->setCurrentIndex(-1);
                // The dropped list shows what its height holds, one entry in eight units.
                combo->setMaxVisibleItems(std::max(1, (item.cy - 12) / 8));
                QObject::connect(combo, &QComboBox::activated, combo,
                                 [notify, combo] { notify(CBN_SELCHANGE, combo); });
                at.setHeight(DialogUnitsToPixelsY(13));
                w = combo;
                kind = "list";
                break;
            }
            case DialogItem::CheckBox: {
                auto* check = new QCheckBox(text, dialog);
                FitText(check, text,
                        at.width() - check->style()->pixelMetric(QStyle::PM_IndicatorWidth) -
                            check->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing));
                QObject::connect(check, &QCheckBox::clicked, check,
                                 [notify, check] { notify(BN_CLICKED, check); });
                w = check;
                kind = "check";
                break;
            }
            case DialogItem::Button:
            case DialogItem::DefaultButton: {
                auto* button = new QPushButton(text, dialog);
                button->setDefault(modal && item.kind == DialogItem::DefaultButton);
                button->setAutoDefault(modal);
                QObject::connect(button, &QPushButton::clicked, button,
                                 [notify, button] { notify(BN_CLICKED, button); });
                w = button;
                kind = "button";
                break;
            }
        }
        w->setObjectName(QString::number(item.id));
        w->setProperty(kKindProperty, QString::fromLatin1(kind));
        w->setGeometry(at);
    }
}

INT CDialog::DoModal() {
    if (Headless()) {
        std::string texts;
        for (const auto& item : m_pTemplate->items) {
            if (item.kind == DialogItem::Static) texts += (texts.empty() ? "" : " | ") + item.text;
        }
        platform::base::Report("Dialog", m_pTemplate->caption + ": " + texts);
        return IDOK;
    }
    QDialog dialog(m_hWndParent ? WidgetOf(m_hWndParent) : nullptr);
    dialog.setWindowTitle(QString::fromStdString(m_pTemplate->caption));
    m_window = std::make_unique<Window>();
    m_window->widget = &dialog;
    m_window->modal = true;
    Build(*m_window, true);
    OnInitDialog();
    int result = dialog.exec();
    m_window.reset();
    m_hWnd = nullptr;
    return result == QDialog::Rejected ? IDCANCEL : result;
}

BOOL CDialog::Create(HWND hWndParent) {
    if (Headless() || m_window) return FALSE;
    QWidget* parent = WidgetOf(hWndParent);
    if (hWndParent && !parent) return FALSE;
    m_window = std::make_unique<Window>();
    m_window->widget = new QWidget(parent);
    m_window->owned = true;
    m_window->widget->setVisible(false);
    Build(*m_window, false);
    OnInitDialog();
    if (m_pTemplate->style & WS_VISIBLE) m_window->widget->setVisible(true);
    return TRUE;
}

void CDialog::DestroyWindow() {
    if (!m_window) return;
    std::unique_ptr<Window> window = std::move(m_window);
    if (window->owned && window->widget) delete window->widget.data();
    m_hWnd = nullptr;
}

void CDialog::EndDialog(int nResult) {
    if (!m_window || !m_window->widget) return;
    if (auto* dialog = qobject_cast<QDialog*>(m_window->widget.data())) {
        dialog->done(nResult);
    } else {
        m_window->widget->hide();
    }
}

HWND CDialog::GetDlgItem(int nID) const {
    return ::GetDlgItem(m_hWnd, nID);
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
    // A modal dialog ends with the button pressed.
    if (m_window && m_window->modal && HIWORD(wParam) == BN_CLICKED &&
        platform::ole::DialogItemKind(m_hWnd, static_cast<int>(LOWORD(wParam))) == "button") {
        EndDialog(static_cast<int>(LOWORD(wParam)));
        return TRUE;
    }
    return FALSE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

// ---- data exchange ----

HWND CDataExchange::PrepareCtrl(int nIDC) {
    m_hWndLastControl = m_pDlgWnd->GetDlgItem(nIDC);
    return m_hWndLastControl;
}

void CDataExchange::Fail() {
    if (QWidget* w = WidgetOf(m_hWndLastControl)) {
        w->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
    }
    throw CUserException();
}

namespace {

// Whole numbers as the class library reads them: blanks, an optional sign, digits, blanks.
bool ParseWhole(const std::string& text, int* value) {
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t') ++p;
    const char* start = p;
    if (*p == '+' || *p == '-') ++p;
    if (*p < '0' || *p > '9') return false;
    while (*p >= '0' && *p <= '9') ++p;
    const char* end = p;
    while (*p == ' ' || *p == '\t') ++p;
    if (*p) return false;
    errno = 0;
    long long n = std::strtoll(std::string(start, end).c_str(), nullptr, 10);
    if (errno == ERANGE || n < INT_MIN || n > INT_MAX) return false;
    *value = static_cast<int>(n);
    return true;
}

std::string ItemText(HWND hDlg, int id) {
    QLineEdit* edit = qobject_cast<QLineEdit*>(Item(hDlg, id));
    return edit ? edit->text().toStdString() : std::string();
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
    HWND dlg = pDX->m_pDlgWnd->GetSafeHwnd();
    pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = ItemText(dlg, nIDC);
    } else {
        SetDlgItemTextA(dlg, nIDC, value.c_str());
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    HWND dlg = pDX->m_pDlgWnd->GetSafeHwnd();
    pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!ParseWhole(ItemText(dlg, nIDC), &value)) {
            AfxMessageBox(dlg, kParseIntMessage, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    } else {
        SetDlgItemTextA(dlg, nIDC, std::to_string(value).c_str());
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    HWND dlg = pDX->m_pDlgWnd->GetSafeHwnd();
    pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        index = static_cast<int>(SendDlgItemMessageA(dlg, nIDC, CB_GETCURSEL, 0, 0));
    } else {
        SendDlgItemMessageA(dlg, nIDC, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    HWND dlg = pDX->m_pDlgWnd->GetSafeHwnd();
    pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(SendDlgItemMessageA(dlg, nIDC, BM_GETCHECK, 0, 0));
    } else {
        SendDlgItemMessageA(dlg, nIDC, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

// ---- controls by handle ----

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    QWidget* w = Item(hDlg, nIDDlgItem);
    return w ? HandleOf(w) : nullptr;
}

BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
    return SendDlgItemMessageA(hDlg, nIDDlgItem, WM_SETTEXT, 0,
                               reinterpret_cast<LPARAM>(lpString ? lpString : "")) != 0;
}

UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
    return static_cast<UINT>(SendDlgItemMessageA(hDlg, nIDDlgItem, WM_GETTEXT,
                                                 static_cast<WPARAM>(std::max(cchMax, 0)),
                                                 reinterpret_cast<LPARAM>(lpString)));
}

LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
    QWidget* w = Item(hDlg, nIDDlgItem);
    if (!w) return 0;
    if (auto* combo = qobject_cast<QComboBox*>(w)) return ComboMessage(combo, Msg, wParam, lParam);
    auto* check = qobject_cast<QCheckBox*>(w);
    if (check && Msg == BM_GETCHECK) return check->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    if (check && Msg == BM_SETCHECK) {
        check->setChecked(wParam == BST_CHECKED);
        return 0;
    }
    auto* edit = qobject_cast<QLineEdit*>(w);
    auto* label = qobject_cast<QLabel*>(w);
    auto* button = qobject_cast<QAbstractButton*>(w);
    if (Msg == WM_SETTEXT) {
        QString text = QString::fromUtf8(reinterpret_cast<LPCSTR>(lParam));
        if (edit) {
            edit->setText(text);
        } else if (label) {
            label->setText(text);
        } else if (button) {
            button->setText(text);
        } else {
            return FALSE;
        }
        return TRUE;
    }
    if (Msg == WM_GETTEXT) {
        QString text = edit ? edit->text() : label ? label->text() : button ? button->text() : "";
        return CopyText(text, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
    }
    return 0;
}

// ---- message boxes ----

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
    QMessageBox box(hWndOwner ? WidgetOf(hWndOwner) : nullptr);
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

std::string DialogItemKind(HWND hDlg, int id) {
    return KindOf(Item(hDlg, id));
}

std::string DialogItemText(HWND hDlg, int id) {
    QWidget* w = Item(hDlg, id);
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText().toStdString();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
    return {};
}

std::vector<int> DialogItemIds(HWND hDlg) {
    std::vector<int> ids;
    QWidget* dialog = WidgetOf(hDlg);
    if (!dialog) return ids;
    for (QObject* child : dialog->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !KindOf(w).empty()) ids.push_back(w->objectName().toInt());
    }
    return ids;
}

bool UserSelect(HWND hDlg, int id, int index) {
    auto* combo = qobject_cast<QComboBox*>(Item(hDlg, id));
    if (!combo || index < 0 || index >= combo->count()) return false;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    return true;
}

bool UserClick(HWND hDlg, int id) {
    auto* button = qobject_cast<QAbstractButton*>(Item(hDlg, id));
    if (!button || !button->isEnabled()) return false;
    button->click();
    return true;
}

bool UserType(HWND hDlg, int id, const std::string& text) {
    auto* edit = qobject_cast<QLineEdit*>(Item(hDlg, id));
    if (!edit || edit->isReadOnly()) return false;
    edit->setText(QString::fromStdString(text));
    return true;
}

void DialogAnswers::Run(const std::function<void()>& action) {
    QTimer watcher;
    watcher.setInterval(10);
    QObject::connect(&watcher, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (onMessage) onMessage(box->windowTitle().toStdString(), box->text().toStdString());
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                ok->click();
            } else {
                box->reject();
            }
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            std::string answer;
            if (!files.empty()) {
                answer = files.front();
                files.pop_front();
            }
            if (onFileDialog) {
                onFileDialog(dialog->windowTitle().toStdString(),
                             answer.empty() ? "cancelled" : answer);
            }
            if (!answer.empty()) {
                // The dialog takes a selection into its name field only while the field is not
                // being typed into.
                if (QWidget* focus = dialog->focusWidget()) focus->clearFocus();
                dialog->selectFile(QString::fromStdString(answer));
                static_cast<QDialog*>(dialog)->accept();
            }
            // A file the dialog does not take (it is not there) cancels it too.
            if (dialog->isVisible()) dialog->reject();
        }
    });
    watcher.start();
    action();
}

}  // namespace platform::ole
