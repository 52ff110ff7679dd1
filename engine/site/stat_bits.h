// Bits of a site's HourStats and DayStats: which statistics it keeps. The
// session and visitor bits live with the settings (site_settings.h); the
// bits of the file kinds with their table (file_kinds.h).
#pragma once

#include <cstdint>

namespace tf {

constexpr std::int32_t kReferringPageStats = 0x80000;
constexpr std::int32_t kReferringSiteStats = 0x100000;  // also the spiders
constexpr std::int32_t kSearchEngineStats = 0x200000;
constexpr std::int32_t kSearchPhraseStats = 0x400000;
constexpr std::int32_t kKeywordStats = 0x800000;
constexpr std::int32_t kAgentStats = 0x1000000;  // browsers, platforms, languages
constexpr std::int32_t kRegionStats = 0x4000000;

}  // namespace tf
