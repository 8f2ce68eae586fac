#include "platform/win/messages.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QWidget>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/files/files.h"
#include "platform/win/internal.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"
#include "platform/win/windowpos.h"
#include "platform/win/winmsg.h"

namespace platform::win {

namespace {

constexpr int kTimeoutMs = 3000;
// A request that changes something in the other process is not asked twice: once it is sent, its
// answer is waited for as long as the other process lives (within reason), as a sent message
// waits for the receiving window.
constexpr int kChangeAnswerMs = 60000;

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

struct Remote {
    std::string server;
    quint64 handle;
};

std::mutex g_remoteMutex;
std::map<std::uintptr_t, Remote> g_remote;
std::uintptr_t g_nextRemote = 0x7f000000;

HWND RemoteHandle(const std::string& server, quint64 handle) {
    std::lock_guard lock(g_remoteMutex);
    for (const auto& [h, r] : g_remote) {
        if (r.server == server && r.handle == handle) return reinterpret_cast<HWND>(h);
    }
    std::uintptr_t h = g_nextRemote;
    g_nextRemote += 4;
    g_remote[h] = Remote{server, handle};
    return reinterpret_cast<HWND>(h);
}

bool RemoteOf(HWND hwnd, Remote& out) {
    std::lock_guard lock(g_remoteMutex);
    auto it = g_remote.find(reinterpret_cast<std::uintptr_t>(hwnd));
    if (it == g_remote.end()) return false;
    out = it->second;
    return true;
}

// ---- the published server ----

// The folder of the published sockets, or "" when this user has no private run-time folder (then
// no window is published or searched in other processes).
QString Folder() {
    std::string runtime = files::RuntimeFolder();
    if (runtime.empty()) return {};
    QString dir = QString::fromStdString(runtime) + "/kesto-windows";
    QByteArray native = dir.toLocal8Bit();
    ::mkdir(native.constData(), 0700);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
    ::chmod(native.constData(), 0700);
    return dir;
}

// A request and its reply: a command, a handle (and for a child search the child to start after)
// and two texts.
struct Packet {
    QString command;
    quint64 handle = 0;
    quint64 after = 0;
    QByteArray a, b;
};

QByteArray Encode(const Packet& p) {
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << p.command << p.handle << p.after << p.a << p.b;
    QByteArray framed;
    QDataStream f(&framed, QIODevice::WriteOnly);
    f << static_cast<quint32>(out.size());
    return framed + out;
}

// Reads one framed packet from a socket, waiting at most `waitMs` for each part of it.
bool Read(QLocalSocket& socket, Packet& p, bool wait, int waitMs = kTimeoutMs) {
    while (socket.bytesAvailable() < 4) {
        if (!wait || !socket.waitForReadyRead(waitMs)) return false;
    }
    QByteArray head = socket.peek(4);
    QDataStream hs(head);
    quint32 size = 0;
    hs >> size;
    if (size > (1u << 24)) return false;
    while (socket.bytesAvailable() < 4 + static_cast<qint64>(size)) {
        if (!wait || !socket.waitForReadyRead(waitMs)) return false;
    }
    socket.read(4);
    QByteArray body = socket.read(size);
    QDataStream s(body);
    s >> p.command >> p.handle >> p.after >> p.a >> p.b;
    return s.status() == QDataStream::Ok;
}

Packet Handle(const Packet& in) {
    Packet out;
    out.command = "ok";
    if (in.command == "find") {
        QWidget* w = FindLocal(in.a.isNull() ? nullptr : in.a.constData(),
                               in.b.isNull() ? nullptr : in.b.constData());
        out.handle = reinterpret_cast<quint64>(HandleOf(w));
    } else if (in.command == "child") {
        QWidget* parent = WidgetOf(reinterpret_cast<HWND>(in.handle));
        QWidget* after = in.after ? WidgetOf(reinterpret_cast<HWND>(in.after)) : nullptr;
        QWidget* w = parent && (after || !in.after)
                         ? FindLocalChild(parent, after, in.a.isNull() ? nullptr : in.a.constData(),
                                          in.b.isNull() ? nullptr : in.b.constData())
                         : nullptr;
        out.handle = reinterpret_cast<quint64>(HandleOf(w));
    } else if (in.command == "settext") {
        QWidget* w = WidgetOf(reinterpret_cast<HWND>(in.handle));
        if (w) SetText(w, QString::fromUtf8(in.a));
        out.handle = w ? 1 : 0;
    } else if (in.command == "gettext") {
        QWidget* w = WidgetOf(reinterpret_cast<HWND>(in.handle));
        out.handle = w ? 1 : 0;
        if (w) out.a = TextOf(w).toUtf8();
    } else if (in.command == "lbcount") {
        QListWidget* l = ListOf(WidgetOf(reinterpret_cast<HWND>(in.handle)));
        out.handle = l ? static_cast<quint64>(l->count()) + 1 : 0;
    } else if (in.command == "lbtext") {
        QListWidget* l = ListOf(WidgetOf(reinterpret_cast<HWND>(in.handle)));
        int row = in.a.toInt();
        out.handle = l && row >= 0 && row < l->count() ? 1 : 0;
        if (out.handle) out.a = l->item(row)->text().toUtf8();
    } else {
        out.command = "unknown";
    }
    return out;
}

QLocalServer* g_server = nullptr;

// Asks the process behind `server` one question.
bool Ask(const std::string& server, const Packet& question, Packet& answer,
         int answerMs = kTimeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(server));
    if (!socket.waitForConnected(kTimeoutMs)) return false;
    socket.write(Encode(question));
    if (!socket.waitForBytesWritten(kTimeoutMs)) return false;
    return Read(socket, answer, true, answerMs);
}

// The servers of the other live processes; sockets of processes that have ended are removed.
std::vector<std::string> OtherServers() {
    std::vector<std::string> out;
    QString folder = Folder();
    if (folder.isEmpty()) return out;
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::System | QDir::Files, QDir::Name)) {
        bool ok = false;
        long pid = name.toLong(&ok);
        if (!ok || pid == ::getpid()) continue;
        std::string path = dir.filePath(name).toStdString();
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            QLocalServer::removeServer(QString::fromStdString(path));
            continue;
        }
        out.push_back(path);
    }
    return out;
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
    QString folder = Folder();
    if (folder.isEmpty()) return false;
    QString path = folder + "/" + QString::number(::getpid());
    QLocalServer::removeServer(path);  // a stale socket of an earlier process with this id
    auto* server = new QLocalServer(qApp);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // A burst of later starts connects at once: all of them wait in line rather than being
    // turned away.
    server->setListenBacklogSize(512);
    server->setMaxPendingConnections(512);
    if (!server->listen(path)) {
        delete server;
        return false;
    }
    QObject::connect(server, &QLocalServer::newConnection, server, [server] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
                Packet in;
                while (Read(*socket, in, false)) {
                    socket->write(Encode(Handle(in)));
                    socket->flush();
                }
            });
        }
    });
    g_server = server;
    return true;
}

}  // namespace platform::win

using namespace platform::win;

HWND FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
    if (QWidget* w = FindLocal(lpClassName, lpWindowName)) return HandleOf(w);
    Packet q;
    q.command = "find";
    if (lpClassName) q.a = QByteArray(lpClassName);
    if (lpWindowName) q.b = QByteArray(lpWindowName);
    for (const std::string& server : OtherServers()) {
        Packet a;
        if (Ask(server, q, a) && a.handle) return RemoteHandle(server, a.handle);
    }
    return nullptr;
}

HWND FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR lpszClass, LPCSTR lpszWindow) {
    Remote remote;
    if (RemoteOf(hWndParent, remote)) {
        Packet q, a;
        q.command = "child";
        q.handle = remote.handle;
        if (Remote after; hWndChildAfter && RemoteOf(hWndChildAfter, after)) {
            if (after.server != remote.server) return nullptr;
            q.after = after.handle;
        }
        if (lpszClass) q.a = QByteArray(lpszClass);
        if (lpszWindow) q.b = QByteArray(lpszWindow);
        if (Ask(remote.server, q, a) && a.handle) return RemoteHandle(remote.server, a.handle);
        return nullptr;
    }
    QWidget* parent = WidgetOf(hWndParent);
    if (!parent) return nullptr;
    return HandleOf(FindLocalChild(parent, WidgetOf(hWndChildAfter), lpszClass, lpszWindow));
}

namespace {

LRESULT CopyText(const QByteArray& text, WPARAM size, LPARAM out) {
    auto* buf = reinterpret_cast<char*>(out);
    if (!buf || size == 0) return 0;
    size_t n = std::min<size_t>(text.size(), size - 1);
    std::memcpy(buf, text.constData(), n);
    buf[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT CopyListText(const QByteArray& text, LPARAM out) {
    auto* buf = reinterpret_cast<char*>(out);
    if (!buf) return LB_ERR;
    std::memcpy(buf, text.constData(), text.size());
    buf[text.size()] = '\0';
    return text.size();
}

LRESULT SendRemote(const Remote& remote, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Packet q, a;
    q.handle = remote.handle;
    switch (Msg) {
        case WM_SETTEXT:
            q.command = "settext";
            q.a = QByteArray(lParam ? reinterpret_cast<const char*>(lParam) : "");
            return Ask(remote.server, q, a, kChangeAnswerMs) ? static_cast<LRESULT>(a.handle) : 0;
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
            q.command = "gettext";
            if (!Ask(remote.server, q, a) || !a.handle) return 0;
            return Msg == WM_GETTEXT ? CopyText(a.a, wParam, lParam) : a.a.size();
        case LB_GETCOUNT:
            q.command = "lbcount";
            return Ask(remote.server, q, a) && a.handle ? static_cast<LRESULT>(a.handle) - 1
                                                        : LB_ERR;
        case LB_GETTEXT:
        case LB_GETTEXTLEN:
            q.command = "lbtext";
            q.a = QByteArray::number(static_cast<qulonglong>(wParam));
            if (!Ask(remote.server, q, a) || !a.handle) return LB_ERR;
            return Msg == LB_GETTEXT ? CopyListText(a.a, lParam) : a.a.size();
        default:
            return 0;
    }
}

}  // namespace

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Remote remote;
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
            return CopyText(TextOf(w).toUtf8(), wParam, lParam);
        case WM_GETTEXTLENGTH:
            return TextOf(w).toUtf8().size();
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
            QByteArray text = l->item(row)->text().toUtf8();
            return Msg == LB_GETTEXT ? CopyListText(text, lParam) : text.size();
        }
        default:
            return 0;
    }
}
