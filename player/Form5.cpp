#include "player/Form5.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/base/report.h"
#include "platform/files/files.h"
#include "platform/vb/App.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Error.h"
#include "platform/win/messages.h"
#include "player/Form2.h"
#include "player/FrmVideo.h"
#include "player/Module3.h"
#include "player/Remote.h"
#include "player/frmMain1.h"

namespace forms {

Form5::Form5() : vb::Form("Form5", "Startup") {
    Timer1.OnTimer = [this] { Timer1_Timer(); };
    Command1.Click = [this] { Command1_Click(); };
    // Every text a second start puts into the mailbox is kept until the next poll, so that two
    // starts within one poll interval both reach the playlist.
    TxtEdit1.Change = [this] {
        if (!polling_ && !TxtEdit1.Text().empty()) arrived_.push_back(TxtEdit1.Text());
    };
}

std::string Form5::NormalizeCommandLine(std::string s) {
    if (!s.empty() && s[0] == '"') s.erase(0, 1);
    if (s.find('"') != std::string::npos) s = vb::Left(s, vb::Len(s) - 1);
    return s;
}

void Form5::Form_Load() {
    ::FrmVideo->Timer1.SetEnabled(false);  // loads the video window and its player, hidden
    // A relative path names a file in this process's working folder, also for the running player
    // it is handed to.
    s_ = platform::files::AbsolutePath(NormalizeCommandLine(vb::Command()));
    Hide();

    if (vb::App::PrevInstance()) {
        HandOver();
        vb::End();
    }
    // This is the first instance: from now on later starts find the mailbox.
    platform::win::PublishWindows();
    if (!s_.empty()) {
        StartWithFile();
    } else {
        StartWithoutFile();
    }
}

void Form5::HandOver() {
    SetCaption("Miralo");  // so that the search cannot find this process's own mailbox
    HWND t = nullptr;
    LRESULT delivered = 0;
    // The running player may still be starting (under a burst of starts that can take a while):
    // its mailbox is waited for as long as it runs, within reason.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(mailboxWaitMs);
    const char* failure = nullptr;
    int pause = 25;
    for (;;) {
        vb::ResumeNext([&] {
            HWND h = FindWindowA("ThunderRT6FormDC", "StartUp");
            t = h ? FindWindowExA(h, nullptr, "ThunderRT6TextBox", nullptr) : nullptr;
        });
        if (t) {
            vb::ResumeNext([&] {
                delivered = SendMessageA(t, WM_SETTEXT, 256, reinterpret_cast<LPARAM>(s_.c_str()));
            });
        }
        if (delivered) return;
        if (!vb::App::PrevInstanceRunning()) {
            failure = "the running player ended before it took";
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            failure = "the running player did not take";
            break;
        }
        // Many starts may wait at once: they ask less often the longer they wait, leaving the
        // processor to the player that is starting.
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        pause = std::min(pause * 2, 400);
    }
    platform::base::Report(vb::App::Title(), std::string(failure) + " \"" + s_ + "\"");
    vb::End(1);
}

void Form5::StartWithFile() {
    auto& player = ::FrmVideo->MediaPlayer1;
    ::FrmVideo->Timer1.SetEnabled(true);
    ::Remote->Timer1.SetEnabled(true);
    ::Form2->List2.AddItem(s_);
    // A file the player refuses still becomes a playlist entry; the window comes up as usual.
    vb::ResumeNext([&] { player.SetFileName(s_); });
    std::string text = DurationText(player.Duration());
    ::frmMain1->Label1.SetCaption(text);  // the first touch loads the main window
    ::Remote->QuixLabel2.SetCaption(text);
    if (IsDatFile(player.FileName())) {
        ::FrmVideo->Show();
        ::Remote->Show();
    } else {
        ::FrmVideo->SetVisible(false);
    }
    ::frmMain1->Show();
    ::frmMain1->Timer1.SetEnabled(true);
    AddToPlaylist(s_, s_);
}

void Form5::StartWithoutFile() {
    ::FrmVideo->Timer1.SetEnabled(false);
    ::frmMain1->Timer1.SetEnabled(false);  // the first touch loads the main window
    ::frmMain1->Show();
}

void Form5::Timer1_Timer() {
    if (arrived_.empty()) {
        if (TxtEdit1.Text().empty()) return;
        arrived_.push_back(TxtEdit1.Text());
    }
    polling_ = true;
    std::string last;
    while (!arrived_.empty()) {
        std::string text = arrived_.front();
        arrived_.pop_front();
        Command1.SetEnabled(true);
        ::Form2->List2.AddItem(text);
        std::string title = text;
        AddToPlaylist(text, title);
        last = text;
    }
    // The latest text plays.
    TxtEdit1.SetText(last);
    Command1_Click();
    TxtEdit1.SetText("");
    polling_ = false;
}

void Form5::Command1_Click() {
    auto& player = ::FrmVideo->MediaPlayer1;
    vb::ResumeNext([&] { player.SetFileName(TxtEdit1.Text()); });
    if (IsDatFile(player.FileName())) {
        ::FrmVideo->Show();
        ::Remote->Show();
    } else {
        ::FrmVideo->SetVisible(false);
    }
    std::string text = DurationText(player.Duration());
    ::frmMain1->Label1.SetCaption(text);
    ::Remote->QuixLabel2.SetCaption(text);
    Command1.SetEnabled(false);
}

void Form5::AddToPlaylist(std::string& path, std::string& title) {
    long d = vb::InStr(path, ".");
    long b = 0;
    for (long at = vb::InStr(path, "/"); at > 0; at = vb::InStr(at + 1, path, "/")) b = at;
    std::string result = vb::Mid(path, b + 1, d);
    title = result;
    vb::ResumeNext([&] { ::Form2->List1.AddItem(result); });
    vb::ResumeNext([&] { ::frmMain1->Label24.SetCaption(result); });
}

}  // namespace forms
