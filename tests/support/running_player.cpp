#include "tests/support/running_player.h"

#include "platform/win/messages.h"

namespace testing_support {

namespace {

// The entries of the index-th list box of the playlist window.
std::vector<std::string> ListEntries(int index) {
    std::vector<std::string> entries;
    HWND form2 = FindWindowA("ThunderRT6FormDC", "Playlist");
    HWND list = nullptr;
    for (int i = 0; form2 && i <= index; ++i) {
        list = FindWindowExA(form2, list, "ThunderRT6ListBox", nullptr);
    }
    LRESULT n = list ? SendMessageA(list, LB_GETCOUNT, 0, 0) : LB_ERR;
    for (LRESULT i = 0; i < n; ++i) {
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length == LB_ERR) continue;
        std::string text(static_cast<size_t>(length) + 1, '\0');
        if (SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(text.data())) != LB_ERR) {
            text.resize(static_cast<size_t>(length));
            entries.push_back(text);
        }
    }
    return entries;
}

}  // namespace

std::vector<std::string> PlaylistTitles() {
    return ListEntries(0);
}

std::vector<std::string> PlaylistPaths() {
    return ListEntries(1);
}

bool PlayerShowing(const std::string& title) {
    HWND main = FindWindowA("ThunderRT6FormDC", "");
    return main && FindWindowExA(main, nullptr, nullptr, title.c_str());
}

std::vector<std::string> PlayerTexts() {
    std::vector<std::string> texts;
    HWND main = FindWindowA("ThunderRT6FormDC", "");
    for (HWND child = main ? FindWindowExA(main, nullptr, nullptr, nullptr) : nullptr; child;
         child = FindWindowExA(main, child, nullptr, nullptr)) {
        char text[512] = {};
        SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        texts.emplace_back(text);
    }
    return texts;
}

bool MailboxUp() {
    return FindWindowA("ThunderRT6FormDC", "Startup") != nullptr;
}

}  // namespace testing_support
