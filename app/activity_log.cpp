#include "app/activity_log.h"

#include <algorithm>

namespace vantrix {

void AppendLog(AppState& state, const std::string& text) {
  std::string line = ("> " + text).substr(0, kLogLineLength);
  std::shift_left(state.log.begin(), state.log.end(), 1);
  state.log.back() = std::move(line);
  state.desktop.SetControlText(kLogLabel, LogDisplayText(state.log));
}

std::string LogDisplayText(const ActivityLog& log) {
  std::string display;
  for (const std::string& line : log) display += line + "\r\n";
  return display;
}

}  // namespace vantrix
