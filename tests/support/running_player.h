// What the tests and benchmarks read from a running player process through its published windows.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// The entries of the running player's playlist window: List1 (titles) or List2 (paths).
std::vector<std::string> PlaylistTitles();
std::vector<std::string> PlaylistPaths();

// True when the running player's main window shows this title.
bool PlayerShowing(const std::string& title);

// The texts of the running player's main window's controls (labels, buttons), in their order.
std::vector<std::string> PlayerTexts();

// True when the running player's mailbox can be found.
bool MailboxUp();

}  // namespace testing_support
