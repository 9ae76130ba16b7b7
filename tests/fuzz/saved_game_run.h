// The whole program run on one saved game of any bytes, on the in-memory
// desktop, with every outcome checked against a model of the layout that is
// written here from the layout's absolute offsets, apart from save/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrix::fuzz {

// The spread of every run: wide enough that draws reach both clamps.
inline constexpr int kRunSpread = 200;

// Installs the game, this saved game and settings naming both on a fresh
// in-memory desktop, then runs the program: the Random button, F5 with the
// game in front, the close command. The twelve draws are scripted from
// drawSeed. Aborts with a message when anything the program shows or writes
// differs from the model: the log, the copy byte for byte, the message
// boxes, the settings file, the files left behind, the draws and pauses.
void CheckProgramOnSavedGame(const std::vector<std::uint8_t>& file, std::uint64_t drawSeed);

// A cheap seed for the draws, from the file's length and its first bytes.
std::uint64_t DrawSeedOf(const std::vector<std::uint8_t>& file);

}  // namespace vantrix::fuzz
