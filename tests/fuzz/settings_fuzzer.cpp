// Any bytes as the settings file. The values read are checked against a
// reader written here from the file's reading rules, alone and through the
// in-memory desktop; reading must leave the file as it was; and the values
// read, stored and read again must come back unchanged.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "desktop/memory/memory_desktop.h"
#include "tests/fuzz/fuzz_check.h"
#include "text/text.h"

namespace {

using vantrix::SettingsValues;

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool KeyMatches(const std::string& key, const char* wanted) {
  const std::string_view want(wanted);
  if (key.size() != want.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (FoldAscii(key[i]) != FoldAscii(want[i])) return false;
  }
  return true;
}

std::string Lowered(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE))
      c = static_cast<char>(byte + 32);
  }
  return text;
}

// The lines of the file: cut at every CR and every LF.
std::vector<std::string> LinesOf(std::string_view text) {
  std::vector<std::string> lines{""};
  for (const char c : text) {
    if (c == '\r' || c == '\n') {
      lines.emplace_back();
    } else {
      lines.back().push_back(c);
    }
  }
  return lines;
}

// The value of the first key line for key above the first group header.
std::optional<std::string> ReferenceValue(std::string_view text, const char* key) {
  for (const std::string& raw : LinesOf(text)) {
    std::size_t start = 0;
    while (start < raw.size() && IsBlankOrTab(raw[start])) ++start;
    if (start == raw.size() || raw[start] == ';') continue;
    if (raw[start] == '[') return std::nullopt;
    const std::size_t equals = raw.find('=', start);
    if (equals == std::string::npos) continue;
    std::size_t keyEnd = equals;
    while (keyEnd > start && IsBlankOrTab(raw[keyEnd - 1])) --keyEnd;
    if (!KeyMatches(raw.substr(start, keyEnd - start), key)) continue;
    std::size_t valueStart = equals + 1, valueEnd = raw.size();
    while (valueStart < valueEnd && IsBlankOrTab(raw[valueStart])) ++valueStart;
    while (valueEnd > valueStart && IsBlankOrTab(raw[valueEnd - 1])) --valueEnd;
    return raw.substr(valueStart, valueEnd - valueStart);
  }
  return std::nullopt;
}

SettingsValues ReferenceSettings(std::string_view bytes) {
  const bool utf8 = bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF";
  if (utf8) bytes.remove_prefix(3);
  const auto read = [&](const char* key, const char* fallback) -> std::string {
    const auto value = ReferenceValue(bytes, key);
    if (!value) return fallback;
    if (!utf8) return Lowered(*value);
    return Lowered(vantrix::Utf8ToWindows1252(*value).value_or(""));
  };
  return {read("Skarvel", "nix"), read("game", "nix"), read("random", "30")};
}

std::string Show(const SettingsValues& v) {
  return "[" + v.gameFolder + "] [" + v.savePath + "] [" + v.spreadText + "]";
}

bool Same(const SettingsValues& a, const SettingsValues& b) {
  return a.gameFolder == b.gameFolder && a.savePath == b.savePath && a.spreadText == b.spreadText;
}

SettingsValues Held(const vantrix::AppState& state) {
  return {state.gameFolder, state.savePath, state.spreadText};
}

// Loads the settings into a state whose values were first spoiled, so that
// nothing from an earlier input can pass for a value read now.
void LoadInto(vantrix::AppState& state) {
  state.gameFolder = state.savePath = state.spreadText = "\x01unset";
  vantrix::LoadSettings(state);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto convert = [](const std::string& utf8) { return vantrix::Utf8ToWindows1252(utf8); };
  const SettingsValues parsed = vantrix::SettingsFromBytes(bytes, convert);
  const SettingsValues reference = ReferenceSettings(bytes);
  FUZZ_CHECK(Same(parsed, reference),
             "read " + Show(parsed) + ", the rules give " + Show(reference));

  // The same file on a desktop: the same values, and the file untouched.
  // One desktop and one state serve every input: a state holds the
  // 2,000,000-byte image, and allocating that anew for each input would
  // slow the run a hundredfold. Settings touch nothing else of either, and
  // every value is overwritten before it is checked.
  static vantrix::MemoryDesktop desktop;
  static vantrix::AppState state(desktop);
  const std::vector<std::uint8_t> file(data, data + size);
  desktop.PutFile(vantrix::kSettingsFile, file);
  LoadInto(state);
  if (size <= vantrix::kMaxSettingsBytes) {
    FUZZ_CHECK(Same(Held(state), parsed),
               "loaded " + Show(Held(state)) + ", parsed " + Show(parsed));
  }
  FUZZ_CHECK(desktop.FileBytes(vantrix::kSettingsFile) == file,
             "reading leaves the file as it was");
  FUZZ_CHECK(desktop.FilePaths().size() == 1 && desktop.OpenFiles() == 0,
             "reading leaves nothing behind");

  // What was read survives being stored and read again.
  const SettingsValues loaded = Held(state);
  vantrix::StoreSettings(state);
  const std::string stored = "Skarvel = " + loaded.gameFolder + "\r\ngame = " + loaded.savePath +
                             "\r\nrandom = " + loaded.spreadText + "\r\n";
  FUZZ_CHECK(desktop.FileText(vantrix::kSettingsFile) == stored, "stored file");
  FUZZ_CHECK(desktop.FilePaths().size() == 1 && desktop.OpenFiles() == 0,
             "storing leaves nothing behind");
  LoadInto(state);
  FUZZ_CHECK(Same(Held(state), loaded),
             "read back " + Show(Held(state)) + ", stored " + Show(loaded));
  return 0;
}
