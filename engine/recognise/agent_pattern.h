// The pattern language of the user-agent lists (browsers, add-ons,
// platforms, spiders):
//   '+'  one '+' or one blank (W3C logs write the agent's blanks as '+')
//   '#'  a run of letters, digits and '.', captured as the version
//   '*'  any text up to the next occurrence of the literal that follows
// Every other character is literal and compared without regard to case.
// A match is anchored at the start of the text; text left over once the
// pattern is consumed is ignored.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/common/ascii.h"

namespace tf {

// Size of the version buffer of the classification, terminator counted:
// a version keeps at most 99 characters.
constexpr std::size_t kAgentVersionSize = 100;
// Longest literal that a '*' searches for.
constexpr std::size_t kStarLiteralMax = 99;

inline bool IsAgentWildcard(char c) { return c == '*' || c == '#' || c == '+'; }
inline bool IsVersionChar(char c) { return IsAsciiAlphanumeric(c) || c == '.'; }

// True when the pattern matches the text. `version` receives the last '#'
// capture, at most version_size - 1 characters, or stays empty. A step
// that fails after a '*' goes back to that '*' and searches its literal
// again one character further on.
bool MatchAgentPattern(std::string_view text, std::string_view pattern, std::string& version,
                       std::size_t version_size = kAgentVersionSize);

}  // namespace tf
