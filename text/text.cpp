#include "text/text.h"

#include <algorithm>

namespace vantrix {

namespace {

std::string_view SkipOneQuote(std::string_view path) {
  if (!path.empty() && path.front() == '"') path.remove_prefix(1);
  return path;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The value of c as a digit in the given base, or -1 when it is none.
int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// Windows-1252 bytes 0x80..0x9F and the characters they stand for; the five
// bytes the code page leaves undefined stand for the control characters of
// the same number, as the system's own conversion has it.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> Windows1252ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t byte = 0; byte < 32; ++byte) {
    if (kWindows1252High[byte] == c) return static_cast<char>(0x80 + byte);
  }
  return std::nullopt;
}

// Decodes one UTF-8 sequence at the front of text and removes it; nothing
// when the sequence is invalid (overlong, a surrogate, beyond U+10FFFF, cut).
std::optional<char32_t> TakeCodePoint(std::string_view& text) {
  const auto lead = static_cast<unsigned char>(text.front());
  std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                                   : (lead >> 3) == 0x1E  ? 4 : 0;
  if (length == 0 || text.size() < length) return std::nullopt;
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t at = 1; at < length; ++at) {
    const auto next = static_cast<unsigned char>(text[at]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (next & 0x3F);
  }
  constexpr char32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  text.remove_prefix(length);
  return c;
}

}  // namespace

std::optional<std::string> Utf8ToWindows1252(std::string_view utf8) {
  std::string converted;
  while (!utf8.empty()) {
    auto c = TakeCodePoint(utf8);
    if (!c) return std::nullopt;
    auto byte = Windows1252ByteOf(*c);
    if (!byte) return std::nullopt;
    converted.push_back(*byte);
  }
  return converted;
}

std::string LowerText(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE)) {
      c = static_cast<char>(byte + 0x20);
    }
  }
  return lowered;
}

std::string FolderOf(std::string_view path) {
  path = SkipOneQuote(path);
  path = path.substr(0, path.find('|'));
  auto last = std::find_if(path.rbegin(), path.rend(), IsSeparator);
  return std::string(path.begin(), last.base());
}

std::string FileNameOf(std::string_view path) {
  path = SkipOneQuote(path);
  auto last = std::find_if(path.rbegin(), path.rend(), IsSeparator);
  std::string_view name(last.base(), path.end());
  return std::string(name.substr(0, name.find('"')));
}

std::string TrimSpaces(std::string_view text) {
  auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string FieldOf(std::string_view text, int n) {
  if (n < 1) return {};
  for (int field = 1; field < n; ++field) {
    auto comma = text.find(',');
    if (comma == std::string_view::npos) return {};
    text.remove_prefix(comma + 1);
  }
  return std::string(text.substr(0, text.find(',')));
}

std::int64_t ParseInteger(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  int base = 10;
  if (at < text.size() && text[at] == '$') base = 16;
  if (at < text.size() && text[at] == '%') base = 2;
  if (base != 10) ++at;
  // Unsigned arithmetic wraps modulo 2^64 by definition, so any number of
  // digits is safe.
  std::uint64_t value = 0;
  for (; at < text.size(); ++at) {
    int digit = DigitValue(text[at], base);
    if (digit < 0) break;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
  }
  if (negative) value = 0 - value;
  return static_cast<std::int64_t>(value);
}

std::int32_t ParseInteger32(std::string_view text) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ParseInteger(text)));
}

std::int16_t ParseInteger16(std::string_view text) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(ParseInteger(text)));
}

std::string IntText(std::int64_t n) { return std::to_string(n); }

}  // namespace vantrix
