// Reading the roster from a saved game's bytes, loading it, and choosing it.
#include <gtest/gtest.h>

#include "app/saved_games.h"
#include "program_fixture.h"
#include "save/saved_game.h"

namespace vantrix {
namespace {

Roster RosterOf(const SaveSpec& spec) { return BuildRoster(ImageOf(BuildSavedGame(spec))); }

SaveSpec Field(std::vector<DriverSpec> drivers, std::uint8_t entries = 0) {
  SaveSpec spec;
  spec.drivers = std::move(drivers);
  spec.entryCount = entries;
  return spec;
}

const RosterSlot& Slot(const Roster& roster, int slot) {
  return roster.slots[static_cast<std::size_t>(slot - 1)];
}

TEST(Roster, HumanAndAiDriversWithTheirOffsetsAndBases) {
  const auto spec = Field({{"Anna", true, 9, 12}, {"Bot", false, 45, 80}}, 3);
  const Roster roster = RosterOf(spec);
  EXPECT_EQ(roster.humanSlot, 1);
  EXPECT_EQ(Slot(roster, 1).entry, "Anna,human");
  EXPECT_EQ(Slot(roster, 1).levelAt, std::nullopt);
  EXPECT_EQ(Slot(roster, 1).extraAt, std::nullopt);  // the human slot keeps its value
  EXPECT_EQ(Slot(roster, 2).entry, "Bot,AI 45");
  EXPECT_EQ(Slot(roster, 2).levelAt, LevelOffset(2, 2));
  EXPECT_EQ(Slot(roster, 2).levelBase, 45);
  EXPECT_EQ(Slot(roster, 2).extraAt, ExtraOffset(2, 3, 2));
  EXPECT_EQ(Slot(roster, 2).extraBase, 80);
  for (int slot = 3; slot <= 6; ++slot) {
    EXPECT_EQ(Slot(roster, slot).entry, "");
    EXPECT_EQ(Slot(roster, slot).levelAt, std::nullopt);
    EXPECT_EQ(Slot(roster, slot).extraAt, std::nullopt);
  }
  EXPECT_EQ(RosterLogLines(roster),
            (std::vector<std::string>{"", "Anna   human", "Bot   AI 45", ""}));
}

TEST(Roster, TheLayoutsAbsoluteOffsets) {
  // Name at 69 + 13i, human flag at 66 + 13N + 92i, level 4 further, extra
  // value at 82 + 1449N + 8 + 56E + 348(i-1) + 28: worked out by hand for
  // N = 3, E = 2, driver 2.
  const auto spec = Field({{"A", false, 1, 1}, {"B", false, 2, 2}, {"C", false, 3, 3}}, 2);
  const Roster roster = RosterOf(spec);
  EXPECT_EQ(Slot(roster, 2).levelAt, 66u + 39 + 184 + 4);
  EXPECT_EQ(Slot(roster, 2).extraAt, 82u + 4347 + 8 + 112 + 348 + 28);
}

TEST(Roster, SpecialDrivers) {
  // Several humans: the last is humanSlot, the others still get an extra value.
  const Roster humans = RosterOf(Field({{"H1", true, 0, 5}, {"A", false, 7, 6}, {"H2", true, 0, 9}}));
  EXPECT_EQ(humans.humanSlot, 3);
  EXPECT_EQ(Slot(humans, 1).extraBase, 5);
  EXPECT_TRUE(Slot(humans, 1).extraAt.has_value());
  EXPECT_FALSE(Slot(humans, 3).extraAt.has_value());

  // An AI at level 0 has its level's place, with base 0; level 150 is shown.
  const Roster levels = RosterOf(Field({{"Zero", false, 0, 0}, {"High", false, 150, 1}}));
  EXPECT_TRUE(Slot(levels, 1).levelAt.has_value());
  EXPECT_EQ(Slot(levels, 1).levelBase, 0);
  EXPECT_EQ(Slot(levels, 2).entry, "High,AI 150");
  EXPECT_EQ(Slot(levels, 2).levelBase, 150);

  // A comma in a name splits the log line at it: the name's two pieces, and
  // neither AI nor human.
  const Roster comma = RosterOf(Field({{"Lee, J", false, 30, 1}}));
  EXPECT_EQ(RosterLogLines(comma)[1], "Lee    J");

  // Blanks around a name go; a 13-byte name without a zero stops at its entry.
  const Roster names = RosterOf(Field({{"  Ola  ", false, 3, 1}, {"ABCDEFGHIJKLM", false, 4, 1}}));
  EXPECT_EQ(Slot(names, 1).entry, "Ola,AI 3");
  EXPECT_EQ(Slot(names, 2).entry, "ABCDEFGHIJKLM,AI 4");

  // No drivers, or not even a count: only the two bare lines.
  const Roster none = RosterOf(Field({}));
  EXPECT_EQ(RosterLogLines(none), (std::vector<std::string>{"", ""}));
  SaveImage empty;
  empty.saveSize = 0;
  EXPECT_EQ(RosterLogLines(BuildRoster(empty)), (std::vector<std::string>{"", ""}));
}

TEST(Roster, OffsetsBeyondTheLoadedBytesStayUnset) {
  const auto full = Field({{"Bot", false, 45, 80}, {"Cid", false, 50, 90}}, 0);
  const std::size_t end = LayoutEnd(2, 0);
  struct Case {
    const char* name;
    std::size_t size;
    bool level2, extra1, extra2;
  };
  const Case cases[] = {
      {"whole file", end, true, true, true},
      {"cut before the second extra value", ExtraOffset(2, 0, 2), true, true, false},
      {"cut before block B", 82 + 1449 * 2, true, false, false},
      {"cut before the second level", LevelOffset(2, 2), false, false, false},
      {"only the header", 80, false, false, false},
  };
  for (const auto& c : cases) {
    auto spec = full;
    spec.size = c.size;
    const Roster roster = RosterOf(spec);
    EXPECT_EQ(Slot(roster, 2).levelAt.has_value(), c.level2) << c.name;
    EXPECT_EQ(Slot(roster, 1).extraAt.has_value(), c.extra1) << c.name;
    EXPECT_EQ(Slot(roster, 2).extraAt.has_value(), c.extra2) << c.name;
    for (const auto& slot : roster.slots) {  // nothing points outside the file
      EXPECT_LT(slot.levelAt.value_or(0), c.size) << c.name;
      EXPECT_LT(slot.extraAt.value_or(0), c.size) << c.name;
    }
  }
}

TEST(Roster, LargeCountsAndEntryTables) {
  // A count of 7: six slots are listed and the layout still follows N = 7.
  SaveSpec seven = Field({{"A", false, 1, 1}, {"B", false, 2, 2}, {"C", false, 3, 3},
                          {"D", false, 4, 4}, {"E", false, 5, 5}, {"F", false, 6, 6},
                          {"G", false, 7, 7}});
  const Roster roster = RosterOf(seven);
  EXPECT_EQ(roster.listed, 6);
  EXPECT_EQ(Slot(roster, 6).entry, "F,AI 6");
  EXPECT_EQ(Slot(roster, 6).levelAt, LevelOffset(7, 6));
  EXPECT_EQ(Slot(roster, 6).extraAt, ExtraOffset(7, 0, 6));
  EXPECT_EQ(RosterLogLines(roster).size(), 8u);

  // A count of 255 in a short file: nothing lies inside it but the names.
  SaveSpec huge = Field({{"A", false, 1, 1}});
  huge.driverCount = 255;
  huge.size = 3000;
  const Roster many = RosterOf(huge);
  EXPECT_EQ(many.listed, 6);
  for (const auto& slot : many.slots) {
    EXPECT_FALSE(slot.levelAt.has_value());
    EXPECT_FALSE(slot.extraAt.has_value());
  }

  // E of 200 moves the second table 11,200 bytes on; still inside the file.
  const Roster entries = RosterOf(Field({{"A", false, 1, 42}}, 200));
  EXPECT_EQ(Slot(entries, 1).extraAt, ExtraOffset(1, 200, 1));
  EXPECT_EQ(Slot(entries, 1).extraBase, 42);
}

// ---- Loading and choosing, through the program's state.

class SaveSelectionTest : public ::testing::Test {
 protected:
  SaveSelectionTest() {
    desktop.AddLabel(kSaveLabel, 10, 10, 350, 24, "");
    desktop.AddLabel(kLogLabel, 10, 300, 280, 280, "");
    state.gameFolder = kGameFolder;
  }
  MemoryDesktop desktop;
  AppState state{desktop};
};

TEST_F(SaveSelectionTest, LoadingListsTheRosterInTheLog) {
  SaveSpec spec;
  spec.drivers = {{"Anna", true, 0, 1}, {"Bot", false, 45, 1}};
  desktop.PutFile(kSavePath, BuildSavedGame(spec));
  state.savePath = kSavePath;
  LoadSave(state);
  EXPECT_EQ(state.image.saveSize, BuildSavedGame(spec).size());
  EXPECT_EQ(std::vector<std::string>(state.log.end() - 5, state.log.end()),
            (std::vector<std::string>{"> ", "> ", "> Anna   human", "> Bot   AI 45", "> "}));
}

TEST_F(SaveSelectionTest, AShorterSecondFileLeavesTheEarlierBytesBeyondItsEnd) {
  desktop.PutFile("c:\\long.gam", std::vector<std::uint8_t>(5000, 0x77));
  desktop.PutFile("c:\\short.gam", std::vector<std::uint8_t>(100, 0x11));
  state.savePath = "c:\\long.gam";
  LoadSave(state);
  state.savePath = "c:\\short.gam";
  LoadSave(state);
  EXPECT_EQ(state.image.saveSize, 100u);
  EXPECT_EQ(state.image.bytes[99], 0x11);
  EXPECT_EQ(state.image.bytes[100], 0x77);
  EXPECT_EQ(state.image.bytes[4999], 0x77);
  EXPECT_EQ(LoadedBytes(state.image).size(), 100u);
}

TEST_F(SaveSelectionTest, FilesThatCannotBeLoadedChangeNothing) {
  desktop.PutFile("c:\\good.gam", BuildSavedGame(SmallField()));
  state.savePath = "c:\\good.gam";
  LoadSave(state);
  const auto logBefore = state.log;
  const auto sizeBefore = state.image.saveSize;
  const auto slotBefore = state.roster.slots[1].entry;

  // Missing, and one byte too long for the image.
  desktop.PutFile("c:\\huge.gam", std::vector<std::uint8_t>(kSaveCapacity + 1, 0x55));
  for (const std::string path : {"c:\\missing.gam", "c:\\huge.gam"}) {
    state.savePath = path;
    LoadSave(state);
    EXPECT_EQ(state.image.saveSize, sizeBefore) << path;
    EXPECT_EQ(state.log, logBefore) << path;
    EXPECT_EQ(state.roster.slots[1].entry, slotBefore) << path;
    EXPECT_NE(state.image.bytes[0], 0x55) << path;
    EXPECT_EQ(state.loadedPath, "c:\\good.gam") << path;
  }
  EXPECT_EQ(desktop.OpenFiles(), 0);

  // Exactly the capacity still loads.
  desktop.PutFile("c:\\full.gam", std::vector<std::uint8_t>(kSaveCapacity, 0x44));
  state.savePath = "c:\\full.gam";
  LoadSave(state);
  EXPECT_EQ(state.image.saveSize, kSaveCapacity);
  EXPECT_EQ(state.loadedPath, "c:\\full.gam");
}

TEST_F(SaveSelectionTest, ChoosingLowersThePathAndShowsTheFileName) {
  desktop.PutFile("C:\\Games\\Skarvel\\Saves\\Cup.gam", BuildSavedGame(SmallField()));
  desktop.AnswerFileDialog("C:\\Games\\Skarvel\\Saves\\Cup.gam");
  SelectSave(state);
  ASSERT_EQ(desktop.FileDialogs().size(), 1u);
  const auto& dialog = desktop.FileDialogs()[0];
  EXPECT_EQ(dialog.title, "Select Game");
  EXPECT_EQ(dialog.initialPath, "c:\\games\\skarvel\\Saves\\");
  EXPECT_EQ(dialog.filter, "gam|*.gam");
  EXPECT_EQ(dialog.position, 0);
  EXPECT_EQ(state.savePath, "c:\\games\\skarvel\\saves\\cup.gam");
  EXPECT_EQ(desktop.FindControl(kSaveLabel)->text, "cup.gam");
  EXPECT_EQ(state.roster.slots[1].entry, "Bot,AI 45");
}

TEST_F(SaveSelectionTest, CancellingShowsNixAndKeepsTheImage) {
  desktop.PutFile(kSavePath, BuildSavedGame(SmallField()));
  desktop.AnswerFileDialog(kSavePath);
  desktop.AnswerFileDialog("");
  SelectSave(state);
  const auto log = state.log;
  SelectSave(state);
  EXPECT_EQ(state.savePath, "nix");
  EXPECT_EQ(desktop.FindControl(kSaveLabel)->text, "nix");
  EXPECT_EQ(state.roster.slots[1].entry, "Bot,AI 45");
  EXPECT_EQ(state.log, log);  // nothing logged
}

TEST_F(SaveSelectionTest, ATypedNameOfAMissingFileChangesNothingElse) {
  desktop.AnswerFileDialog("C:\\Games\\Skarvel\\Saves\\New.gam");
  SelectSave(state);
  EXPECT_EQ(state.savePath, "c:\\games\\skarvel\\saves\\new.gam");
  EXPECT_EQ(desktop.FindControl(kSaveLabel)->text, "new.gam");
  EXPECT_EQ(state.image.saveSize, kSaveCapacity);
  EXPECT_EQ(state.loadedPath, "");
}

TEST_F(ProgramTest, StartupChoosesASaveWhenTheRememberedOneIsGone) {
  InstallGame();
  desktop.DeleteFile(kSavePath);
  desktop.PutFile("c:\\games\\skarvel\\saves\\other.gam", BuildSavedGame(SmallField()));
  desktop.AnswerFileDialog("c:\\games\\skarvel\\saves\\Other.gam");
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(desktop.FileDialogs().size(), 1u);
  EXPECT_EQ(desktop.FileDialogs()[0].title, "Select Game");
  EXPECT_EQ(Text(kSaveLabel), "other.gam");
  EXPECT_NE(desktop.FileText("vantrix.prf").find("game = c:\\games\\skarvel\\saves\\other.gam\r\n"),
            std::string::npos);
}

TEST_F(ProgramTest, StartupLoadsTheRememberedSaveWithoutADialog) {
  InstallGame();
  desktop.Click(kGameButton);  // and the Game button opens the dialog
  Run();
  ASSERT_EQ(desktop.FileDialogs().size(), 1u);
  EXPECT_EQ(Text(kSaveLabel), "nix");  // the dialog was cancelled
  const auto lines = LogLines();
  EXPECT_EQ(std::vector<std::string>(lines.end() - 5, lines.end()),
            (std::vector<std::string>{"> ", "> Anna   human", "> Bot   AI 45", "> Cid   AI 150",
                                      "> "}));
}

}  // namespace
}  // namespace vantrix
