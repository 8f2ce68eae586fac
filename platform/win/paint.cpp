#include "platform/win/paint.h"

#include <QApplication>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QStyleHints>
#include <QThread>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"
#include "platform/win/internal.h"
#include "platform/win/surface.h"
#include "platform/win/window.h"
#include "platform/win/windowpos.h"
#include "platform/win/winmsg.h"

namespace platform::win {

namespace {

// What the layer keeps of a window (user-interface thread only).
struct WindowState {
    WindowProc proc;
    bool hasUpdate = false;
    QRect update;
    bool erase = false;
    bool paintQueued = false;
    int paints = 0;
    bool acceptsFiles = false;
};

// Every module of the process that links this layer (the program, a control library) shares
// one state per window and one count of waiting messages: the state hangs on the window's
// widget, the count on the application object, as the window handles do (platform/win/window.h).
constexpr const char* kStateProperty = "kesto.windowstate";
constexpr const char* kPendingProperty = "kesto.pendingmessages";

WindowState* StateOf(HWND h) {
    QWidget* w = WidgetOf(h);
    if (!w) return nullptr;
    QVariant v = w->property(kStateProperty);
    return v.isValid() ? static_cast<WindowState*>(v.value<void*>()) : nullptr;
}

// The window's state, made on first use (user-interface thread); null for no window.
WindowState* MakeState(HWND h) {
    if (WindowState* s = StateOf(h)) return s;
    QWidget* w = WidgetOf(h);
    if (!w) return nullptr;
    auto* s = new WindowState();
    w->setProperty(kStateProperty, QVariant::fromValue(static_cast<void*>(s)));
    QObject::connect(w, &QObject::destroyed, [s] { delete s; });
    return s;
}

// The count of waiting paints and posted messages (made on the user-interface thread).
std::atomic<int>* Pending() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return nullptr;
    QVariant v = app->property(kPendingProperty);
    if (v.isValid()) return static_cast<std::atomic<int>*>(v.value<void*>());
    if (QThread::currentThread() != app->thread()) return nullptr;
    auto* count = new std::atomic<int>(0);
    app->setProperty(kPendingProperty, QVariant::fromValue(static_cast<void*>(count)));
    return count;
}

void AddPending(int n) {
    if (std::atomic<int>* p = Pending()) *p += n;
}

// Counts one waiting message for as long as it waits: until it runs, or until the window system
// drops it with its window.
struct Waiting {
    Waiting() { AddPending(1); }
    ~Waiting() { AddPending(-1); }
    Waiting(const Waiting&) = delete;
    Waiting& operator=(const Waiting&) = delete;
};

QPointer<QWidget> g_cursorWindow;
HCURSOR g_cursor = nullptr;

// The files of one drop, alive while WM_DROPFILES is handled.
struct Drop {
    std::vector<std::string> files;
};

// The keys and buttons of the input event handled last (GetKeyState).
Qt::KeyboardModifiers g_inputModifiers;
Qt::MouseButtons g_inputButtons;
// The window that lost the focus last, for the wParam of the next WM_SETFOCUS.
QPointer<QWidget> g_focusLeft;

WPARAM MouseFlags(const QMouseEvent* e) {
    g_inputModifiers = e->modifiers();
    g_inputButtons = e->buttons();
    WPARAM flags = 0;
    if (e->buttons() & Qt::LeftButton) flags |= MK_LBUTTON;
    if (e->buttons() & Qt::RightButton) flags |= MK_RBUTTON;
    if (e->buttons() & Qt::MiddleButton) flags |= MK_MBUTTON;
    if (e->modifiers() & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (e->modifiers() & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

LPARAM MousePoint(const QMouseEvent* e) {
    QPoint p = e->position().toPoint();
    return MAKELPARAM(static_cast<UINT>(p.x()), static_cast<UINT>(p.y()));
}

// The message of a button's press (0), release (1) or double click (2); 0 for another button.
UINT ButtonMessage(Qt::MouseButton button, int kind) {
    static constexpr UINT kMessages[3][3] = {
        {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK},
        {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK},
        {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK},
    };
    switch (button) {
        case Qt::LeftButton:
            return kMessages[0][kind];
        case Qt::RightButton:
            return kMessages[1][kind];
        case Qt::MiddleButton:
            return kMessages[2][kind];
        default:
            return 0;
    }
}

// A child window: Qt's events become the window's messages. It paints nothing itself (its form
// shows the surface it draws into).
class ChildWindow final : public QWidget {
public:
    explicit ChildWindow(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_NoSystemBackground);
        setMouseTracking(true);
        setFocusPolicy(Qt::ClickFocus);
    }

protected:
    void moveEvent(QMoveEvent*) override {
        SendMessageA(HandleOf(this), WM_MOVE, 0, MAKELPARAM(x(), y()));
    }
    void resizeEvent(QResizeEvent*) override {
        SendMessageA(HandleOf(this), WM_SIZE, 0, MAKELPARAM(width(), height()));
    }
    void enterEvent(QEnterEvent*) override { AskCursor(); }
    void mouseMoveEvent(QMouseEvent* e) override {
        AskCursor();
        WPARAM flags = MouseFlags(e);
        SendMessageA(HandleOf(this), WM_MOUSEMOVE, flags, MousePoint(e));
    }
    // Qt tells a widget of a double click's second press twice, as a press and then as a double
    // click; the window gets it once, as the double click message. A press that is a double
    // click's second (the same button again within the double-click time and distance) is sent
    // as that message at once, and Qt's double click after it is dropped.
    void mousePressEvent(QMouseEvent* e) override {
        const QStyleHints* hints = QGuiApplication::styleHints();
        const QPoint at = e->position().toPoint();
        const bool second =
            e->button() == lastPress_ && !lastWasDouble_ &&
            e->timestamp() - lastPressTime_ <
                static_cast<quint64>(hints->mouseDoubleClickInterval()) &&
            (at - lastPressAt_).manhattanLength() <= hints->mouseDoubleClickDistance();
        lastPress_ = e->button();
        lastPressTime_ = e->timestamp();
        lastPressAt_ = at;
        lastWasDouble_ = second;
        swallowDouble_ = second;
        Button(e, second ? 2 : 0);
    }
    void mouseReleaseEvent(QMouseEvent* e) override { Button(e, 1); }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        if (swallowDouble_) {
            swallowDouble_ = false;
            return;
        }
        lastWasDouble_ = true;
        Button(e, 2);
    }
    void focusInEvent(QFocusEvent*) override {
        HWND previous = g_focusLeft ? HandleOf(g_focusLeft.data()) : nullptr;
        SendMessageA(HandleOf(this), WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    void focusOutEvent(QFocusEvent*) override {
        g_focusLeft = this;
        // Qt has moved the focus on already when it tells the window that lost it.
        QWidget* next = QApplication::focusWidget();
        SendMessageA(HandleOf(this), WM_KILLFOCUS,
                     reinterpret_cast<WPARAM>(next && next != this ? HandleOf(next) : nullptr), 0);
    }
    void dragEnterEvent(QDragEnterEvent* e) override {
        WindowState* s = StateOf(HandleOf(this));
        if (s && s->acceptsFiles && e->mimeData()->hasUrls()) e->acceptProposedAction();
    }
    void dropEvent(QDropEvent* e) override {
        WindowState* s = StateOf(HandleOf(this));
        if (!s || !s->acceptsFiles) return;
        Drop drop;
        for (const QUrl& url : e->mimeData()->urls()) {
            if (url.isLocalFile()) drop.files.push_back(url.toLocalFile().toStdString());
        }
        if (drop.files.empty()) return;
        e->acceptProposedAction();
        SendMessageA(HandleOf(this), WM_DROPFILES, reinterpret_cast<WPARAM>(&drop), 0);
    }

private:
    Qt::MouseButton lastPress_ = Qt::NoButton;
    quint64 lastPressTime_ = 0;
    QPoint lastPressAt_;
    bool lastWasDouble_ = false;  // the last press was a double click's second
    bool swallowDouble_ = false;  // Qt's double click of that press is still to come

    void Button(QMouseEvent* e, int kind) {
        UINT message = ButtonMessage(e->button(), kind);
        WPARAM flags = MouseFlags(e);
        if (message) SendMessageA(HandleOf(this), message, flags, MousePoint(e));
    }
    void AskCursor() {
        HWND h = HandleOf(this);
        g_cursorWindow = this;
        if (!SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h),
                          MAKELPARAM(HTCLIENT, WM_MOUSEMOVE))) {
            unsetCursor();
        }
    }
};

QRect ToQRect(const RECT& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

RECT ToRect(const QRect& r) {
    return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

bool ShownInForm(QWidget* w) {
    return w->isWindow() || w->isVisibleTo(w->window());
}

void DeliverPaint(HWND h) {
    WindowState* s = StateOf(h);
    if (!s || !s->hasUpdate) return;
    QWidget* w = WidgetOf(h);
    if (!w || !ShownInForm(w)) return;  // painted when it is shown
    ++s->paints;
    SendMessageA(h, WM_PAINT, 0, 0);
    // A procedure that did not paint is validated all the same, so the paint is not asked again.
    if (WindowState* after = StateOf(h)) after->hasUpdate = after->erase = false;
}

}  // namespace

namespace internal {

WindowProc ProcOf(HWND h) {
    WindowState* s = StateOf(h);
    return s ? s->proc : WindowProc();
}

}  // namespace internal

HWND CreateChildWindow(HWND parent, const RECT& rect, WindowProc proc) {
    QWidget* p = WidgetOf(parent);
    if (!p) return nullptr;
    auto* w = new ChildWindow(p);
    w->lower();
    w->hide();
    w->setGeometry(ToQRect(rect));
    HWND h = HandleOf(w);
    MakeState(h)->proc = std::move(proc);
    Pending();
    AttachToSurface(w);
    SendMessageA(h, WM_CREATE, 0, 0);
    return h;
}

void SetWindowProc(HWND hWnd, WindowProc proc) {
    if (WindowState* s = MakeState(hWnd)) s->proc = std::move(proc);
    Pending();
}

int PaintCount(HWND hWnd) {
    WindowState* s = StateOf(hWnd);
    return s ? s->paints : 0;
}

bool MessagesPending() {
    std::atomic<int>* p = Pending();
    return p && p->load() > 0;
}

}  // namespace platform::win

using namespace platform::win;

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            if (BeginPaint(hWnd, &ps)) EndPaint(hWnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return platform::gdi::PaintWindowBackground(hWnd, reinterpret_cast<HDC>(wParam)) ? 1
                                                                                             : 0;
        case WM_NCHITTEST: {
            RECT r;
            if (!GetWindowRect(hWnd, &r)) return HTNOWHERE;
            int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
            return x >= r.left && x < r.right && y >= r.top && y < r.bottom ? HTCLIENT : HTNOWHERE;
        }
        case WM_CREATE:
        case WM_DESTROY:
        case WM_MOVE:
        case WM_SIZE:
        case WM_SHOWWINDOW:
        case WM_WINDOWPOSCHANGING:
        case WM_SETCURSOR:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_DROPFILES:
            return 0;
        default:
            return platform::win::internal::TextMessage(hWnd, Msg, wParam, lParam);
    }
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    QWidget* w = WidgetOf(hWnd);
    if (!w) return FALSE;
    QPointer<QWidget> target(w);
    auto waiting = std::make_shared<Waiting>();
    QMetaObject::invokeMethod(
        w,
        [target, hWnd, Msg, wParam, lParam, waiting]() mutable {
            waiting.reset();
            if (target) SendMessageA(hWnd, Msg, wParam, lParam);
        },
        Qt::QueuedConnection);
    return TRUE;
}

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    QWidget* w = WidgetOf(hWnd);
    if (!w) return FALSE;
    QRect area = lpRect ? ToQRect(*lpRect).intersected(w->rect()) : w->rect();
    if (area.isEmpty()) return TRUE;
    WindowState& s = *MakeState(hWnd);
    s.update = s.hasUpdate ? s.update.united(area) : area;
    s.hasUpdate = true;
    s.erase = s.erase || bErase;
    if (!s.paintQueued) {
        s.paintQueued = true;
        auto waiting = std::make_shared<Waiting>();
        QMetaObject::invokeMethod(
            w,
            [hWnd, waiting]() mutable {
                waiting.reset();
                if (WindowState* st = StateOf(hWnd)) {
                    st->paintQueued = false;
                    DeliverPaint(hWnd);
                }
            },
            Qt::QueuedConnection);
    }
    return TRUE;
}

BOOL ValidateRect(HWND hWnd, const RECT*) {
    WindowState* s = StateOf(hWnd);
    if (!s) return FALSE;
    s->hasUpdate = s->erase = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL) {
    WindowState* s = StateOf(hWnd);
    bool has = s && s->hasUpdate;
    if (lpRect) *lpRect = has ? ToRect(s->update) : RECT{0, 0, 0, 0};
    return has ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hWnd) {
    if (!WidgetOf(hWnd)) return FALSE;
    DeliverPaint(hWnd);
    return TRUE;
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint) {
    QWidget* w = WidgetOf(hWnd);
    if (!w || !lpPaint) return nullptr;
    HDC dc = GetDC(hWnd);
    if (!dc) return nullptr;
    WindowState& s = *MakeState(hWnd);
    QRect area = s.hasUpdate ? s.update : w->rect();
    bool erase = s.erase;
    s.hasUpdate = s.erase = false;
    lpPaint->hdc = dc;
    lpPaint->rcPaint = ToRect(area);
    IntersectClipRect(dc, lpPaint->rcPaint.left, lpPaint->rcPaint.top, lpPaint->rcPaint.right,
                      lpPaint->rcPaint.bottom);
    lpPaint->fErase = FALSE;
    if (erase) {
        lpPaint->fErase =
            SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    }
    return dc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (!lpPaint || !lpPaint->hdc) return FALSE;
    return ReleaseDC(hWnd, lpPaint->hdc) ? TRUE : FALSE;
}

namespace {

// Asks a child window's procedure about the change to come of its place, order or visibility
// (WM_WINDOWPOSCHANGING); the change as the procedure left it. Top-level windows are not asked.
WINDOWPOS PosChanging(QWidget* w, HWND after, const QRect& next, UINT flags) {
    WINDOWPOS pos{HandleOf(w), after, next.x(), next.y(), next.width(), next.height(), flags};
    if (!w->isWindow()) {
        SendMessageA(pos.hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    }
    return pos;
}

// The place `from` moved to (x, y) and sized to (cx, cy) as far as the SWP_ flags allow.
QRect Changed(QRect from, int x, int y, int cx, int cy, UINT flags) {
    if (!(flags & SWP_NOMOVE)) from.moveTo(x, y);
    if (!(flags & SWP_NOSIZE)) from.setSize(QSize(std::max(cx, 0), std::max(cy, 0)));
    return from;
}

// Shows or hides the window. Without redraw only a shown window is invalidated (its own paint
// still comes), not what a hidden one uncovered.
void SetShown(QWidget* w, bool show, bool redraw) {
    HWND hWnd = HandleOf(w);
    w->setVisible(show);
    UpdateSurfacePlace(w);
    if (show) {
        InvalidateRect(hWnd, nullptr, TRUE);
    } else if (QWidget* parent = w->parentWidget(); parent && redraw) {
        // What the window uncovered: its place in the parent and in the windows below it.
        QRect place = w->geometry();
        RECT r = ToRect(place);
        InvalidateRect(HandleOf(parent), &r, TRUE);
        for (QObject* o : parent->children()) {
            if (o == w) break;  // children are kept bottom first
            auto* sibling = qobject_cast<QWidget*>(o);
            if (!sibling || sibling->isHidden() || !StateOf(HandleOf(sibling))) continue;
            QRect overlap = place.intersected(sibling->geometry());
            if (overlap.isEmpty()) continue;
            RECT local = ToRect(overlap.translated(-sibling->pos()));
            InvalidateRect(HandleOf(sibling), &local, TRUE);
        }
    }
}

// Gives the window its new place; with redraw its old place in the parent and the window are
// invalidated.
void SetPlace(QWidget* w, const QRect& next, bool redraw) {
    QRect old = w->geometry();
    if (old == next) return;
    w->setGeometry(next);
    UpdateSurfacePlace(w);
    // The windows inside it move with it.
    for (QWidget* inner : w->findChildren<QWidget*>()) UpdateSurfacePlace(inner);
    if (redraw && !w->isHidden()) {
        if (QWidget* parent = w->parentWidget()) {
            RECT r = ToRect(old);
            InvalidateRect(HandleOf(parent), &r, TRUE);
        }
        InvalidateRect(HandleOf(w), nullptr, TRUE);
    }
}

}  // namespace

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    QWidget* w = WidgetOf(hWnd);
    if (!w) return FALSE;
    bool was = !w->isHidden();
    bool show = nCmdShow != static_cast<int>(SW_HIDE);
    if (show == was) return was ? TRUE : FALSE;
    SendMessageA(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!WidgetOf(hWnd)) return was ? TRUE : FALSE;
    const UINT flags = PosChanging(w, nullptr, w->geometry(),
                                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                                       (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW))
                           .flags;
    if (!WidgetOf(hWnd)) return was ? TRUE : FALSE;
    SetShown(w, show, !(flags & SWP_NOREDRAW));
    return was ? TRUE : FALSE;
}

BOOL platform::win::SetChildWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                                      UINT uFlags) {
    QWidget* w = WidgetOf(hWnd);
    if (!w || w->isWindow()) return FALSE;
    const QRect next = Changed(w->geometry(), X, Y, cx, cy, uFlags);
    const WINDOWPOS pos = PosChanging(w, hWndInsertAfter, next, uFlags);
    if (!WidgetOf(hWnd)) return FALSE;
    const UINT flags = pos.flags;
    const bool redraw = !(flags & SWP_NOREDRAW);
    if (!(flags & SWP_NOZORDER)) {
        if (pos.hwndInsertAfter == HWND_BOTTOM) {
            w->lower();
        } else if (pos.hwndInsertAfter == HWND_TOP || pos.hwndInsertAfter == HWND_TOPMOST) {
            w->raise();
        } else if (QWidget* above = WidgetOf(pos.hwndInsertAfter);
                   above && above != w && above->parentWidget() == w->parentWidget()) {
            w->stackUnder(above);
        }
    }
    if (!(flags & SWP_NOMOVE) || !(flags & SWP_NOSIZE)) {
        SetPlace(w, Changed(w->geometry(), pos.x, pos.y, pos.cx, pos.cy, flags), redraw);
    }
    if ((flags & SWP_HIDEWINDOW) && !w->isHidden()) {
        SetShown(w, false, redraw);
    } else if ((flags & SWP_SHOWWINDOW) && w->isHidden()) {
        SetShown(w, true, redraw);
    }
    return TRUE;
}

BOOL IsWindowVisible(HWND hWnd) {
    // Another thread (the control's effect worker) must not read the widgets: it gets the place
    // the window layer keeps in the graphics layer, which follows every show and hide.
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        return platform::gdi::IsPlacedWindowVisible(hWnd) ? TRUE : FALSE;
    }
    QWidget* w = WidgetOf(hWnd);
    return w && ShownInForm(w) && (w->isWindow() ? w->isVisible() : !w->isHidden()) ? TRUE : FALSE;
}

HWND GetParent(HWND hWnd) {
    QWidget* w = WidgetOf(hWnd);
    return w && w->parentWidget() ? HandleOf(w->parentWidget()) : nullptr;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    QWidget* w = WidgetOf(hWnd);
    if (!w || !lpRect) return FALSE;
    *lpRect = RECT{0, 0, w->width(), w->height()};
    return TRUE;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
    QWidget* w = WidgetOf(hWnd);
    if (!w || !lpRect) return FALSE;
    QPoint at = w->mapToGlobal(QPoint(0, 0));
    *lpRect = RECT{at.x(), at.y(), at.x() + w->width(), at.y() + w->height()};
    return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    QWidget* w = WidgetOf(hWnd);
    if (!w || !lpPoint) return FALSE;
    QPoint p = w->mapFromGlobal(QPoint(lpPoint->x, lpPoint->y));
    *lpPoint = POINT{p.x(), p.y()};
    return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    QWidget* w = WidgetOf(hWnd);
    if (!w || !lpPoint) return FALSE;
    QPoint p = w->mapToGlobal(QPoint(lpPoint->x, lpPoint->y));
    *lpPoint = POINT{p.x(), p.y()};
    return TRUE;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    QWidget* w = WidgetOf(hWnd);
    if (!w || nWidth < 0 || nHeight < 0) return FALSE;
    QRect next(X, Y, nWidth, nHeight);
    if (w->geometry() == next) return TRUE;
    const WINDOWPOS pos = PosChanging(
        w, nullptr, next, SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
    if (!WidgetOf(hWnd)) return FALSE;
    SetPlace(w, Changed(next, pos.x, pos.y, pos.cx, pos.cy, pos.flags),
             !(pos.flags & SWP_NOREDRAW));
    return TRUE;
}

BOOL DestroyWindow(HWND hWnd) {
    QWidget* w = WidgetOf(hWnd);
    if (!w) return FALSE;
    SendMessageA(hWnd, WM_DESTROY, 0, 0);
    if (QWidget* parent = w->parentWidget(); parent && !w->isHidden()) {
        RECT r = ToRect(w->geometry());
        InvalidateRect(HandleOf(parent), &r, TRUE);
    }
    delete w;  // its state goes with it
    return TRUE;
}

BOOL GetCursorPos(LPPOINT lpPoint) {
    if (!lpPoint) return FALSE;
    QPoint p = QCursor::pos();
    *lpPoint = POINT{p.x(), p.y()};
    return TRUE;
}

HCURSOR SetCursor(HCURSOR hCursor) {
    HCURSOR previous = g_cursor;
    g_cursor = hCursor;
    if (QWidget* w = g_cursorWindow.data()) {
        QImage image =
            hCursor ? platform::gdi::IconImage(reinterpret_cast<HICON>(hCursor)) : QImage();
        if (image.isNull()) {
            w->unsetCursor();
        } else {
            ICONINFO info{};
            int hx = 0, hy = 0;
            if (GetIconInfo(reinterpret_cast<HICON>(hCursor), &info)) {
                hx = static_cast<int>(info.xHotspot);
                hy = static_cast<int>(info.yHotspot);
                if (info.hbmMask) DeleteObject(info.hbmMask);
                if (info.hbmColor) DeleteObject(info.hbmColor);
            }
            w->setCursor(QCursor(QPixmap::fromImage(image), hx, hy));
        }
    }
    return previous;
}

void DragAcceptFiles(HWND hWnd, BOOL fAccept) {
    QWidget* w = WidgetOf(hWnd);
    if (!w) return;
    MakeState(hWnd)->acceptsFiles = fAccept != FALSE;
    w->setAcceptDrops(fAccept != FALSE);
}

UINT DragQueryFileA(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch) {
    auto* drop = reinterpret_cast<Drop*>(hDrop);
    if (!drop) return 0;
    if (iFile == 0xFFFFFFFFu) return static_cast<UINT>(drop->files.size());
    if (iFile >= drop->files.size()) return 0;
    const std::string& name = drop->files[iFile];
    if (!lpszFile || cch == 0) return static_cast<UINT>(name.size());
    std::size_t n = std::min<std::size_t>(name.size(), cch - 1);
    std::memcpy(lpszFile, name.data(), n);
    lpszFile[n] = 0;
    return static_cast<UINT>(n);
}

void DragFinish(HDROP) {
    // The names belong to the drop, which ends when its message has been handled.
}

SHORT GetKeyState(int nVirtKey) {
    // Each key is a modifier key or a mouse button.
    static const struct {
        int key;
        Qt::KeyboardModifier modifier;
        Qt::MouseButton button;
    } kKeys[] = {
        {VK_SHIFT, Qt::ShiftModifier, Qt::NoButton},
        {VK_CONTROL, Qt::ControlModifier, Qt::NoButton},
        {VK_MENU, Qt::AltModifier, Qt::NoButton},
        {VK_LBUTTON, Qt::NoModifier, Qt::LeftButton},
        {VK_RBUTTON, Qt::NoModifier, Qt::RightButton},
        {VK_MBUTTON, Qt::NoModifier, Qt::MiddleButton},
    };
    for (const auto& k : kKeys) {
        if (k.key != nVirtKey) continue;
        const bool down = k.button != Qt::NoButton ? (g_inputButtons & k.button) != 0
                                                   : (g_inputModifiers & k.modifier) != 0;
        return down ? static_cast<SHORT>(0x8000) : 0;
    }
    return 0;
}

HWND SetFocus(HWND hWnd) {
    HWND previous = GetFocus();
    if (QWidget* w = WidgetOf(hWnd)) w->setFocus(Qt::OtherFocusReason);
    return previous;
}

HWND GetFocus() {
    QWidget* w = QApplication::focusWidget();
    return w ? HandleOf(w) : nullptr;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
    QWidget* w = WidgetOf(hWnd);
    if (!w) return FALSE;
    const bool wasDisabled = !w->isEnabled();
    w->setEnabled(bEnable != FALSE);
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hWnd) {
    QWidget* w = WidgetOf(hWnd);
    return w && w->isEnabled() ? TRUE : FALSE;
}
