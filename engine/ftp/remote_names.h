// Which remote files a download takes: the site's wildcard pattern, and the
// names that may safely become local file names.
#pragma once

#include <string_view>

namespace tf {

// True when the name fits the pattern, ASCII letters compared without regard
// to case. An empty pattern and "*" match every name. '*' matches any run of
// characters, '?' one character or none at the end of the name, '%' exactly
// one character.
bool MatchWildcard(std::string_view pattern, std::string_view name);

// A listed name is used as the local file name inside the download folder
// and in commands to the server, so it must be one plain file name: not
// empty, not "." or "..", and free of '/', '\' and control characters.
bool IsSafeRemoteName(std::string_view name);

}  // namespace tf
