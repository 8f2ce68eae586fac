// The test container's property frame: the frame of the current control's pages (its own and
// the class library's stock colour, font and picture pages, in the order the control lists them),
// worked from the container's commands as a user works it (see container.h for the commands).
//
// While a frame command runs, the dialogs the pages open are answered the way the script says:
// a message box is printed ("message <caption>: <text>") and closed with OK; an open-file dialog
// takes the next answer queued with "frame answer" (a file, or cancel), and is cancelled when
// none is queued ("open <title>: <file>|cancelled").
#pragma once

#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/ole/propframe.h"

namespace testcontainer {

class FrameCommands {
public:
    explicit FrameCommands(std::ostream& out);
    ~FrameCommands();

    // Runs "frame <what> ..." for the current control (null without one); false when it failed.
    bool Run(const std::vector<std::string>& args, IUnknown* control, const std::string& name);
    // Closes the frame (its pages let go of the control).
    void Close();

private:
    bool Open(const std::vector<std::string>& args, IUnknown* control, const std::string& name);
    bool SelectPage(const std::string& which);
    bool Fields();
    bool Set(const std::vector<std::string>& args);
    bool Wait();
    bool Fail(const std::string& why);
    // Runs an action with the pages' dialogs answered as the script says.
    template <class F>
    auto Answering(F&& action);

    std::ostream& out_;
    std::unique_ptr<platform::ole::PropertyFrame> frame_;
    std::deque<std::string> openAnswers_;  // a file, or "" for cancel
};

}  // namespace testcontainer
