#include "app/activity_log.h"

#include <algorithm>

namespace vantrix {

namespace {

std::string LogLine(const std::string& text) {
  std::string line = "> ";
  line.append(text, 0, kLogLineLength - line.size());
  return line;
}

void ShowLog(AppState& state) {
  state.desktop.SetControlText(kLogLabel, LogDisplayText(state.log));
}

}  // namespace

void AppendLog(AppState& state, const std::string& text) {
  AppendLogLines(state, {text});
}

void AppendLogLines(AppState& state, const std::vector<std::string>& texts) {
  // Only the last twelve lines can stay; the older ones move up once by as
  // many places as new lines come, and the label is set once for all of
  // them: it would show the same text after each line.
  ActivityLog& log = state.log;
  const std::size_t kept = std::min(texts.size(), log.size());
  std::shift_left(log.begin(), log.end(), static_cast<std::ptrdiff_t>(kept));
  const auto newest = texts.end() - static_cast<std::ptrdiff_t>(kept);
  std::transform(newest, texts.end(), log.end() - static_cast<std::ptrdiff_t>(kept), LogLine);
  ShowLog(state);
}

std::string LogDisplayText(const ActivityLog& log) {
  std::size_t length = 0;
  for (const std::string& line : log) length += line.size() + 2;
  std::string display;
  display.reserve(length);
  for (const std::string& line : log) display.append(line).append("\r\n");
  return display;
}

}  // namespace vantrix
