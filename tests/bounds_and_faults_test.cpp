// Inputs at their limits and writes that fail, through the whole program:
// saved games around the image's capacity, paths at the dialog's limit,
// settings values of 10,000 characters, window titles of 200 characters and
// more, and every way writing the copy or the settings file can fail on the
// paths not covered beside the code they exercise.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/game.h"
#include "program_fixture.h"
#include "text/text.h"

namespace vantrix {
namespace {

using Message = MemoryDesktop::Message;

const Message kErrorBox{"Vantrix", "Error"};

// With spread 0 every value keeps its loaded value (none here is above 200),
// so a whole copy equals the saved game byte for byte.
TEST(Bounds, SavedGamesAroundTheImagesCapacity) {
  struct Case {
    const char* name;
    std::size_t size;
    bool copied;
    std::vector<Message> boxes;
  };
  const Case cases[] = {
      {"empty: the button does nothing", 0, false, {}},
      {"one byte", 1, true, {}},
      {"exactly the capacity", kSaveCapacity, true, {}},
      {"one byte past: refused whole", kSaveCapacity + 1, false, {kErrorBox}},
  };
  for (const Case& c : cases) {
    MemoryDesktop desktop;
    InstallGameOn(desktop, SmallField(), "0");
    SaveSpec spec = SmallField();
    spec.size = c.size;
    // The builder reads a size of 0 as "just long enough".
    const auto bytes = c.size == 0 ? std::vector<std::uint8_t>{} : BuildSavedGame(spec);
    desktop.PutFile(kSavePath, bytes);
    desktop.Click(kRandomButton);
    EXPECT_EQ(RunProgram(desktop), 0) << c.name;
    EXPECT_EQ(desktop.HasFile(kCopyPath), c.copied) << c.name;
    if (c.copied) {
      EXPECT_TRUE(desktop.FileBytes(kCopyPath) == bytes) << c.name;
    }
    EXPECT_EQ(desktop.Messages(), c.boxes) << c.name;
    EXPECT_EQ(CopyPauses(desktop), c.copied ? 1 : 0) << c.name;
    EXPECT_EQ(desktop.FilePaths().size(), c.copied ? 4u : 3u) << c.name;  // no temporary file
  }
}

TEST_F(ProgramTest, PathsAtTheDialogLimitAreTakenWhole) {
  // First run: the game is asked for, then a saved game; each answer is 259
  // characters, the most the dialog gives. The copy's path is longer still.
  const std::string folder = "C:\\" + std::string(244, 'D') + "\\";
  const std::string executable = folder + "Skarvel.exe";
  const std::string save = folder + "Saves\\C.GAM";
  ASSERT_EQ(executable.size(), 259u);
  ASSERT_EQ(save.size(), 259u);
  desktop.PutFile(executable, std::string("MZ"));
  desktop.PutFile(save, BuildSavedGame(SmallField()));
  desktop.AnswerFileDialog(executable);
  desktop.AnswerFileDialog(save);
  desktop.Click(kRandomButton);
  desktop.Close();
  EXPECT_EQ(Run(), 0);

  const std::string lowFolder = LowerText(folder);
  ASSERT_EQ(desktop.FileDialogs().size(), 2u);
  EXPECT_EQ(desktop.FileDialogs()[1].initialPath, lowFolder + "Saves\\");
  EXPECT_EQ(Text(kSaveLabel), "c.gam");
  EXPECT_EQ(desktop.FileBytes(lowFolder + "saves\\_random_c.gam").size(),
            BuildSavedGame(SmallField()).size());
  EXPECT_TRUE(desktop.Messages().empty());
  EXPECT_EQ(desktop.FileText("vantrix.prf"), SettingsText(lowFolder, LowerText(save), "30"));
}

// The real dialog gives nothing for a choice longer than its buffer holds
// (the system reports the buffer too small), so the program reads it as a
// cancel; it must never take the first 259 characters, a path the user never
// chose, and load or store that.
TEST_F(ProgramTest, AnAnswerPastTheDialogLimitReadsAsCancelled) {
  InstallGame();
  const std::string tooLong = "c:\\" + std::string(249, 'x') + "\\cup.gam";
  ASSERT_EQ(tooLong.size(), 260u);  // one past the most the dialog gives
  desktop.AnswerFileDialog(tooLong);
  desktop.Click(kGameButton);
  Run();
  EXPECT_EQ(Text(kSaveLabel), "nix");
  EXPECT_EQ(desktop.FileText("vantrix.prf"), SettingsText(kGameFolder, "nix", "30"));
}

TEST_F(ProgramTest, SettingsValuesOfTenThousandCharactersWorkAndSurvive) {
  const std::string folder = "c:\\" + std::string(9'996, 'f') + "\\";
  const std::string saveFolder = "c:\\" + std::string(9'989, 's') + "\\";
  const std::string save = saveFolder + "cup.gam";
  const std::string spread = std::string(9'998, '0') + "30";  // counts as 30
  ASSERT_EQ(folder.size(), 10'000u);
  ASSERT_EQ(save.size(), 10'000u);
  ASSERT_EQ(spread.size(), 10'000u);
  desktop.PutFile(folder + "Skarvel.exe", std::string("MZ"));
  const auto bytes = BuildSavedGame(SmallField());
  desktop.PutFile(save, bytes);
  desktop.PutFile("vantrix.prf", SettingsText(folder, save, spread));
  desktop.Click(kRandomButton);
  desktop.Close();
  EXPECT_EQ(Run(), 0);

  EXPECT_TRUE(desktop.FileDialogs().empty());  // the game and the saved game were found
  EXPECT_EQ(Text(kSaveLabel), "cup.gam");
  EXPECT_EQ(Text(kSpreadField), spread);
  EXPECT_EQ(desktop.RandomMaxima(), std::vector<std::int64_t>(6, 60));
  EXPECT_EQ(desktop.FileBytes(saveFolder + "_random_cup.gam").size(), bytes.size());
  EXPECT_TRUE(desktop.Messages().empty());
  EXPECT_EQ(desktop.FileText("vantrix.prf"), SettingsText(folder, save, spread));
}

// The desktop gives at most 199 characters of a title, so no title longer
// than the game's own can be cut down to equal it.
TEST(Bounds, OnlyTheGamesExactTitleIsTheGame) {
  struct Case {
    const char* name;
    std::string title;
    bool copied;
  };
  const Case cases[] = {
      {"the game", "Skarvel", true},
      {"padded to 199", "Skarvel" + std::string(192, ' '), false},
      {"padded to 200, cut to 199", "Skarvel" + std::string(193, ' '), false},
      {"padded to 201", "Skarvel" + std::string(194, ' '), false},
      {"10,000 characters", "Skarvel" + std::string(9'993, 'x'), false},
      {"the game's name after 199 others", std::string(199, 'x') + "Skarvel", false},
  };
  for (const Case& c : cases) {
    MemoryDesktop desktop;
    InstallGameOn(desktop);
    auto& pass = desktop.Idle();
    pass.keysDown = {kF5};
    pass.foreground = c.title;
    RunProgram(desktop);
    EXPECT_EQ(desktop.HasFile(kCopyPath), c.copied) << c.name;
    EXPECT_TRUE(desktop.Messages().empty()) << c.name;
  }
}

// ---- Writes that fail, on the paths beside those the randomizer and
// settings tests cover: the copy from F5 in the game, and the settings file
// stored when the window closes.

struct WriteFault {
  const char* name;
  std::function<void(MemoryDesktop&, const std::string& target)> inject;
};

const WriteFault kWriteFaults[] = {
    {"creation fails",
     [](MemoryDesktop& d, const std::string& target) { d.FailCreate(TemporaryNameFor(target)); }},
    {"short write", [](MemoryDesktop& d,
                       const std::string& target) { d.LimitWrites(TemporaryNameFor(target), 7); }},
    {"read-only target",
     [](MemoryDesktop& d, const std::string& target) { d.SetReadOnly(target, true); }},
};

TEST(Faults, ACopyThatFailsFromTheGameShowsNothingAndKeepsTheOldCopy) {
  for (const WriteFault& fault : kWriteFaults) {
    MemoryDesktop desktop;
    InstallGameOn(desktop);
    desktop.PutFile(kCopyPath, std::string("previous copy"));
    fault.inject(desktop, kCopyPath);
    auto& pass = desktop.Idle();
    pass.keysDown = {kF5};
    pass.foreground = "Skarvel";
    desktop.Close();
    EXPECT_EQ(RunProgram(desktop), 0) << fault.name;
    EXPECT_EQ(desktop.FileText(kCopyPath), "previous copy") << fault.name;
    EXPECT_FALSE(desktop.HasFile(TemporaryNameFor(kCopyPath))) << fault.name;
    EXPECT_TRUE(desktop.Messages().empty()) << fault.name;
    EXPECT_EQ(CopyPauses(desktop), 0) << fault.name;
    // The failed copy does not spill over: the settings are stored as usual.
    EXPECT_EQ(desktop.FileText("vantrix.prf"), SettingsText(kGameFolder, kSavePath, "30"))
        << fault.name;
  }
}

TEST(Faults, SettingsThatCannotBeStoredAtCloseShowNothingAndKeepTheOldFile) {
  for (const WriteFault& fault : kWriteFaults) {
    MemoryDesktop desktop;
    InstallGameOn(desktop);
    const std::string before = desktop.FileText("vantrix.prf");
    fault.inject(desktop, "vantrix.prf");
    desktop.Type(kSpreadField, "45");
    desktop.Click(kRandomButton);
    desktop.Close();
    EXPECT_EQ(RunProgram(desktop), 0) << fault.name;
    EXPECT_EQ(desktop.FileText("vantrix.prf"), before) << fault.name;
    EXPECT_FALSE(desktop.HasFile(TemporaryNameFor("vantrix.prf"))) << fault.name;
    EXPECT_TRUE(desktop.Messages().empty()) << fault.name;
    // The copy written earlier in the run is whole.
    EXPECT_EQ(desktop.FileBytes(kCopyPath).size(), BuildSavedGame(SmallField()).size())
        << fault.name;
    EXPECT_EQ(desktop.OpenFiles(), 0) << fault.name;
  }
}

// A temporary file left behind by a run that was killed mid-write holds more
// than the new file will: it must be emptied, not written over in place.
TEST_F(ProgramTest, TemporaryFilesLeftByAnEarlierRunAreReplacedWhole) {
  InstallGame();
  const std::string junk(100'000, '#');
  desktop.PutFile(TemporaryNameFor(kCopyPath), junk);
  desktop.PutFile(TemporaryNameFor("vantrix.prf"), junk);
  desktop.Click(kRandomButton);
  desktop.Close();
  Run();
  EXPECT_EQ(desktop.FileBytes(kCopyPath).size(), saveBytes.size());
  EXPECT_EQ(desktop.FileText("vantrix.prf"), SettingsText(kGameFolder, kSavePath, "30"));
  EXPECT_FALSE(desktop.HasFile(TemporaryNameFor(kCopyPath)));
  EXPECT_FALSE(desktop.HasFile(TemporaryNameFor("vantrix.prf")));
  EXPECT_TRUE(desktop.Messages().empty());
}

}  // namespace
}  // namespace vantrix
