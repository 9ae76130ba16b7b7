#include "cli/cli_report.h"

#include <array>

#include "text/text.h"

namespace vantrix {

namespace {

// The characters of Windows-1252 bytes 0x80..0x9F; a byte the code page
// leaves undefined keeps its own number.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  const auto unit = [](char32_t bits) { return static_cast<char>(bits); };
  if (c < 0x80) {
    out += unit(c);
  } else if (c < 0x800) {
    out += unit(0xC0 | (c >> 6));
    out += unit(0x80 | (c & 0x3F));
  } else {
    out += unit(0xE0 | (c >> 12));
    out += unit(0x80 | ((c >> 6) & 0x3F));
    out += unit(0x80 | (c & 0x3F));
  }
}

// The length of the UTF-8 sequence starting at `at`; 0 when it is not a
// valid one (overlong forms and surrogates included).
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0x80                    ? 1
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || at + length > text.size()) return 0;
  char32_t c = lead & (0x7Fu >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return 0;
    c = (c << 6) | (next & 0x3Fu);
  }
  if (length == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) return 0;
  if (length == 4 && (c < 0x10000 || c > 0x10FFFF)) return 0;
  return length;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceAt(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

// A name for the table: control characters, which would upset a terminal,
// shown as '?'.
std::string DisplayName(std::string_view name) {
  std::string shown;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    const bool control = byte < 0x20 || byte == 0x7F ||
                         (byte >= 0x80 && byte <= 0x9F && kHighControls[byte - 0x80] < 0xA0);
    shown += control ? '?' : c;
  }
  return Windows1252ToUtf8(shown);
}

// The number of characters of UTF-8 text, for lining up columns.
std::size_t ShownWidth(std::string_view utf8) {
  std::size_t width = 0;
  for (char c : utf8) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return width;
}

// The cells of one table line, each but the last padded to its column.
std::string TableLine(const std::vector<std::string>& cells,
                      const std::vector<std::size_t>& widths) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    line += cells[i];
    if (i + 1 < cells.size()) {
      const std::size_t shown = ShownWidth(cells[i]);
      line.append(shown < widths[i] ? widths[i] - shown : 1, ' ');
    }
  }
  return line + "\n";
}

std::string ValueCell(std::optional<int> value, std::optional<int> newValue) {
  if (!value) return "-";
  if (!newValue) return IntText(*value);
  return IntText(*value) + " -> " + IntText(*newValue);
}

std::string Table(const std::vector<DriverRow>& rows, std::size_t valueWidth) {
  const std::vector<std::size_t> widths{6, 15, 8, valueWidth};
  std::string table = TableLine({"slot", "name", "driver", "level", "extra"}, widths);
  for (const DriverRow& row : rows) {
    table += TableLine({IntText(row.slot), DisplayName(row.name), row.human ? "human" : "AI",
                        ValueCell(row.level, row.newLevel), ValueCell(row.extra, row.newExtra)},
                       widths);
  }
  if (rows.empty()) table += "(no drivers)\n";
  return table;
}

std::string JsonNumber(std::optional<int> value) { return value ? IntText(*value) : "null"; }

// One driver as a JSON object on one line; with the values after a roll when
// `rolled` (a value the roll does not move stays what it was).
std::string DriverJson(const DriverRow& row, bool rolled) {
  std::string json = "{\"slot\": " + IntText(row.slot) +
                     ", \"name\": " + JsonString(Windows1252ToUtf8(row.name)) + ", \"driver\": \"" +
                     (row.human ? "human" : "ai") + "\", \"level\": " + JsonNumber(row.level) +
                     ", \"extra\": " + JsonNumber(row.extra);
  if (rolled) {
    json += ", \"newLevel\": " + JsonNumber(row.newLevel ? row.newLevel : row.level) +
            ", \"newExtra\": " + JsonNumber(row.newExtra ? row.newExtra : row.extra);
  }
  return json + "}";
}

std::string DriversJson(const std::vector<DriverRow>& rows, bool rolled) {
  if (rows.empty()) return "  \"drivers\": []\n";
  std::string json = "  \"drivers\": [\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    json += "    " + DriverJson(rows[i], rolled) + (i + 1 < rows.size() ? ",\n" : "\n");
  }
  return json + "  ]\n";
}

std::string IntListJson(const std::vector<int>& values) {
  std::string json = "[";
  for (std::size_t i = 0; i < values.size(); ++i) json += (i > 0 ? ", " : "") + IntText(values[i]);
  return json + "]";
}

// A value the roll moves: the slot has it and it was not 0 as loaded.
std::optional<int> RolledValue(const SaveImage& image, std::optional<std::size_t> at,
                               std::int16_t base) {
  if (!at || base == 0) return std::nullopt;
  auto byte = ByteAt(image, *at);
  if (!byte) return std::nullopt;
  return *byte;
}

}  // namespace

std::vector<DriverRow> DriverRows(const Roster& roster) {
  std::vector<DriverRow> rows;
  for (int slot = 1; slot <= roster.listed; ++slot) {
    const RosterSlot& entry = roster.slots[static_cast<std::size_t>(slot - 1)];
    DriverRow row;
    row.slot = slot;
    // The entry is the name, a comma and "AI n" or "human"; the name itself
    // may hold commas, so it ends at the last one.
    const std::size_t comma = entry.entry.rfind(',');
    row.name = entry.entry.substr(0, comma);
    row.human = entry.entry.substr(comma == std::string::npos ? 0 : comma) == ",human";
    if (entry.levelAt) row.level = entry.levelBase;
    if (entry.extraAt) row.extra = entry.extraBase;
    rows.push_back(row);
  }
  return rows;
}

void AddRolledValues(const Roster& roster, const SaveImage& image, std::vector<DriverRow>& rows) {
  for (DriverRow& row : rows) {
    const RosterSlot& entry = roster.slots[static_cast<std::size_t>(row.slot - 1)];
    row.newLevel = RolledValue(image, entry.levelAt, entry.levelBase);
    row.newExtra = RolledValue(image, entry.extraAt, entry.extraBase);
  }
}

std::string ShowText(const std::vector<DriverRow>& rows) { return Table(rows, 7); }

std::string ShowJson(const std::string& savePath, const std::vector<DriverRow>& rows) {
  return "{\n  \"save\": " + JsonString(savePath) + ",\n" + DriversJson(rows, false) + "}\n";
}

std::string RollText(const RollSummary& roll, const std::vector<DriverRow>& rows) {
  return "seed " + std::to_string(roll.seed) + ", spread " + IntText(roll.spread) + "\n" +
         Table(rows, 12) + "wrote " + roll.copyPath + "\n";
}

std::string RollJson(const RollSummary& roll, const std::vector<DriverRow>& rows) {
  return "{\n  \"save\": " + JsonString(roll.savePath) +
         ",\n  \"copy\": " + JsonString(roll.copyPath) +
         ",\n  \"seed\": " + std::to_string(roll.seed) +
         ",\n  \"spread\": " + IntText(roll.spread) +
         ",\n  \"levels\": " + IntListJson(roll.levels) + ",\n" + DriversJson(rows, true) + "}\n";
}

std::string Windows1252ToUtf8(std::string_view text) {
  std::string utf8;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    AppendUtf8(utf8, byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char32_t{byte});
  }
  return utf8;
}

std::string JsonString(std::string_view text) {
  const std::string utf8 = IsValidUtf8(text) ? std::string(text) : Windows1252ToUtf8(text);
  constexpr std::string_view kHex = "0123456789abcdef";
  std::string json = "\"";
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20) {
      json += "\\u00";
      json += kHex[byte >> 4];
      json += kHex[byte & 0xF];
    } else {
      json += c;
    }
  }
  return json + "\"";
}

}  // namespace vantrix
