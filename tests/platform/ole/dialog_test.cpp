#include "platform/ole/dialog.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "platform/win/window.h"
#include "tests/support/test_support.h"

namespace {

const DialogTemplate kAbout{"About Test",
                            200,
                            60,
                            {{DialogItem::Icon, 100, "", 10, 10, 20, 20},
                             {DialogItem::Static, 101, "Test control, version 5.0", 40, 10, 150, 8},
                             {DialogItem::DefaultButton, IDOK, "OK", 140, 40, 50, 14}}};

}  // namespace

TEST(Dialogs, RunModallyUntilAButtonIsPressed) {
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "About Test");
        auto* ok = dialog->findChild<QPushButton*>("1");
        ASSERT_NE(ok, nullptr);
        ok->click();
    });
    CDialog about(kAbout);
    EXPECT_EQ(about.DoModal(), IDOK);
}

TEST(Dialogs, AreOnlyLoggedInHeadlessRuns) {
    testing_support::ScopedEnv mode("KESTO_DIALOGS", "log");
    testing::internal::CaptureStderr();
    CDialog about(kAbout);
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_EQ(AfxMessageBox(nullptr, "Could not go", "Title", MB_OK | MB_ICONEXCLAMATION), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Dialog: About Test: Test control, version 5.0\n"
              "MessageBox 0x30: Title: Could not go\n");

    std::string seen;
    platform::ole::SetMessageBoxPresenter(
        [&](HWND, const std::string& text, const std::string& caption, UINT type) {
            seen = caption + "|" + text + "|" + std::to_string(type);
            return IDCANCEL;
        });
    EXPECT_EQ(AfxMessageBox(nullptr, "text", "caption", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(seen, "caption|text|1");
    platform::ole::SetMessageBoxPresenter({});
}

namespace {

// A child dialog with one control of each kind, which records the notices it gets.
const DialogTemplate kChild{
    "",
    200,
    80,
    {{DialogItem::Edit, 10, "", 5, 5, 60, 12, WS_BORDER | ES_AUTOHSCROLL},
     {DialogItem::ComboBox,
      11,
      "",
      5,
      20,
      80,
      60,
      CBS_DROPDOWNLIST | CBS_SORT,
      {"2 - Two", "0 - zero", "1 - One"}},
     {DialogItem::ComboBox, 12, "", 5, 35, 80, 60, CBS_DROPDOWNLIST, {"b", "a"}},
     {DialogItem::CheckBox, 13, "Flag", 5, 50, 50, 10, BS_AUTOCHECKBOX},
     {DialogItem::Button, 14, "Go", 100, 5, 30, 14}},
    WS_CHILD};

class Recording : public CDialog {
public:
    Recording() : CDialog(kChild) {}
    std::vector<std::pair<int, int>> notices;  // id, code
    std::string text;
    int number = 0, index = -1, flag = 0;
    bool numbers = false;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        notices.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
    void DoDataExchange(CDataExchange* pDX) override {
        if (numbers) {
            DDX_Text(pDX, 10, number);
        } else {
            DDX_Text(pDX, 10, text);
        }
        DDX_CBIndex(pDX, 11, index);
        DDX_Check(pDX, 13, flag);
    }
};

class ChildDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dialog.Create(platform::win::HandleOf(&parent)));
        hwnd = dialog.GetSafeHwnd();
        ASSERT_NE(hwnd, nullptr);
    }
    QWidget parent;
    Recording dialog;
    HWND hwnd = nullptr;
};

std::string Entry(HWND hwnd, int id, int index) {
    char text[64] = "";
    SendDlgItemMessageA(hwnd, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace

TEST_F(ChildDialog, SortedListsKeepTheirEntriesInOrderAndInsertionsWhereTheyAreAsked) {
    EXPECT_EQ(SendDlgItemMessageA(hwnd, 11, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(Entry(hwnd, 11, 0), "0 - zero");
    EXPECT_EQ(Entry(hwnd, 11, 2), "2 - Two");
    EXPECT_EQ(Entry(hwnd, 12, 0), "b") << "an unsorted list keeps the data's order";
    EXPECT_EQ(SendDlgItemMessageA(hwnd, 11, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("1 - a")), 1);
    EXPECT_EQ(SendDlgItemMessageA(hwnd, 11, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zz")), 0);
    EXPECT_EQ(Entry(hwnd, 11, 0), "zz");
    EXPECT_EQ(SendDlgItemMessageA(hwnd, 11, CB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")),
              CB_ERR);
    EXPECT_EQ(SendDlgItemMessageA(hwnd, 11, CB_GETCURSEL, 0, 0), -1) << "no selection at first";
    EXPECT_EQ(SendDlgItemMessageA(hwnd, 11, CB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(platform::ole::DialogItemText(hwnd, 11), "1 - a");
    EXPECT_EQ(SendDlgItemMessageA(hwnd, 11, CB_SETCURSEL, 99, 0), CB_ERR);
    EXPECT_EQ(SendDlgItemMessageA(hwnd, 11, CB_GETCURSEL, 0, 0), -1);
    EXPECT_EQ(platform::ole::DialogItemIds(hwnd), (std::vector<int>{10, 11, 12, 13, 14}));
    EXPECT_EQ(platform::ole::DialogItemKind(hwnd, 12), "list");
    EXPECT_EQ(platform::ole::DialogItemKind(hwnd, 99), "");
}

TEST_F(ChildDialog, ControlsNotifyTheUsersChangesAndEveryTextChange) {
    SendDlgItemMessageA(hwnd, 11, CB_SETCURSEL, 1, 0);
    SendDlgItemMessageA(hwnd, 13, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(dialog.notices.empty()) << "the program's own selections send nothing";
    SetDlgItemTextA(hwnd, 10, "abc");
    EXPECT_TRUE(platform::ole::UserSelect(hwnd, 11, 2));
    EXPECT_TRUE(platform::ole::UserClick(hwnd, 13));
    EXPECT_TRUE(platform::ole::UserClick(hwnd, 14));
    EXPECT_TRUE(platform::ole::UserType(hwnd, 10, "typed"));
    EXPECT_EQ(dialog.notices, (std::vector<std::pair<int, int>>{{10, EN_CHANGE},
                                                                {11, CBN_SELCHANGE},
                                                                {13, BN_CLICKED},
                                                                {14, BN_CLICKED},
                                                                {10, EN_CHANGE}}));
    EXPECT_EQ(SendDlgItemMessageA(hwnd, 13, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    char text[4];
    EXPECT_EQ(GetDlgItemTextA(hwnd, 10, text, sizeof text), 3u);
    EXPECT_STREQ(text, "typ") << "cut to the buffer";
    EXPECT_FALSE(platform::ole::UserSelect(hwnd, 11, 3));
    EXPECT_FALSE(platform::ole::UserType(hwnd, 11, "x")) << "a list is no edit box";
}

TEST_F(ChildDialog, ExchangesMembersWithTheControlsBothWays) {
    dialog.text = "hello";
    dialog.index = 1;
    dialog.flag = 1;
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(platform::ole::DialogItemText(hwnd, 10), "hello");
    EXPECT_EQ(platform::ole::DialogItemText(hwnd, 11), "1 - One");
    EXPECT_EQ(SendDlgItemMessageA(hwnd, 13, BM_GETCHECK, 0, 0), BST_CHECKED);
    platform::ole::UserType(hwnd, 10, "bye");
    platform::ole::UserSelect(hwnd, 11, 2);
    platform::ole::UserClick(hwnd, 13);
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.text, "bye");
    EXPECT_EQ(dialog.index, 2);
    EXPECT_EQ(dialog.flag, 0);
}

TEST_F(ChildDialog, NumberFieldsTakeWholeNumbersOnly) {
    std::vector<std::string> messages;
    platform::ole::SetMessageBoxPresenter(
        [&](HWND, const std::string& text, const std::string&, UINT type) {
            messages.push_back(text);
            EXPECT_EQ(type, MB_OK | MB_ICONEXCLAMATION);
            return IDOK;
        });
    dialog.numbers = true;
    const std::pair<const char*, int> good[] = {
        {"12", 12}, {" -5 ", -5}, {"+7", 7}, {"2147483647", 2147483647}};
    for (const auto& [text, value] : good) {
        platform::ole::UserType(hwnd, 10, text);
        EXPECT_TRUE(dialog.UpdateData(TRUE)) << text;
        EXPECT_EQ(dialog.number, value) << text;
    }
    for (const char* text : {"", "1.5", "12a", "- 3", "2147483648", "&H10"}) {
        dialog.number = 42;
        platform::ole::UserType(hwnd, 10, text);
        EXPECT_FALSE(dialog.UpdateData(TRUE)) << text;
        EXPECT_EQ(dialog.number, 42) << text;
    }
    EXPECT_EQ(messages, std::vector<std::string>(6, kParseIntMessage));
    platform::ole::SetMessageBoxPresenter({});
    dialog.number = -12;
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(platform::ole::DialogItemText(hwnd, 10), "-12");
}

TEST(Dialogs, CannotMakeChildDialogsInHeadlessRuns) {
    testing_support::ScopedEnv mode("KESTO_DIALOGS", "log");
    QWidget parent;
    Recording dialog;
    EXPECT_FALSE(dialog.Create(platform::win::HandleOf(&parent)));
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}
