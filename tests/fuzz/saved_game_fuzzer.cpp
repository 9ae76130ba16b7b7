// Any bytes as a saved game, through the whole program: loading, the roster
// in the log, two draws and two copies. Inputs grow only slowly under
// libFuzzer, so lengths near and past the image's capacity are the large
// saved-game target's job; this one is run with a max_len past the capacity
// all the same, and its seeds include files at and past it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/fuzz/saved_game_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> file(data, data + size);
  vantrix::fuzz::CheckProgramOnSavedGame(file, vantrix::fuzz::DrawSeedOf(file));
  return 0;
}
