#include "save/saved_game.h"

#include <algorithm>

#include "text/text.h"

namespace vantrix {

namespace {

std::size_t NameAt(int slot) { return kNameTableAt + kNameSize * static_cast<std::size_t>(slot - 1); }

std::size_t RecordAt(std::size_t driverCount, int slot) {
  return kNameTableAt + kNameSize * driverCount + kRecordSize * static_cast<std::size_t>(slot - 1);
}

std::size_t BlockBAt(std::size_t driverCount) {
  return kNameTableAt + (kNameSize + kRecordSize + kSkippedRecordSize) * driverCount;
}

// A name ends at its first zero byte, at the end of its entry or at the end
// of the loaded bytes, whichever comes first.
std::string NameOf(const SaveImage& image, int slot) {
  std::string name;
  for (std::size_t at = NameAt(slot); at < NameAt(slot) + kNameSize; ++at) {
    auto byte = ByteAt(image, at);
    if (!byte || *byte == 0) break;
    name.push_back(static_cast<char>(*byte));
  }
  return TrimSpaces(name);
}

void ReadDriver(const SaveImage& image, std::size_t driverCount, int slot, Roster& roster) {
  RosterSlot& entry = roster.slots[static_cast<std::size_t>(slot - 1)];
  const std::string name = NameOf(image, slot);
  const std::size_t record = RecordAt(driverCount, slot);
  if (ByteAt(image, record + kHumanFlagInRecord).value_or(0) != 0) {
    entry.entry = name + ",human";
    roster.humanSlot = slot;
    return;
  }
  auto level = ByteAt(image, record + kLevelInRecord);
  entry.entry = name + ",AI " + IntText(level.value_or(0));
  if (level) {
    entry.levelAt = record + kLevelInRecord;
    entry.levelBase = *level;
  }
}

void ReadExtraValues(const SaveImage& image, std::size_t driverCount, Roster& roster) {
  const std::size_t blockB = BlockBAt(driverCount);
  auto entryCount = ByteAt(image, blockB);
  if (!entryCount) return;
  const std::size_t secondTable = blockB + kEntryTableOffset + kEntrySize * *entryCount;
  for (int slot = 1; slot <= roster.listed; ++slot) {
    if (slot == roster.humanSlot) continue;
    const std::size_t at =
        secondTable + kSecondRecordSize * static_cast<std::size_t>(slot - 1) + kExtraInSecondRecord;
    auto extra = ByteAt(image, at);
    if (!extra) continue;
    RosterSlot& entry = roster.slots[static_cast<std::size_t>(slot - 1)];
    entry.extraAt = at;
    entry.extraBase = *extra;
  }
}

}  // namespace

std::optional<std::uint8_t> ByteAt(const SaveImage& image, std::size_t offset) {
  if (offset >= image.saveSize || offset >= image.bytes.size()) return std::nullopt;
  return image.bytes[offset];
}

bool StoreByte(SaveImage& image, std::size_t offset, std::uint8_t value) {
  if (offset >= image.saveSize || offset >= image.bytes.size()) return false;
  image.bytes[offset] = value;
  return true;
}

std::span<const std::uint8_t> LoadedBytes(const SaveImage& image) {
  return std::span<const std::uint8_t>(image.bytes).first(std::min(image.saveSize, image.bytes.size()));
}

Roster BuildRoster(const SaveImage& image) {
  Roster roster;
  const std::size_t driverCount = ByteAt(image, kDriverCountAt).value_or(0);
  roster.listed = static_cast<int>(std::min<std::size_t>(driverCount, kSlotCount));
  for (int slot = 1; slot <= roster.listed; ++slot) ReadDriver(image, driverCount, slot, roster);
  ReadExtraValues(image, driverCount, roster);
  return roster;
}

std::vector<std::string> RosterLogLines(const Roster& roster) {
  std::vector<std::string> lines{""};
  for (int slot = 1; slot <= roster.listed; ++slot) {
    const std::string& entry = roster.slots[static_cast<std::size_t>(slot - 1)].entry;
    lines.push_back(FieldOf(entry, 1) + "   " + FieldOf(entry, 2));
  }
  lines.push_back("");
  return lines;
}

std::string CopyPathOf(const std::string& savePath) {
  return FolderOf(savePath) + "_random_" + FileNameOf(savePath);
}

}  // namespace vantrix
