// The real player on a real X display with a window manager: every label button and every item
// of the pop-up menu, pressed with the mouse through the X server as a user would, and what each
// one shows or does, seen from outside the program.
#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QStyleHints>
#include <QTest>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "platform/registry/registry.h"
#include "platform/vb/Variant.h"
#include "platform/win/messages.h"
#include "player/ModINI.h"
#include "tests/support/media_files.h"
#include "tests/support/programs.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using testing_support::ScopedEnv;
using testing_support::TempDir;

namespace {

// The X server as a user's mouse and keyboard and as the window manager see it, through the
// server's test extension and the windows' properties.
class XServer {
public:
    struct Window {
        xcb_window_t id = XCB_NONE;
        std::string title;
        QRect rect;  // on the screen
        bool overrideRedirect = false;
    };

    XServer() : c_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(c_)) return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c_, &xcb_test_id);
        usable_ = ext && ext->present;
    }
    ~XServer() { xcb_disconnect(c_); }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool Usable() const { return usable_; }

    // The viewable windows of process `pid`: the managed ones (inside the window manager's frames)
    // and the override-redirect ones (menus, tooltips).
    std::vector<Window> Windows(qint64 pid) {
        std::vector<Window> out;
        for (xcb_window_t top : Children(root_)) {
            Collect(top, pid, out);
            for (xcb_window_t client : Children(top)) Collect(client, pid, out);
        }
        return out;
    }

    std::optional<Window> Find(qint64 pid, const std::string& title) {
        for (const Window& w : Windows(pid)) {
            if (!w.overrideRedirect && w.title == title) return w;
        }
        return std::nullopt;
    }

    // The override-redirect window of that size (a pop-up menu laid out like a replica).
    std::optional<Window> FindPopup(qint64 pid, QSize size) {
        for (const Window& w : Windows(pid)) {
            if (w.overrideRedirect && w.rect.size() == size) return w;
        }
        return std::nullopt;
    }

    // True when the window manager has the client window iconified.
    bool Iconic(xcb_window_t w) {
        xcb_atom_t state = Atom("WM_STATE");
        auto* r =
            xcb_get_property_reply(c_, xcb_get_property(c_, 0, w, state, state, 0, 2), nullptr);
        bool iconic = r && xcb_get_property_value_length(r) >= 4 &&
                      *static_cast<uint32_t*>(xcb_get_property_value(r)) == 3;
        std::free(r);
        return iconic;
    }

    void Move(QPoint at) { Fake(XCB_MOTION_NOTIFY, 0, at); }
    void Click(QPoint at, uint8_t button = 1) {
        Fake(XCB_MOTION_NOTIFY, 0, at);
        Fake(XCB_BUTTON_PRESS, button, at);
        Fake(XCB_BUTTON_RELEASE, button, at);
    }
    void Key(xcb_keysym_t keysym) {
        xcb_keycode_t code = KeyCode(keysym);
        Fake(XCB_KEY_PRESS, code, {});
        Fake(XCB_KEY_RELEASE, code, {});
    }

    // True when the keyboard focus is in window `w` (on it or on one of its children).
    bool HasFocus(xcb_window_t w) {
        auto* f = xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr);
        xcb_window_t at = f ? f->focus : XCB_NONE;
        std::free(f);
        while (at != XCB_NONE && at != root_ && at != XCB_INPUT_FOCUS_POINTER_ROOT) {
            if (at == w) return true;
            auto* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, at), nullptr);
            at = tree ? tree->parent : XCB_NONE;
            std::free(tree);
        }
        return false;
    }

    // What the window manager's close button does: the window is asked to close.
    void Close(xcb_window_t w) {
        Message(w, "WM_PROTOCOLS", Atom("WM_DELETE_WINDOW"), w, XCB_EVENT_MASK_NO_EVENT);
    }

    // What a task bar does with an iconified window: it asks the window manager to activate it
    // (as a pager does, source 2).
    void Activate(xcb_window_t w) {
        Message(w, "_NET_ACTIVE_WINDOW", 2, root_,
                XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
    }

private:
    // A client message of `type` about window `about`, sent to `to`.
    void Message(xcb_window_t about, const char* type, uint32_t first, xcb_window_t to,
                 uint32_t mask) {
        xcb_client_message_event_t e{};
        e.response_type = XCB_CLIENT_MESSAGE;
        e.format = 32;
        e.window = about;
        e.type = Atom(type);
        e.data.data32[0] = first;
        e.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c_, 0, to, mask, reinterpret_cast<const char*>(&e));
        Sync();
    }

    void Collect(xcb_window_t w, qint64 pid, std::vector<Window>& out) {
        auto* attrs =
            xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr);
        bool viewable = attrs && attrs->map_state == XCB_MAP_STATE_VIEWABLE;
        bool overrideRedirect = attrs && attrs->override_redirect;
        std::free(attrs);
        if (!viewable || Cardinal(w, Atom("_NET_WM_PID")) != pid) return;
        Window win;
        win.id = w;
        win.overrideRedirect = overrideRedirect;
        win.title = Text(w, XCB_ATOM_WM_NAME);
        auto* geo = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, w), nullptr);
        auto* at = xcb_translate_coordinates_reply(
            c_, xcb_translate_coordinates(c_, w, root_, 0, 0), nullptr);
        if (geo && at) win.rect = QRect(at->dst_x, at->dst_y, geo->width, geo->height);
        std::free(geo);
        std::free(at);
        out.push_back(win);
    }

    std::vector<xcb_window_t> Children(xcb_window_t w) {
        std::vector<xcb_window_t> out;
        auto* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, w), nullptr);
        if (!tree) return out;
        xcb_window_t* kids = xcb_query_tree_children(tree);
        out.assign(kids, kids + xcb_query_tree_children_length(tree));
        std::free(tree);
        return out;
    }

    xcb_atom_t Atom(const char* name) {
        auto it = atoms_.find(name);
        if (it != atoms_.end()) return it->second;
        auto* r = xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        xcb_atom_t a = r ? r->atom : XCB_NONE;
        std::free(r);
        atoms_[name] = a;
        return a;
    }

    qint64 Cardinal(xcb_window_t w, xcb_atom_t property) {
        auto* r = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, w, property, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        qint64 v = r && xcb_get_property_value_length(r) == 4
                       ? *static_cast<uint32_t*>(xcb_get_property_value(r))
                       : -1;
        std::free(r);
        return v;
    }

    std::string Text(xcb_window_t w, xcb_atom_t property) {
        auto* r = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr);
        std::string s = r ? std::string(static_cast<const char*>(xcb_get_property_value(r)),
                                        xcb_get_property_value_length(r))
                          : std::string();
        std::free(r);
        return s;
    }

    xcb_keycode_t KeyCode(xcb_keysym_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(c_);
        uint8_t count = setup->max_keycode - setup->min_keycode + 1;
        auto* map = xcb_get_keyboard_mapping_reply(
            c_, xcb_get_keyboard_mapping(c_, setup->min_keycode, count), nullptr);
        xcb_keycode_t code = 0;
        if (map) {
            xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
            for (int k = 0; k < count && !code; ++k) {
                for (int i = 0; i < map->keysyms_per_keycode; ++i) {
                    if (syms[k * map->keysyms_per_keycode + i] == keysym) {
                        code = static_cast<xcb_keycode_t>(setup->min_keycode + k);
                        break;
                    }
                }
            }
        }
        std::free(map);
        return code;
    }

    void Fake(uint8_t type, uint8_t detail, QPoint at) {
        xcb_test_fake_input(c_, type, detail, XCB_CURRENT_TIME, XCB_NONE,
                            static_cast<int16_t>(at.x()), static_cast<int16_t>(at.y()), 0);
        Sync();
        QTest::qWait(30);
    }

    // A round trip: the server has handled every request when it answers.
    void Sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

    xcb_connection_t* c_;
    xcb_window_t root_ = XCB_NONE;
    bool usable_ = false;
    std::map<std::string, xcb_atom_t> atoms_;
};

constexpr xcb_keysym_t kEscape = 0xff1b;

// A menu with the player's pop-up menu's items, in the same style on the same display: its item
// rectangles are those of the menu the player shows.
class MenuReplica {
public:
    explicit MenuReplica(bool muted) {
        Add(menu_, "add", "Add File");
        Add(menu_, "Direct", "Add Directory");
        Add(menu_, "n", "Next Track");
        Add(menu_, "Prevus", "Previous Track");
        QAction* mute = Add(menu_, "mute", "Mute");
        mute->setCheckable(muted);
        mute->setChecked(muted);
        skins_ = menu_.addMenu("Skins");
        items_["skin"] = {&menu_, skins_->menuAction()};
        Add(*skins_, "choose", "Choose Skins");
        Add(*skins_, "more", "More Skins...");
        menu_.addSeparator();
        Add(menu_, "Rem", "Remote");
        menu_.addSeparator();
        Add(menu_, "shut", "Shut Down");
        Add(menu_, "setting", "Setting");
        Add(menu_, "about", "About");
        Add(menu_, "exit", "Exit");
        for (QMenu* m : {&menu_, skins_}) {
            m->ensurePolished();
            m->adjustSize();
        }
    }
    QSize Size(bool sub = false) const { return (sub ? skins_ : &menu_)->sizeHint(); }
    bool InSubmenu(const std::string& item) const { return items_.at(item).menu == skins_; }
    // The item's rectangle inside its menu.
    QRect Rect(const std::string& item) const {
        const auto& [menu, action] = items_.at(item);
        return menu->actionGeometry(action);
    }

private:
    QAction* Add(QMenu& to, const std::string& name, const char* caption) {
        QAction* a = to.addAction(caption);
        items_[name] = {&to, a};
        return a;
    }
    struct Item {
        QMenu* menu;
        QAction* action;
    };
    QMenu menu_;
    QMenu* skins_ = nullptr;
    std::map<std::string, Item> items_;
};

class Commands : public ::testing::Test {
protected:
    TempDir program;
    TempDir store{testing_support::MemoryFolder()};
    ScopedEnv dir{"KESTO_PROGRAM_DIR", program.path()};
    ScopedEnv registry{"KESTO_REGISTRY", store / "registry.reg"};
    ScopedEnv audio{"KESTO_AUDIO_SINK", std::string("fakesink")};
    ScopedEnv video{"KESTO_VIDEO_SINK", std::string("fakesink")};
    XServer x;
    testing_support::Programs programs;
    QProcess* player = nullptr;
    XServer::Window main;

    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display";
        if (!x.Usable()) GTEST_SKIP() << "the X server takes no test input";
        fs::copy(testing_support::SourceDir() + "/data", program.path(),
                 fs::copy_options::recursive);
        fs::remove_all(fs::path(program.path()) / "demo");
        // A later run: the load registers no file type of its own.
        SaveSetting("A", "0", "RunCount", "1");
    }

    std::string Wav(const std::string& name, double seconds) {
        std::string path = program / name;
        testing_support::WriteFile(path, testing_support::Wav(seconds));
        return path;
    }

    QProcess& Run(const std::string& file) {
        return programs.Run(KESTO_EXE, {QString::fromStdString(file)});
    }

    // Starts the player with a file and waits for its main window (the one without a title).
    void StartPlayer(const std::string& file) {
        player = &Run(file);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                auto w = x.Find(player->processId(), "");
                if (w) main = *w;
                return w.has_value();
            },
            20000));
        QTest::qWait(500);  // the fade-in
    }

    bool Shown(const std::string& title, int ms = 8000) {
        return QTest::qWaitFor([&] { return x.Find(player->processId(), title).has_value(); }, ms);
    }
    bool Gone(const std::string& title, int ms = 8000) {
        return QTest::qWaitFor([&] { return !x.Find(player->processId(), title).has_value(); }, ms);
    }
    XServer::Window Window(const std::string& title) {
        return x.Find(player->processId(), title).value_or(XServer::Window{});
    }
    // A key pressed once the window of that title has the keyboard focus, as a user presses it
    // after the window has come up.
    void KeyTo(const std::string& title, xcb_keysym_t keysym) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return x.HasFocus(Window(title).id); }, 8000))
            << "\"" << title << "\" never had the focus";
        x.Key(keysym);
    }

    // A label button of the main window, placed by the start-up skin's description file.
    void PressLabel(const char* top, const char* left) {
        const std::string ini = program / "Sk/Tavro.ini";
        float t = std::stof(vb::CStr(ReadINI("Settings", top, "", ini)));
        float l = std::stof(vb::CStr(ReadINI("Settings", left, "", ini)));
        x.Click(main.rect.topLeft() +
                QPoint(static_cast<int>(l / 15) + 8, static_cast<int>(t / 15) + 8));
    }

    // No pop-up menu of the player is up.
    bool NoMenu() {
        return QTest::qWaitFor(
            [&] {
                for (bool muted : {false, true}) {
                    if (x.FindPopup(player->processId(), MenuReplica(muted).Size())) return false;
                }
                return true;
            },
            5000);
    }

    // A right-click on the skin picture where no control lies, as the menu is opened; never so
    // soon after the last one that the two make a double click.
    void OpenMenu() {
        EXPECT_TRUE(NoMenu());
        const int pause = QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100;
        if (lastMenu_.isValid() && lastMenu_.elapsed() < pause)
            QTest::qWait(static_cast<int>(pause - lastMenu_.elapsed()));
        x.Click(main.rect.topLeft() + QPoint(300, 60), 3);
        lastMenu_.start();
    }
    QElapsedTimer lastMenu_;

    // The pop-up menu that is up, laid out like `replica`.
    std::optional<XServer::Window> Popup(const MenuReplica& replica, bool sub = false) {
        std::optional<XServer::Window> w;
        bool up = QTest::qWaitFor(
            [&] {
                w = x.FindPopup(player->processId(), replica.Size(sub));
                return w.has_value();
            },
            5000);
        return up ? w : std::nullopt;
    }

    // Opens the menu on the skin and clicks `item` (in the Skins submenu too).
    void Pick(const std::string& item, bool muted = false) {
        MenuReplica replica(muted);
        OpenMenu();
        auto menu = Popup(replica);
        ASSERT_TRUE(menu) << "no menu of the replica's size " << replica.Size().width() << "x"
                          << replica.Size().height();
        if (replica.InSubmenu(item)) {
            x.Move(menu->rect.topLeft() + replica.Rect("skin").center());
            auto sub = Popup(replica, true);
            ASSERT_TRUE(sub) << "no submenu";
            x.Move(sub->rect.topLeft() + replica.Rect(item).center() + QPoint(0, 1));
            x.Click(sub->rect.topLeft() + replica.Rect(item).center());
        } else {
            x.Click(menu->rect.topLeft() + replica.Rect(item).center());
        }
    }

    // The marks in the check column of the menu's Mute item: none when it is not checked.
    int MuteMarks(bool muted) {
        MenuReplica replica(muted);
        OpenMenu();
        auto menu = Popup(replica);
        if (!menu) return -1;
        const QRect row = replica.Rect("mute").translated(menu->rect.topLeft());
        auto grab = [&] {
            return QGuiApplication::primaryScreen()
                ->grabWindow(0, row.x(), row.y(), row.width(), row.height())
                .toImage();
        };
        // The row once it is drawn: its caption is there and it no longer changes.
        QImage shot;
        (void)QTest::qWaitFor(
            [&] {
                QImage before = grab();
                QTest::qWait(100);
                shot = grab();
                int caption = 0;
                for (int y = 0; y < shot.height(); ++y) {
                    for (int i = 26; i < 60 && i < shot.width(); ++i)
                        caption += shot.pixel(i, y) != shot.pixel(1, 1);
                }
                return shot == before && caption > 20;
            },
            5000);
        x.Key(kEscape);
        EXPECT_TRUE(NoMenu());
        const QRgb ground = shot.pixel(1, 1);
        int marks = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int i = 3; i < 22; ++i) marks += shot.pixel(i, y) != ground;
        }
        return marks;
    }

    static bool Ended(QProcess& p) {
        return QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 10000);
    }

    // True when the main window's title label shows `title`.
    static bool Showing(const char* title) {
        return QTest::qWaitFor(
            [&] {
                HWND w = FindWindowA("ThunderRT6FormDC", "");
                return w && FindWindowExA(w, nullptr, nullptr, title);
            },
            5000);
    }
};

}  // namespace

TEST_F(Commands, EveryLabelButtonDoesWhatItSays) {
    StartPlayer(Wav("a.wav", 60));

    PressLabel("BrowseT", "BrowseL");  // Open
    EXPECT_TRUE(Shown("Kesto Player - Select File(s)..."));
    KeyTo("Kesto Player - Select File(s)...", kEscape);
    EXPECT_TRUE(Gone("Kesto Player - Select File(s)..."));

    PressLabel("LisT", "ListL");
    EXPECT_TRUE(Shown("Playlist"));

    PressLabel("RemoteT", "RemoteL");  // the menu label
    MenuReplica replica(false);
    EXPECT_TRUE(Popup(replica));
    x.Key(kEscape);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !x.FindPopup(player->processId(), replica.Size()); }, 5000));

    PressLabel("AbouT", "AboutL");
    ASSERT_TRUE(Shown("About Kesto"));
    QTest::qWait(500);
    x.Click(Window("About Kesto").rect.center());  // a click closes it
    EXPECT_TRUE(Gone("About Kesto"));

    PressLabel("VideoT", "VideoL");
    EXPECT_TRUE(Shown("Kesto Video"));
    EXPECT_TRUE(Shown("Kesto Remote"));
    // The video window's hide spot hides it and closes the remote.
    x.Click(Window("Kesto Video").rect.topLeft() + QPoint(322, 10));
    EXPECT_TRUE(Gone("Kesto Video"));
    EXPECT_TRUE(Gone("Kesto Remote"));

    EXPECT_FALSE(platform::registry::ReadString(HKEY_CLASSES_ROOT, ".mp3", ""));
    PressLabel("AssociateT", "AssociateL");
    EXPECT_TRUE(QTest::qWaitFor(
        [] {
            return platform::registry::ReadString(HKEY_CLASSES_ROOT, ".avi", "") ==
                   std::optional<std::string>("Kesto.avi");
        },
        10000));
    EXPECT_EQ(
        platform::registry::ReadString(HKEY_CLASSES_ROOT, "Kesto.mp3\\Shell\\Open\\command", ""),
        program / "Kesto %1");

    PressLabel("MinT", "MinL");
    EXPECT_TRUE(QTest::qWaitFor([&] { return x.Iconic(main.id); }, 5000));
    x.Activate(main.id);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !x.Iconic(main.id) && Shown("", 100); }, 5000));
    QTest::qWait(300);

    testing_support::WriteFile(program / "Skins/Test.Jpg", "picture");
    PressLabel("CloseT", "CloseL");
    ASSERT_TRUE(Ended(*player));
    EXPECT_EQ(player->exitCode(), 0);
    EXPECT_TRUE(fs::exists(fs::path(program.path()) / "Skins/Test.JKwo"));
}

TEST_F(Commands, EveryMenuItemDoesWhatItSays) {
    StartPlayer(Wav("a.wav", 60));
    QProcess& second = Run(Wav("b.wav", 60));
    ASSERT_TRUE(Ended(second));
    ASSERT_TRUE(Showing("b.wav"));

    Pick("add");
    EXPECT_TRUE(Shown("Kesto Player - Select File(s)..."));
    KeyTo("Kesto Player - Select File(s)...", kEscape);
    EXPECT_TRUE(Gone("Kesto Player - Select File(s)..."));

    Pick("Direct");
    ASSERT_TRUE(Shown("Choose Directory"));
    QTest::qWait(300);
    x.Click(Window("Choose Directory").rect.topLeft() + QPoint(305, 13));  // its close spot
    EXPECT_TRUE(Gone("Choose Directory"));

    Pick("n");
    EXPECT_TRUE(Showing("a.wav"));
    Pick("n");
    EXPECT_TRUE(Showing("b.wav"));
    Pick("Prevus");
    EXPECT_TRUE(Showing("a.wav"));

    EXPECT_EQ(MuteMarks(false), 0);
    Pick("mute");
    EXPECT_GT(MuteMarks(true), 10);
    Pick("mute", true);
    EXPECT_EQ(MuteMarks(false), 0);

    Pick("choose");
    EXPECT_TRUE(Shown("Choose Skins..."));
    x.Close(Window("Choose Skins...").id);
    EXPECT_TRUE(Gone("Choose Skins..."));

    Pick("more");  // modal
    ASSERT_TRUE(Shown("Login"));
    KeyTo("Login", kEscape);  // its Cancel
    EXPECT_TRUE(Gone("Login"));

    Pick("Rem");
    EXPECT_TRUE(Shown("Kesto Remote"));
    x.Close(Window("Kesto Remote").id);
    EXPECT_TRUE(Gone("Kesto Remote"));

    const std::string marker = program / "sysoff ran";
    testing_support::WriteFile(program / "sysoff", "#!/bin/sh\ntouch \"" + marker + "\"\n");
    fs::permissions(program / "sysoff", fs::perms::owner_all);
    Pick("shut");
    EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(marker); }, 5000));
    EXPECT_EQ(player->state(), QProcess::Running);

    Pick("setting");
    EXPECT_TRUE(Shown("Setting"));
    x.Close(Window("Setting").id);
    EXPECT_TRUE(Gone("Setting"));

    Pick("about");
    ASSERT_TRUE(Shown("About Kesto"));
    QTest::qWait(500);
    x.Click(Window("About Kesto").rect.center());
    EXPECT_TRUE(Gone("About Kesto"));

    testing_support::WriteFile(program / "Skins/Test.Jpg", "picture");
    Pick("exit");
    ASSERT_TRUE(Ended(*player));
    EXPECT_EQ(player->exitCode(), 0);
    EXPECT_TRUE(fs::exists(fs::path(program.path()) / "Skins/Test.JKwo"));
}
