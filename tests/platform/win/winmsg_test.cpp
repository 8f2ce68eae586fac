// The message layer: procedures, sent and posted messages from both threads, timers on the
// manual clock, window relations and class names.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <QWidget>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/win/messages.h"
#include "platform/win/window.h"
#include "platform/win/windowpos.h"
#include "platform/win/winmsg.h"

using platform::win::HandleOf;
using platform::win::SetWindowProc;

namespace {

struct Seen {
    UINT msg;
    WPARAM w;
    LPARAM l;
    bool onUiThread;
};

void Record(HWND hwnd, std::vector<Seen>& seen) {
    SetWindowProc(hwnd, [&seen](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        seen.push_back({m, w, l, QThread::currentThread() == qApp->thread()});
        if (m == WM_USER + 1) return 42;
        return DefWindowProcA(h, m, w, l);
    });
}

}  // namespace

TEST(WindowMessages, SentMessagesRunTheProcedureOnTheUserInterfaceThread) {
    QWidget window;
    HWND hwnd = HandleOf(&window);
    std::vector<Seen> seen;
    Record(hwnd, seen);
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 1, 7, 8), 42);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].w, 7u);
    // Unhandled messages reach the built-in handling.
    EXPECT_EQ(SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Title")), TRUE);
    EXPECT_EQ(window.windowTitle(), "Title");
    // From another thread the sender waits for the user-interface thread.
    std::atomic<LRESULT> result{0};
    std::thread other([&] { result = SendMessageA(hwnd, WM_USER + 1, 1, 2); });
    while (result.load() == 0) QCoreApplication::processEvents();
    other.join();
    EXPECT_EQ(result.load(), 42);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen[2].onUiThread);
    SetWindowProc(hwnd, nullptr);
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 1, 0, 0), 0) << "the built-in handling again";
}

TEST(WindowMessages, PostedMessagesArriveLaterAndNotForAWindowThatWent) {
    auto* window = new QWidget;
    HWND hwnd = HandleOf(window);
    std::vector<Seen> seen;
    Record(hwnd, seen);
    EXPECT_TRUE(PostMessageA(hwnd, WM_USER + 7, 3, 4));
    EXPECT_TRUE(seen.empty()) << "queued, not run";
    std::thread([&] { PostMessageA(hwnd, WM_USER + 7, 5, 6); }).join();
    QCoreApplication::processEvents();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].w, 3u);
    EXPECT_EQ(seen[1].l, 6);
    EXPECT_TRUE(seen[1].onUiThread);

    PostMessageA(hwnd, WM_USER + 7, 9, 9);
    delete window;
    QCoreApplication::processEvents();
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_FALSE(PostMessageA(hwnd, WM_USER + 7, 0, 0));
}

TEST(WindowMessages, TimersFireOnTheManualClockUntilKilled) {
    platform::win::UseManualTimers(true);
    QWidget window;
    HWND hwnd = HandleOf(&window);
    std::vector<Seen> seen;
    Record(hwnd, seen);
    EXPECT_EQ(SetTimer(hwnd, 5, 500, nullptr), 5u);
    EXPECT_EQ(SetTimer(hwnd, 6, 200, nullptr), 6u);
    platform::win::AdvanceTimers(499);
    std::vector<WPARAM> ids;
    for (const Seen& s : seen) ids.push_back(s.w);
    EXPECT_EQ(ids, (std::vector<WPARAM>{6, 6})) << "at 200 and 400";
    platform::win::AdvanceTimers(1);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2].msg, WM_TIMER);
    EXPECT_EQ(seen[2].w, 5u);
    EXPECT_TRUE(KillTimer(hwnd, 6));
    EXPECT_FALSE(KillTimer(hwnd, 6));
    platform::win::AdvanceTimers(500);
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(SetTimer(nullptr, 1, 10, nullptr), 0u);
    platform::win::UseManualTimers(false);
}

TEST(WindowMessages, ChildrenAreVisitedTopmostFirstAndCanChangeParent) {
    QWidget form;
    auto* a = new QWidget(&form);
    auto* b = new QWidget(&form);
    auto* c = new QWidget(&form);
    auto* inner = new QWidget(b);
    platform::win::SetWindowClass(b, "Backdrop");
    a->raise();  // stacking now, bottom to top: b, c, a
    HWND hform = HandleOf(&form);
    EXPECT_EQ(GetWindow(hform, GW_CHILD), HandleOf(a));
    EXPECT_EQ(GetWindow(HandleOf(a), GW_HWNDNEXT), HandleOf(c));
    EXPECT_EQ(GetWindow(HandleOf(c), GW_HWNDNEXT), HandleOf(b));
    EXPECT_EQ(GetWindow(HandleOf(b), GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetWindow(HandleOf(b), GW_HWNDPREV), HandleOf(c));
    EXPECT_EQ(GetWindow(HandleOf(c), GW_HWNDLAST), HandleOf(b));
    std::vector<HWND> all;
    EnumChildWindows(hform, [&](HWND h) {
        all.push_back(h);
        return TRUE;
    });
    EXPECT_EQ(all, (std::vector<HWND>{HandleOf(a), HandleOf(c), HandleOf(b), HandleOf(inner)}));

    char name[32];
    EXPECT_EQ(GetClassNameA(HandleOf(b), name, sizeof name), 8);
    EXPECT_STREQ(name, "Backdrop");
    EXPECT_EQ(GetClassNameA(HandleOf(b), name, 5), 4);
    EXPECT_STREQ(name, "Back");

    EXPECT_EQ(GetParent(HandleOf(a)), hform);
    EXPECT_EQ(GetParent(hform), nullptr);
    a->move(3, 4);
    EXPECT_EQ(SetParent(HandleOf(a), HandleOf(b)), hform);
    EXPECT_EQ(GetParent(HandleOf(a)), HandleOf(b));
    EXPECT_EQ(a->pos(), QPoint(3, 4));
    EXPECT_EQ(GetWindow(HandleOf(b), GW_CHILD), HandleOf(a)) << "the newest child is on top";
}

TEST(WindowMessages, ChildWindowsHearOfShowsHidesAndMovesBeforeTheyHappen) {
    QWidget form;
    form.resize(100, 100);
    std::vector<std::pair<UINT, UINT>> seen;  // the message and its SWP flags (or show flag)
    UINT added = 0;
    HWND child = platform::win::CreateChildWindow(
        HandleOf(&form), RECT{10, 10, 30, 30}, [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == WM_WINDOWPOSCHANGING) {
                auto* pos = reinterpret_cast<WINDOWPOS*>(l);
                seen.push_back({m, pos->flags});
                pos->flags |= added;
            } else if (m == WM_SHOWWINDOW) {
                seen.push_back({m, static_cast<UINT>(w)});
            }
            return DefWindowProcA(h, m, w, l);
        });
    ASSERT_NE(child, nullptr);
    const UINT still = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

    // ShowWindow: WM_SHOWWINDOW, then the change with SWP_SHOWWINDOW.
    ShowWindow(child, SW_SHOW);
    EXPECT_EQ(seen, (std::vector<std::pair<UINT, UINT>>{
                        {WM_SHOWWINDOW, 1}, {WM_WINDOWPOSCHANGING, still | SWP_SHOWWINDOW}}));
    // SetWindowPos hides and shows with the change only.
    seen.clear();
    SetWindowPos(child, nullptr, 0, 0, 0, 0, still | SWP_HIDEWINDOW);
    EXPECT_FALSE(IsWindowVisible(child));
    SetWindowPos(child, nullptr, 0, 0, 0, 0, still | SWP_SHOWWINDOW);
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_EQ(seen,
              (std::vector<std::pair<UINT, UINT>>{{WM_WINDOWPOSCHANGING, still | SWP_HIDEWINDOW},
                                                  {WM_WINDOWPOSCHANGING, still | SWP_SHOWWINDOW}}));

    // A procedure that adds SWP_NOREDRAW is moved without any repaint; without it, the place it
    // left is repainted.
    RECT r;
    added = SWP_NOREDRAW;
    ValidateRect(HandleOf(&form), nullptr);
    ValidateRect(child, nullptr);
    MoveWindow(child, 50, 50, 20, 20, TRUE);
    EXPECT_EQ(platform::win::WidgetOf(child)->geometry(), QRect(50, 50, 20, 20));
    EXPECT_FALSE(GetUpdateRect(HandleOf(&form), &r, FALSE));
    EXPECT_FALSE(GetUpdateRect(child, &r, FALSE));
    added = 0;
    MoveWindow(child, 10, 10, 20, 20, TRUE);
    EXPECT_TRUE(GetUpdateRect(HandleOf(&form), &r, FALSE));
    EXPECT_EQ(r.left, 50);
    DestroyWindow(child);
}
