// Drawing new values around the loaded ones, and writing the copy.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "app/saved_games.h"
#include "desktop/random_source.h"
#include "program_fixture.h"
#include "save/randomizer.h"

namespace vantrix {
namespace {

// A random source that hands out scripted values and records the maxima.
struct ScriptedRandom {
  explicit ScriptedRandom(std::vector<std::int64_t> scripted) : values(std::move(scripted)) {}
  std::vector<std::int64_t> values;
  std::vector<std::int64_t> maxima;
  std::size_t next = 0;
  RandomIntFn Fn() {
    return [this](std::int64_t max) {
      maxima.push_back(max);
      return next < values.size() ? values[next++] : max / 2;
    };
  }
};

std::uint8_t At(const SaveImage& image, std::optional<std::size_t> offset) {
  return image.bytes[offset.value()];
}

TEST(Randomizer, EachSlotMovesLevelAndExtraByTheSameDeviation) {
  SaveSpec spec;
  spec.drivers = {{"A", false, 45, 80}, {"B", false, 190, 7}, {"C", false, 10, 100}};
  SaveImage image = ImageOf(BuildSavedGame(spec));
  const Roster roster = BuildRoster(image);
  // Spread 30: d = draw - 30. Slots 1..3 draw +10, +25, -30; slots 4..6 draw too.
  ScriptedRandom random({40, 55, 0, 1, 2, 3});
  const auto levels = RandomizeSlots(image, roster, 30, random.Fn());
  EXPECT_EQ(levels, (std::vector<int>{55, 200, 0}));  // 190 + 25 is clamped to 200
  EXPECT_EQ(At(image, roster.slots[0].extraAt), 90);
  EXPECT_EQ(At(image, roster.slots[1].extraAt), 32);
  EXPECT_EQ(At(image, roster.slots[2].extraAt), 70);
  // Six draws, each over 0..2r, whether or not a slot changes.
  EXPECT_EQ(random.maxima, std::vector<std::int64_t>(6, 60));
}

TEST(Randomizer, ValuesThatNeverChange) {
  SaveSpec spec;
  spec.drivers = {{"Zero", false, 0, 0}, {"H1", true, 33, 44}, {"H2", true, 55, 66}};
  SaveImage image = ImageOf(BuildSavedGame(spec));
  const auto before = image.bytes;
  const Roster roster = BuildRoster(image);
  ScriptedRandom random({60, 60, 60, 60, 60, 60});  // d = +30 everywhere
  const auto levels = RandomizeSlots(image, roster, 30, random.Fn());
  EXPECT_TRUE(levels.empty());
  // Level 0 and extra 0 stay; humans' levels stay; the human slot's extra
  // value stays; the other human's nonzero extra value moves.
  EXPECT_EQ(image.bytes[LevelOffset(3, 1)], 0);
  EXPECT_EQ(image.bytes[ExtraOffset(3, 0, 1)], 0);
  EXPECT_EQ(image.bytes[LevelOffset(3, 2)], 33);
  EXPECT_EQ(image.bytes[LevelOffset(3, 3)], 55);
  EXPECT_EQ(image.bytes[ExtraOffset(3, 0, 3)], 66);
  EXPECT_EQ(image.bytes[ExtraOffset(3, 0, 2)], 74);
  std::size_t changed = 0;
  for (std::size_t i = 0; i < before.size(); ++i) changed += before[i] != image.bytes[i];
  EXPECT_EQ(changed, 1u);
}

TEST(Randomizer, SpreadZeroKeepsValuesButClampsAbove200) {
  SaveSpec spec;
  spec.drivers = {{"A", false, 45, 250}, {"B", false, 230, 3}};
  SaveImage image = ImageOf(BuildSavedGame(spec));
  const Roster roster = BuildRoster(image);
  RandomSource source(3);
  const auto levels =
      RandomizeSlots(image, roster, 0, [&](std::int64_t max) { return source.Next(max); });
  EXPECT_EQ(levels, (std::vector<int>{45, 200}));
  EXPECT_EQ(At(image, roster.slots[0].extraAt), 200);
  EXPECT_EQ(At(image, roster.slots[1].extraAt), 3);
}

// Many draws through the real random source, for the ranges and shapes the
// spread promises.
std::map<int, int> LevelCounts(std::uint8_t level, std::int16_t spread, int draws) {
  SaveSpec spec;
  spec.drivers = {{"A", false, level, 1}};
  SaveImage image = ImageOf(BuildSavedGame(spec));
  const Roster roster = BuildRoster(image);
  RandomSource source(12345);
  std::map<int, int> counts;
  for (int i = 0; i < draws; ++i) {
    ++counts[RandomizeSlots(image, roster, spread, [&](std::int64_t max) { return source.Next(max); })
                 .at(0)];
  }
  return counts;
}

TEST(Randomizer, ResultsStayWithinTheSpreadAndClamp) {
  const auto near200 = LevelCounts(190, 30, 20'000);
  EXPECT_EQ(near200.begin()->first, 160);
  EXPECT_EQ(near200.rbegin()->first, 200);
  // 200 takes every d from +10 to +30: 21 of the 61 values.
  EXPECT_NEAR(near200.at(200) / 20'000.0, 21.0 / 61.0, 0.02);

  const auto wide = LevelCounts(10, 200, 40'000);
  EXPECT_EQ(wide.begin()->first, 0);
  EXPECT_EQ(wide.rbegin()->first, 200);
  // 0 takes every d from -200 to -10: 191 of 401 values, far more than any other.
  EXPECT_NEAR(wide.at(0) / 40'000.0, 191.0 / 401.0, 0.02);
  // 200 gathers d from +190 to +200 (11 values); every other value one.
  EXPECT_GT(wide.at(0), 10 * wide.at(200));
  for (const auto& [value, count] : wide) {
    if (value != 0 && value != 200) {
      EXPECT_LT(count, wide.at(0) / 50) << value;
    }
  }

  // A negative spread (only a hand-edited settings file gives one) draws over
  // the same range as its magnitude.
  const auto negative = LevelCounts(100, -20, 20'000);
  EXPECT_EQ(negative.begin()->first, 80);
  EXPECT_EQ(negative.rbegin()->first, 120);
  EXPECT_EQ(negative.size(), 41u);
}

TEST(Randomizer, DeviationIsUniform) {
  // Chi-square over d for r = 30 (61 cells) with a fixed seed, so the result
  // is the same on every run. 60 degrees of freedom: the 99.9% point is 99.6.
  const int r = 30;
  const int draws = 61'000;
  SaveSpec spec;
  spec.drivers = {{"A", false, 100, 1}};
  SaveImage image = ImageOf(BuildSavedGame(spec));
  const Roster roster = BuildRoster(image);
  RandomSource source(2024);
  std::vector<int> cells(2 * r + 1);
  for (int i = 0; i < draws; ++i) {
    const int level =
        RandomizeSlots(image, roster, r, [&](std::int64_t max) { return source.Next(max); }).at(0);
    ++cells.at(static_cast<std::size_t>(level - 100 + r));
  }
  const double expected = double(draws) / double(cells.size());
  double chiSquare = 0;
  for (int count : cells) chiSquare += (count - expected) * (count - expected) / expected;
  EXPECT_LT(chiSquare, 99.6);
}

TEST(Randomizer, CopyPathPutsThePrefixBeforeTheFileName) {
  EXPECT_EQ(CopyPathOf("c:\\games\\skarvel\\saves\\cup.gam"),
            "c:\\games\\skarvel\\saves\\_random_cup.gam");
  EXPECT_EQ(CopyPathOf("c:\\saves\\_random_x.gam"), "c:\\saves\\_random__random_x.gam");
  EXPECT_EQ(CopyPathOf("cup.gam"), "_random_cup.gam");
}

// ---- The Random button and the copy, through the whole program.

class RandomButtonTest : public ProgramTest {
 protected:
  void PressRandomAndRun(int presses = 1) {
    for (int i = 0; i < presses; ++i) desktop.Click(kRandomButton);
    Run();
  }
  std::vector<std::string> ErrorBoxes() const {
    std::vector<std::string> boxes;
    for (const auto& m : desktop.Messages()) boxes.push_back(m.title + "/" + m.text);
    return boxes;
  }
};

TEST_F(RandomButtonTest, WritesACopyThatDiffersOnlyInTheDrawnBytes) {
  InstallGame();
  PressRandomAndRun();
  const auto copy = desktop.FileBytes(kCopyPath);
  ASSERT_EQ(copy.size(), saveBytes.size());
  // Bot (slot 2) may move its level and extra value; Anna is human and the
  // human slot, Cid's extra value is 0; all else is carried through.
  const std::size_t botLevel = LevelOffset(3, 2), botExtra = ExtraOffset(3, 0, 2);
  const std::size_t cidLevel = LevelOffset(3, 3);
  for (std::size_t i = 0; i < copy.size(); ++i) {
    if (i == botLevel || i == botExtra || i == cidLevel) continue;
    ASSERT_EQ(copy[i], saveBytes[i]) << "byte " << i;
  }
  EXPECT_LE(std::abs(copy[botLevel] - 45), 30);
  EXPECT_EQ(copy[botExtra] - 80, copy[botLevel] - 45);  // the same deviation
  EXPECT_GE(copy[cidLevel], 120);
  EXPECT_EQ(LogLines().back(),
            "> AI:  " + std::to_string(copy[botLevel]) + "  " + std::to_string(copy[cidLevel]) + "  ");
  EXPECT_TRUE(desktop.Messages().empty());
  EXPECT_FALSE(desktop.HasFile(TemporaryNameFor(kCopyPath)));
}

TEST_F(RandomButtonTest, EveryPressIsAFreshDrawAroundTheLoadedValues) {
  InstallGame();
  // Press 1 draws d = +30 for Bot, press 2 draws d = -30: the second copy is
  // 45 - 30, not (45 + 30) - 30.
  for (int press = 0; press < 2; ++press) {
    for (int slot = 1; slot <= 6; ++slot) desktop.QueueRandom(press == 0 ? 60 : 0);
  }
  desktop.Click(kRandomButton);
  desktop.Click(kRandomButton);
  Run();
  const auto copy = desktop.FileBytes(kCopyPath);
  EXPECT_EQ(copy[LevelOffset(3, 2)], 15);
  EXPECT_EQ(copy[ExtraOffset(3, 0, 2)], 50);
  EXPECT_EQ(copy[LevelOffset(3, 3)], 120);
  const auto lines = LogLines();
  EXPECT_EQ(lines[10], "> AI:  75  180  ");
  EXPECT_EQ(lines[11], "> AI:  15  120  ");
  EXPECT_EQ(desktop.RandomMaxima().size(), 12u);
}

TEST_F(RandomButtonTest, TheSpreadIsReadFromTheFieldOnEveryPress) {
  InstallGame(SmallField(), "0");
  desktop.Type(kSpreadField, "$1E");  // 30, accepted as typed
  desktop.Click(kRandomButton);
  Run();
  EXPECT_EQ(desktop.RandomMaxima(), std::vector<std::int64_t>(6, 60));
}

TEST_F(RandomButtonTest, DoesNothingWithoutAChosenSave) {
  InstallGame();
  desktop.Click(kGameButton);  // the dialog is cancelled: "nix"
  desktop.Click(kRandomButton);
  Run();
  EXPECT_FALSE(desktop.HasFile(kCopyPath));
  EXPECT_TRUE(desktop.Messages().empty());
  EXPECT_TRUE(desktop.RandomMaxima().empty());
}

TEST_F(RandomButtonTest, NeverWritesACopyOfAnImageThatIsNotTheChosenSave) {
  InstallGame();
  // The typed name of a missing file becomes the chosen save; the image
  // still holds cup.gam, which must not be written out as new.gam's copy.
  desktop.AnswerFileDialog("c:\\games\\skarvel\\saves\\new.gam");
  desktop.Click(kGameButton);
  desktop.Click(kRandomButton);
  Run();
  EXPECT_FALSE(desktop.HasFile("c:\\games\\skarvel\\saves\\_random_new.gam"));
  EXPECT_EQ(ErrorBoxes(), std::vector<std::string>{"Vantrix/Error"});
}

TEST_F(RandomButtonTest, ACopyFromAFileThatCouldNeverBeLoadedIsRefused) {
  // First run of a kind: the remembered save is gone and the typed name in
  // the dialog does not exist; the untouched 2,000,000-byte buffer is no
  // saved game.
  InstallGame();
  desktop.DeleteFile(kSavePath);
  desktop.AnswerFileDialog("c:\\games\\skarvel\\saves\\typed.gam");
  PressRandomAndRun();
  EXPECT_FALSE(desktop.HasFile("c:\\games\\skarvel\\saves\\_random_typed.gam"));
  EXPECT_EQ(ErrorBoxes(), std::vector<std::string>{"Vantrix/Error"});
}

struct CopyFault {
  const char* name;
  void (*inject)(MemoryDesktop&);
};

TEST_F(RandomButtonTest, AFailedCopyIsReportedAndLeavesThePreviousCopyWhole) {
  const CopyFault faults[] = {
      {"create fails", [](MemoryDesktop& d) { d.FailCreate(TemporaryNameFor(kCopyPath)); }},
      {"short write", [](MemoryDesktop& d) { d.LimitWrites(TemporaryNameFor(kCopyPath), 1000); }},
      {"flush fails", [](MemoryDesktop& d) { d.FailFlush(true); }},
      {"move fails", [](MemoryDesktop& d) { d.FailMove(true); }},
      {"read-only copy", [](MemoryDesktop& d) { d.SetReadOnly(kCopyPath, true); }},
  };
  for (const auto& fault : faults) {
    MemoryDesktop fresh;
    InstallGameOn(fresh);
    fresh.PutFile(kCopyPath, std::string("previous copy"));
    fault.inject(fresh);
    fresh.Click(kRandomButton);
    RunProgram(fresh);
    EXPECT_EQ(fresh.FileText(kCopyPath), "previous copy") << fault.name;
    EXPECT_FALSE(fresh.HasFile(TemporaryNameFor(kCopyPath))) << fault.name;
    ASSERT_EQ(fresh.Messages().size(), 1u) << fault.name;
    EXPECT_EQ(fresh.Messages()[0], (MemoryDesktop::Message{"Vantrix", "Error"})) << fault.name;
    // No 300 ms pause follows a copy that was not written.
    EXPECT_EQ(CopyPauses(fresh), 0) << fault.name;
  }
}

TEST_F(RandomButtonTest, ASavedGameCutShortWhileLoadingIsNeverCopied) {
  InstallGame();
  desktop.FailReads(kSavePath, 100);
  PressRandomAndRun();
  EXPECT_FALSE(desktop.HasFile(kCopyPath));
  EXPECT_EQ(ErrorBoxes(), std::vector<std::string>{"Vantrix/Error"});
}

}  // namespace
}  // namespace vantrix
