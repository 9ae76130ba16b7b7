// What the stand-in game knows about the newest randomized copy in its saves
// folder, and the status text it shows about it.
//
// The status text, one line per row, "\r\n" between rows:
//
//   Skarvel stand-in
//   Copy: <file name>             or  No randomized copy yet
//   Copies seen: <n>
//   <name>   AI <level>           one row per listed driver,
//   <name>   human                as the program's own log shows them
//   Written: <local write time>   only when there is a copy
//
// A copy that cannot be read whole shows "Cannot read this copy" in place of
// its drivers. Nothing here knows about windows or Win32 files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/file_store.h"
#include "save/saved_game.h"

namespace vantrix::standin {

// One look at the newest copy.
struct CopySighting {
  std::string fileName;
  std::uint64_t writeTime = 0;       // only ever compared with another look's
  std::string writtenText;           // the write time as people read it
  bool readable = false;             // the whole file was read
  std::vector<std::uint8_t> bytes;   // its contents, when readable
  std::vector<std::string> drivers;  // "name   AI 45" or "name   human"
};

// Reads the copy at folder + fileName through the store and lists its
// drivers. The image is the buffer to read into, reused from look to look.
CopySighting SightCopy(FileStore& store, const std::string& folder, const std::string& fileName,
                       std::uint64_t writeTime, const std::string& writtenText, SaveImage& image);

// Counts the distinct copies seen: a readable look counts when its name,
// write time or contents differ from the last copy counted. Looks that find
// no copy, or a copy that cannot be read whole, do not count and do not reset
// what was last counted.
class CopyCounter {
 public:
  void Notice(const std::optional<CopySighting>& sighting);
  int Seen() const { return seen_; }

 private:
  std::optional<CopySighting> last_;
  int seen_ = 0;
};

std::string StatusText(const std::optional<CopySighting>& newest, int copiesSeen);

}  // namespace vantrix::standin
