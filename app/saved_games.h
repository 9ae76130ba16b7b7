// The saved game the program works on: loading it, choosing it, and writing
// its randomized copy.
#pragma once

#include "app/app_state.h"

namespace vantrix {

inline constexpr int kAfterCopyPauseMs = 300;

// Reads the file at savePath into the image and rebuilds the roster. A file
// that cannot be opened, or that is longer than the image holds, changes
// nothing and shows nothing.
void LoadSave(AppState& state);
// Rebuilds the roster from the image and lists it in the activity log.
void ReadRoster(AppState& state);
// Lets the user choose a saved game in the game's "Saves\" folder; a
// cancelled dialog sets savePath to "nix". Shows the file name in SaveLabel.
void SelectSave(AppState& state);
// Draws new AI levels and extra values into the image and logs the levels.
void RandomizeRoster(AppState& state);
// Randomizes, then replaces the copy beside the saved game; lastWriteOk
// tells whether the copy was written whole.
void WriteRandomCopy(AppState& state);

}  // namespace vantrix
