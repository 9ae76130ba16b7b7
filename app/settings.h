// The settings file "vantrix.prf" in the working directory: the game folder,
// the chosen saved game and the spread, kept from one run to the next.
//
// The file is written as exactly three lines, "key = value" and "\r\n" each,
// for the keys "Skarvel", "game" and "random" in that order, with nothing
// before or after them. It is read more leniently, since it may have been
// edited by hand:
// - a line ends at a carriage return, a line feed or both; empty lines and
//   lines of blanks are skipped, as are blanks and tabs at a line's start;
// - a line starting with ';' is a comment; a line starting with '[' is a group
//   header, and keys are only looked for above the first one;
// - any other line holding '=' is a key line: the key is the text before the
//   first '=' without trailing blanks and tabs, the value the text after it
//   without blanks and tabs at either end; later '=', ';' and quotes belong
//   to the value; a line without '=' says nothing;
// - keys match without regard to ASCII letter case; the first line of a key
//   wins, and a key with an empty value reads as the empty text;
// - a file beginning with the UTF-8 byte-order mark holds UTF-8, and each
//   value is converted to 8-bit text, or to the empty text when it has no
//   8-bit form or is not valid UTF-8.
// Every value read is lowered with LowerText; a missing key's default is used
// unchanged.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/app_state.h"

namespace vantrix {

inline constexpr const char* kSettingsFile = "vantrix.prf";

// Only this much of the settings file is read; lines beyond it are ignored.
// The program writes a few hundred bytes at most.
inline constexpr std::size_t kMaxSettingsBytes = 1024 * 1024;

// The three remembered values, in AppState's terms.
struct SettingsValues {
  std::string gameFolder;
  std::string savePath;
  std::string spreadText;
};

// UTF-8 text converted to 8-bit text; nothing when it has no 8-bit form or is
// not valid UTF-8.
using Utf8Converter = std::function<std::optional<std::string>(const std::string&)>;

// The value of the first key line for key above the first group header, as
// the text holds it (neither converted nor lowered); nothing when the key has
// no such line.
std::optional<std::string> SettingsValue(std::string_view text, std::string_view key);

// The three values that a settings file's bytes give: each key's value,
// converted by fromUtf8 when the bytes begin with the UTF-8 byte-order mark,
// and lowered; or the key's default, unchanged.
SettingsValues SettingsFromBytes(std::string_view bytes, const Utf8Converter& fromUtf8);

// The whole settings file for these values, as StoreSettings writes it.
std::string SettingsFileText(const SettingsValues& values);

// Fills gameFolder, savePath and spreadText from the file, or with their
// defaults when the file is missing or cannot be read whole; never creates or
// changes the file.
void LoadSettings(AppState& state);
// Replaces the file with the three values as held, in one step: a failure
// leaves the old file as it was and no temporary file behind. A read-only
// file is left alone. Nothing is shown either way.
void StoreSettings(AppState& state);

}  // namespace vantrix
