#include "cli/cli.h"

#include "cli/cli_args.h"
#include "cli/cli_report.h"
#include "desktop/random_source.h"
#include "save/randomizer.h"
#include "save/save_file.h"
#include "text/text.h"

namespace vantrix {

namespace {

constexpr const char* kProgram = "vantrix-cli";

int Refuse(std::ostream& err, const std::string& subject, const std::string& reason) {
  err << kProgram << ": " << subject << ": " << reason << "\n";
  return kExitNothingDone;
}

// Loads the saved game into the image; the exit code of the failure and its
// line on err, or kExitDone when the whole file is in.
int LoadForCli(FileStore& store, const std::string& path, SaveImage& image, std::ostream& err) {
  switch (ReadSaveFile(store, path, image)) {
    case LoadResult::kLoaded:
      return kExitDone;
    case LoadResult::kCannotOpen:
      return Refuse(err, path, "cannot open the saved game (missing or unreadable)");
    case LoadResult::kTooLong:
      return Refuse(err, path, "longer than 2,000,000 bytes, not a saved game this tool can hold");
    case LoadResult::kCutShort:
      return Refuse(err, path, "reading stopped before the end of the file (cut short)");
  }
  return kExitNothingDone;
}

// The copy path the shared helpers give, when it lies beside the saved game
// under the expected name. Those helpers read Windows paths: a leading
// double quote, a '|' or a quote in the name bends the copy elsewhere, and a
// POSIX path may hold them; such a path is refused rather than written to
// some other folder.
std::optional<std::string> CopyPathBeside(const std::string& savePath) {
  const std::size_t lastSeparator = savePath.find_last_of("\\/");
  const std::size_t nameAt = lastSeparator == std::string::npos ? 0 : lastSeparator + 1;
  const std::string expected = savePath.substr(0, nameAt) + "_random_" + savePath.substr(nameAt);
  if (savePath.substr(nameAt).empty() || CopyPathOf(savePath) != expected) return std::nullopt;
  return expected;
}

int Show(const CliRequest& request, FileStore& store, std::ostream& out, std::ostream& err) {
  SaveImage image;
  if (int code = LoadForCli(store, request.savePath, image, err); code != kExitDone) return code;
  const std::vector<DriverRow> rows = DriverRows(BuildRoster(image));
  out << (request.json ? ShowJson(request.savePath, rows) : ShowText(rows));
  return kExitDone;
}

int Roll(const CliRequest& request, FileStore& store, std::ostream& out, std::ostream& err) {
  const auto copyPath = CopyPathBeside(request.savePath);
  if (!copyPath) {
    return Refuse(err, request.savePath, "the copy's name cannot be made from this path");
  }
  SaveImage image;
  if (int code = LoadForCli(store, request.savePath, image, err); code != kExitDone) return code;
  if (image.saveSize == 0) return Refuse(err, request.savePath, "empty file, no copy written");
  if (store.IsReadOnly(*copyPath)) return Refuse(err, *copyPath, "read-only, copy not written");

  const Roster roster = BuildRoster(image);
  RollSummary roll;
  roll.savePath = request.savePath;
  roll.copyPath = *copyPath;
  roll.seed = request.seed ? *request.seed : FreshSeed();
  roll.spread = ParseSpread(request.spreadText).value_or(0);
  RandomSource source(roll.seed);
  // The spread goes through the same reading as the window's field, so the
  // draws match the Random button's for the same text.
  roll.levels = RandomizeSlots(image, roster, ParseInteger16(request.spreadText),
                               [&source](std::int64_t max) { return source.Next(max); });
  if (!WriteCopyFile(store, request.savePath, image)) {
    return Refuse(err, *copyPath, "cannot write the copy (folder not writable or disk full)");
  }
  std::vector<DriverRow> rows = DriverRows(roster);
  AddRolledValues(roster, image, rows);
  out << (request.json ? RollJson(roll, rows) : RollText(roll, rows));
  return kExitDone;
}

}  // namespace

std::string CliHelpText() {
  return std::string(kProgram) + " " + VANTRIX_VERSION +
         ": lists the drivers of a saved game and writes randomized copies of it.\n"
         "\n"
         "usage:\n"
         "  vantrix-cli show SAVE [--json]\n"
         "  vantrix-cli roll SAVE [--spread N] [--seed S] [--json]\n"
         "  vantrix-cli --help | --version\n"
         "\n"
         "show       lists the driver slots: slot, name, human or AI, level, extra value.\n"
         "roll       writes \"_random_\" + the file name beside SAVE, in which every AI\n"
         "           driver's level and extra value move by a random amount within\n"
         "           plus or minus the spread, measured from SAVE's values and kept\n"
         "           within 0..200. A value of 0 stays 0. SAVE itself is not changed.\n"
         "--spread N 0 to 200 (default 30).\n"
         "--seed S   0 to 4294967295; the same seed, saved game and spread give the same\n"
         "           copy on every system. Without it a fresh seed is drawn; the seed\n"
         "           used is always printed.\n"
         "--json     prints JSON instead of a table.\n"
         "\n"
         "exit codes: 0 done, 1 nothing written (the reason on stderr), 2 usage error.\n";
}

int RunCli(const std::vector<std::string>& args, FileStore& store, std::ostream& out,
           std::ostream& err) {
  const ParsedArgs parsed = ParseCliArgs(args);
  if (!parsed.request) {
    err << kProgram << ": " << parsed.problem << " (see " << kProgram << " --help)\n";
    return kExitUsage;
  }
  const CliRequest& request = *parsed.request;
  switch (request.command) {
    case CliCommand::kHelp:
      out << CliHelpText();
      return kExitDone;
    case CliCommand::kVersion:
      out << kProgram << " " << VANTRIX_VERSION << "\n";
      return kExitDone;
    case CliCommand::kShow:
      return Show(request, store, out, err);
    case CliCommand::kRoll:
      return Roll(request, store, out, err);
  }
  return kExitUsage;
}

}  // namespace vantrix
