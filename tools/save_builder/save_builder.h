// Builds synthetic saved games: only the bytes the program reads are set
// from the description; every other byte is a recognisable filler, so a test
// can tell a carried-through byte from a changed one. No real game file is
// needed anywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrix {

struct DriverSpec {
  std::string name;  // at most 13 bytes are stored; a 13-byte name has no zero after it
  bool human = false;
  std::uint8_t level = 0;  // the AI level
  std::uint8_t extra = 0;  // the extra value
};

struct SaveSpec {
  std::vector<DriverSpec> drivers;
  std::uint8_t entryCount = 0;
  // The count stored at byte 78; the number of drivers when not given. The
  // layout follows the stored count, so a count above the drivers described
  // leaves the extra drivers' bytes filler.
  std::optional<std::uint8_t> driverCount;
  // The file's length; just long enough for every described byte when 0.
  // A shorter length cuts the file (and what it describes) short.
  std::size_t size = 0;
};

// The filler byte at an offset.
std::uint8_t FillerAt(std::size_t offset);

// The length that holds every byte the layout names for this count and E.
std::size_t LayoutEnd(std::size_t driverCount, std::size_t entryCount);

// Where the layout puts a driver's values (slot counted from 1).
std::size_t NameOffset(int slot);
std::size_t HumanFlagOffset(std::size_t driverCount, int slot);
std::size_t LevelOffset(std::size_t driverCount, int slot);
std::size_t ExtraOffset(std::size_t driverCount, std::size_t entryCount, int slot);

std::vector<std::uint8_t> BuildSavedGame(const SaveSpec& spec);

}  // namespace vantrix
