#include "tools/standin_game/copy_status.h"

#include "save/save_file.h"
#include "text/text.h"

namespace vantrix::standin {
namespace {

bool SameCopy(const CopySighting& a, const CopySighting& b) {
  return a.fileName == b.fileName && a.writeTime == b.writeTime && a.bytes == b.bytes;
}

}  // namespace

CopySighting SightCopy(FileStore& store, const std::string& folder, const std::string& fileName,
                       std::uint64_t writeTime, const std::string& writtenText, SaveImage& image) {
  CopySighting sighting{fileName, writeTime, writtenText, false, {}, {}};
  // Only a whole file is shown: a copy read half-way (the program may be
  // replacing it at this very moment) is looked at again on the next tick.
  if (ReadSaveFile(store, folder + fileName, image) != LoadResult::kLoaded) return sighting;
  sighting.readable = true;
  const auto loaded = LoadedBytes(image);
  sighting.bytes.assign(loaded.begin(), loaded.end());
  // The log lines of the roster open and close with an empty line; the rows
  // between them are the drivers.
  const std::vector<std::string> lines = RosterLogLines(BuildRoster(image));
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) sighting.drivers.push_back(lines[i]);
  return sighting;
}

void CopyCounter::Notice(const std::optional<CopySighting>& sighting) {
  // Contents not read cannot be compared; the next look will read them.
  if (!sighting.has_value() || !sighting->readable) return;
  if (last_.has_value() && SameCopy(*last_, *sighting)) return;
  last_ = sighting;
  ++seen_;
}

std::string StatusText(const std::optional<CopySighting>& newest, int copiesSeen) {
  const std::string copiesLine = "Copies seen: " + IntText(copiesSeen);
  std::string text = "Skarvel stand-in\r\n";
  if (!newest.has_value()) return text + "No randomized copy yet\r\n" + copiesLine;
  text += "Copy: " + newest->fileName + "\r\n" + copiesLine + "\r\n";
  if (!newest->readable) text += "Cannot read this copy\r\n";
  for (const std::string& driver : newest->drivers) text += driver + "\r\n";
  return text + "Written: " + newest->writtenText;
}

}  // namespace vantrix::standin
