#include "platform/win/window.h"

#include <QPointer>
#include <QWidget>
#include <mutex>
#include <unordered_map>

namespace platform::win {

namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, QPointer<QWidget>> byHandle;
    std::unordered_map<QWidget*, std::uintptr_t> byWidget;
    std::uintptr_t next = 0x10010;
};

Table& table() {
    static Table t;
    return t;
}

}  // namespace

HWND HandleOf(QWidget* widget) {
    if (!widget) return nullptr;
    Table& t = table();
    std::lock_guard lock(t.mutex);
    if (auto it = t.byWidget.find(widget); it != t.byWidget.end()) {
        auto h = t.byHandle.find(it->second);
        if (h != t.byHandle.end() && h->second == widget) {
            return reinterpret_cast<HWND>(it->second);
        }
        // A new widget at the address of a destroyed one gets a handle of its own.
        t.byWidget.erase(it);
    }
    std::uintptr_t value = t.next;
    t.next += 4;
    t.byHandle[value] = widget;
    t.byWidget[widget] = value;
    return reinterpret_cast<HWND>(value);
}

QWidget* WidgetOf(HWND hwnd) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.byHandle.find(reinterpret_cast<std::uintptr_t>(hwnd));
    if (it == t.byHandle.end()) return nullptr;
    return it->second.data();
}

}  // namespace platform::win

BOOL IsWindow(HWND hWnd) {
    return platform::win::WidgetOf(hWnd) ? TRUE : FALSE;
}
