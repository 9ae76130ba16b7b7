// The in-memory desktop is what every program test stands on, so its own
// promises are checked here.
#include "desktop/memory/memory_desktop.h"

#include <gtest/gtest.h>

namespace vantrix {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(MemoryDesktop, FilesAreFoundWithoutRegardToCase) {
  MemoryDesktop desktop;
  desktop.PutFile("C:\\Games\\Saves\\Cup.gam", std::string("abcdef"));
  ScopedFile file(desktop, desktop.OpenForReading("c:\\games\\saves\\cup.GAM"));
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(desktop.FileLength(file.Id()), 6u);
  std::uint8_t buffer[4];
  EXPECT_EQ(desktop.ReadBytes(file.Id(), buffer), 4u);
  EXPECT_EQ(desktop.ReadBytes(file.Id(), buffer), 2u);  // fewer at the end
  EXPECT_EQ(desktop.ReadBytes(file.Id(), buffer), 0u);
  EXPECT_EQ(desktop.OpenForReading("c:\\games\\saves\\other.gam"), kNoFile);
}

TEST(MemoryDesktop, CreatingEmptiesAndReadOnlyRefuses) {
  MemoryDesktop desktop;
  desktop.PutFile("a.txt", std::string("old contents"));
  {
    ScopedFile file(desktop, desktop.CreateForWriting("A.TXT"));
    ASSERT_TRUE(file.IsOpen());
    EXPECT_TRUE(WriteAll(desktop, file.Id(), Bytes("new")));
  }
  EXPECT_EQ(desktop.FileText("a.txt"), "new");
  desktop.SetReadOnly("a.txt", true);
  EXPECT_EQ(desktop.CreateForWriting("a.txt"), kNoFile);
  EXPECT_FALSE(desktop.RemoveFile("a.txt"));
  EXPECT_EQ(desktop.OpenFiles(), 0);
}

TEST(MemoryDesktop, ShortWriteStopsAtItsLimit) {
  MemoryDesktop desktop;
  desktop.LimitWrites("full.bin", 5);
  ScopedFile file(desktop, desktop.CreateForWriting("full.bin"));
  EXPECT_EQ(desktop.WriteBytes(file.Id(), Bytes("abc")), 3u);
  EXPECT_EQ(desktop.WriteBytes(file.Id(), Bytes("defg")), 2u);
  EXPECT_EQ(desktop.WriteBytes(file.Id(), Bytes("h")), 0u);
  EXPECT_EQ(desktop.FileText("full.bin"), "abcde");
}

struct ReplaceFault {
  const char* name;
  void (*inject)(MemoryDesktop&);
};

TEST(MemoryDesktop, AtomicReplaceKeepsTheOldFileOnEveryFault) {
  const ReplaceFault faults[] = {
      {"create fails", [](MemoryDesktop& d) { d.FailCreate(TemporaryNameFor("t.bin")); }},
      {"short write", [](MemoryDesktop& d) { d.LimitWrites(TemporaryNameFor("t.bin"), 3); }},
      {"flush fails", [](MemoryDesktop& d) { d.FailFlush(true); }},
      {"move fails", [](MemoryDesktop& d) { d.FailMove(true); }},
      {"read-only target", [](MemoryDesktop& d) { d.SetReadOnly("t.bin", true); }},
  };
  for (const auto& fault : faults) {
    MemoryDesktop desktop;
    desktop.PutFile("t.bin", std::string("previous"));
    fault.inject(desktop);
    EXPECT_FALSE(ReplaceFileAtomically(desktop, "t.bin", Bytes("the new contents"))) << fault.name;
    EXPECT_EQ(desktop.FileText("t.bin"), "previous") << fault.name;
    EXPECT_EQ(desktop.FilePaths(), std::vector<std::string>{"t.bin"}) << fault.name;
    EXPECT_EQ(desktop.OpenFiles(), 0) << fault.name;
  }
  MemoryDesktop desktop;
  desktop.PutFile("t.bin", std::string("previous"));
  EXPECT_TRUE(ReplaceFileAtomically(desktop, "t.bin", Bytes("the new contents")));
  EXPECT_EQ(desktop.FileText("t.bin"), "the new contents");
  EXPECT_EQ(desktop.FilePaths(), std::vector<std::string>{"t.bin"});
}

TEST(MemoryDesktop, ScriptedPassesComeAfterTheProgramsOwnEvents) {
  MemoryDesktop desktop;
  desktop.AddButton(22, 0, 0, 10, 10, "Random");
  desktop.AddTextField(5, 0, 0, 10, 10, "30");
  desktop.AddLabel(8, 0, 0, 10, 10, "");
  desktop.Click(8);  // labels report nothing
  desktop.Type(5, "250");
  desktop.Click(22);
  EXPECT_EQ(desktop.PollEvent(), kNoEvent);
  EXPECT_EQ(desktop.PollEvent(), kControlEvent);
  EXPECT_EQ(desktop.EventControl(), 5);
  EXPECT_EQ(desktop.GetControlText(5), "250");
  desktop.SetControlText(5, "30");  // as the program does; the field reports it
  EXPECT_EQ(desktop.PollEvent(), kControlEvent);
  EXPECT_EQ(desktop.EventControl(), 5);
  EXPECT_EQ(desktop.PollEvent(), kControlEvent);
  EXPECT_EQ(desktop.EventControl(), 22);
  EXPECT_EQ(desktop.PollEvent(), kCloseEvent);  // the script has run out
  EXPECT_EQ(desktop.UnscriptedCloses(), 1);
}

TEST(MemoryDesktop, KeysHoldForTheirPassAndMarksClearOnQuery) {
  MemoryDesktop desktop;
  desktop.PressKey(116);
  EXPECT_NE(desktop.KeyState(116), 0);
  EXPECT_EQ(desktop.KeyState(116), 0);
  auto& pass = desktop.Idle();
  pass.keysDown = {116};
  pass.foreground = "Skarvel";
  desktop.Idle();
  desktop.PollEvent();
  EXPECT_NE(desktop.KeyState(116), 0);
  EXPECT_NE(desktop.KeyState(116), 0);  // held down: every query sees it
  EXPECT_EQ(desktop.ForegroundTitle(), "Skarvel");
  desktop.PollEvent();
  EXPECT_EQ(desktop.KeyState(116), 0);
  EXPECT_EQ(desktop.KeyQueries(116), 5);
}

TEST(MemoryDesktop, RandomIntIsSeededAndRecordsItsDraws) {
  MemoryDesktop first(7), second(7);
  for (int i = 0; i < 20; ++i) {
    const auto a = first.RandomInt(60);
    EXPECT_EQ(a, second.RandomInt(60));
    EXPECT_GE(a, 0);
    EXPECT_LE(a, 60);
  }
  first.QueueRandom(3);
  EXPECT_EQ(first.RandomInt(10), 3);
  EXPECT_EQ(first.RandomMaxima().size(), 21u);
}

}  // namespace
}  // namespace vantrix
