// The host-name normalisation of referrer analysis: the form under which
// search engines are known, whichever of their host names a referrer uses.
#pragma once

#include <string>

namespace tf {

// In place: lower case; non-alphanumeric characters trimmed at both ends;
// leading "www." labels removed (but "www.com" kept); the prefixes
// "partner.", "partners.", "script." and "search." removed while more than
// one label would remain; a first label ending in a digit (not in "mp3")
// removed when at least two labels follow. True when anything was removed
// after the trimming.
bool NormalizeHost(std::string& host);

}  // namespace tf
