#include "app/settings.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "desktop/memory/memory_desktop.h"

namespace vantrix {
namespace {

const std::string kTemporaryFile = std::string(kSettingsFile) + ".tmp";
const std::string kBom = "\xEF\xBB\xBF";

// gameFolder, savePath, spreadText.
using Values = std::array<std::string, 3>;

Values FieldsOf(const AppState& state) {
  return {state.gameFolder, state.savePath, state.spreadText};
}

// What LoadSettings makes of a settings file holding these bytes.
Values LoadedFrom(const std::string& fileBytes) {
  MemoryDesktop desktop;
  desktop.PutFile(kSettingsFile, fileBytes);
  AppState state(desktop);
  LoadSettings(state);
  return FieldsOf(state);
}

struct FileCase {
  const char* name;
  std::string file;
  Values expected;
};

void ExpectLoads(const std::vector<FileCase>& cases) {
  for (const FileCase& c : cases) EXPECT_EQ(LoadedFrom(c.file), c.expected) << c.name;
}

TEST(Settings, FirstRunWithoutFileGivesDefaultsAndCreatesNothing) {
  MemoryDesktop desktop;
  AppState state(desktop);
  state.gameFolder = state.savePath = state.spreadText = "stale";
  LoadSettings(state);
  EXPECT_EQ(FieldsOf(state), (Values{"nix", "nix", "30"}));
  EXPECT_TRUE(desktop.FilePaths().empty());
  EXPECT_EQ(desktop.OpenFiles(), 0);
}

TEST(Settings, LoadReadsTheFileAsTheProgramWritesIt) {
  ExpectLoads({
      {"typical",
       "Skarvel = c:\\games\\skarvel\\\r\ngame = c:\\games\\skarvel\\saves\\cup.gam\r\n"
       "random = 30\r\n",
       {"c:\\games\\skarvel\\", "c:\\games\\skarvel\\saves\\cup.gam", "30"}},
      {"empty spread reads empty, not as the default",
       "Skarvel = nix\r\ngame = nix\r\nrandom = \r\n",
       {"nix", "nix", ""}},
      {"empty file", "", {"nix", "nix", "30"}},
  });
}

TEST(Settings, LoadReadsHandEditedLines) {
  ExpectLoads({
      {"keys in capitals, values lowered",
       "SKARVEL = C:\\GAMES\\\r\nGame = C:\\X.GAM\r\nRANDOM = $1E",
       {"c:\\games\\", "c:\\x.gam", "$1e"}},
      {"8-bit letters lowered too",
       "game = \xC4\xDE\xDF\xC0.gam",
       {"nix", "\xE4\xFE\xDF\xE0.gam", "30"}},
      {"CR only", "Skarvel = a\rgame = b\rrandom = 7\r", {"a", "b", "7"}},
      {"LF only", "Skarvel = a\ngame = b\nrandom = 7\n", {"a", "b", "7"}},
      {"mixed ends, no final end", "Skarvel = a\n\rgame = b\r\n\r\n\nrandom = 7", {"a", "b", "7"}},
      {"blank and tab lines", "   \r\n\t\r\n \t \r\ngame = b\r\n", {"nix", "b", "30"}},
      {"comments", "; random = 1\r\n  \t;game = c\r\nrandom = 2", {"nix", "nix", "2"}},
      {"blanks and tabs around key and value",
       " \t game\t =\t c:\\my  games\\a.gam \t\r\n",
       {"nix", "c:\\my  games\\a.gam", "30"}},
      {"no blanks around '='", "random=12\r\ngame=x", {"nix", "x", "12"}},
      {"later '=', ';' and quotes belong to the value",
       "game = \"c:\\a=b.gam\" ; mine\r\nrandom = 5;6",
       {"nix", "\"c:\\a=b.gam\" ; mine", "5;6"}},
      {"first line of a key wins",
       "RANDOM = 1\r\nrandom = 2\r\ngame = x\r\ngame = \r\n",
       {"nix", "x", "1"}},
      {"empty value is kept over a later line",
       "game =\r\ngame = x\r\nrandom = \t \r\n",
       {"nix", "", ""}},
      {"key must match whole",
       "randomize = 1\r\nrand = 2\r\nran dom = 3\r\n= 4\r\n",
       {"nix", "nix", "30"}},
      {"'[' inside a value is no header", "game = [x]\r\nrandom = 9", {"nix", "[x]", "9"}},
  });
}

TEST(Settings, LoadLooksOnlyAboveTheFirstGroupHeader) {
  ExpectLoads({
      {"all keys in a group",
       "[Vantrix]\r\nSkarvel = c:\\x\\\r\ngame = y\r\nrandom = 5\r\n",
       {"nix", "nix", "30"}},
      {"keys above a header found, below not",
       "game = a\r\n  [more]\r\nrandom = 5\r\nSkarvel = b",
       {"nix", "a", "30"}},
      {"header after the first match changes nothing",
       "random = 5\r\n[g]\r\nrandom = 6",
       {"nix", "nix", "5"}},
  });
}

// A line without '=' is passed over: it neither ends the search nor reads as a
// key with an empty value.
TEST(Settings, LoadPassesOverALineWithoutEquals) {
  ExpectLoads({
      {"bare key", "random\r\nrandom = 6\r\n", {"nix", "nix", "6"}},
      {"key and value without '='", "game c:\\x.gam\r\ngame = y\r\n", {"nix", "y", "30"}},
  });
}

TEST(Settings, LoadConvertsTheValuesOfAUtf8File) {
  ExpectLoads({
      {"only the mark", kBom, {"nix", "nix", "30"}},
      {"mark and empty lines", kBom + "\r\n\r\n", {"nix", "nix", "30"}},
      {"convertible, then lowered",
       kBom + "game = C:\\\xC3\x84.GAM\r\nSkarvel = \xE2\x82\xAC\\",
       {"\x80\\", "c:\\\xE4.gam", "30"}},
      {"character outside the code page reads empty",
       kBom + "game = a\xE4\xB8\xAD.gam\r\nrandom = 40",
       {"nix", "", "40"}},
      {"invalid sequence reads empty", kBom + "game = \xC4.gam\r\nrandom = \xC3", {"nix", "", ""}},
      {"a key line in capitals", kBom + "RANDOM = $1E", {"nix", "nix", "$1e"}},
      // Without the mark the same bytes are 8-bit text, taken one by one.
      {"no mark: bytes as they are", "game = \xC3\xA4", {"nix", "\xE3\xA4", "30"}},
  });
}

TEST(Settings, LoadLeavesTheFileAsItWas) {
  for (const bool readOnly : {false, true}) {
    MemoryDesktop desktop;
    const std::string original = "; mine\r\nGAME = C:\\X.GAM\r\n[group]\r\nx = 1";
    desktop.PutFile(kSettingsFile, original);
    desktop.SetReadOnly(kSettingsFile, readOnly);
    AppState state(desktop);
    LoadSettings(state);
    EXPECT_EQ(state.savePath, "c:\\x.gam") << readOnly;
    EXPECT_EQ(desktop.FileText(kSettingsFile), original) << readOnly;
    EXPECT_EQ(desktop.FilePaths(), std::vector<std::string>{kSettingsFile}) << readOnly;
    EXPECT_EQ(desktop.IsReadOnly(kSettingsFile), readOnly);
    EXPECT_EQ(desktop.OpenFiles(), 0) << readOnly;
  }
}

// Half a file could hold half a value; it is treated like a file that cannot
// be read at all.
TEST(Settings, LoadGivesDefaultsWhenAReadFailsPartWay) {
  MemoryDesktop desktop;
  desktop.PutFile(kSettingsFile, "game = c:\\x.gam\r\nrandom = 50\r\n");
  desktop.FailReads(kSettingsFile, 12);
  AppState state(desktop);
  LoadSettings(state);
  EXPECT_EQ(FieldsOf(state), (Values{"nix", "nix", "30"}));
  EXPECT_EQ(desktop.OpenFiles(), 0);
}

// "game = a", a comment line of padding, then "random = 77" ending at
// lineEnd bytes into the file, followed by a line end.
std::string FileWithSpreadEndingAt(std::size_t lineEnd) {
  const std::string head = "game = a\n";
  const std::string spread = "random = 77";
  const std::size_t padding = lineEnd - head.size() - spread.size() - 2;
  return head + ";" + std::string(padding, 'x') + "\n" + spread + "\r\n";
}

TEST(Settings, LoadReadsOnlyWholeLinesWithinTheLimit) {
  const std::string fits = FileWithSpreadEndingAt(kMaxSettingsBytes);
  const std::string cut = FileWithSpreadEndingAt(kMaxSettingsBytes + 1);
  ASSERT_EQ(fits.find("77"), kMaxSettingsBytes - 2);
  ASSERT_EQ(cut.find("77"), kMaxSettingsBytes - 1);
  ExpectLoads({
      {"line ends at the limit", fits, {"nix", "a", "77"}},
      // Read as far as the limit, the value would be a wrong "7".
      {"line cut by the limit is dropped", cut, {"nix", "a", "30"}},
  });
}

struct StoreCase {
  const char* name;
  Values held;
  std::string file;
  Values readBack;
};

TEST(Settings, StoreWritesThreeLinesThatReadBack) {
  const StoreCase cases[] = {
      {"typical",
       {"c:\\games\\skarvel\\", "c:\\games\\skarvel\\saves\\cup.gam", "30"},
       "Skarvel = c:\\games\\skarvel\\\r\ngame = c:\\games\\skarvel\\saves\\cup.gam\r\n"
       "random = 30\r\n",
       {"c:\\games\\skarvel\\", "c:\\games\\skarvel\\saves\\cup.gam", "30"}},
      {"first run",
       {"nix", "nix", "30"},
       "Skarvel = nix\r\ngame = nix\r\nrandom = 30\r\n",
       {"nix", "nix", "30"}},
      {"spread as typed, lowered when read",
       {"nix", "nix", "$1E"},
       "Skarvel = nix\r\ngame = nix\r\nrandom = $1E\r\n",
       {"nix", "nix", "$1e"}},
      {"emptied spread stays empty",
       {"c:\\g\\", "nix", ""},
       "Skarvel = c:\\g\\\r\ngame = nix\r\nrandom = \r\n",
       {"c:\\g\\", "nix", ""}},
      {"8-bit text as held",
       {"c:\\sk\xE4rvel\\", "c:\\\xC4.gam", "abc"},
       "Skarvel = c:\\sk\xE4rvel\\\r\ngame = c:\\\xC4.gam\r\nrandom = abc\r\n",
       {"c:\\sk\xE4rvel\\", "c:\\\xE4.gam", "abc"}},
  };
  for (const StoreCase& c : cases) {
    MemoryDesktop desktop;
    // Whatever the file held before, including lines added by hand, is gone.
    desktop.PutFile(kSettingsFile, "; mine\r\n[group]\r\nrandom = 99\r\nSkarvel = old\\\r\n");
    AppState state(desktop);
    state.gameFolder = c.held[0];
    state.savePath = c.held[1];
    state.spreadText = c.held[2];
    StoreSettings(state);
    EXPECT_EQ(desktop.FileText(kSettingsFile), c.file) << c.name;
    EXPECT_EQ(desktop.FilePaths(), std::vector<std::string>{kSettingsFile}) << c.name;
    EXPECT_EQ(FieldsOf(state), c.held) << c.name;  // storing changes nothing held

    AppState next(desktop);
    LoadSettings(next);
    EXPECT_EQ(FieldsOf(next), c.readBack) << c.name;
  }
}

struct StoreFault {
  const char* name;
  std::function<void(MemoryDesktop&)> inject;
};

TEST(Settings, StoreThatFailsLeavesTheOldFileWhole) {
  const std::string oldFile = "Skarvel = c:\\old\\\r\ngame = nix\r\nrandom = 12\r\n";
  const StoreFault faults[] = {
      {"temporary file cannot be created", [](MemoryDesktop& d) { d.FailCreate(kTemporaryFile); }},
      {"disk fills up", [](MemoryDesktop& d) { d.LimitWrites(kTemporaryFile, 10); }},
      {"flush fails", [](MemoryDesktop& d) { d.FailFlush(true); }},
      {"move fails", [](MemoryDesktop& d) { d.FailMove(true); }},
      {"file is read-only", [](MemoryDesktop& d) { d.SetReadOnly(kSettingsFile, true); }},
  };
  for (const StoreFault& fault : faults) {
    MemoryDesktop desktop;
    desktop.PutFile(kSettingsFile, oldFile);
    fault.inject(desktop);
    AppState state(desktop);
    state.gameFolder = "c:\\new\\";
    state.spreadText = "77";
    StoreSettings(state);
    EXPECT_EQ(desktop.FileText(kSettingsFile), oldFile) << fault.name;
    EXPECT_FALSE(desktop.HasFile(kTemporaryFile)) << fault.name;
    EXPECT_EQ(desktop.OpenFiles(), 0) << fault.name;
    EXPECT_TRUE(desktop.Messages().empty()) << fault.name;
  }
}

TEST(Settings, StoreThatFailsWithoutAnOldFileLeavesNoFile) {
  MemoryDesktop desktop;
  desktop.LimitWrites(kTemporaryFile, 5);
  AppState state(desktop);
  StoreSettings(state);
  EXPECT_TRUE(desktop.FilePaths().empty());
}

TEST(Settings, ParsingBytesNeedsNoDesktop) {
  const auto noForm = [](const std::string&) { return std::optional<std::string>(); };
  const SettingsValues values =
      SettingsFromBytes(kBom + "Skarvel = A\r\ngame = B\r\n[g]\r\nrandom = 1", noForm);
  EXPECT_EQ(values.gameFolder, "");
  EXPECT_EQ(values.savePath, "");
  EXPECT_EQ(values.spreadText, "30");
  EXPECT_EQ(SettingsValue("x = 1\r\nKEY = \tv=w \r\n", "key"), "v=w");
  EXPECT_EQ(SettingsValue("[g]\r\nkey = v", "key"), std::nullopt);
  EXPECT_EQ(SettingsFileText({"a", "", "c"}), "Skarvel = a\r\ngame = \r\nrandom = c\r\n");
}

}  // namespace
}  // namespace vantrix
