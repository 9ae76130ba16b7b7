#include "app/activity_log.h"

#include <gtest/gtest.h>

#include "desktop/memory/memory_desktop.h"

namespace vantrix {
namespace {

class ActivityLogTest : public ::testing::Test {
 protected:
  ActivityLogTest() { desktop.AddLabel(kLogLabel, 10, 300, 280, 280, ""); }

  std::string Shown() const { return desktop.FindControl(kLogLabel)->text; }

  static std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
  }

  MemoryDesktop desktop;
  AppState state{desktop};
};

TEST_F(ActivityLogTest, FirstAppendShowsElevenPromptsThenTheLine) {
  AppendLog(state, "x");
  std::vector<std::string> expected(11, "> ");
  expected.push_back("> x");
  EXPECT_EQ(Shown(), Lines(expected));
}

TEST_F(ActivityLogTest, EmptyTextAddsABarePrompt) {
  AppendLog(state, "a");
  AppendLog(state, "");
  EXPECT_EQ(state.log[10], "> a");
  EXPECT_EQ(state.log[11], "> ");
  EXPECT_TRUE(Shown().ends_with("> a\r\n> \r\n"));
}

TEST_F(ActivityLogTest, LongLinesAreCutToOneHundredCharacters) {
  std::string text;
  for (int i = 0; i < 150; ++i) text.push_back(static_cast<char>('a' + i % 26));
  AppendLog(state, text);
  EXPECT_EQ(state.log.back(), "> " + text.substr(0, 98));
  AppendLog(state, std::string(10'000, 'z'));
  EXPECT_EQ(state.log.back().size(), 100u);
}

TEST_F(ActivityLogTest, OnlyTheLastTwelveLinesRemain) {
  for (int i = 1; i <= 15; ++i) AppendLog(state, std::to_string(i));
  std::vector<std::string> expected;
  for (int i = 4; i <= 15; ++i) expected.push_back("> " + std::to_string(i));
  EXPECT_EQ(Shown(), Lines(expected));
}

TEST_F(ActivityLogTest, SeveralLinesAtOnceShowWhatOneByOneWould) {
  MemoryDesktop other;
  other.AddLabel(kLogLabel, 10, 300, 280, 280, "");
  AppState oneByOne(other);
  std::vector<std::string> lines;
  for (int i = 1; i <= 14; ++i) lines.push_back(std::string(static_cast<std::size_t>(i) * 9, 'a'));
  for (const auto& line : lines) AppendLog(oneByOne, line);
  AppendLogLines(state, lines);
  EXPECT_EQ(state.log, oneByOne.log);
  EXPECT_EQ(Shown(), other.FindControl(kLogLabel)->text);
}

}  // namespace
}  // namespace vantrix
