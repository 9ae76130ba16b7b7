#include "tools/save_builder/save_builder.h"

#include <algorithm>

namespace vantrix {

namespace {

constexpr std::size_t kCountAt = 78;

void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint8_t value) {
  if (offset < bytes.size()) bytes[offset] = value;
}

}  // namespace

std::uint8_t FillerAt(std::size_t offset) {
  // Never 0, so no name runs into a zero by chance, and rarely a small number.
  return static_cast<std::uint8_t>(0xA0 + offset % 89);
}

std::size_t NameOffset(int slot) { return 82 + 13 * static_cast<std::size_t>(slot - 1); }

std::size_t HumanFlagOffset(std::size_t driverCount, int slot) {
  return 82 + 13 * driverCount + 92 * static_cast<std::size_t>(slot - 1) + 76;
}

std::size_t LevelOffset(std::size_t driverCount, int slot) {
  return HumanFlagOffset(driverCount, slot) + 4;
}

std::size_t ExtraOffset(std::size_t driverCount, std::size_t entryCount, int slot) {
  return 82 + 1449 * driverCount + 8 + 56 * entryCount + 348 * static_cast<std::size_t>(slot - 1) +
         28;
}

std::size_t LayoutEnd(std::size_t driverCount, std::size_t entryCount) {
  return 82 + 1449 * driverCount + 8 + 56 * entryCount + 348 * driverCount;
}

std::vector<std::uint8_t> BuildSavedGame(const SaveSpec& spec) {
  const std::size_t count = spec.driverCount.value_or(static_cast<std::uint8_t>(spec.drivers.size()));
  const std::size_t size = spec.size != 0 ? spec.size : std::max<std::size_t>(LayoutEnd(count, spec.entryCount), 83);
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t at = 0; at < size; ++at) bytes[at] = FillerAt(at);
  Put(bytes, kCountAt, static_cast<std::uint8_t>(count));
  Put(bytes, 82 + 1449 * count, spec.entryCount);
  for (std::size_t i = 0; i < spec.drivers.size() && i < count; ++i) {
    const DriverSpec& driver = spec.drivers[i];
    const int slot = static_cast<int>(i + 1);
    for (std::size_t k = 0; k < 13; ++k) {
      const auto c = static_cast<std::uint8_t>(k < driver.name.size() ? driver.name[k] : 0);
      Put(bytes, NameOffset(slot) + k, c);
    }
    Put(bytes, HumanFlagOffset(count, slot), driver.human ? 1 : 0);
    Put(bytes, LevelOffset(count, slot), driver.level);
    Put(bytes, ExtraOffset(count, spec.entryCount, slot), driver.extra);
  }
  return bytes;
}

}  // namespace vantrix
