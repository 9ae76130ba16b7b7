#include "app/game.h"

#include "app/program.h"
#include "app/saved_games.h"
#include "text/text.h"

namespace vantrix {

namespace {

bool GameExecutableFound(AppState& state) {
  return CanOpenForReading(state.desktop, state.gameFolder + kGameExecutable);
}

}  // namespace

void LocateGame(AppState& state) {
  if (GameExecutableFound(state)) return;
  state.gameFolder = "";
  const std::string chosen =
      LowerText(state.desktop.ChooseFile("Surching Skarvel.exe", "", "exe|Skarvel.exe", 0));
  if (chosen.empty()) {
    state.desktop.ShowMessage("Error", "No Skarvel.exe !!");
    EndProgram(state);
    return;
  }
  // The chosen file's own name is not examined: its folder is the game's.
  state.gameFolder = FolderOf(chosen);
}

void StartGame(AppState& state) {
  if (state.savePath == kNone) {
    state.desktop.ShowMessage("ERROR", "No Game");
    return;
  }
  if (!GameExecutableFound(state)) {
    state.desktop.ShowMessage("ERROR", "Skarvel not found");
    EndProgram(state);
    return;
  }
  state.desktop.LaunchProgram(state.gameFolder + kGameExecutable);
}

void ResetKeyStates(AppState& state) {
  for (int code = 0; code <= 255; ++code) state.desktop.KeyState(code);
}

void PollHotkey(AppState& state) {
  if (state.desktop.KeyState(kF5) == 0) return;
  if (state.desktop.ForegroundTitle() != kGameTitle || state.savePath == kNone) return;
  // Nothing is shown either way: the player is in the game.
  WriteRandomCopy(state);
}

}  // namespace vantrix
