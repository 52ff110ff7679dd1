// File-name wildcards as log file patterns use them: '*' any run of
// characters, '?' one character, letters matched without regard to case.
// As on the system the file patterns come from, a pattern that ends in
// ".*" also matches names without any extension ("*.*" matches all).
#pragma once

#include <string_view>

namespace tf {

bool MatchesWildcard(std::string_view name, std::string_view pattern);

}  // namespace tf
