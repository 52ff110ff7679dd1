// The host-name normalisation of referrer analysis: the one form under
// which a search engine is known, whichever of its host names a referrer
// uses. The system's engine list stores its addresses in this form.
#pragma once

#include <string>

namespace tf {

// In place: lower case; characters other than letters and digits trimmed
// at both ends; leading "www." labels removed ("www.com" is kept whole);
// the prefixes "partner.", "partners.", "script." and "search." removed
// while a domain of two labels or more remains; then a numbered first
// label ("www2", "web01", but not one ending in "mp3") removed when at
// least two labels follow. True when anything was removed after the trim.
bool NormalizeHost(std::string& host);

}  // namespace tf
