// testcontainer [--gui] [--no-system-classes] [--script <file>] [<command> ...]
// Runs the commands of the script file and then those given as arguments (see container.h).
// --gui makes the window system's application object (for controls that show dialogs);
// --no-system-classes leaves the platform's own classes unregistered.
#include <QApplication>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>

#include "hosts/testcontainer/container.h"
#include "platform/base/report.h"
#include "platform/com/activation.h"

int main(int argc, char** argv) {
    bool gui = false, systemClasses = true;
    std::string script;
    std::vector<std::string> commands;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--gui") {
            gui = true;
        } else if (a == "--no-system-classes") {
            systemClasses = false;
        } else if (a == "--script" && i + 1 < argc) {
            script = argv[++i];
        } else if (a == "--help") {
            std::cout << "usage: testcontainer [--gui] [--no-system-classes] [--script <file>] "
                         "[<command> ...]\n";
            return 0;
        } else if (a.rfind("--", 0) == 0) {
            platform::base::Report("testcontainer", "unknown option " + a);
            return 2;
        } else {
            commands.push_back(a);
        }
    }
    std::unique_ptr<QApplication> app;
    if (gui) app = std::make_unique<QApplication>(argc, argv);
    CoInitialize(nullptr);
    if (systemClasses) platform::com::RegisterSystemClasses();
    bool ok = true;
    {
        testcontainer::Container container(std::cout);
        if (!script.empty()) {
            std::ifstream in(script);
            if (!in) {
                platform::base::Report("testcontainer", "cannot read " + script);
                return 2;
            }
            std::string line;
            while (std::getline(in, line)) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                ok = container.Run(line) && ok;
                std::cout.flush();
            }
        }
        for (const auto& c : commands) {
            ok = container.Run(c) && ok;
            std::cout.flush();  // a watcher sees each command's answer at once
        }
    }
    std::cout.flush();
    CoUninitialize();
    return ok ? 0 : 1;
}
