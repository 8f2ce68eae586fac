// Form5: the start-up form. It reads the command line, decides whether this process is the first
// instance, and either hands the command line to the running player and ends, or starts the
// player. It stays loaded and hidden for the whole run as the single-instance mailbox.
#pragma once

#include <deque>
#include <string>

#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"
#include "platform/vb/Timer.h"

namespace forms {

class Form5 : public vb::Form {
public:
    Form5();

    // The mailbox: a second start writes its command line here.
    vb::TextBox TxtEdit1{this, "TxtEdit1"};
    // Polls the mailbox every 100 ms for the whole run.
    vb::Timer Timer1{this, "Timer1", 100, true};
    vb::CommandButton Command1{this, "Command1", "Command1"};

    void Form_Load() override;
    void Timer1_Timer();
    void Command1_Click();

    // The display title of `path`, stored into `title`, appended to the playlist's titles and
    // shown as the main window's title.
    void AddToPlaylist(std::string& path, std::string& title);

    // The command line as the first steps of the load leave it: a leading quote dropped, and
    // with a further quote anywhere the last character dropped.
    static std::string NormalizeCommandLine(std::string s);

    // How long a second start waits at most for the mailbox of a player that runs but has not
    // shown it yet; it stops waiting at once when that player ends.
    static inline int mailboxWaitMs = 300000;

private:
    // Delivers the command line to the running player; ends this process with a non-zero status
    // and a message on stderr when it cannot.
    void HandOver();
    void StartWithFile();
    void StartWithoutFile();

    // The normalised command line; after start-up, the title AddToPlaylist made of it.
    std::string s_;
    // Texts that arrived in the mailbox since the last poll, oldest first.
    std::deque<std::string> arrived_;
    bool polling_ = false;
};

}  // namespace forms

inline vb::DefaultForm<forms::Form5> Form5;
