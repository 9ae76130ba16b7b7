#include "tests/fuzz/saved_game_run.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <set>
#include <string>

#include "app/app_state.h"
#include "app/program.h"
#include "desktop/memory/memory_desktop.h"
#include "tests/fuzz/fuzz_check.h"

namespace vantrix::fuzz {
namespace {

// The numbers below are the layout's and the program's own, written out here
// rather than taken from save/ and app/, so that the model cannot share a
// mistake with the code it checks.
constexpr std::size_t kCapacity = 2'000'000;
constexpr int kF5Code = 116;
constexpr std::size_t kLogLineLimit = 100;
constexpr int kHighest = 200;

const std::string kGameFolder = "c:\\games\\skarvel\\";
const std::string kExecutable = kGameFolder + "Skarvel.exe";
const std::string kSave = kGameFolder + "saves\\cup.gam";
const std::string kCopy = kGameFolder + "saves\\_random_cup.gam";
const std::string kSettings = "vantrix.prf";

std::string SettingsFile() {
  return "Skarvel = " + kGameFolder + "\r\ngame = " + kSave +
         "\r\nrandom = " + std::to_string(kRunSpread) + "\r\n";
}

struct ModelSlot {
  std::string logLine;
  std::optional<std::size_t> levelAt, extraAt;
  int levelBase = 0, extraBase = 0;
};

std::optional<int> ByteOf(const std::vector<std::uint8_t>& file, std::size_t at) {
  if (at >= file.size()) return std::nullopt;
  return file[at];
}

std::string WithoutOuterBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Field n (from 1) of text cut at every comma; "" when there are fewer.
std::string CommaField(const std::string& text, std::size_t n) {
  std::vector<std::string> fields{""};
  for (const char c : text) {
    if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back().push_back(c);
    }
  }
  return n <= fields.size() ? fields[n - 1] : "";
}

// The roster by the absolute offsets: the name of driver i at 69 + 13i, its
// human flag at 66 + 13N + 92i, its level 4 further, its extra value at
// 82 + 1449N + 8 + 56E + 348(i - 1) + 28. Bytes past the file's end are
// absent: no name byte, no human flag, no level, no extra value.
std::vector<ModelSlot> ModelRoster(const std::vector<std::uint8_t>& file) {
  const std::size_t n = static_cast<std::size_t>(ByteOf(file, 78).value_or(0));
  std::vector<ModelSlot> slots(std::min<std::size_t>(n, 6));
  std::size_t humanSlot = 0;
  for (std::size_t i = 1; i <= slots.size(); ++i) {
    std::string name;
    for (std::size_t at = 69 + 13 * i; at < 82 + 13 * i; ++at) {
      const auto byte = ByteOf(file, at);
      if (!byte || *byte == 0) break;
      name.push_back(static_cast<char>(*byte));
    }
    name = WithoutOuterBlanks(name);
    ModelSlot& slot = slots[i - 1];
    std::string entry;
    if (ByteOf(file, 66 + 13 * n + 92 * i).value_or(0) != 0) {
      entry = name + ",human";
      humanSlot = i;
    } else {
      const std::size_t levelAt = 70 + 13 * n + 92 * i;
      const auto level = ByteOf(file, levelAt);
      entry = name + ",AI " + std::to_string(level.value_or(0));
      if (level) {
        slot.levelAt = levelAt;
        slot.levelBase = *level;
      }
    }
    slot.logLine = CommaField(entry, 1) + "   " + CommaField(entry, 2);
  }
  const auto entries = ByteOf(file, 82 + 1449 * n);
  for (std::size_t i = 1; entries && i <= slots.size(); ++i) {
    if (i == humanSlot) continue;
    const std::size_t extraAt =
        82 + 1449 * n + 8 + 56 * static_cast<std::size_t>(*entries) + 348 * (i - 1) + 28;
    if (const auto extra = ByteOf(file, extraAt)) {
      slots[i - 1].extraAt = extraAt;
      slots[i - 1].extraBase = *extra;
    }
  }
  return slots;
}

// Twelve draws in 0..2r from a small mixing generator.
std::vector<std::int64_t> ScriptedDraws(std::uint64_t seed) {
  std::vector<std::int64_t> draws;
  for (int k = 0; k < 12; ++k) {
    seed += 0x9E3779B97F4A7C15u;
    std::uint64_t z = seed;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    z ^= z >> 31;
    draws.push_back(static_cast<std::int64_t>(z % (2 * kRunSpread + 1)));
  }
  return draws;
}

int Clamped(int value) { return std::clamp(value, 0, kHighest); }

// Applies six draws to the image; returns the log text "AI:  " and the new
// levels.
std::string ApplyDraws(const std::vector<ModelSlot>& slots, const std::int64_t* draws,
                       std::vector<std::uint8_t>& image) {
  std::string line = "AI:  ";
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const int d = static_cast<int>(draws[i]) - kRunSpread;
    const ModelSlot& slot = slots[i];
    if (slot.levelAt && slot.levelBase != 0) {
      const int level = Clamped(slot.levelBase + d);
      image[*slot.levelAt] = static_cast<std::uint8_t>(level);
      line += std::to_string(level) + "  ";
    }
    if (slot.extraAt && slot.extraBase != 0) {
      image[*slot.extraAt] = static_cast<std::uint8_t>(Clamped(slot.extraBase + d));
    }
  }
  return line;
}

class ModelLog {
 public:
  void Append(const std::string& text) {
    lines_.pop_front();
    lines_.push_back(("> " + text).substr(0, kLogLineLimit));
    appended_ = true;
  }
  // The label is created empty and shows the log from the first line on.
  std::string Shown() const {
    if (!appended_) return "";
    std::string shown;
    for (const auto& line : lines_) shown += line + "\r\n";
    return shown;
  }

 private:
  std::deque<std::string> lines_ = std::deque<std::string>(12, "> ");
  bool appended_ = false;
};

struct Expected {
  std::string log;
  std::optional<std::vector<std::uint8_t>> copy;
  bool errorBox = false;
  std::size_t draws = 0;
};

Expected Model(const std::vector<std::uint8_t>& file, const std::vector<std::int64_t>& draws) {
  Expected expected;
  ModelLog log;
  if (file.size() > kCapacity) {
    // Refused whole: nothing loaded, nothing listed. Both triggers still
    // draw (over an empty roster) and log, and neither writes; only the
    // button says so.
    log.Append("AI:  ");
    log.Append("AI:  ");
    expected.errorBox = true;
    expected.draws = 12;
    expected.log = log.Shown();
    return expected;
  }
  const auto slots = ModelRoster(file);
  log.Append("");
  for (const auto& slot : slots) log.Append(slot.logLine);
  log.Append("");
  std::vector<std::uint8_t> image = file;
  if (file.empty()) {
    // The button does nothing at all for an empty saved game; F5 draws and
    // logs, then writes nothing.
    log.Append(ApplyDraws(slots, draws.data(), image));
    expected.draws = 6;
  } else {
    log.Append(ApplyDraws(slots, draws.data(), image));
    log.Append(ApplyDraws(slots, draws.data() + 6, image));
    expected.copy = image;
    expected.draws = 12;
  }
  expected.log = log.Shown();
  return expected;
}

std::string Describe(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) +
         ", first difference at " + std::to_string(mismatch.first - a.begin());
}

}  // namespace

std::uint64_t DrawSeedOf(const std::vector<std::uint8_t>& file) {
  std::uint64_t seed = 1469598103934665603u ^ file.size();
  for (std::size_t i = 0; i < std::min<std::size_t>(file.size(), 256); ++i) {
    seed = (seed ^ file[i]) * 1099511628211u;
  }
  return seed;
}

void CheckProgramOnSavedGame(const std::vector<std::uint8_t>& file, std::uint64_t drawSeed) {
  const auto draws = ScriptedDraws(drawSeed);
  const Expected expected = Model(file, draws);

  MemoryDesktop desktop;
  desktop.PutFile(kExecutable, std::string("MZ"));
  desktop.PutFile(kSave, file);
  desktop.PutFile(kSettings, SettingsFile());
  for (const auto draw : draws) desktop.QueueRandom(draw);
  desktop.Click(kRandomButton);
  auto& inGame = desktop.Idle();
  inGame.keysDown = {kF5Code};
  inGame.foreground = "Skarvel";
  desktop.Close();

  FUZZ_CHECK(RunProgram(desktop) == 0, "the exit code is 0");
  const auto* logLabel = desktop.FindControl(kLogLabel);
  FUZZ_CHECK(
      logLabel && logLabel->text == expected.log,
      "log shown:\n" + (logLabel ? logLabel->text : "<none>") + "\nexpected:\n" + expected.log);

  std::vector<MemoryDesktop::Message> boxes;
  if (expected.errorBox) boxes.push_back({"Vantrix", "Error"});
  FUZZ_CHECK(desktop.Messages() == boxes,
             "message boxes: " + std::to_string(desktop.Messages().size()));

  std::set<std::string> files{kExecutable, kSave, kSettings};
  if (expected.copy) {
    files.insert(kCopy);
    const auto copy = desktop.FileBytes(kCopy);
    FUZZ_CHECK(copy == *expected.copy, "the copy: " + Describe(copy, *expected.copy));
  }
  const auto paths = desktop.FilePaths();
  FUZZ_CHECK(
      std::set<std::string>(paths.begin(), paths.end()) == files,
      "files left: " + std::to_string(paths.size()) + ", expected " + std::to_string(files.size()));
  FUZZ_CHECK(desktop.FileBytes(kSave) == file, "the saved game is never written");
  FUZZ_CHECK(desktop.FileText(kSettings) == SettingsFile(),
             "settings stored: " + desktop.FileText(kSettings));
  FUZZ_CHECK(desktop.OpenFiles() == 0, "no file is left open");

  const auto& maxima = desktop.RandomMaxima();
  FUZZ_CHECK(maxima.size() == expected.draws, "draws made: " + std::to_string(maxima.size()));
  FUZZ_CHECK(std::all_of(maxima.begin(), maxima.end(),
                         [](std::int64_t max) { return max == 2 * kRunSpread; }),
             "every draw over 0..2r");
  const auto& pauses = desktop.Pauses();
  const auto copyPauses = std::count(pauses.begin(), pauses.end(), 300);
  FUZZ_CHECK(copyPauses == (expected.copy ? 2 : 0),
             "pauses after copies: " + std::to_string(copyPauses));
}

}  // namespace vantrix::fuzz
