#include "platform/win/winmsg.h"

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "platform/win/internal.h"
#include "platform/win/messages.h"
#include "platform/win/window.h"

namespace platform::win {

namespace {

bool OnUiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

LRESULT CallProcedure(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (WindowProc proc = internal::ProcOf(hWnd)) return proc(hWnd, Msg, wParam, lParam);
    return DefWindowProcA(hWnd, Msg, wParam, lParam);
}

// ---- timers ----

struct Timer {
    UINT interval = 0;
    long long due = 0;         // on the manual clock
    QPointer<QTimer> qtTimer;  // on Qt's timers
};

struct Timers {
    bool manual = false;
    long long now = 0;
    std::map<std::pair<HWND, UINT_PTR>, Timer> all;
};

Timers& timers() {  // user-interface thread only
    static Timers t;
    return t;
}

void Fire(HWND hWnd, UINT_PTR id) {
    if (!IsWindow(hWnd)) {
        KillTimer(hWnd, id);
        return;
    }
    CallProcedure(hWnd, WM_TIMER, id, 0);
}

bool IsChild(QWidget* w) {
    return w && !w->isWindow();
}

// The child windows of a parent, topmost first.
std::vector<QWidget*> ChildrenTopFirst(QWidget* parent) {
    std::vector<QWidget*> out;
    if (!parent) return out;
    const QObjectList& list = parent->children();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        auto* w = qobject_cast<QWidget*>(*it);
        if (IsChild(w)) out.push_back(w);
    }
    return out;
}

}  // namespace

namespace {

// Messages sent from other threads wait here for the user-interface thread. They pass under this
// one mutex (not inside Qt's queued call, whose locks the thread checker cannot see), so the
// sender's arguments and the procedure's result cross the threads through it.
struct SentCall {
    HWND hWnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
};

std::mutex g_sentMutex;
std::condition_variable g_sentDone;
std::deque<SentCall*> g_sent;

void RunSentCalls() {
    for (;;) {
        SentCall* call;
        {
            std::lock_guard lock(g_sentMutex);
            if (g_sent.empty()) return;
            call = g_sent.front();
            g_sent.pop_front();
        }
        LRESULT result = IsWindow(call->hWnd)
                             ? CallProcedure(call->hWnd, call->msg, call->wParam, call->lParam)
                             : 0;
        {
            std::lock_guard lock(g_sentMutex);
            call->result = result;
            call->done = true;
        }
        g_sentDone.notify_all();
    }
}

}  // namespace

LRESULT SendToProcedure(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (OnUiThread()) return CallProcedure(hWnd, Msg, wParam, lParam);
    SentCall call{hWnd, Msg, wParam, lParam};
    std::unique_lock lock(g_sentMutex);
    g_sent.push_back(&call);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { RunSentCalls(); }, Qt::QueuedConnection);
    g_sentDone.wait(lock, [&] { return call.done; });
    return call.result;
}

void UseManualTimers(bool manual) {
    Timers& t = timers();
    for (auto& [key, timer] : t.all) delete timer.qtTimer.data();
    t.all.clear();
    t.manual = manual;
    t.now = 0;
}

void AdvanceTimers(int milliseconds) {
    Timers& t = timers();
    const long long end = t.now + std::max(0, milliseconds);
    for (;;) {
        auto next = t.all.end();
        for (auto it = t.all.begin(); it != t.all.end(); ++it) {
            if (it->second.due <= end && (next == t.all.end() || it->second.due < next->second.due))
                next = it;
        }
        if (next == t.all.end()) break;
        t.now = next->second.due;
        next->second.due += std::max<UINT>(1, next->second.interval);
        auto [hWnd, id] = next->first;
        Fire(hWnd, id);
    }
    t.now = end;
}

}  // namespace platform::win

using namespace platform::win;

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, void*) {
    QWidget* widget = WidgetOf(hWnd);
    if (!widget || nIDEvent == 0) return 0;
    Timers& t = timers();
    Timer& timer = t.all[{hWnd, nIDEvent}];
    timer.interval = uElapse;
    timer.due = t.now + std::max<UINT>(1, uElapse);
    if (!t.manual) {
        if (!timer.qtTimer) {
            timer.qtTimer = new QTimer(widget);
            QObject::connect(timer.qtTimer.data(), &QTimer::timeout, widget,
                             [hWnd, nIDEvent] { Fire(hWnd, nIDEvent); });
        }
        timer.qtTimer->start(static_cast<int>(uElapse));
    }
    return nIDEvent;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    Timers& t = timers();
    auto it = t.all.find({hWnd, uIDEvent});
    if (it == t.all.end()) return FALSE;
    delete it->second.qtTimer.data();
    t.all.erase(it);
    return TRUE;
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
    QWidget* child = WidgetOf(hWndChild);
    QWidget* parent = WidgetOf(hWndNewParent);
    if (!child || (hWndNewParent && !parent)) return nullptr;
    HWND old = GetParent(hWndChild);
    const bool visible = child->isVisibleTo(child->parentWidget() ? child->parentWidget() : child);
    const QPoint place = child->pos();
    child->setParent(parent);
    child->move(place);
    if (visible) child->show();
    return old;
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
    QWidget* w = WidgetOf(hWnd);
    if (!w) return nullptr;
    if (uCmd == GW_CHILD) {
        std::vector<QWidget*> children = ChildrenTopFirst(w);
        return children.empty() ? nullptr : HandleOf(children.front());
    }
    if (!IsChild(w)) return nullptr;
    std::vector<QWidget*> siblings = ChildrenTopFirst(w->parentWidget());
    auto at = std::find(siblings.begin(), siblings.end(), w);
    switch (uCmd) {
        case GW_HWNDFIRST:
            return HandleOf(siblings.front());
        case GW_HWNDLAST:
            return HandleOf(siblings.back());
        case GW_HWNDNEXT:
            return at + 1 < siblings.end() ? HandleOf(*(at + 1)) : nullptr;
        case GW_HWNDPREV:
            return at != siblings.begin() ? HandleOf(*(at - 1)) : nullptr;
        default:
            return nullptr;
    }
}

BOOL EnumChildWindows(HWND hWndParent, const std::function<BOOL(HWND)>& lpEnumFunc) {
    std::function<bool(QWidget*)> visit = [&](QWidget* parent) {
        for (QWidget* child : ChildrenTopFirst(parent)) {
            QPointer<QWidget> guard(child);
            if (!lpEnumFunc(HandleOf(child))) return false;
            if (guard && !visit(guard)) return false;
        }
        return true;
    };
    QWidget* parent = WidgetOf(hWndParent);
    if (!parent) return FALSE;
    visit(parent);
    return TRUE;
}

int GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
    QWidget* w = WidgetOf(hWnd);
    if (!w || !lpClassName || nMaxCount <= 0) return 0;
    std::string name = WindowClass(w);
    if (name.empty()) name = w->metaObject()->className();
    const int n = std::min<int>(static_cast<int>(name.size()), nMaxCount - 1);
    std::copy_n(name.data(), n, lpClassName);
    lpClassName[n] = '\0';
    return n;
}
