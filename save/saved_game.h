// A saved game in memory and the roster of its driver slots.
//
// Byte layout of a saved game, as far as it is read here (offsets in bytes
// from the start of the file; N is the driver count, i the slot 1..6):
//
//   78                        1 byte     driver count N (unsigned)
//   82 + 13*(i-1)             13 bytes   name of driver i, up to its first zero
//   82 + 13*N + 92*(i-1)      92 bytes   record of driver i:
//        + 76                            human flag (nonzero: human)
//        + 80                            AI level (unsigned)
//   B = 82 + 1449*N                      block B, after a 1344*N byte table
//   B                         1 byte     entry count E (unsigned)
//   B + 8                     56*E       entry table
//   B + 8 + 56*E + 348*(i-1)  348 bytes  second record of driver i:
//        + 28                            extra value (unsigned)
//
// Every other byte is carried through unchanged into every copy. Nothing is
// read or written outside the loaded bytes: an offset at or beyond saveSize
// counts as absent.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vantrix {

inline constexpr std::size_t kSaveCapacity = 2'000'000;
inline constexpr int kSlotCount = 6;

// The layout's fixed numbers.
inline constexpr std::size_t kDriverCountAt = 78;
inline constexpr std::size_t kNameTableAt = 82;
inline constexpr std::size_t kNameSize = 13;
inline constexpr std::size_t kRecordSize = 92;
inline constexpr std::size_t kHumanFlagInRecord = 76;
inline constexpr std::size_t kLevelInRecord = 80;
inline constexpr std::size_t kSkippedRecordSize = 1344;
inline constexpr std::size_t kEntryTableOffset = 8;
inline constexpr std::size_t kEntrySize = 56;
inline constexpr std::size_t kSecondRecordSize = 348;
inline constexpr std::size_t kExtraInSecondRecord = 28;

// The loaded file: a buffer of fixed capacity allocated once, zero-filled,
// and the number of bytes of the current file. The buffer is never cleared
// between loads, so bytes of a longer earlier file stay beyond saveSize.
struct SaveImage {
  std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kSaveCapacity);
  std::size_t saveSize = kSaveCapacity;
};

// The byte at offset, or nothing when the offset lies at or beyond saveSize.
std::optional<std::uint8_t> ByteAt(const SaveImage& image, std::size_t offset);
// Stores a byte at offset; false (and nothing stored) outside the loaded bytes.
bool StoreByte(SaveImage& image, std::size_t offset, std::uint8_t value);
// The loaded bytes, 0 to saveSize - 1.
std::span<const std::uint8_t> LoadedBytes(const SaveImage& image);

struct RosterSlot {
  std::string entry;                  // name + ",AI " + level, name + ",human", or ""
  std::optional<std::size_t> levelAt;  // where the AI level lies; none for human or empty
  std::int16_t levelBase = 0;          // the AI level as loaded
  std::optional<std::size_t> extraAt;  // where the extra value lies; none for humanSlot or empty
  std::int16_t extraBase = 0;          // the extra value as loaded
};

struct Roster {
  std::array<RosterSlot, kSlotCount> slots;  // slots[0] is slot 1
  int humanSlot = 0;                         // 1..6, or 0 for none
  int listed = 0;                            // slots that hold a driver (at most 6)
};

// Builds the roster from the loaded bytes. With several human drivers the
// last one is humanSlot; the others still get an extra value. Drivers past
// the sixth are not listed and never changed.
Roster BuildRoster(const SaveImage& image);

// The log lines of a roster: "", then per listed slot the two first
// comma-separated fields of its entry joined by three blanks, then "".
std::vector<std::string> RosterLogLines(const Roster& roster);

// The randomized copy's path: "_random_" before the saved game's file name.
std::string CopyPathOf(const std::string& savePath);

}  // namespace vantrix
