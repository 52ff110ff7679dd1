// Small UTF-8 helpers for texts that are cut to a size or handed to the
// font renderer, which refuses malformed input.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tf::draw {

// Number of characters (code points) in a text; a malformed byte counts as one.
std::size_t Utf8Length(std::string_view text);

// The longest prefix of at most max_bytes bytes that does not split a character.
std::string_view Utf8CutBytes(std::string_view text, std::size_t max_bytes);

// The prefix holding at most max_chars characters.
std::string_view Utf8CutChars(std::string_view text, std::size_t max_chars);

// The text with every malformed byte replaced by '?'.
std::string Utf8Sanitize(std::string_view text);

}  // namespace tf::draw
