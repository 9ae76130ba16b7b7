#include "app/saved_games.h"

#include "app/activity_log.h"
#include "save/randomizer.h"
#include "text/text.h"

namespace vantrix {

void LoadSave(AppState& state) {
  Desktop& desktop = state.desktop;
  ScopedFile file(desktop, desktop.OpenForReading(state.savePath));
  if (!file.IsOpen()) return;
  const std::uint64_t length = desktop.FileLength(file.Id());
  // A longer file would not fit; a truncated image would give a truncated,
  // corrupt copy, so such a file is refused like one that cannot be opened.
  if (length > state.image.bytes.size()) return;
  std::span<std::uint8_t> into(state.image.bytes.data(), static_cast<std::size_t>(length));
  std::size_t read = 0;
  while (read < into.size()) {
    const std::size_t got = desktop.ReadBytes(file.Id(), into.subspan(read));
    if (got == 0) break;
    read += got;
  }
  state.image.saveSize = read;
  // Only a complete read counts as holding this saved game; an image cut
  // short by a failing read is never written out as its copy.
  state.loadedPath = read == into.size() ? state.savePath : "";
  ReadRoster(state);
}

void ReadRoster(AppState& state) {
  state.roster = BuildRoster(state.image);
  for (const std::string& line : RosterLogLines(state.roster)) AppendLog(state, line);
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
  if (!ReplaceFileAtomically(state.desktop, CopyPathOf(state.savePath), LoadedBytes(state.image))) {
    return;
  }
  state.lastWriteOk = true;
  state.desktop.Pause(kAfterCopyPauseMs);
}

}  // namespace vantrix
