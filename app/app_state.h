// The one record of program state, and the fixed ids of the window's
// controls.
#pragma once

#include <array>
#include <string>

#include "desktop/desktop.h"
#include "save/saved_game.h"

namespace vantrix {

// Control ids; the dispatch in the loop uses them.
inline constexpr int kSaveLabel = 10;
inline constexpr int kGameButton = 20;
inline constexpr int kStartButton = 21;
inline constexpr int kRandomButton = 22;
inline constexpr int kLogLabel = 8;
inline constexpr int kSpreadField = 5;

inline constexpr int kLogLines = 12;

// The none marker: no game folder or no saved game is set.
inline constexpr const char* kNone = "nix";

inline constexpr const char* kWindowTitle = "Vantrix   F5=New Vantrix in Skarvel";

using ActivityLog = std::array<std::string, kLogLines>;

struct AppState {
  explicit AppState(Desktop& desk) : desktop(desk) { log.fill("> "); }

  Desktop& desktop;
  std::string gameFolder = kNone;  // lower case, ending with a backslash
  std::string savePath = kNone;    // lower case full path of the chosen saved game
  std::string spreadText = "30";   // the spread as typed
  SaveImage image;                 // allocated once here, for the whole run
  Roster roster;
  ActivityLog log;
  bool lastWriteOk = false;
  // The path whose bytes the image holds, "" when no file was ever loaded: a
  // copy is only ever written from the chosen saved game itself.
  std::string loadedPath;
  // Set by EndProgram: the program ends at once, without storing settings.
  bool ended = false;
};

}  // namespace vantrix
