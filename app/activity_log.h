// The activity log: the last twelve lines of what the program did, shown in
// the log label.
#pragma once

#include <string>
#include <vector>

#include "app/app_state.h"

namespace vantrix {

// Lines longer than this are cut.
inline constexpr std::size_t kLogLineLength = 100;

// Adds "> " + text as the newest line (the oldest drops off) and shows the
// whole log, each line followed by "\r\n".
void AppendLog(AppState& state, const std::string& text);

// Adds several lines as AppendLog would one by one, showing the log once.
void AppendLogLines(AppState& state, const std::vector<std::string>& texts);

// The text the log label shows.
std::string LogDisplayText(const ActivityLog& log);

}  // namespace vantrix
