#include "platform/win/messages.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSocketNotifier>
#include <QWidget>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>

#include "platform/files/files.h"
#include "platform/win/handover.h"
#include "platform/win/internal.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"
#include "platform/win/windowpos.h"
#include "platform/win/winmsg.h"

namespace platform::win {

namespace {

bool SameText(const QString& a, const char* b) {
    return !b || QString::compare(a, QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}

bool HasClass(QWidget* w, const char* cls) {
    return !cls || WindowClass(w) == std::string(cls);
}

QString TextOf(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    return w->windowTitle();
}

void SetText(QWidget* w, const QString& text) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        // An edit box reports a change for every WM_SETTEXT, also when the text stays the same.
        if (e->text() == text) {
            Q_EMIT e->textChanged(text);
        } else {
            e->setText(text);
        }
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(text);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(text);
    } else {
        w->setWindowTitle(text);
    }
}

QListWidget* ListOf(QWidget* w) {
    return qobject_cast<QListWidget*>(w);
}

QWidget* FindLocal(const char* cls, const char* title) {
    if (!qApp) return nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->parentWidget() && HasClass(w, cls) && !WindowClass(w).empty() &&
            SameText(w->windowTitle(), title)) {
            return w;
        }
    }
    return nullptr;
}

QWidget* FindLocalChild(QWidget* parent, QWidget* after, const char* cls, const char* title) {
    bool passed = after == nullptr;
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow()) continue;
        if (!passed) {
            passed = w == after;
            continue;
        }
        if (HasClass(w, cls) && !WindowClass(w).empty() && SameText(TextOf(w), title)) return w;
    }
    return nullptr;
}

// ---- handles of windows in other processes ----

using handover::Packet;
using handover::RemoteWindow;

std::mutex g_remoteMutex;
std::map<std::uintptr_t, RemoteWindow> g_remote;
std::uintptr_t g_nextRemote = 0x7f000000;

HWND RemoteHandle(const RemoteWindow& window) {
    std::lock_guard lock(g_remoteMutex);
    for (const auto& [h, r] : g_remote) {
        if (r.server == window.server && r.handle == window.handle) {
            return reinterpret_cast<HWND>(h);
        }
    }
    std::uintptr_t h = g_nextRemote;
    g_nextRemote += 4;
    g_remote[h] = window;
    return reinterpret_cast<HWND>(h);
}

bool RemoteOf(HWND hwnd, RemoteWindow& out) {
    std::lock_guard lock(g_remoteMutex);
    auto it = g_remote.find(reinterpret_cast<std::uintptr_t>(hwnd));
    if (it == g_remote.end()) return false;
    out = it->second;
    return true;
}

// ---- the published server ----

const char* OrAny(const std::optional<std::string>& text) {
    return text ? text->c_str() : nullptr;
}

// A row as the list questions carry it: decimal, else row 0.
int RowOf(const std::optional<std::string>& text) {
    if (!text) return 0;
    std::string_view s = *text;
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    int row = 0;
    auto [end, ec] =
        std::from_chars(s.data() + (!s.empty() && s.front() == '+'), s.data() + s.size(), row);
    return ec == std::errc() && end == s.data() + s.size() && !s.empty() ? row : 0;
}

Packet Handle(const Packet& in) {
    Packet out;
    out.command = "ok";
    if (in.command == "find") {
        QWidget* w = FindLocal(OrAny(in.a), OrAny(in.b));
        out.handle = reinterpret_cast<quint64>(HandleOf(w));
    } else if (in.command == "child") {
        QWidget* parent = WidgetOf(reinterpret_cast<HWND>(in.handle));
        QWidget* after = in.after ? WidgetOf(reinterpret_cast<HWND>(in.after)) : nullptr;
        QWidget* w = parent && (after || !in.after)
                         ? FindLocalChild(parent, after, OrAny(in.a), OrAny(in.b))
                         : nullptr;
        out.handle = reinterpret_cast<quint64>(HandleOf(w));
    } else if (in.command == "settext") {
        QWidget* w = WidgetOf(reinterpret_cast<HWND>(in.handle));
        if (w) SetText(w, QString::fromStdString(in.a.value_or(std::string())));
        out.handle = w ? 1 : 0;
    } else if (in.command == "gettext") {
        QWidget* w = WidgetOf(reinterpret_cast<HWND>(in.handle));
        out.handle = w ? 1 : 0;
        if (w) out.a = TextOf(w).toStdString();
    } else if (in.command == "lbcount") {
        QListWidget* l = ListOf(WidgetOf(reinterpret_cast<HWND>(in.handle)));
        out.handle = l ? static_cast<quint64>(l->count()) + 1 : 0;
    } else if (in.command == "lbtext") {
        QListWidget* l = ListOf(WidgetOf(reinterpret_cast<HWND>(in.handle)));
        int row = RowOf(in.a);
        out.handle = l && row >= 0 && row < l->count() ? 1 : 0;
        if (out.handle) out.a = l->item(row)->text().toStdString();
    } else {
        out.command = "unknown";
    }
    return out;
}

// One connection of the published server, served on the user-interface thread: every whole
// question that arrives is answered at once, in order.
class Connection : public QObject {
public:
    Connection(int fd, QObject* parent)
        : QObject(parent),
          fd_(fd),
          read_(fd, QSocketNotifier::Read, this),
          write_(fd, QSocketNotifier::Write, this) {
        write_.setEnabled(false);
        QObject::connect(&read_, &QSocketNotifier::activated, this, [this] { Readable(); });
        QObject::connect(&write_, &QSocketNotifier::activated, this, [this] { Flush(); });
    }
    ~Connection() override { ::close(fd_); }

private:
    void Readable() {
        char buf[16384];
        bool closed = false;
        for (;;) {
            ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n > 0) {
                in_.append(buf, static_cast<size_t>(n));
                if (n < static_cast<ssize_t>(sizeof buf)) break;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                closed = n == 0 || errno != EAGAIN;
                break;
            }
        }
        for (;;) {
            Packet question;
            size_t used = 0;
            handover::Parsed parsed = handover::Parse(in_, &question, &used);
            if (parsed == handover::Parsed::kIncomplete) break;
            if (parsed == handover::Parsed::kTooLarge) {
                closed = true;
                break;
            }
            in_.erase(0, used);
            // A question that does not read as one goes unanswered.
            if (parsed == handover::Parsed::kPacket) out_ += handover::Encode(Handle(question));
        }
        if (closed) {
            deleteLater();
            read_.setEnabled(false);
            return;
        }
        Flush();
    }

    void Flush() {
        while (!out_.empty()) {
            ssize_t n = ::send(fd_, out_.data(), out_.size(), MSG_NOSIGNAL);
            if (n > 0) {
                out_.erase(0, static_cast<size_t>(n));
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno == EAGAIN) {
                break;
            } else {
                out_.clear();
                read_.setEnabled(false);
                deleteLater();
                break;
            }
        }
        write_.setEnabled(!out_.empty());
    }

    int fd_;
    QSocketNotifier read_, write_;
    std::string in_, out_;
};

// The listening socket of this process, served on the user-interface thread.
class Server : public QObject {
public:
    Server(int fd, QObject* parent)
        : QObject(parent), fd_(fd), notifier_(fd, QSocketNotifier::Read, this) {
        QObject::connect(&notifier_, &QSocketNotifier::activated, this, [this] { Accept(); });
    }
    ~Server() override { ::close(fd_); }

private:
    void Accept() {
        for (;;) {
            int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                return;  // nothing more waits (or the system is out of descriptors for now)
            }
            new Connection(fd, this);
        }
    }

    int fd_;
    QSocketNotifier notifier_;
};

Server* g_server = nullptr;

// Listens on `path` (removing a stale socket of an earlier process with this id), the socket
// readable and writable by this user only; -1 when it cannot.
int Listen(const std::string& path) {
    std::optional<sockaddr_un> addr = handover::SocketAddress(path);
    if (!addr) return -1;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    ::unlink(path.c_str());
    // A burst of later starts connects at once: all of them wait in line rather than being
    // turned away.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr) != 0 ||
        ::chmod(path.c_str(), 0600) != 0 || ::listen(fd, 512) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

void SetWindowClass(QWidget* widget, const char* className) {
    if (widget) widget->setProperty("kestoWindowClass", QString::fromUtf8(className));
}

std::string WindowClass(QWidget* widget) {
    if (!widget) return {};
    return widget->property("kestoWindowClass").toString().toStdString();
}

std::string WindowText(HWND hWnd) {
    QWidget* w = WidgetOf(hWnd);
    return w ? TextOf(w).toStdString() : std::string();
}

bool PublishWindows() {
    if (g_server) return true;
    std::string folder = handover::MailboxFolder(files::RuntimeFolder());
    if (folder.empty() || !qApp) return false;
    int fd = Listen(folder + "/" + std::to_string(::getpid()));
    if (fd < 0) return false;
    g_server = new Server(fd, qApp);
    return true;
}

}  // namespace platform::win

using namespace platform::win;

namespace {

std::optional<std::string> TextOrAny(const char* text) {
    return text ? std::optional<std::string>(text) : std::nullopt;
}

}  // namespace

HWND FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
    if (QWidget* w = FindLocal(lpClassName, lpWindowName)) return HandleOf(w);
    std::optional<RemoteWindow> remote = handover::FindRemote(
        platform::files::RuntimeFolder(), TextOrAny(lpClassName), TextOrAny(lpWindowName));
    return remote ? RemoteHandle(*remote) : nullptr;
}

HWND FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR lpszClass, LPCSTR lpszWindow) {
    RemoteWindow remote;
    if (RemoteOf(hWndParent, remote)) {
        uint64_t after = 0;
        if (RemoteWindow a; hWndChildAfter && RemoteOf(hWndChildAfter, a)) {
            if (a.server != remote.server) return nullptr;
            after = a.handle;
        }
        std::optional<RemoteWindow> child =
            handover::FindRemoteChild(remote, after, TextOrAny(lpszClass), TextOrAny(lpszWindow));
        return child ? RemoteHandle(*child) : nullptr;
    }
    QWidget* parent = WidgetOf(hWndParent);
    if (!parent) return nullptr;
    return HandleOf(FindLocalChild(parent, WidgetOf(hWndChildAfter), lpszClass, lpszWindow));
}

namespace {

LRESULT CopyText(std::string_view text, WPARAM size, LPARAM out) {
    auto* buf = reinterpret_cast<char*>(out);
    if (!buf || size == 0) return 0;
    size_t n = std::min<size_t>(text.size(), size - 1);
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT CopyListText(std::string_view text, LPARAM out) {
    auto* buf = reinterpret_cast<char*>(out);
    if (!buf) return LB_ERR;
    std::memcpy(buf, text.data(), text.size());
    buf[text.size()] = '\0';
    return static_cast<LRESULT>(text.size());
}

LRESULT SendRemote(const RemoteWindow& remote, UINT Msg, WPARAM wParam, LPARAM lParam) {
    using handover::Ask;
    Packet q, a;
    q.handle = remote.handle;
    switch (Msg) {
        case WM_SETTEXT:
            q.command = "settext";
            q.a = std::string(lParam ? reinterpret_cast<const char*>(lParam) : "");
            return Ask(remote.server, q, &a, handover::kChangeAnswerMs)
                       ? static_cast<LRESULT>(a.handle)
                       : 0;
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH: {
            q.command = "gettext";
            if (!Ask(remote.server, q, &a) || !a.handle) return 0;
            std::string text = a.a.value_or(std::string());
            return Msg == WM_GETTEXT ? CopyText(text, wParam, lParam)
                                     : static_cast<LRESULT>(text.size());
        }
        case LB_GETCOUNT:
            q.command = "lbcount";
            return Ask(remote.server, q, &a) && a.handle ? static_cast<LRESULT>(a.handle) - 1
                                                         : LB_ERR;
        case LB_GETTEXT:
        case LB_GETTEXTLEN: {
            q.command = "lbtext";
            q.a = std::to_string(static_cast<unsigned long long>(wParam));
            if (!Ask(remote.server, q, &a) || !a.handle) return LB_ERR;
            std::string text = a.a.value_or(std::string());
            return Msg == LB_GETTEXT ? CopyListText(text, lParam)
                                     : static_cast<LRESULT>(text.size());
        }
        default:
            return 0;
    }
}

}  // namespace

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    RemoteWindow remote;
    if (RemoteOf(hWnd, remote)) return SendRemote(remote, Msg, wParam, lParam);
    return platform::win::SendToProcedure(hWnd, Msg, wParam, lParam);
}

LRESULT platform::win::internal::TextMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    QWidget* w = WidgetOf(hWnd);
    if (!w) return Msg == LB_GETCOUNT || Msg == LB_GETTEXT || Msg == LB_GETTEXTLEN ? LB_ERR : 0;
    switch (Msg) {
        case WM_SETTEXT:
            SetText(w, QString::fromUtf8(lParam ? reinterpret_cast<const char*>(lParam) : ""));
            return TRUE;
        case WM_GETTEXT:
            return CopyText(TextOf(w).toStdString(), wParam, lParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(TextOf(w).toStdString().size());
        case WM_NCLBUTTONDOWN:
            // A press on the caption: the window moves with the mouse.
            return wParam == HTCAPTION && platform::win::StartWindowDrag(hWnd) ? 0 : 1;
        case LB_GETCOUNT:
            return ListOf(w) ? ListOf(w)->count() : LB_ERR;
        case LB_GETTEXT:
        case LB_GETTEXTLEN: {
            QListWidget* l = ListOf(w);
            int row = static_cast<int>(wParam);
            if (!l || row < 0 || row >= l->count()) return LB_ERR;
            std::string text = l->item(row)->text().toStdString();
            return Msg == LB_GETTEXT ? CopyListText(text, lParam)
                                     : static_cast<LRESULT>(text.size());
        }
        default:
            return 0;
    }
}
