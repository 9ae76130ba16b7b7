// Drawing a new field: every AI level and eligible extra value moves by a
// random amount within plus or minus the spread, measured from the values as
// loaded, so each draw is fresh around the same saved game and re-rolls
// never drift.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "save/saved_game.h"

namespace vantrix {

// A uniformly distributed integer from 0 to max inclusive.
using RandomIntFn = std::function<std::int64_t(std::int64_t max)>;

// The highest value a level or extra value may take.
inline constexpr int kHighestValue = 200;

// Draws one deviation d per slot, six in all whether or not a slot changes:
// d = randomInt(2|spread|) - |spread|. A slot's level (when set and its base
// is not 0) and its extra value (likewise) become base + d clamped to 0..200.
// Returns the new levels in slot order, for the log.
std::vector<int> RandomizeSlots(SaveImage& image, const Roster& roster, std::int16_t spread,
                                const RandomIntFn& randomInt);

}  // namespace vantrix
