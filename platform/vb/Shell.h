// The run-time's Shell function.
#pragma once

#include <string>

namespace vb {

enum ShellWindowStyle : int { vbHide = 0, vbNormalFocus = 1, vbMinimizedFocus = 2 };

// Starts the program at `path` (no arguments) and returns its process id without waiting for
// it. A program that cannot be started raises run-time error 53.
double Shell(const std::string& path, int windowStyle = vbMinimizedFocus);

}  // namespace vb
