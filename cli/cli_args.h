// The command line of vantrix-cli, read into plain data.
//
//   vantrix-cli show SAVE [--json]
//   vantrix-cli roll SAVE [--spread N] [--seed S] [--json]
//   vantrix-cli --help | --version
//
// Options may stand before or after SAVE and take their value either as the
// next argument or after '='; "--" ends the options, so a SAVE that starts
// with '-' can still be named.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

enum class CliCommand { kHelp, kVersion, kShow, kRoll };

// The spread when none is given, as in the window.
inline constexpr std::string_view kDefaultSpreadText = "30";

struct CliRequest {
  CliCommand command = CliCommand::kHelp;
  std::string savePath;  // exactly as given
  bool json = false;
  std::string spreadText{kDefaultSpreadText};  // read as the window reads its spread field
  std::optional<std::uint32_t> seed;           // none: a fresh seed is drawn
};

// A request, or the reason the command line is not one (a usage error).
struct ParsedArgs {
  std::optional<CliRequest> request;
  std::string problem;
};

// Reads the arguments after the program name.
ParsedArgs ParseCliArgs(const std::vector<std::string>& args);

// A seed: decimal digits only, naming a value that fits in 32 unsigned bits;
// nothing for any other text (signs, blanks, hex and overflow included), so
// a typo never silently becomes another seed.
std::optional<std::uint32_t> ParseSeed(std::string_view text);

// The spread as the window reads its field (ParseInteger, low 32 bits);
// nothing when that falls outside 0..200.
std::optional<int> ParseSpread(std::string_view text);

}  // namespace vantrix
