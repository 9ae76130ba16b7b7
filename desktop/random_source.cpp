#include "desktop/random_source.h"

#include <chrono>

namespace vantrix {

std::int64_t RandomSource::Next(std::int64_t max) {
  if (max < 1) return 0;
  constexpr std::uint64_t kSpan = std::uint64_t{1} << 32;  // the engine's 32-bit range
  const auto count = static_cast<std::uint64_t>(max) + 1;
  if (count >= kSpan) return static_cast<std::int64_t>(engine_());
  // Draws at or above the largest multiple of count are thrown back, so every
  // value of 0..max is equally likely (plain modulo would favour small ones).
  const std::uint64_t limit = kSpan - kSpan % count;
  std::uint64_t draw = engine_();
  while (draw >= limit) draw = engine_();
  return static_cast<std::int64_t>(draw % count);
}

std::uint32_t FreshSeed() {
  std::random_device device;
  const auto ticks = static_cast<std::uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count());
  return device() ^ static_cast<std::uint32_t>(ticks) ^ static_cast<std::uint32_t>(ticks >> 32);
}

}  // namespace vantrix
