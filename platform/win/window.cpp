#include "platform/win/window.h"

#include <QApplication>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <mutex>
#include <unordered_map>

namespace platform::win {

// Handles are the same in every module of the process that links this layer (the program, a
// control library, a page's library): a widget keeps its handle as a property of its own, and
// numbers come from one counter kept on the application object. Each module caches what it has
// looked up; a handle it has not seen is found among the application's widgets.
namespace {

constexpr const char* kHandleProperty = "kesto.hwnd";
constexpr const char* kNextHandleProperty = "kesto.nexthwnd";
constexpr quintptr kFirstHandle = 0x10010;

struct Table {
    std::mutex mutex;
    std::unordered_map<quintptr, QPointer<QWidget>> byHandle;
};

Table& table() {
    static Table t;
    return t;
}

quintptr HandleProperty(const QWidget* widget) {
    QVariant v = widget->property(kHandleProperty);
    return v.isValid() ? v.value<quintptr>() : 0;
}

// Under the table's lock.
quintptr NextHandle() {
    QCoreApplication* app = QCoreApplication::instance();
    QVariant v = app ? app->property(kNextHandleProperty) : QVariant();
    quintptr value = v.isValid() ? v.value<quintptr>() : kFirstHandle;
    if (app) app->setProperty(kNextHandleProperty, QVariant::fromValue(value + 4));
    return value;
}

}  // namespace

HWND HandleOf(QWidget* widget) {
    if (!widget) return nullptr;
    Table& t = table();
    std::lock_guard lock(t.mutex);
    quintptr value = HandleProperty(widget);
    if (!value) {
        value = NextHandle();
        widget->setProperty(kHandleProperty, QVariant::fromValue(value));
    }
    t.byHandle[value] = widget;
    return reinterpret_cast<HWND>(value);
}

QWidget* WidgetOf(HWND hwnd) {
    auto value = reinterpret_cast<quintptr>(hwnd);
    if (!value) return nullptr;
    Table& t = table();
    std::lock_guard lock(t.mutex);
    if (auto it = t.byHandle.find(value); it != t.byHandle.end()) {
        if (it->second && HandleProperty(it->second) == value) return it->second.data();
        t.byHandle.erase(it);
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    for (QWidget* w : QApplication::allWidgets()) {
        if (HandleProperty(w) == value) {
            t.byHandle[value] = w;
            return w;
        }
    }
    return nullptr;
}

}  // namespace platform::win

BOOL IsWindow(HWND hWnd) {
    return platform::win::WidgetOf(hWnd) ? TRUE : FALSE;
}
