// vantrix-cli show: the roster as a table and as JSON, over synthetic saved
// games held in the in-memory file store.
#include <gtest/gtest.h>

#include "cli/cli_report.h"
#include "desktop/memory/memory_desktop.h"
#include "tests/cli/cli_test_support.h"
#include "tools/save_builder/save_builder.h"

namespace vantrix {
namespace {

using cli_test::RunWith;

const std::string kSave = "saves/cup.gam";

cli_test::CliRun Show(const SaveSpec& spec, const std::vector<std::string>& options = {}) {
  MemoryDesktop store;
  store.PutFile(kSave, BuildSavedGame(spec));
  std::vector<std::string> args{"show", kSave};
  args.insert(args.end(), options.begin(), options.end());
  return RunWith(store, args);
}

// A human, an AI, an AI at level 0 and a name holding a comma; blanks around
// a name are not part of it.
SaveSpec MixedField() {
  SaveSpec spec;
  spec.drivers = {{"Anna", true, 0, 77}, {"  Bot  ", false, 45, 120}, {"Lee, J", false, 0, 88}};
  spec.entryCount = 2;
  return spec;
}

TEST(CliShow, ListsHumanAiLevelZeroAndCommaNamesAsATable) {
  const auto run = Show(MixedField());
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.err, "");
  // The human driver has no level, and as the human slot no extra value.
  EXPECT_EQ(run.out,
            "slot  name           driver  level  extra\n"
            "1     Anna           human   -      -\n"
            "2     Bot            AI      45     120\n"
            "3     Lee, J         AI      0      88\n");
}

TEST(CliShow, ListsTheSameRosterAsJson) {
  const auto run = Show(MixedField(), {"--json"});
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(
      run.out,
      "{\n"
      "  \"save\": \"saves/cup.gam\",\n"
      "  \"drivers\": [\n"
      "    {\"slot\": 1, \"name\": \"Anna\", \"driver\": \"human\", \"level\": null, "
      "\"extra\": null},\n"
      "    {\"slot\": 2, \"name\": \"Bot\", \"driver\": \"ai\", \"level\": 45, \"extra\": 120},\n"
      "    {\"slot\": 3, \"name\": \"Lee, J\", \"driver\": \"ai\", \"level\": 0, \"extra\": 88}\n"
      "  ]\n"
      "}\n");
}

TEST(CliShow, PrintsCodePageNamesAsUtf8AndEscapesThemForJson) {
  // Two humans: only the last is the human slot, so the first one keeps an
  // extra value (which a roll moves). Names are Windows-1252 bytes.
  SaveSpec spec;
  spec.drivers = {{"M\xFCller", true, 0, 66},
                  {"\x80uro \"Q\"\\", true, 0, 55},
                  {"Tab\tBell\x07", false, 150, 3}};
  const auto table = Show(spec);
  EXPECT_EQ(table.code, 0);
  EXPECT_EQ(table.out,
            "slot  name           driver  level  extra\n"
            "1     M\u00FCller         human   -      66\n"
            "2     \u20ACuro \"Q\"\\      human   -      -\n"
            "3     Tab?Bell?      AI      150    3\n");
  const auto json = Show(spec, {"--json"});
  EXPECT_EQ(json.code, 0);
  EXPECT_NE(json.out.find("\"name\": \"M\u00FCller\", \"driver\": \"human\", \"level\": null, "
                          "\"extra\": 66}"),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"name\": \"\u20ACuro \\\"Q\\\"\\\\\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"name\": \"Tab\\u0009Bell\\u0007\""), std::string::npos) << json.out;
}

TEST(CliShow, SaysSoWhenTheGameHasNoDrivers) {
  const auto table = Show({});
  EXPECT_EQ(table.code, 0);
  EXPECT_EQ(table.out, "slot  name           driver  level  extra\n(no drivers)\n");
  const auto json = Show({}, {"--json"});
  EXPECT_EQ(json.code, 0);
  EXPECT_EQ(json.out, "{\n  \"save\": \"saves/cup.gam\",\n  \"drivers\": []\n}\n");
}

TEST(CliShow, ListsAtMostSixSlots) {
  SaveSpec spec;
  for (int i = 1; i <= 8; ++i) spec.drivers.push_back({"D" + std::to_string(i), false, 10, 20});
  const auto run = Show(spec);
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find("\n6     D6 "), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("D7"), std::string::npos) << run.out;
}

TEST(CliShow, RefusesAFileThatCannotBeReadWhole) {
  MemoryDesktop store;
  store.PutFile(kSave, BuildSavedGame(MixedField()));
  store.FailReads(kSave, 100);
  const auto run = RunWith(store, {"show", kSave});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "vantrix-cli: saves/cup.gam: reading stopped before the end of the file (cut short)\n");
}

TEST(CliShow, JsonKeepsAUtf8PathAndReadsAnyOtherAsTheWindowsCodePage) {
  EXPECT_EQ(JsonString("saves/caf\u00E9.gam"), "\"saves/caf\u00E9.gam\"");
  EXPECT_EQ(JsonString("C:\\saves\\caf\xE9.gam"), "\"C:\\\\saves\\\\caf\u00E9.gam\"");
  // The bytes Windows-1252 leaves undefined keep their number.
  EXPECT_EQ(Windows1252ToUtf8("\x81\x9F"), "\u0081\u0178");
}

}  // namespace
}  // namespace vantrix
