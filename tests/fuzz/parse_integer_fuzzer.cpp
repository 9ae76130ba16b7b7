// ParseInteger on any text, checked for correctness and not only for
// crashes: against a reader written here that sums the digits from the right
// modulo 2^64, against exact 128-bit arithmetic and std::from_chars where the
// number fits them, and for the properties its callers rely on.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_check.h"
#include "text/text.h"

namespace {

__extension__ typedef unsigned __int128 U128;

int DigitIn(char c, unsigned base) {
  int digit = 99;
  if (c >= '0' && c <= '9') digit = c - '0';
  if (c >= 'a' && c <= 'z') digit = c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') digit = c - 'A' + 10;
  return digit < static_cast<int>(base) ? digit : -1;
}

struct Parts {
  bool negative = false;
  unsigned base = 10;
  std::string_view digits;
};

Parts PartsOf(std::string_view text) {
  Parts parts;
  std::size_t at = text.find_first_not_of(" \t");
  if (at == std::string_view::npos) return parts;
  if (text[at] == '+' || text[at] == '-') parts.negative = text[at++] == '-';
  if (at < text.size() && text[at] == '$') {
    parts.base = 16;
    ++at;
  } else if (at < text.size() && text[at] == '%') {
    parts.base = 2;
    ++at;
  }
  std::size_t end = at;
  while (end < text.size() && DigitIn(text[end], parts.base) >= 0) ++end;
  parts.digits = text.substr(at, end - at);
  return parts;
}

// The digits' value modulo 2^64, summed from the last digit up: each digit
// times its power of the base, all in arithmetic that wraps by definition.
std::uint64_t WrappedValue(const Parts& parts) {
  std::uint64_t sum = 0, power = 1;
  for (std::size_t k = parts.digits.size(); k-- > 0;) {
    sum += static_cast<std::uint64_t>(DigitIn(parts.digits[k], parts.base)) * power;
    power *= parts.base;
  }
  return parts.negative ? 0 - sum : sum;
}

std::string Hex(std::uint64_t v) {
  char text[17];
  const auto end = std::to_chars(text, text + 16, v, 16).ptr;
  return std::string(text, end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto got = static_cast<std::uint64_t>(vantrix::ParseInteger(text));
  const Parts parts = PartsOf(text);
  const std::uint64_t want = WrappedValue(parts);
  FUZZ_CHECK(got == want, "got " + Hex(got) + ", want " + Hex(want));

  // Where the number fits 128 bits, exact arithmetic agrees on the low 64.
  const std::size_t fits128 = parts.base == 10 ? 38 : parts.base == 16 ? 32 : 128;
  if (parts.digits.size() <= fits128) {
    U128 exact = 0;
    for (const char c : parts.digits)
      exact = exact * parts.base + static_cast<unsigned>(DigitIn(c, parts.base));
    if (parts.negative) exact = 0 - exact;
    FUZZ_CHECK(static_cast<std::uint64_t>(exact) == got, "128-bit value differs");
  }
  // Where it fits 64 bits, the standard library reads the same digits alike.
  std::uint64_t standard = 0;
  const auto [end, error] =
      std::from_chars(parts.digits.data(), parts.digits.data() + parts.digits.size(), standard,
                      static_cast<int>(parts.base));
  if (error == std::errc() && end == parts.digits.data() + parts.digits.size()) {
    FUZZ_CHECK((parts.negative ? 0 - standard : standard) == got, "from_chars differs");
  }

  // Callers take the low 32 or 16 bits as signed numbers.
  FUZZ_CHECK(
      vantrix::ParseInteger32(text) == static_cast<std::int32_t>(static_cast<std::uint32_t>(got)),
      "low 32 bits");
  FUZZ_CHECK(
      vantrix::ParseInteger16(text) == static_cast<std::int16_t>(static_cast<std::uint16_t>(got)),
      "low 16 bits");
  // A spread is lowered when it is read back from the settings file; it
  // must keep its value ($1E and $1e alike).
  FUZZ_CHECK(vantrix::ParseInteger(vantrix::LowerText(text)) == vantrix::ParseInteger(text),
             "lowering changes the value");
  // The decimal text of any value reads back as that value.
  const auto signedValue = static_cast<std::int64_t>(got);
  FUZZ_CHECK(vantrix::ParseInteger(vantrix::IntText(signedValue)) == signedValue,
             "IntText round trip");
  return 0;
}
