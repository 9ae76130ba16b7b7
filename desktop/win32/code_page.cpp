#include "desktop/win32/code_page.h"

#include <windows.h>

#include <limits>

namespace vantrix::win32 {
namespace {

std::optional<std::wstring> WideFromUtf8(const std::string& utf8) {
  if (utf8.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
  const int inLength = static_cast<int>(utf8.size());
  // MB_ERR_INVALID_CHARS: an invalid sequence fails instead of becoming U+FFFD.
  const int wideLength =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), inLength, nullptr, 0);
  if (wideLength <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), inLength, wide.data(),
                          wideLength) != wideLength) {
    return {};
  }
  return wide;
}

}  // namespace

std::optional<std::string> AnsiFromUtf8(const std::string& utf8) {
  // Both conversions report an empty input as a failure.
  if (utf8.empty()) return std::string();
  const std::optional<std::wstring> wide = WideFromUtf8(utf8);
  if (!wide) return {};
  const int wideLength = static_cast<int>(wide->size());
  // WC_NO_BEST_FIT_CHARS: a character without its own 8-bit form must not
  // turn into a look-alike; usedDefault then tells that it had none.
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide->data(), wideLength,
                                         nullptr, 0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault != FALSE) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide->data(), wideLength, text.data(),
                          length, nullptr, &usedDefault) != length ||
      usedDefault != FALSE) {
    return {};
  }
  return text;
}

}  // namespace vantrix::win32
