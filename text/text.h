// Shared text and path helpers.
//
// Text here is 8-bit text in the system's code page, one byte per character;
// lengths count bytes. Paths are Windows paths with backslashes, though a
// forward slash is accepted as a separator wherever a folder is cut off.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrix {

// Raises every byte 'A'..'Z' and every byte 0xC0..0xDE by 0x20; all other
// bytes stay as they are.
std::string LowerText(std::string_view text);

// The text up to and including the last '\' or '/'; empty when there is none.
// One leading double quote is skipped, and the scan stops at the first '|'.
std::string FolderOf(std::string_view path);

// The text after the last '\' or '/' (all of the path when there is none),
// ending at the next double quote if any. One leading double quote is skipped.
std::string FileNameOf(std::string_view path);

// The text without leading and trailing blanks; tabs stay.
std::string TrimSpaces(std::string_view text);

// The n-th field, counting from 1, of the text cut at every ','; empty when
// the text has fewer fields (or n is below 1).
std::string FieldOf(std::string_view text, int n);

// Skips leading blanks and tabs, takes one optional '+' or '-', then either
// '$' and hexadecimal digits, '%' and binary digits, or decimal digits, and
// stops at the first other character. No digits give 0. The result wraps
// modulo 2^64 on overflow; callers take its low 32 or 16 bits.
std::int64_t ParseInteger(std::string_view text);

// The low 32 and low 16 bits of ParseInteger, read as signed numbers.
std::int32_t ParseInteger32(std::string_view text);
std::int16_t ParseInteger16(std::string_view text);

// The decimal text of a signed integer, with '-' for negatives.
std::string IntText(std::int64_t n);

// UTF-8 text as Windows-1252 text; nothing when the text is not valid UTF-8
// or holds a character that Windows-1252 has no byte for.
std::optional<std::string> Utf8ToWindows1252(std::string_view utf8);

}  // namespace vantrix
