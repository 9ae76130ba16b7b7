#include "save/randomizer.h"

#include <algorithm>
#include <cstdlib>

namespace vantrix {

namespace {

// Stores base + d clamped to 0..200 when the slot has such a value; the new
// value, or nothing when the slot has none.
std::optional<int> MoveValue(SaveImage& image, std::optional<std::size_t> at, std::int16_t base,
                             int d) {
  if (!at || base == 0) return std::nullopt;
  const int value = std::clamp(base + d, 0, kHighestValue);
  if (!StoreByte(image, *at, static_cast<std::uint8_t>(value))) return std::nullopt;
  return value;
}

}  // namespace

std::vector<int> RandomizeSlots(SaveImage& image, const Roster& roster, std::int16_t spread,
                                const RandomIntFn& randomInt) {
  // A negative spread can only come from a hand-edited settings file; it
  // draws over the same range as its magnitude.
  const int r = std::abs(static_cast<int>(spread));
  std::vector<int> levels;
  for (const RosterSlot& slot : roster.slots) {
    const int d = static_cast<int>(randomInt(2 * r)) - r;
    if (auto level = MoveValue(image, slot.levelAt, slot.levelBase, d)) levels.push_back(*level);
    MoveValue(image, slot.extraAt, slot.extraBase, d);
  }
  return levels;
}

}  // namespace vantrix
