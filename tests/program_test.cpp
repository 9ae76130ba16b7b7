// The whole program, start to close, against the in-memory desktop.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/game.h"
#include "app/saved_games.h"
#include "program_fixture.h"

namespace vantrix {
namespace {

using Kind = MemoryDesktop::ControlKind;

TEST_F(ProgramTest, OpensTheWindowWithItsSixControls) {
  InstallGame();
  EXPECT_EQ(Run(), 0);
  const auto& window = desktop.MainWindow();
  EXPECT_EQ(window.title, "Vantrix   F5=New Vantrix in Skarvel");
  EXPECT_EQ(std::tie(window.x, window.y, window.width, window.height),
            std::make_tuple(10, 10, 400, 500));

  struct Expected {
    int id;
    Kind kind;
    int x, y, width, height;
    std::string text;
  };
  const Expected expected[] = {
      {10, Kind::kLabel, 10, 10, 350, 24, "cup.gam"},
      {20, Kind::kButton, 10, 100, 80, 30, "Game"},
      {21, Kind::kButton, 10, 170, 80, 30, "Start Skarvel"},
      {22, Kind::kButton, 150, 100, 80, 30, "Random"},
      {8, Kind::kLabel, 10, 300, 280, 280, ""},
      {5, Kind::kTextField, 150, 170, 80, 30, "30"},
  };
  // Created in this order; the log label was created empty, before the
  // saved game's roster was written into it.
  const auto& controls = desktop.Controls();
  ASSERT_EQ(controls.size(), std::size(expected));
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const auto& c = controls[i];
    const auto& e = expected[i];
    EXPECT_EQ(std::tie(c.id, c.kind, c.x, c.y, c.width, c.height),
              std::tie(e.id, e.kind, e.x, e.y, e.width, e.height))
        << "control " << i;
    if (e.id != kLogLabel) {
      EXPECT_EQ(c.text, e.text) << "control " << e.id;
    }
  }
}

TEST_F(ProgramTest, SpreadOutOfRangeReturnsToTheLastAcceptedText) {
  InstallGame();
  desktop.Type(kSpreadField, "250");
  desktop.Idle();
  desktop.Type(kSpreadField, "-1");
  Run();
  EXPECT_EQ(Text(kSpreadField), "30");
  EXPECT_NE(desktop.FileText("vantrix.prf").find("random = 30\r\n"), std::string::npos);
}

TEST_F(ProgramTest, SpreadInRangeIsHeldExactlyAsTyped) {
  // 4294967396 is 2^32 + 100: its low 32 bits are 100.
  for (const std::string typed : {"abc", "12abc", "$C8", "-0", "4294967396", "200", "0", ""}) {
    MemoryDesktop fresh;
    InstallGameOn(fresh);
    fresh.Type(kSpreadField, typed);
    // An out-of-range value afterwards falls back to the typed text, which
    // shows that the typed text itself was what got accepted.
    fresh.Type(kSpreadField, "201");
    EXPECT_EQ(RunProgram(fresh), 0);
    EXPECT_EQ(ControlText(fresh, kSpreadField), typed);
    EXPECT_NE(fresh.FileText("vantrix.prf").find("random = " + typed + "\r\n"), std::string::npos)
        << typed;
  }
}

TEST_F(ProgramTest, AnOutOfRangeSpreadFromTheSettingsFileDoesNotLoopForever) {
  // A hand-edited 500 is shown as read. When the field reports (here: it
  // gains the focus), setting it back to the same 500 would report again,
  // and again, for ever.
  InstallGame(SmallField(), "500");
  desktop.LimitPolls(50);
  desktop.Focus(kSpreadField);
  desktop.Type(kSpreadField, "7");
  desktop.Type(kSpreadField, "999");
  Run();
  EXPECT_EQ(desktop.PollCount(), 5);  // focus, 7, 999, its revert, and the close
  EXPECT_EQ(Text(kSpreadField), "7");
}

TEST_F(ProgramTest, ACopyDrawsWithTheFieldAsItStandsButKeepsTheAcceptedSpread) {
  InstallGame();
  AppState state(desktop);
  desktop.AddTextField(kSpreadField, 150, 170, 80, 30, "250");  // typed, not yet validated
  desktop.AddLabel(kLogLabel, 10, 300, 280, 280, "");
  state.savePath = kSavePath;
  state.spreadText = "30";
  WriteRandomCopy(state);
  EXPECT_EQ(desktop.RandomMaxima(), std::vector<std::int64_t>(6, 500));
  // The field still falls back to 30 when its event comes, not to 250.
  EXPECT_EQ(state.spreadText, "30");
  ValidateSpreadField(state);
  EXPECT_EQ(Text(kSpreadField), "30");
}

TEST_F(ProgramTest, EachPassPausesFiftyMillisecondsAndTakesOneEvent) {
  InstallGame();
  // The typed 250 causes a second event (the field set back); it is taken on
  // a pass of its own.
  desktop.Type(kSpreadField, "250");
  desktop.Click(kRandomButton);
  desktop.Idle();
  Run();
  // Passes: type, revert event, Random, idle, and the close when the script
  // has run out.
  EXPECT_EQ(desktop.PollCount(), 5);
  const auto& pauses = desktop.Pauses();
  EXPECT_EQ(std::count(pauses.begin(), pauses.end(), 50), 5);
  EXPECT_EQ(CopyPauses(desktop), 1);  // after the one copy
  EXPECT_EQ(desktop.UnscriptedCloses(), 1);
}

TEST_F(ProgramTest, HotkeyIsPolledOnThePassThatCloses) {
  InstallGame();
  auto& close = desktop.Close();
  close.keysDown = {kF5};
  close.foreground = "Skarvel";
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(desktop.HasFile(kCopyPath));
  EXPECT_EQ(desktop.UnscriptedCloses(), 0);
}

TEST_F(ProgramTest, LabelsNeverReachTheDispatch) {
  InstallGame();
  desktop.Click(kSaveLabel);
  desktop.Click(kLogLabel);
  desktop.Focus(kSaveLabel);
  Run();
  EXPECT_EQ(desktop.FileDialogs().size(), 0u);
  EXPECT_TRUE(desktop.Messages().empty());
  EXPECT_FALSE(desktop.HasFile(kCopyPath));
  EXPECT_EQ(desktop.PollCount(), 4);
}

TEST_F(ProgramTest, CloseStoresTheSettingsWithTheFieldAsItStands) {
  InstallGame();
  desktop.Type(kSpreadField, "$1E");
  desktop.Close();
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(desktop.FileText("vantrix.prf"), SettingsText(kGameFolder, kSavePath, "$1E"));
}

}  // namespace
}  // namespace vantrix
