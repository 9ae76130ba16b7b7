#include "app/settings.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "text/text.h"

namespace vantrix {
namespace {

struct SettingsKey {
  const char* key;
  std::string SettingsValues::*field;
  const char* fallback;
};

// The keys in the order the file lists them.
constexpr SettingsKey kSettingsKeys[] = {
    {"Skarvel", &SettingsValues::gameFolder, kNone},
    {"game", &SettingsValues::savePath, kNone},
    {"random", &SettingsValues::spreadText, "30"},
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnds = "\r\n";
constexpr std::size_t kReadChunk = 4096;

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanksAndTabs(std::string_view text) {
  while (!text.empty() && IsBlankOrTab(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrTab(text.back())) text.remove_suffix(1);
  return text;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Only ASCII letters fold: the keys are ASCII, and a byte of the code page
// must not match one that merely looks alike after LowerText.
bool SameKey(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string EightBitText(const std::string& utf8, const Utf8Converter& fromUtf8) {
  if (!fromUtf8) return "";
  return fromUtf8(utf8).value_or("");
}

// The bytes the file holds, read to its end or to one byte past the limit.
// Nothing when a read fails part-way: half a file is treated like one that
// cannot be read at all.
std::optional<std::string> ReadFileBytes(FileStore& store, FileId file) {
  const std::uint64_t length = store.FileLength(file);
  std::vector<std::uint8_t> bytes;
  std::size_t read = 0;
  // A read may return fewer bytes than asked for; go on until the end of the
  // file, which reads as 0 bytes, and never trust the length alone.
  while (read <= kMaxSettingsBytes) {
    bytes.resize(std::min(read + kReadChunk, kMaxSettingsBytes + 1));
    const std::size_t got = store.ReadBytes(file, std::span(bytes).subspan(read));
    if (got == 0) break;
    read += got;
  }
  if (read < std::min<std::uint64_t>(length, kMaxSettingsBytes + 1)) return std::nullopt;
  return std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(read));
}

// Beyond the limit the file is ignored. The line that the limit cuts through
// is dropped whole, so that no value is ever read cut short.
std::string_view LinesWithinLimit(std::string_view text) {
  if (text.size() <= kMaxSettingsBytes) return text;
  const std::size_t lastEnd = text.find_last_of(kLineEnds);
  return lastEnd == std::string_view::npos ? std::string_view() : text.substr(0, lastEnd);
}

// The settings file's bytes; "" (every default) when it is missing or cannot
// be read whole.
std::string ReadSettingsBytes(FileStore& store) {
  ScopedFile file(store, store.OpenForReading(kSettingsFile));
  if (!file.IsOpen()) return "";
  const std::optional<std::string> bytes = ReadFileBytes(store, file.Id());
  return bytes ? std::string(LinesWithinLimit(*bytes)) : "";
}

}  // namespace

std::optional<std::string> SettingsValue(std::string_view text, std::string_view key) {
  while (!text.empty()) {
    // A CR, an LF or both end a line: splitting at each of them alone only
    // adds empty lines, which are skipped anyway.
    const std::size_t end = text.find_first_of(kLineEnds);
    const std::string_view line = TrimBlanksAndTabs(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == ';') continue;
    // Keys below a group header belong to that group, not to the program.
    if (line.front() == '[') return std::nullopt;
    // The program never writes a line without '='; one added by hand is
    // passed over rather than read as a key with an empty value.
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (SameKey(TrimBlanksAndTabs(line.substr(0, equals)), key)) {
      return std::string(TrimBlanksAndTabs(line.substr(equals + 1)));
    }
  }
  return std::nullopt;
}

SettingsValues SettingsFromBytes(std::string_view bytes, const Utf8Converter& fromUtf8) {
  const bool utf8 = bytes.starts_with(kByteOrderMark);
  if (utf8) bytes.remove_prefix(kByteOrderMark.size());
  SettingsValues values;
  for (const SettingsKey& entry : kSettingsKeys) {
    const std::optional<std::string> value = SettingsValue(bytes, entry.key);
    if (!value) {
      values.*entry.field = entry.fallback;
    } else {
      values.*entry.field = LowerText(utf8 ? EightBitText(*value, fromUtf8) : *value);
    }
  }
  return values;
}

std::string SettingsFileText(const SettingsValues& values) {
  std::string text;
  for (const SettingsKey& entry : kSettingsKeys) {
    text += std::string(entry.key) + " = " + values.*entry.field + "\r\n";
  }
  return text;
}

void LoadSettings(AppState& state) {
  Desktop& desktop = state.desktop;
  const SettingsValues values =
      SettingsFromBytes(ReadSettingsBytes(desktop),
                        [&desktop](const std::string& utf8) { return desktop.TextFromUtf8(utf8); });
  state.gameFolder = values.gameFolder;
  state.savePath = values.savePath;
  state.spreadText = values.spreadText;
}

void StoreSettings(AppState& state) {
  const std::string text =
      SettingsFileText(SettingsValues{state.gameFolder, state.savePath, state.spreadText});
  const std::vector<std::uint8_t> bytes(text.begin(), text.end());
  // A settings file that cannot be replaced is not worth a message: the old
  // one stays whole, and the next run starts from it.
  ReplaceFileAtomically(state.desktop, kSettingsFile, bytes);
}

}  // namespace vantrix
