// Bounded text handling, SQL quoting, URL and hexadecimal decoding.
//
// Many of the engine's texts stand for fixed-width fields: a size argument is
// such a field's width and counts the terminator the field would hold, so at
// most size - 1 bytes are kept. Every cut goes through CutUtf8 and never
// splits a UTF-8 character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tf {

// The longest prefix of text of at most max_bytes bytes that does not end
// inside a UTF-8 character. Bytes that are not UTF-8 are cut where they are.
std::string_view CutUtf8(std::string_view text, std::size_t max_bytes);

// Length of a zero-terminated text, at most max; 0 for no text.
std::size_t BoundedLength(const char* text, std::size_t max);
// dest = src cut to size - 1 bytes; returns the number of bytes copied.
std::size_t SafeCopy(std::string& dest, std::string_view src, std::size_t size);
// Appends as much of src as keeps dest within size - 1 bytes.
void SafeAppend(std::string& dest, std::string_view src, std::size_t size);

// Position of the first occurrence of pattern in text, ASCII letters
// compared without regard to case; npos when there is none.
std::size_t FindCaseless(std::string_view text, std::string_view pattern);

// The text ready to stand between single quotes in SQL: each single quote
// doubled, except that a pair already there is kept as the pair, so quoting
// twice changes nothing. Quotes in the result always come in pairs.
std::string QuoteSql(std::string_view text);
// The same, cut to size - 1 bytes without splitting a pair or a character.
std::string QuoteSql(std::string_view text, std::size_t size);

// In place: '+' becomes a blank and "%hh" the byte hh; a '%' without two
// hexadecimal digits stays. A decoded zero byte ends the text.
void UrlDecode(std::string& text);

bool IsHexDigit(char c);
// Value of the leading hexadecimal digits; 0 when there are none.
std::uint32_t HexToInt(std::string_view text);
// Each pair of hexadecimal digits becomes one byte, until the text ends, a
// pair is not two digits, or size - 1 bytes are written. Returns the count.
std::size_t HexToBytes(std::string_view hex, std::string& out, std::size_t size);
// "%02X" of each byte.
std::string BytesToHex(std::string_view bytes);

// In place: removes leading and trailing blanks and control characters
// (bytes 32 and below).
void TrimBlanks(std::string& text);

}  // namespace tf
