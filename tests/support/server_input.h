// The mouse and keyboard as the X server sees them, driven through its test extension: the server
// decides which window a press or a key reaches, as it does for the user's own devices.
#pragma once

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <QPoint>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <cstdlib>

namespace testing_support {

class ServerInput {
public:
    ServerInput() : connection_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(connection_)) return;
        const xcb_query_extension_reply_t* ext = xcb_get_extension_data(connection_, &xcb_test_id);
        usable_ = ext && ext->present;
    }
    ~ServerInput() { xcb_disconnect(connection_); }
    ServerInput(const ServerInput&) = delete;
    ServerInput& operator=(const ServerInput&) = delete;

    bool Usable() const { return usable_; }

    // Screen coordinates; button 1 is the left one.
    void MoveTo(QPoint at) { Send(XCB_MOTION_NOTIFY, 0, at); }
    void Press(QPoint at, uint8_t button = 1) {
        MoveTo(at);
        Send(XCB_BUTTON_PRESS, button, at);
    }
    void Release(QPoint at, uint8_t button = 1) {
        MoveTo(at);
        Send(XCB_BUTTON_RELEASE, button, at);
    }
    void Click(QPoint at) {
        Press(at);
        Release(at);
    }
    // Presses the left button at `from`, moves the pointer by `by` in a few steps, letting the
    // program see each, and lets go there.
    void Drag(QPoint from, QPoint by) {
        Press(from);
        for (int i = 1; i <= 4; ++i) {
            QTest::qWait(60);
            MoveTo(from + by * i / 4);
        }
        QTest::qWait(60);
        Release(from + by);
    }
    // Waits until the X server has the top-level window where the program places it: a move or a
    // show goes through the window manager, and a press sent before it lands finds what lay there.
    bool Placed(const QWidget* window, int timeout = 3000) {
        return QTest::qWaitFor(
            [&] {
                // The window's own handle: a change of its flags gives it a new X window.
                const QWindow* handle = window->windowHandle();
                if (!handle) return false;
                auto* reply = xcb_translate_coordinates_reply(
                    connection_,
                    xcb_translate_coordinates(
                        connection_, static_cast<xcb_window_t>(handle->winId()), Root(), 0, 0),
                    nullptr);
                if (!reply) return false;
                const QPoint at(reply->dst_x, reply->dst_y);
                std::free(reply);
                return at == window->mapToGlobal(QPoint(0, 0));
            },
            timeout);
    }
    // Presses and releases the key that gives this key symbol (0xff1b: Escape).
    void Key(xcb_keysym_t symbol) {
        xcb_keycode_t code = KeyCodeOf(symbol);
        if (!code) return;
        Send(XCB_KEY_PRESS, code, QPoint());
        Send(XCB_KEY_RELEASE, code, QPoint());
    }

private:
    void Send(uint8_t type, uint8_t detail, QPoint at) {
        xcb_test_fake_input(connection_, type, detail, XCB_CURRENT_TIME,
                            type == XCB_MOTION_NOTIFY ? Root() : XCB_NONE,
                            static_cast<int16_t>(at.x()), static_cast<int16_t>(at.y()), 0);
        // A round trip: the server has handled the request when it answers.
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }
    xcb_window_t Root() const {
        return xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    xcb_keycode_t KeyCodeOf(xcb_keysym_t symbol) {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        int count = setup->max_keycode - setup->min_keycode + 1;
        auto* reply = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr);
        if (!reply) return 0;
        xcb_keycode_t found = 0;
        const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(reply);
        for (int k = 0; k < count && !found; ++k) {
            for (int i = 0; i < reply->keysyms_per_keycode; ++i) {
                if (symbols[k * reply->keysyms_per_keycode + i] == symbol) {
                    found = static_cast<xcb_keycode_t>(setup->min_keycode + k);
                    break;
                }
            }
        }
        std::free(reply);
        return found;
    }

    xcb_connection_t* connection_;
    bool usable_ = false;
};

}  // namespace testing_support
