// Saved games of any length up to and past the image's capacity, built from a
// small input: the first four bytes give the file's length (little-endian),
// the rest is a pattern repeated over the whole file, so the header, the
// driver records and block B all stay in the fuzzer's hands.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/fuzz/saved_game_run.h"

namespace {

// Lengths run a little past the capacity of 2,000,000 bytes; a larger
// request folds back into that range, so the boundary stays near.
constexpr std::uint32_t kLengthRange = 2'000'000 + 4'096;

std::vector<std::uint8_t> FileOf(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return std::vector<std::uint8_t>(data, data + size);
  std::uint32_t length = 0;
  for (int i = 3; i >= 0; --i) length = (length << 8) | data[i];
  if (length > kLengthRange) length %= kLengthRange + 1;
  std::vector<std::uint8_t> file(length);
  const std::size_t pattern = size - 4;
  for (std::size_t at = 0; pattern != 0 && at < file.size(); ++at) {
    file[at] = data[4 + at % pattern];
  }
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> file = FileOf(data, size);
  vantrix::fuzz::CheckProgramOnSavedGame(file, vantrix::fuzz::DrawSeedOf(file));
  return 0;
}
