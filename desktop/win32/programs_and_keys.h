// Starting a program, the keyboard and the foreground window.
#pragma once

#include <string>

namespace vantrix::win32 {

// Starts the program at path with no arguments and does not wait for it;
// failing that, hands the file to the shell. Failures are dropped.
void LaunchDetached(const std::string& path);
// Nonzero when the key is down or was pressed since the previous query.
int AsyncKeyState(int code);
// The title of the foreground window of any program, at most 199 characters.
std::string ForegroundWindowTitle();

}  // namespace vantrix::win32
