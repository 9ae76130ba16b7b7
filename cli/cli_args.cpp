#include "cli/cli_args.h"

#include <limits>

#include "save/randomizer.h"
#include "text/text.h"

namespace vantrix {

namespace {

// What the scan over the arguments has seen so far.
struct ArgScan {
  CliRequest request;
  std::vector<std::string> positionals;
  bool help = false;
  bool version = false;
  bool sawJson = false;
  bool sawSpread = false;
  bool sawSeed = false;
  std::string seedText;
  std::string problem;  // the first problem found
};

void NoteProblem(ArgScan& scan, const std::string& problem) {
  if (scan.problem.empty()) scan.problem = problem;
}

// Marks a once-only option as seen; false (and a problem noted) the second time.
bool TakeOnce(ArgScan& scan, bool& seen, const std::string& name) {
  if (seen) {
    NoteProblem(scan, name + " given twice");
    return false;
  }
  seen = true;
  return true;
}

// Reads one option; `at` is moved past a value taken from the next argument.
void ReadOption(ArgScan& scan, const std::vector<std::string>& args, std::size_t& at) {
  const std::string& arg = args[at];
  const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
  const std::string name = arg.substr(0, equals);
  std::optional<std::string> value;
  if (equals != std::string::npos) value = arg.substr(equals + 1);

  const bool takesValue = name == "--spread" || name == "--seed";
  const bool isFlag = name == "--help" || name == "-h" || name == "--version" || name == "--json";
  if (!takesValue && !isFlag) return NoteProblem(scan, "unknown option " + name);
  if (isFlag && value) return NoteProblem(scan, name + " takes no value");
  if (takesValue && !value) {
    if (at + 1 >= args.size()) return NoteProblem(scan, name + " needs a value");
    value = args[++at];
  }

  if (name == "--help" || name == "-h") {
    scan.help = true;
  } else if (name == "--version") {
    scan.version = true;
  } else if (name == "--json") {
    if (TakeOnce(scan, scan.sawJson, name)) scan.request.json = true;
  } else if (name == "--spread") {
    if (TakeOnce(scan, scan.sawSpread, name)) scan.request.spreadText = *value;
  } else if (TakeOnce(scan, scan.sawSeed, name)) {
    scan.seedText = *value;
  }
}

ArgScan ScanArgs(const std::vector<std::string>& args) {
  ArgScan scan;
  bool optionsEnded = false;
  for (std::size_t at = 0; at < args.size(); ++at) {
    const std::string& arg = args[at];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      ReadOption(scan, args, at);
    } else {
      scan.positionals.push_back(arg);
    }
  }
  return scan;
}

// The command and SAVE from the positional arguments; false with a problem
// noted when they do not make one.
bool ReadCommand(ArgScan& scan) {
  if (scan.positionals.empty()) {
    NoteProblem(scan, "no command given");
    return false;
  }
  const std::string& command = scan.positionals[0];
  if (command == "show") {
    scan.request.command = CliCommand::kShow;
  } else if (command == "roll") {
    scan.request.command = CliCommand::kRoll;
  } else {
    NoteProblem(scan, "unknown command " + command);
    return false;
  }
  if (scan.positionals.size() < 2) NoteProblem(scan, command + " needs a saved game");
  if (scan.positionals.size() > 2) NoteProblem(scan, "unexpected argument " + scan.positionals[2]);
  if (scan.positionals.size() != 2) return false;
  scan.request.savePath = scan.positionals[1];
  return true;
}

void CheckRollOptions(ArgScan& scan) {
  if (scan.request.command != CliCommand::kRoll) {
    if (scan.sawSpread) NoteProblem(scan, "--spread applies to roll only");
    if (scan.sawSeed) NoteProblem(scan, "--seed applies to roll only");
    return;
  }
  if (!ParseSpread(scan.request.spreadText)) {
    NoteProblem(scan, "the spread must be 0 to 200, not '" + scan.request.spreadText + "'");
  }
  if (scan.sawSeed) {
    scan.request.seed = ParseSeed(scan.seedText);
    if (!scan.request.seed) {
      NoteProblem(scan,
                  "the seed must be a whole number 0 to 4294967295, not '" + scan.seedText + "'");
    }
  }
}

CliRequest OnlyCommand(CliCommand command) {
  CliRequest request;
  request.command = command;
  return request;
}

}  // namespace

ParsedArgs ParseCliArgs(const std::vector<std::string>& args) {
  ArgScan scan = ScanArgs(args);
  // Asking for help or the version is answered even beside a mistake.
  if (scan.help) return {OnlyCommand(CliCommand::kHelp), ""};
  if (scan.version && scan.problem.empty()) return {OnlyCommand(CliCommand::kVersion), ""};
  if (ReadCommand(scan)) CheckRollOptions(scan);
  if (!scan.problem.empty()) return {std::nullopt, scan.problem};
  return {scan.request, ""};
}

std::optional<std::uint32_t> ParseSeed(std::string_view text) {
  if (text.empty()) return std::nullopt;
  constexpr std::uint64_t kLargest = std::numeric_limits<std::uint32_t>::max();
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    // Stopping as soon as the value is too large keeps it from wrapping.
    if (value > kLargest) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

std::optional<int> ParseSpread(std::string_view text) {
  const std::int32_t spread = ParseInteger32(text);
  if (spread < 0 || spread > kHighestValue) return std::nullopt;
  return spread;
}

}  // namespace vantrix
