// The program from start to end: startup, the polling loop and its
// dispatch, and the close.
#pragma once

#include "app/app_state.h"

namespace vantrix {

inline constexpr int kPassPauseMs = 50;

// Runs the whole program on this desktop; returns the process's exit code,
// which is always 0.
int RunProgram(Desktop& desktop);

// Startup steps after the settings are read: the window and its controls,
// finding the game, the initial saved game and the cleared key states.
void StartUp(AppState& state);
// One pass of the loop; false when the loop is to end (the close command, or
// the program was ended).
bool RunPass(AppState& state);
// Keeps the spread field within 0..200, on every event the field reports.
void ValidateSpreadField(AppState& state);
// Ends the program at once, without storing the settings.
void EndProgram(AppState& state);

}  // namespace vantrix
