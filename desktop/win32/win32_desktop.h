// The desktop services on Win32: the one window and its controls, message
// boxes, the open-file dialog, files, starting programs, the clock, random
// numbers, the keyboard, the foreground window and the code page. Use on
// one thread.
//
// Implemented: everything in desktop/desktop.h, with the ANSI ("A") calls.
// Not done: Unicode paths and titles (text is in the system code page).
#pragma once

#include <memory>

#include "desktop/desktop.h"

namespace vantrix {

std::unique_ptr<Desktop> MakeWin32Desktop();

}  // namespace vantrix
