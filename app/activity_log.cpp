#include "app/activity_log.h"

#include <algorithm>

namespace vantrix {

namespace {

void ShiftIn(ActivityLog& log, const std::string& text) {
  std::string line = ("> " + text).substr(0, kLogLineLength);
  std::shift_left(log.begin(), log.end(), 1);
  log.back() = std::move(line);
}

}  // namespace

void AppendLog(AppState& state, const std::string& text) {
  ShiftIn(state.log, text);
  state.desktop.SetControlText(kLogLabel, LogDisplayText(state.log));
}

void AppendLogLines(AppState& state, const std::vector<std::string>& texts) {
  // The label would show the same text after each line; setting it once
  // spares a redraw per line.
  for (const std::string& text : texts) ShiftIn(state.log, text);
  state.desktop.SetControlText(kLogLabel, LogDisplayText(state.log));
}

std::string LogDisplayText(const ActivityLog& log) {
  std::string display;
  for (const std::string& line : log) display += line + "\r\n";
  return display;
}

}  // namespace vantrix
