// Referrer and search-phrase analysis: whether a referring URL comes from a
// search engine, which one, and the search phrase it carries.
//
// Engines come from the system's engine list (CSystemData); engines and
// query keys that the list lacks are recognised by common query parameter
// names and learned into the list for the rest of the program's life. The
// list is shared by every site's analysis thread: it is read and extended
// under its one reader-writer lock, and engines and their keys are never
// changed or freed once added.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/site/referrer_info.h"
#include "engine/site/stat_bits.h"

namespace tf {

class CSystemData;

// True when the referring URL comes from a search engine. The URL is then
// URL-decoded in place, and the info receives the engine's name as the
// referrer name and the search phrase, when there is one; the caller adds
// the ItemID and category of the engine's item (401). False when day_stats
// counts none of engines, phrases and keywords, or the referrer is no
// engine: the caller then counts it as a referring site and page.
bool AnalyzeReferrer(CSystemData& system, std::uint32_t day_stats, std::string& url, ReferrerInfo& info);

// The search phrase of a query value: percent escapes decoded, runs of
// anything but letters, digits, '-', '_', '`' and the bytes of UTF-8
// characters turned into one blank, ASCII letters in lower case, at most
// 149 bytes (never half a character); a value that begins with "cache:"
// keeps only the words after the cached address. Empty when nothing is
// left, or when day_stats counts neither phrases nor keywords.
std::string NormalizePhrase(std::uint32_t day_stats, std::string_view value);

}  // namespace tf
