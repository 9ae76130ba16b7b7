#include "app/saved_games.h"

#include "app/activity_log.h"
#include "save/randomizer.h"
#include "save/save_file.h"
#include "text/text.h"

namespace vantrix {

void LoadSave(AppState& state) {
  switch (ReadSaveFile(state.desktop, state.savePath, state.image)) {
    case LoadResult::kCannotOpen:
    case LoadResult::kTooLong:
      return;  // nothing changed, nothing shown
    case LoadResult::kLoaded:
      state.loadedPath = state.savePath;
      break;
    case LoadResult::kCutShort:
      // The image no longer holds any saved game whole, so no copy may be
      // written from it.
      state.loadedPath = "";
      break;
  }
  ReadRoster(state);
}

void ReadRoster(AppState& state) {
  state.roster = BuildRoster(state.image);
  AppendLogLines(state, RosterLogLines(state.roster));
}

void SelectSave(AppState& state) {
  const std::string chosen = LowerText(
      state.desktop.ChooseFile("Select Game", state.gameFolder + "Saves\\", "gam|*.gam", 0));
  if (chosen.size() >= 2) {
    state.savePath = chosen;
    LoadSave(state);
  } else {
    state.savePath = kNone;
  }
  state.desktop.SetControlText(kSaveLabel, FileNameOf(state.savePath));
}

void RandomizeRoster(AppState& state) {
  // The field is read as it stands, typing not yet validated included; the
  // last accepted text stays the one the field falls back to.
  const std::string spread = state.desktop.GetControlText(kSpreadField);
  Desktop& desktop = state.desktop;
  const auto levels = RandomizeSlots(state.image, state.roster, ParseInteger16(spread),
                                     [&desktop](std::int64_t max) { return desktop.RandomInt(max); });
  std::string line = "AI:  ";
  for (int level : levels) line += IntText(level) + "  ";
  AppendLog(state, line);
}

void WriteRandomCopy(AppState& state) {
  RandomizeRoster(state);
  state.lastWriteOk = false;
  if (state.savePath == kNone || state.image.saveSize == 0) return;
  // Never write a copy of an image that does not hold the chosen saved game
  // (it could not be loaded, or nothing was ever loaded).
  if (state.loadedPath != state.savePath) return;
  if (!WriteCopyFile(state.desktop, state.savePath, state.image)) return;
  state.lastWriteOk = true;
  state.desktop.Pause(kAfterCopyPauseMs);
}

}  // namespace vantrix
