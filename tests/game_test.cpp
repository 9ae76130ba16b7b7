// Finding and starting the game, and F5 pressed inside it.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/game.h"
#include "program_fixture.h"

namespace vantrix {
namespace {

using Message = MemoryDesktop::Message;

TEST_F(ProgramTest, FirstRunAsksForTheGameAndTakesItsFolder) {
  // No settings: the game is looked for as nixSkarvel.exe, which is not there.
  desktop.PutFile("C:\\Games\\Skarvel\\Skarvel.exe", std::string("MZ"));
  desktop.AnswerFileDialog("C:\\Games\\Skarvel\\Skarvel.exe");
  desktop.AnswerFileDialog("");  // and no saved game chosen yet
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(desktop.FileDialogs().size(), 2u);
  const auto& dialog = desktop.FileDialogs()[0];
  EXPECT_EQ(dialog.title, "Surching Skarvel.exe");
  EXPECT_EQ(dialog.initialPath, "");
  EXPECT_EQ(dialog.filter, "exe|Skarvel.exe");
  EXPECT_EQ(dialog.position, 0);
  // The window was already open when the dialog came.
  EXPECT_TRUE(desktop.MainWindow().open);
  EXPECT_EQ(desktop.FileDialogs()[1].initialPath, "c:\\games\\skarvel\\Saves\\");
  EXPECT_EQ(desktop.FileText("vantrix.prf"), SettingsText("c:\\games\\skarvel\\", "nix", "30"));
}

TEST_F(ProgramTest, AGameFileOfAnotherNameIsAccepted) {
  desktop.AnswerFileDialog("D:\\Racing\\Launcher.EXE");
  Run();
  EXPECT_EQ(desktop.FileText("vantrix.prf"), SettingsText("d:\\racing\\", "nix", "30"));
}

TEST_F(ProgramTest, NoGameChosenEndsTheProgramWithoutSettings) {
  desktop.Click(kRandomButton);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(desktop.Messages(), (std::vector<Message>{{"Error", "No Skarvel.exe !!"}}));
  EXPECT_FALSE(desktop.HasFile("vantrix.prf"));
  EXPECT_EQ(desktop.PollCount(), 0);  // the loop never ran
  EXPECT_EQ(desktop.FileDialogs().size(), 1u);
}

TEST_F(ProgramTest, StartLaunchesTheGameAndGoesOn) {
  InstallGame();
  desktop.Click(kStartButton);
  desktop.Click(kRandomButton);
  Run();
  EXPECT_EQ(desktop.Launched(), std::vector<std::string>{kGameFolder + "Skarvel.exe"});
  EXPECT_TRUE(desktop.HasFile(kCopyPath));  // the loop went on
  EXPECT_TRUE(desktop.HasFile("vantrix.prf"));
}

TEST_F(ProgramTest, StartNeedsAChosenSave) {
  InstallGame();
  desktop.Click(kGameButton);  // cancelled: "nix"
  desktop.Click(kStartButton);
  Run();
  EXPECT_TRUE(desktop.Launched().empty());
  EXPECT_EQ(desktop.Messages(), (std::vector<Message>{{"ERROR", "No Game"}}));
  EXPECT_TRUE(desktop.HasFile("vantrix.prf"));
}

TEST_F(ProgramTest, StartEndsTheProgramWhenTheGameHasGone) {
  InstallGame();
  const std::string before = desktop.FileText("vantrix.prf");
  desktop.Type(kSpreadField, "12");
  // The executable is deleted while the tool runs, after startup found it.
  desktop.Idle().meanwhile = [](MemoryDesktop& d) { d.DeleteFile(kGameFolder + "Skarvel.exe"); };
  auto& start = desktop.Click(kStartButton);
  start.keysDown = {kF5};
  start.foreground = "Skarvel";
  desktop.Click(kRandomButton);
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(desktop.Launched().empty());
  EXPECT_EQ(desktop.Messages(), (std::vector<Message>{{"ERROR", "Skarvel not found"}}));
  EXPECT_EQ(desktop.FileText("vantrix.prf"), before);  // not stored
  // The program ended at once: no F5 poll on that pass, no further passes.
  EXPECT_FALSE(desktop.HasFile(kCopyPath));
  EXPECT_EQ(desktop.PollCount(), 3);
}

// ---- F5 in the game.

class HotkeyTest : public ProgramTest {
 protected:
  MemoryDesktop::UserPass& F5In(const std::string& foreground) {
    auto& pass = desktop.Idle();
    pass.keysDown = {kF5};
    pass.foreground = foreground;
    return pass;
  }
};

TEST_F(HotkeyTest, F5HeldInTheGameWritesACopyOnEveryPass) {
  InstallGame();
  for (int pass = 0; pass < 3; ++pass) F5In("Skarvel");
  Run();
  EXPECT_TRUE(desktop.HasFile(kCopyPath));
  EXPECT_EQ(CopyPauses(desktop), 3);
  // Each copy's pause follows its pass's 50 ms pause.
  const auto& pauses = desktop.Pauses();
  EXPECT_EQ(std::vector<int>(pauses.begin(), pauses.begin() + 6),
            (std::vector<int>{50, 300, 50, 300, 50, 300}));
  EXPECT_TRUE(desktop.Messages().empty());
}

TEST_F(HotkeyTest, F5OutsideTheGameOrWithoutASaveDoesNothing) {
  struct Case {
    const char* name;
    std::string foreground;
    bool cancelSave;
  };
  const Case cases[] = {
      {"the tool's own window", "Vantrix   F5=New Vantrix in Skarvel", false},
      {"a paused game", "Skarvel - Paused", false},
      {"another case", "skarvel", false},
      {"no window in front", "", false},
      {"the game but no saved game", "Skarvel", true},
  };
  for (const auto& c : cases) {
    MemoryDesktop fresh;
    InstallGameOn(fresh);
    if (c.cancelSave) fresh.Click(kGameButton);
    auto& pass = fresh.Idle();
    pass.keysDown = {kF5};
    pass.foreground = c.foreground;
    RunProgram(fresh);
    EXPECT_FALSE(fresh.HasFile(kCopyPath)) << c.name;
    EXPECT_TRUE(fresh.Messages().empty()) << c.name;
  }
}

TEST_F(HotkeyTest, AShortPressBetweenTwoPassesIsCaught) {
  InstallGame();
  desktop.Idle().foreground = "Skarvel";
  // Pressed and released while the loop slept: only the key's mark tells.
  desktop.Idle().meanwhile = [](MemoryDesktop& d) { d.PressKey(kF5); };
  desktop.Idle();
  Run();
  EXPECT_FALSE(desktop.HasFile(kCopyPath));  // the tool's own window was in front
  MemoryDesktop inGame;
  InstallGameOn(inGame);
  auto& pass = inGame.Idle();
  pass.meanwhile = [](MemoryDesktop& d) { d.PressKey(kF5); };
  pass.foreground = "Skarvel";
  RunProgram(inGame);
  EXPECT_TRUE(inGame.HasFile(kCopyPath));
}

TEST_F(HotkeyTest, AnF5PressedBeforeStartupIsCleared) {
  InstallGame();
  desktop.PressKey(kF5);
  desktop.Idle().foreground = "Skarvel";
  Run();
  EXPECT_FALSE(desktop.HasFile(kCopyPath));
  for (int code = 0; code <= 255; ++code) {
    EXPECT_GE(desktop.KeyQueries(code), 1) << code;  // every key's mark cleared at startup
  }
}

TEST_F(HotkeyTest, AFailedCopyFromTheGameShowsNothing) {
  InstallGame();
  desktop.PutFile(kCopyPath, std::string("old"));
  desktop.SetReadOnly(kCopyPath, true);
  F5In("Skarvel");
  Run();
  EXPECT_EQ(desktop.FileText(kCopyPath), "old");
  EXPECT_TRUE(desktop.Messages().empty());
  EXPECT_EQ(CopyPauses(desktop), 0);
}

}  // namespace
}  // namespace vantrix
