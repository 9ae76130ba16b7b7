// The game itself: finding its executable, starting it, and F5 pressed while
// its window is in front.
#pragma once

#include "app/app_state.h"

namespace vantrix {

inline constexpr int kF5 = 116;
inline constexpr const char* kGameTitle = "Skarvel";
inline constexpr const char* kGameExecutable = "Skarvel.exe";

// Makes sure gameFolder holds the game's executable, asking the user for it
// when it does not; ends the program when the user gives none.
void LocateGame(AppState& state);
// Starts the game beside the tool; ends the program when the executable has
// gone.
void StartGame(AppState& state);
// Clears the keyboard's marks of keys pressed before the tool started.
void ResetKeyStates(AppState& state);
// Writes a fresh copy when F5 is down or was pressed while the game's window
// is in front.
void PollHotkey(AppState& state);

}  // namespace vantrix
