// A source of uniformly distributed integers that gives the same numbers for
// the same seed on every platform and compiler: the engine is the standard
// Mersenne Twister, whose output the standard fixes, and the mapping onto a
// range is our own (the standard distributions may differ between libraries).
#pragma once

#include <cstdint>
#include <random>

namespace vantrix {

class RandomSource {
 public:
  explicit RandomSource(std::uint32_t seed) : engine_(seed) {}

  // A uniformly distributed integer from 0 to max inclusive; 0 when max is
  // below 1. A max above 2^32 - 1 is taken as 2^32 - 1.
  std::int64_t Next(std::int64_t max);

 private:
  std::mt19937 engine_;
};

// A seed that differs from run to run.
std::uint32_t FreshSeed();

}  // namespace vantrix
