#include "app/program.h"

#include "app/game.h"
#include "app/saved_games.h"
#include "app/settings.h"
#include "text/text.h"

namespace vantrix {

namespace {

void OpenWindow(AppState& state) {
  Desktop& desktop = state.desktop;
  desktop.OpenMainWindow(10, 10, 400, 500, kWindowTitle);
  desktop.AddLabel(kSaveLabel, 10, 10, 350, 24, FileNameOf(state.savePath));
  desktop.AddButton(kGameButton, 10, 100, 80, 30, "Game");
  desktop.AddButton(kStartButton, 10, 170, 80, 30, "Start Skarvel");
  desktop.AddButton(kRandomButton, 150, 100, 80, 30, "Random");
  desktop.AddLabel(kLogLabel, 10, 300, 280, 280, "");
  desktop.AddTextField(kSpreadField, 150, 170, 80, 30, state.spreadText);
}

void LoadInitialSave(AppState& state) {
  if (CanOpenForReading(state.desktop, state.savePath)) {
    LoadSave(state);
    state.desktop.SetControlText(kSaveLabel, FileNameOf(state.savePath));
  } else {
    SelectSave(state);
  }
}

void PressRandom(AppState& state) {
  if (state.image.saveSize < 1 || state.savePath == kNone) return;
  WriteRandomCopy(state);
  if (!state.lastWriteOk) state.desktop.ShowMessage("Vantrix", "Error");
}

void Dispatch(AppState& state, int control) {
  switch (control) {
    case kGameButton: SelectSave(state); break;
    case kStartButton: StartGame(state); break;
    case kRandomButton: PressRandom(state); break;
    case kSpreadField: ValidateSpreadField(state); break;
    default: break;  // the labels report nothing worth acting on
  }
}

}  // namespace

int RunProgram(Desktop& desktop) {
  AppState state(desktop);
  LoadSettings(state);
  StartUp(state);
  if (state.ended) return 0;
  while (RunPass(state)) {
  }
  if (state.ended) return 0;
  state.spreadText = desktop.GetControlText(kSpreadField);
  StoreSettings(state);
  return 0;
}

void StartUp(AppState& state) {
  OpenWindow(state);
  LocateGame(state);
  if (state.ended) return;
  LoadInitialSave(state);
  ResetKeyStates(state);
}

bool RunPass(AppState& state) {
  state.desktop.Pause(kPassPauseMs);
  const int event = state.desktop.PollEvent();
  if (event == kControlEvent) Dispatch(state, state.desktop.EventControl());
  if (state.ended) return false;
  // F5 is sampled on every pass, the closing one included, so a press that
  // is pending when the window closes still writes its copy.
  PollHotkey(state);
  return event != kCloseEvent;
}

void ValidateSpreadField(AppState& state) {
  const std::string text = state.desktop.GetControlText(kSpreadField);
  const std::int32_t value = ParseInteger32(text);
  if (value >= 0 && value <= 200) {
    state.spreadText = text;  // kept exactly as typed
    return;
  }
  // Setting the text makes the field report again. When the field already
  // shows the last accepted text (an out-of-range spread from a hand-edited
  // settings file), setting it again would only start an endless round of
  // events, so it is left alone.
  if (text != state.spreadText) state.desktop.SetControlText(kSpreadField, state.spreadText);
}

void EndProgram(AppState& state) { state.ended = true; }

}  // namespace vantrix
