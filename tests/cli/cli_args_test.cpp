// Reading vantrix-cli's command line: seeds, spreads, and which command
// lines are usage errors.
#include "cli/cli_args.h"

#include <gtest/gtest.h>

#include "desktop/memory/memory_desktop.h"
#include "tests/cli/cli_test_support.h"

namespace vantrix {
namespace {

TEST(CliSeed, AcceptsOnlyDecimalNumbersThatFitIn32UnsignedBits) {
  struct Case {
    const char* text;
    std::optional<std::uint32_t> seed;
  };
  const Case cases[] = {
      {"0", 0u},
      {"42", 42u},
      {"0042", 42u},
      {"4294967295", 4294967295u},
      {"4294967296", std::nullopt},
      {"9999999999", std::nullopt},
      {"18446744073709551617", std::nullopt},
      {"00000000001", 1u},
      {"", std::nullopt},
      {"-1", std::nullopt},
      {"+1", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"$10", std::nullopt},
      {"1e3", std::nullopt},
      {"seven", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseSeed(c.text), c.seed) << "seed text '" << c.text << "'";
  }
}

TEST(CliSpread, IsReadLikeTheSpreadFieldAndLimitedTo0To200) {
  struct Case {
    const char* text;
    std::optional<int> spread;
  };
  const Case cases[] = {
      {"30", 30},
      {"0", 0},
      {"200", 200},
      {" +7", 7},
      {"$C8", 200},
      {"%101", 5},
      {"12abc", 12},
      {"abc", 0},  // the field's reading
      {"", 0},
      {"4294967297", 1},  // low 32 bits
      {"201", std::nullopt},
      {"-1", std::nullopt},
      {"$C9", std::nullopt},
      {"65566", std::nullopt},  // low 16 bits would be 30, but the low 32 are read
      {"2147483648", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseSpread(c.text), c.spread) << "spread text '" << c.text << "'";
  }
}

TEST(CliArgs, ReadsCommandsWithOptionsInAnyOrderAndEitherForm) {
  struct Case {
    std::vector<std::string> args;
    CliCommand command;
    std::string savePath;
    bool json;
    std::string spreadText;
    std::optional<std::uint32_t> seed;
  };
  const Case cases[] = {
      {{"show", "cup.gam"}, CliCommand::kShow, "cup.gam", false, "30", std::nullopt},
      {{"show", "--json", "Saves/Cup.GAM"},
       CliCommand::kShow,
       "Saves/Cup.GAM",
       true,
       "30",
       std::nullopt},
      {{"roll", "cup.gam"}, CliCommand::kRoll, "cup.gam", false, "30", std::nullopt},
      {{"roll", "--seed", "7", "cup.gam", "--spread", "40", "--json"},
       CliCommand::kRoll,
       "cup.gam",
       true,
       "40",
       7u},
      {{"roll", "cup.gam", "--spread=0", "--seed=4294967295"},
       CliCommand::kRoll,
       "cup.gam",
       false,
       "0",
       4294967295u},
      {{"roll", "--spread", "-0", "--", "-odd name.gam"},
       CliCommand::kRoll,
       "-odd name.gam",
       false,
       "-0",
       std::nullopt},
      {{"--help"}, CliCommand::kHelp, "", false, "30", std::nullopt},
      {{"roll", "cup.gam", "-h"}, CliCommand::kHelp, "", false, "30", std::nullopt},
      {{"show", "--bogus", "--help"}, CliCommand::kHelp, "", false, "30", std::nullopt},
      {{"--version"}, CliCommand::kVersion, "", false, "30", std::nullopt},
  };
  for (const Case& c : cases) {
    const ParsedArgs parsed = ParseCliArgs(c.args);
    const std::string where = "args starting '" + c.args[0] + "', " + std::to_string(c.args.size());
    ASSERT_TRUE(parsed.request) << where << ": " << parsed.problem;
    EXPECT_EQ(parsed.request->command, c.command) << where;
    EXPECT_EQ(parsed.request->savePath, c.savePath) << where;
    EXPECT_EQ(parsed.request->json, c.json) << where;
    EXPECT_EQ(parsed.request->spreadText, c.spreadText) << where;
    EXPECT_EQ(parsed.request->seed, c.seed) << where;
  }
}

TEST(CliArgs, RefusesWhatIsNotACommandLineWithAReason) {
  struct Case {
    std::vector<std::string> args;
    std::string problem;
  };
  const Case cases[] = {
      {{}, "no command given"},
      {{"--json"}, "no command given"},
      {{"list", "cup.gam"}, "unknown command list"},
      {{"show"}, "show needs a saved game"},
      {{"roll", "--seed", "1"}, "roll needs a saved game"},
      {{"show", "a.gam", "b.gam"}, "unexpected argument b.gam"},
      {{"show", "cup.gam", "--verbose"}, "unknown option --verbose"},
      {{"show", "cup.gam", "-j"}, "unknown option -j"},
      {{"show", "cup.gam", "--json=yes"}, "--json takes no value"},
      {{"show", "cup.gam", "--json", "--json"}, "--json given twice"},
      {{"show", "cup.gam", "--spread", "10"}, "--spread applies to roll only"},
      {{"show", "cup.gam", "--seed", "10"}, "--seed applies to roll only"},
      {{"roll", "cup.gam", "--spread"}, "--spread needs a value"},
      {{"roll", "cup.gam", "--seed"}, "--seed needs a value"},
      {{"roll", "cup.gam", "--spread", "201"}, "the spread must be 0 to 200, not '201'"},
      {{"roll", "cup.gam", "--spread=-5"}, "the spread must be 0 to 200, not '-5'"},
      {{"roll", "cup.gam", "--spread", "10", "--spread", "20"}, "--spread given twice"},
      {{"roll", "cup.gam", "--seed", "-1"},
       "the seed must be a whole number 0 to 4294967295, not '-1'"},
      {{"roll", "cup.gam", "--seed", "4294967296"},
       "the seed must be a whole number 0 to 4294967295, not '4294967296'"},
      {{"--version", "--bogus"}, "unknown option --bogus"},
  };
  for (const Case& c : cases) {
    const ParsedArgs parsed = ParseCliArgs(c.args);
    EXPECT_FALSE(parsed.request) << "expected a refusal: " << c.problem;
    EXPECT_EQ(parsed.problem, c.problem);
  }
}

}  // namespace
}  // namespace vantrix

namespace vantrix {
namespace {

TEST(CliRunArgs, AnswersHelpAndVersionAndRefusesUsageWithCode2) {
  MemoryDesktop store;
  const auto version = cli_test::RunWith(store, {"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out, std::string("vantrix-cli ") + VANTRIX_EXPECTED_VERSION + "\n");

  const auto help = cli_test::RunWith(store, {"roll", "cup.gam", "--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.out, CliHelpText());
  EXPECT_NE(help.out.find("vantrix-cli roll SAVE [--spread N] [--seed S] [--json]"),
            std::string::npos);
  EXPECT_EQ(help.err, "");

  const auto usage = cli_test::RunWith(store, {});
  EXPECT_EQ(usage.code, 2);
  EXPECT_EQ(usage.out, "");
  EXPECT_EQ(usage.err, "vantrix-cli: no command given (see vantrix-cli --help)\n");
}

}  // namespace
}  // namespace vantrix
