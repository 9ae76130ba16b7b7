#include "text/text.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vantrix {
namespace {

struct IntegerCase {
  const char* text;
  std::int64_t expected;
};

TEST(Text, ParseIntegerReadsEveryForm) {
  const IntegerCase cases[] = {
      {"0x10", 0},  // only "$" marks hexadecimal
      {"1e3", 1},
      {"$1E", 30},
      {"$1e", 30},
      {"%101", 5},
      {"-0", 0},
      {"+", 0},
      {"-", 0},
      {"", 0},
      {" \t 42", 42},
      {"\t-17abc", -17},
      {"12abc", 12},
      {"abc", 0},
      {"+$ff", 255},
      {"-%11", -3},
      {"$", 0},
      {"%2", 0},
      {" 4 2", 4},
      {"9223372036854775807", INT64_MAX},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Text, ParseIntegerWrapsOnOverflow) {
  // 2^64 + 5 wraps to 5.
  EXPECT_EQ(ParseInteger("18446744073709551621"), 5);
  // 10^30 mod 2^64, computed independently: 10^30 = 0xC9F2C9CD04674EDEA40000000.
  EXPECT_EQ(static_cast<std::uint64_t>(ParseInteger("1000000000000000000000000000000")),
            0x4674EDEA40000000ull);
  EXPECT_EQ(ParseInteger("-9223372036854775808"), INT64_MIN);
  // The low 32 bits of 2^32 + 100 are 100; the low 16 bits of 65536 + 30 are 30.
  EXPECT_EQ(ParseInteger32("4294967396"), 100);
  EXPECT_EQ(ParseInteger16("65566"), 30);
  EXPECT_EQ(ParseInteger16("$FFFF"), -1);
  EXPECT_EQ(ParseInteger32("$80000000"), INT32_MIN);
}

TEST(Text, LowerTextRaisesOnlyItsTwoRanges) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  const std::string lowered = LowerText(all);
  for (int byte = 0; byte < 256; ++byte) {
    const bool raised = (byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE);
    EXPECT_EQ(static_cast<unsigned char>(lowered[static_cast<std::size_t>(byte)]),
              raised ? byte + 0x20 : byte)
        << "byte " << byte;
  }
  // The bytes around the ranges stay: '@', '[', 0xBF, 0xDF (sharp s), 0xFF.
  EXPECT_EQ(LowerText("@[\xBF\xDF\xFF"), "@[\xBF\xDF\xFF");
}

struct PathCase {
  const char* path;
  const char* folder;
  const char* name;
};

TEST(Text, FolderOfAndFileNameOf) {
  const PathCase cases[] = {
      {"c:\\games\\skarvel\\saves\\cup.gam", "c:\\games\\skarvel\\saves\\", "cup.gam"},
      {"cup.gam", "", "cup.gam"},
      {"\"c:\\a\\b.gam\"", "c:\\a\\", "b.gam"},  // one leading quote skipped
      {"c:/a/b.gam", "c:/a/", "b.gam"},
      {"c:\\a|d:\\b\\c", "c:\\", "c"},  // the folder scan stops at "|"
      {"c:\\a\\b\"rest", "c:\\a\\", "b"},  // the name ends at a quote
      {"c:\\games\\", "c:\\games\\", ""},
      {"", "", ""},
      {"\"\"x", "", ""},  // only one quote is skipped
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
  }
}

TEST(Text, TrimSpacesAndFieldOf) {
  EXPECT_EQ(TrimSpaces("  Anna  "), "Anna");
  EXPECT_EQ(TrimSpaces("\tAnna\t "), "\tAnna\t");  // tabs stay
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(FieldOf("Bot,AI 45", 1), "Bot");
  EXPECT_EQ(FieldOf("Bot,AI 45", 2), "AI 45");
  EXPECT_EQ(FieldOf("Bot,AI 45", 3), "");  // past the last field
  EXPECT_EQ(FieldOf("Lee, J,AI 3", 2), " J");
  EXPECT_EQ(FieldOf("a,,c", 2), "");
  EXPECT_EQ(FieldOf("a,,c", 3), "c");
  EXPECT_EQ(FieldOf("", 1), "");
  EXPECT_EQ(FieldOf("a", 0), "");
}

TEST(Text, IntText) {
  EXPECT_EQ(IntText(0), "0");
  EXPECT_EQ(IntText(-45), "-45");
  EXPECT_EQ(IntText(INT64_MIN), "-9223372036854775808");
}

TEST(Text, Utf8ToWindows1252) {
  EXPECT_EQ(Utf8ToWindows1252("c:\\spiele\\"), "c:\\spiele\\");
  EXPECT_EQ(Utf8ToWindows1252("\xC3\xA4\xE2\x82\xAC"), "\xE4\x80");  // a-umlaut, euro sign
  EXPECT_EQ(Utf8ToWindows1252("\xC2\x81"), "\x81");                 // undefined byte keeps its number
  EXPECT_EQ(Utf8ToWindows1252("\xE4\xB8\xAD"), std::nullopt);       // a CJK character: no byte
  EXPECT_EQ(Utf8ToWindows1252("\xC3"), std::nullopt);               // cut short
  EXPECT_EQ(Utf8ToWindows1252("\xC0\xAF"), std::nullopt);           // overlong
  EXPECT_EQ(Utf8ToWindows1252("\xED\xA0\x80"), std::nullopt);       // a surrogate
  EXPECT_EQ(Utf8ToWindows1252("\xE4"), std::nullopt);               // a Windows-1252 byte, not UTF-8
}

}  // namespace
}  // namespace vantrix
