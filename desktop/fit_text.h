// Fitting a text into a width: the longest start of it, with "..." after
// it, that the measure says is narrow enough.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tf::desktop {

// The width of a text in the font it will be drawn in.
using TextMeasure = std::function<int(std::string_view text)>;

// At most 498 bytes of the text without trailing blanks, whole when it fits
// the width; otherwise its longest start, less trailing blanks and dots,
// whose extent with "..." is at most width - 3 (the shortest candidate when
// none is). The result fits a field of `size` bytes with its terminator and
// never ends inside a UTF-8 character.
std::string FitTextToWidth(const TextMeasure& measure, int width, std::string_view text,
                           std::size_t size);

}  // namespace tf::desktop
