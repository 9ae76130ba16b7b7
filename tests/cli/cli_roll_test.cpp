// vantrix-cli roll on the real file system: the copy's bytes, worked out
// here from the layout and the random source's draws; repeatability by seed;
// and every refusal, which must leave nothing behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include "desktop/posix/posix_file_store.h"
#include "desktop/memory/memory_desktop.h"
#include "desktop/random_source.h"
#include "tests/cli/cli_test_support.h"
#include "tools/save_builder/save_builder.h"

namespace vantrix {
namespace {

using cli_test::CliRun;
using cli_test::ReadWholeFile;
using cli_test::TempFolder;
using cli_test::WriteWholeFile;

CliRun RunOnDisk(const std::vector<std::string>& args) {
  PosixFileStore store;
  return cli_test::RunWith(store, args);
}

// Six drivers, so all six draws count: two humans (the second is the human
// slot, so the first one's extra value moves), AIs whose values clamp at 0
// and at 200, an AI at level 0 and values of 0, which never move.
SaveSpec FullField() {
  SaveSpec spec;
  spec.drivers = {{"Anna", true, 0, 77},  {"Bo", true, 0, 66},    {"Bot", false, 45, 120},
                  {"Zero", false, 0, 88}, {"Top", false, 199, 0}, {"Low", false, 3, 2}};
  spec.entryCount = 3;
  return spec;
}

struct ExpectedRoll {
  std::vector<std::uint8_t> bytes;
  std::vector<int> levels;
  bool clampedLow = false;
  bool clampedHigh = false;
};

// The copy a roll must write, from the rules as the player knows them: one
// draw d = Next(2*spread) - spread per slot 1..6; a nonzero AI level and a
// nonzero extra value of any driver but the last human become base + d,
// kept within 0..200.
ExpectedRoll Expect(const SaveSpec& spec, std::uint32_t seed, int spread) {
  ExpectedRoll expected;
  expected.bytes = BuildSavedGame(spec);
  const std::size_t count = spec.drivers.size();
  std::size_t lastHuman = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (spec.drivers[i].human) lastHuman = i + 1;
  }
  const auto moved = [&expected](int base, int d) {
    expected.clampedLow = expected.clampedLow || base + d < 0;
    expected.clampedHigh = expected.clampedHigh || base + d > 200;
    return static_cast<std::uint8_t>(std::clamp(base + d, 0, 200));
  };
  RandomSource source(seed);
  for (std::size_t slot = 1; slot <= 6; ++slot) {
    const int d = static_cast<int>(source.Next(2 * spread)) - spread;
    if (slot > count) continue;
    const DriverSpec& driver = spec.drivers[slot - 1];
    const int at = static_cast<int>(slot);
    if (!driver.human && driver.level != 0) {
      expected.bytes[LevelOffset(count, at)] = moved(driver.level, d);
      expected.levels.push_back(expected.bytes[LevelOffset(count, at)]);
    }
    if (slot != lastHuman && driver.extra != 0) {
      expected.bytes[ExtraOffset(count, spec.entryCount, at)] = moved(driver.extra, d);
    }
  }
  return expected;
}

std::string LevelsJson(const std::vector<int>& levels) {
  std::string json = "\"levels\": [";
  for (std::size_t i = 0; i < levels.size(); ++i) {
    json += (i > 0 ? ", " : "") + std::to_string(levels[i]);
  }
  return json + "]";
}

TEST(CliRoll, WritesTheCopyTheDrawsAndLayoutCallFor) {
  TempFolder folder;
  const std::string save = folder / "cup.gam";
  const auto original = BuildSavedGame(FullField());
  WriteWholeFile(save, original);
  bool clampedLow = false, clampedHigh = false;
  for (std::uint32_t seed : {1u, 42u, 4294967295u}) {
    for (int spread : {0, 30, 200}) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", spread " + std::to_string(spread));
      const ExpectedRoll expected = Expect(FullField(), seed, spread);
      const CliRun run = RunOnDisk({"roll", save, "--seed", std::to_string(seed), "--spread",
                                    std::to_string(spread), "--json"});
      ASSERT_EQ(run.code, 0) << run.err;
      EXPECT_EQ(run.err, "");
      EXPECT_EQ(ReadWholeFile(folder / "_random_cup.gam"), expected.bytes);
      EXPECT_NE(run.out.find("\"seed\": " + std::to_string(seed) + ","), std::string::npos);
      EXPECT_NE(run.out.find(LevelsJson(expected.levels)), std::string::npos) << run.out;
      // Every roll starts from the saved game, which stays as it was.
      EXPECT_EQ(ReadWholeFile(save), original);
      clampedLow = clampedLow || expected.clampedLow;
      clampedHigh = clampedHigh || expected.clampedHigh;
    }
  }
  // The cases above must have reached both ends of the range.
  EXPECT_TRUE(clampedLow);
  EXPECT_TRUE(clampedHigh);
}

TEST(CliRoll, PrintsTheSeedTheOldAndNewValuesAndWhereTheCopyWent) {
  TempFolder folder;
  SaveSpec spec;
  spec.drivers = {{"Anna", true, 0, 77}, {"Bot", false, 45, 120}};
  WriteWholeFile(folder / "cup.gam", BuildSavedGame(spec));
  const ExpectedRoll expected = Expect(spec, 42, 30);
  const int level = expected.bytes[LevelOffset(2, 2)];
  const int extra = expected.bytes[ExtraOffset(2, 0, 2)];
  const std::string levelCell = "45 -> " + std::to_string(level);
  const CliRun run = RunOnDisk({"roll", folder / "cup.gam", "--seed", "42"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out,
            "seed 42, spread 30\n"
            "slot  name           driver  level       extra\n"
            "1     Anna           human   -           -\n"
            "2     Bot            AI      " +
                levelCell + std::string(12 - levelCell.size(), ' ') + "120 -> " +
                std::to_string(extra) + "\nwrote " + (folder / "_random_cup.gam") + "\n");
}

TEST(CliRoll, SameSeedGivesTheSameCopyAndAnotherSeedAnotherOne) {
  TempFolder folder;
  const std::string save = folder / "cup.gam";
  const std::string copy = folder / "_random_cup.gam";
  WriteWholeFile(save, BuildSavedGame(FullField()));
  ASSERT_EQ(RunOnDisk({"roll", save, "--seed", "7"}).code, 0);
  const auto first = ReadWholeFile(copy);
  ASSERT_EQ(RunOnDisk({"roll", save, "--seed", "7"}).code, 0);
  EXPECT_EQ(ReadWholeFile(copy), first);
  ASSERT_EQ(RunOnDisk({"roll", save, "--seed", "8"}).code, 0);
  EXPECT_NE(ReadWholeFile(copy), first);
  // The spread text is read as the window reads its field: $1E is 30.
  ASSERT_EQ(RunOnDisk({"roll", save, "--seed", "7", "--spread", "$1E"}).code, 0);
  EXPECT_EQ(ReadWholeFile(copy), first);
}

TEST(CliRoll, PrintsAFreshSeedThatRepeatsTheRoll) {
  TempFolder folder;
  const std::string save = folder / "cup.gam";
  const std::string copy = folder / "_random_cup.gam";
  WriteWholeFile(save, BuildSavedGame(FullField()));
  const CliRun fresh = RunOnDisk({"roll", save, "--spread", "100"});
  ASSERT_EQ(fresh.code, 0) << fresh.err;
  ASSERT_TRUE(fresh.out.starts_with("seed ")) << fresh.out;
  const std::string seed = fresh.out.substr(5, fresh.out.find(',') - 5);
  const auto freshCopy = ReadWholeFile(copy);
  ASSERT_EQ(RunOnDisk({"roll", save, "--spread", "100", "--seed", seed}).code, 0);
  EXPECT_EQ(ReadWholeFile(copy), freshCopy);
  EXPECT_EQ(freshCopy,
            Expect(FullField(), static_cast<std::uint32_t>(std::stoul(seed)), 100).bytes);
}

TEST(CliRoll, TakesAFileOfExactlyTheLargestSize) {
  TempFolder folder;
  SaveSpec spec = FullField();
  spec.size = 2'000'000;
  WriteWholeFile(folder / "big.gam", BuildSavedGame(spec));
  const CliRun run = RunOnDisk({"roll", folder / "big.gam", "--seed", "3"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(ReadWholeFile(folder / "_random_big.gam"), Expect(spec, 3, 30).bytes);
}

// A refusal on the real file system: what to set up, the command, and the
// one line it must print.
struct Refusal {
  const char* what;
  std::function<void(TempFolder&)> setUp;
  std::vector<std::string> args;  // "@" before a name stands for the test folder
  int code;
  std::string message;  // the stderr line after "vantrix-cli: "
};

std::vector<std::string> InFolder(const TempFolder& folder, const std::vector<std::string>& args) {
  std::vector<std::string> placed;
  for (const std::string& arg : args)
    placed.push_back(arg[0] == '@' ? folder / arg.substr(1) : arg);
  return placed;
}

void PutSave(TempFolder& folder, const std::string& name) {
  WriteWholeFile(folder / name, BuildSavedGame(FullField()));
}

TEST(CliRoll, EveryRefusalSaysWhyOnOneLineAndLeavesNothingBehind) {
  const Refusal refusals[] = {
      {"missing",
       [](TempFolder&) {},
       {"roll", "@none.gam"},
       1,
       "@none.gam: cannot open the saved game (missing or unreadable)"},
      {"show missing",
       [](TempFolder&) {},
       {"show", "@none.gam"},
       1,
       "@none.gam: cannot open the saved game (missing or unreadable)"},
      {"a folder",
       [](TempFolder& f) { ::mkdir((f / "dir.gam").c_str(), 0755); },
       {"roll", "@dir.gam"},
       1,
       "@dir.gam: cannot open the saved game (missing or unreadable)"},
      {"too long",
       [](TempFolder& f) { WriteWholeFile(f / "big.gam", std::vector<std::uint8_t>(2'000'001)); },
       {"roll", "@big.gam"},
       1,
       "@big.gam: longer than 2,000,000 bytes, not a saved game this tool can hold"},
      {"empty",
       [](TempFolder& f) { WriteWholeFile(f / "nil.gam", {}); },
       {"roll", "@nil.gam"},
       1,
       "@nil.gam: empty file, no copy written"},
      {"copy name taken by a folder",
       [](TempFolder& f) {
         PutSave(f, "cup.gam");
         ::mkdir((f / "_random_cup.gam").c_str(), 0755);
       },
       {"roll", "@cup.gam"},
       1,
       "@_random_cup.gam: cannot write the copy (folder not writable or disk full)"},
      {"'|' would bend the copy elsewhere",
       [](TempFolder& f) {
         ::mkdir((f / "a|b").c_str(), 0755);
         PutSave(f, "a|b/cup.gam");
       },
       {"roll", "@a|b/cup.gam"},
       1,
       "@a|b/cup.gam: the copy's name cannot be made from this path"},
      {"a quote in the name would cut it",
       [](TempFolder& f) { PutSave(f, "my\"cup.gam"); },
       {"roll", "@my\"cup.gam"},
       1,
       "@my\"cup.gam: the copy's name cannot be made from this path"},
      {"usage",
       [](TempFolder& f) { PutSave(f, "cup.gam"); },
       {"roll", "@cup.gam", "--spread", "300"},
       2,
       "the spread must be 0 to 200, not '300' (see vantrix-cli --help)"},
      {"no such command",
       [](TempFolder& f) { PutSave(f, "cup.gam"); },
       {"rol", "@cup.gam"},
       2,
       "unknown command rol (see vantrix-cli --help)"},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.what);
    TempFolder folder;
    refusal.setUp(folder);
    const auto before = folder.Names();
    const CliRun run = RunOnDisk(InFolder(folder, refusal.args));
    EXPECT_EQ(run.code, refusal.code);
    EXPECT_EQ(run.out, "");
    const std::string message =
        refusal.message[0] == '@' ? folder / refusal.message.substr(1) : refusal.message;
    EXPECT_EQ(run.err, "vantrix-cli: " + message + "\n");
    EXPECT_EQ(folder.Names(), before);
  }
}

TEST(CliRoll, LeavesAReadOnlyCopyAsItWas) {
  TempFolder folder;
  PutSave(folder, "cup.gam");
  const std::string copy = folder / "_random_cup.gam";
  WriteWholeFile(copy, {1, 2, 3});
  ASSERT_EQ(::chmod(copy.c_str(), 0444), 0);
  const auto before = folder.Names();
  // Refused for root as well, whom the system would let write.
  const CliRun run = RunOnDisk({"roll", folder / "cup.gam", "--seed", "1"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "vantrix-cli: " + copy + ": read-only, copy not written\n");
  EXPECT_EQ(ReadWholeFile(copy), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(folder.Names(), before);
}

TEST(CliRoll, ReplacesAWritableCopyWhole) {
  TempFolder folder;
  PutSave(folder, "cup.gam");
  WriteWholeFile(folder / "_random_cup.gam", std::vector<std::uint8_t>(50'000, 0xEE));
  ASSERT_EQ(RunOnDisk({"roll", folder / "cup.gam", "--seed", "5"}).code, 0);
  EXPECT_EQ(ReadWholeFile(folder / "_random_cup.gam"), Expect(FullField(), 5, 30).bytes);
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"cup.gam", "_random_cup.gam"}));
}

// Faults the real file system will not produce on demand, through the
// in-memory store: each must end in exit code 1 with no copy and no
// temporary file, and an earlier copy untouched.
TEST(CliRoll, AFailingReadOrWriteLeavesTheEarlierCopyAlone) {
  const std::string save = "saves/cup.gam";
  const std::string copy = "saves/_random_cup.gam";
  const std::string temporary = copy + ".tmp";
  struct Fault {
    const char* what;
    std::function<void(MemoryDesktop&)> inject;
    std::string message;
  };
  const std::string cannotWrite =
      "vantrix-cli: " + copy + ": cannot write the copy (folder not writable or disk full)\n";
  const Fault faults[] = {
      {"read cut short", [&](MemoryDesktop& s) { s.FailReads(save, 4000); },
       "vantrix-cli: " + save + ": reading stopped before the end of the file (cut short)\n"},
      {"create fails", [&](MemoryDesktop& s) { s.FailCreate(temporary); }, cannotWrite},
      {"disk full", [&](MemoryDesktop& s) { s.LimitWrites(temporary, 1000); }, cannotWrite},
      {"flush fails", [](MemoryDesktop& s) { s.FailFlush(true); }, cannotWrite},
      {"move fails", [](MemoryDesktop& s) { s.FailMove(true); }, cannotWrite},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.what);
    MemoryDesktop store;
    store.PutFile(save, BuildSavedGame(FullField()));
    store.PutFile(copy, std::vector<std::uint8_t>{9, 9, 9});
    fault.inject(store);
    const CliRun run = cli_test::RunWith(store, {"roll", save, "--seed", "11"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, fault.message);
    EXPECT_EQ(store.FileBytes(copy), (std::vector<std::uint8_t>{9, 9, 9}));
    EXPECT_FALSE(store.HasFile(temporary));
    EXPECT_EQ(store.OpenFiles(), 0);
  }
}

}  // namespace
}  // namespace vantrix
