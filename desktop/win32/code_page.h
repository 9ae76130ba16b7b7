// Converting text into the system's 8-bit code page.
#pragma once

#include <optional>
#include <string>

namespace vantrix::win32 {

// UTF-8 text in the system's ANSI code page; nothing when the text is not
// valid UTF-8 or holds a character that the code page cannot show.
std::optional<std::string> AnsiFromUtf8(const std::string& utf8);

}  // namespace vantrix::win32
