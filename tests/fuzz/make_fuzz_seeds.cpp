// make_fuzz_seeds RAW_DIR LARGE_DIR: writes the seed corpora of the two
// saved-game fuzz targets from the synthetic saved-game builder, so that no
// binary file needs to live in the repository.
//
// RAW_DIR gets whole saved games: ordinary fields, every kind of driver,
// counts and entry tables past the usual, files cut short at each boundary
// of the layout, and files at and one byte past the image's capacity.
// LARGE_DIR gets inputs of the large target: a four-byte length, then a
// pattern repeated over the file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/save_builder/save_builder.h"

namespace {

using vantrix::BuildSavedGame;
using vantrix::DriverSpec;
using vantrix::SaveSpec;

constexpr std::size_t kCapacity = 2'000'000;

bool Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) std::fprintf(stderr, "make_fuzz_seeds: cannot write %s\n", path.string().c_str());
  return static_cast<bool>(out);
}

SaveSpec Field(std::vector<DriverSpec> drivers, std::uint8_t entries = 0) {
  SaveSpec spec;
  spec.drivers = std::move(drivers);
  spec.entryCount = entries;
  return spec;
}

SaveSpec Sized(SaveSpec spec, std::size_t size) {
  spec.size = size;
  return spec;
}

struct Seed {
  const char* name;
  SaveSpec spec;
};

std::vector<Seed> RawSeeds() {
  const SaveSpec small =
      Field({{"Anna", true, 0, 12}, {"Bot", false, 45, 80}, {"Cid", false, 150, 0}});
  const SaveSpec six = Field({{"A", false, 0, 0},
                              {"B", false, 1, 255},
                              {"C", false, 199, 1},
                              {"D", false, 200, 200},
                              {"E", false, 255, 100},
                              {"F", true, 7, 9}},
                             3);
  SaveSpec seven = Field({{"A", false, 1, 1},
                          {"B", false, 2, 2},
                          {"C", false, 3, 3},
                          {"D", false, 4, 4},
                          {"E", false, 5, 5},
                          {"F", false, 6, 6},
                          {"G", false, 7, 7}});
  SaveSpec manyCounted = Field({{"A", false, 1, 1}});
  manyCounted.driverCount = 255;
  manyCounted.size = 3000;
  SaveSpec countAboveDrivers = Field({{"A", false, 10, 20}});
  countAboveDrivers.driverCount = 4;
  const std::size_t smallEnd = vantrix::LayoutEnd(3, 0);
  return {
      {"small_field", small},
      {"six_kinds", six},
      {"seven_drivers", seven},
      {"count_255_short", manyCounted},
      {"count_above_drivers", countAboveDrivers},
      {"entries_200", Field({{"A", false, 1, 42}}, 200)},
      {"entries_255_six", Field({{"A", false, 9, 9},
                                 {"B", false, 8, 8},
                                 {"C", false, 7, 7},
                                 {"D", false, 6, 6},
                                 {"E", false, 5, 5},
                                 {"F", false, 4, 4}},
                                255)},
      {"humans", Field({{"H1", true, 0, 5}, {"A", false, 7, 6}, {"H2", true, 0, 9}})},
      {"names", Field({{"  Ola  ", false, 3, 1},
                       {"ABCDEFGHIJKLM", false, 4, 1},
                       {"Lee, J", false, 30, 1},
                       {"a,b,c,d", true, 0, 2},
                       {"\r\n", false, 5, 5}})},
      {"no_drivers", Field({})},
      {"cut_before_last_byte", Sized(small, smallEnd - 1)},
      {"cut_at_second_extra", Sized(small, vantrix::ExtraOffset(3, 0, 2))},
      {"cut_at_block_b", Sized(small, 82 + 1449 * 3)},
      {"cut_at_block_b_plus_one", Sized(small, 82 + 1449 * 3 + 1)},
      {"cut_at_second_level", Sized(small, vantrix::LevelOffset(3, 2))},
      {"cut_at_second_flag", Sized(small, vantrix::HumanFlagOffset(3, 2))},
      {"cut_in_first_name", Sized(small, 84)},
      {"header_and_count", Sized(small, 79)},
      {"header_without_count", Sized(small, 78)},
      {"one_byte", Sized(small, 1)},
      {"at_capacity", Sized(small, kCapacity)},
      {"past_capacity", Sized(small, kCapacity + 1)},
  };
}

// Large-target inputs: the length, little-endian, then the pattern.
std::vector<std::uint8_t> LargeInput(std::uint32_t length,
                                     const std::vector<std::uint8_t>& pattern) {
  std::vector<std::uint8_t> input;
  for (int i = 0; i < 4; ++i) input.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
  input.insert(input.end(), pattern.begin(), pattern.end());
  return input;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: make_fuzz_seeds RAW_DIR LARGE_DIR\n", stderr);
    return 2;
  }
  const std::filesystem::path raw(argv[1]), large(argv[2]);
  std::filesystem::create_directories(raw);
  std::filesystem::create_directories(large);
  bool ok = true;
  for (const Seed& seed : RawSeeds())
    ok = Write(raw / (std::string(seed.name) + ".gam"), BuildSavedGame(seed.spec)) && ok;
  ok = Write(raw / "empty.gam", {}) && ok;

  const auto small = BuildSavedGame(
      Field({{"Anna", true, 0, 12}, {"Bot", false, 45, 80}, {"Cid", false, 150, 0}}));
  const auto wide = BuildSavedGame(Field({{"A", false, 100, 100}, {"B", false, 200, 1}}, 255));
  const struct {
    const char* name;
    std::uint32_t length;
    const std::vector<std::uint8_t>& pattern;
  } largeSeeds[] = {
      {"small_whole", static_cast<std::uint32_t>(small.size()), small},
      {"small_repeated_below_capacity", 1'999'999, small},
      {"small_repeated_at_capacity", 2'000'000, small},
      {"small_repeated_past_capacity", 2'000'001, small},
      {"wide_entries_at_capacity", 2'000'000, wide},
  };
  for (const auto& seed : largeSeeds) {
    ok = Write(large / (std::string(seed.name) + ".bin"), LargeInput(seed.length, seed.pattern)) &&
         ok;
  }
  ok = Write(large / "zeros_at_capacity.bin", LargeInput(2'000'000, {})) && ok;
  return ok ? 0 : 1;
}
