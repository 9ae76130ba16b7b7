// What vantrix-cli prints: the driver slots of a saved game as a table or as
// JSON, before and after a roll.
//
// Driver names are game text in the Windows-1252 code page; they are printed
// as UTF-8 on every system, so terminals and JSON readers show them alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "save/saved_game.h"

namespace vantrix {

// One listed driver slot.
struct DriverRow {
  int slot = 0;      // 1..6
  std::string name;  // as stored, without the roster's ",AI n" or ",human"
  bool human = false;
  std::optional<int> level;     // as loaded; none for a human driver or a level past the file's end
  std::optional<int> extra;     // as loaded; none when the slot has no extra value
  std::optional<int> newLevel;  // after a roll, only for a level the roll moves
  std::optional<int> newExtra;  // after a roll, only for an extra value the roll moves
};

// What a roll did, besides the rows.
struct RollSummary {
  std::string savePath;
  std::string copyPath;
  std::uint32_t seed = 0;
  int spread = 0;
  std::vector<int> levels;  // the new AI levels in slot order, as the window logs them
};

// The listed slots of a roster, as loaded.
std::vector<DriverRow> DriverRows(const Roster& roster);

// Fills newLevel and newExtra from the image after a roll: a value moves only
// when the slot has it and it was not 0 as loaded.
void AddRolledValues(const Roster& roster, const SaveImage& image, std::vector<DriverRow>& rows);

std::string ShowText(const std::vector<DriverRow>& rows);
std::string ShowJson(const std::string& savePath, const std::vector<DriverRow>& rows);
std::string RollText(const RollSummary& roll, const std::vector<DriverRow>& rows);
std::string RollJson(const RollSummary& roll, const std::vector<DriverRow>& rows);

// Windows-1252 text as UTF-8. The five bytes the code page leaves undefined
// become the control characters of the same number, as Windows maps them.
std::string Windows1252ToUtf8(std::string_view text);

// A JSON string literal, quotes included. UTF-8 text is kept; text that is
// not valid UTF-8 (a path in the Windows code page) is read as Windows-1252.
std::string JsonString(std::string_view text);

}  // namespace vantrix
