// Modal dialogs: the message box and the open-file dialog.
#pragma once

#include <windows.h>

#include <string>

namespace vantrix::win32 {

// A message box with one OK button, modal to owner (which may be null).
void ShowMessageBox(HWND owner, const std::string& title, const std::string& text);

// The open-file dialog, modal to owner. initialPath is cut at its last
// backslash into the starting folder and a preset file name; filter holds
// "description|pattern" pairs and filterPosition picks one (0 and 1 both
// pick the first). Returns the chosen path, at most 259 characters, or ""
// when cancelled. The working directory is the same afterwards.
std::string ChooseFileDialog(HWND owner, const std::string& title, const std::string& initialPath,
                             const std::string& filter, int filterPosition);

}  // namespace vantrix::win32
