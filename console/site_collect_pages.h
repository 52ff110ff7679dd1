// The Processing, Error && Status and Visitors && Paths pages of a site
// without their windows: bit tables of what an analysis collects, the
// storage choices and the clamp of the domain-name cache.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tf {
class CSite;
}

namespace tf::console {

// --- Processing ---
struct StatsRow {
  std::string_view label;
  std::int32_t bit;
  bool hourly;  // has an hourly box that can be used
};
inline constexpr std::size_t kStatsRows = 21;
const std::array<StatsRow, kStatsRows>& StatsRows();
// Sessions and visitors are always counted per day: their daily boxes are
// shown but disabled.
bool DailyBoxLocked(const StatsRow& row);

struct ProcessingBoxes {
  std::array<bool, kStatsRows> daily{};
  std::array<bool, kStatsRows> hourly{};
};
ProcessingBoxes FillProcessing(const CSite& site);
// Sets or clears each listed bit; bits the page does not show keep theirs.
void StoreProcessing(const ProcessingBoxes& boxes, CSite& site);

// --- Error && Status ---
struct StatusRow {
  std::string_view label;
  std::int32_t bit;
};
inline constexpr std::size_t kStatusRows = 6;
const std::array<StatusRow, kStatusRows>& StatusRows();
struct StatusBoxes {
  std::array<bool, kStatusRows> count{};
  std::array<bool, kStatusRows> record_page{};
};
StatusBoxes FillStatus(const CSite& site);
void StoreStatus(const StatusBoxes& boxes, CSite& site);

// --- Visitors && Paths ---
inline constexpr std::int32_t kMinCacheSize = 100;
inline constexpr std::int32_t kMaxCacheSize = 200000;
// Storage choices: the radios show 0 none, 2 all, 1 top.
struct VisitorsFields {
  std::int32_t visitors_store = 2;
  std::string visitors_top;
  bool visitors_domains = true;
  bool automatic_cache = true;
  std::string cache_size;
  std::int32_t paths_store = 1;
  std::string paths_top;
};
VisitorsFields FillVisitors(const CSite& site);
// Which edits the storage choice enables.
struct VisitorsEnabling {
  bool visitors_top = false;
  bool visitors_domains = false;
  bool paths_top = false;
  bool cache_size = false;
};
VisitorsEnabling EnablingOf(const VisitorsFields& fields);
// Leaving the page; a changed fixed cache size is clamped, given to the
// site's translation and restarts the cache figures.
void StoreVisitors(const VisitorsFields& fields, CSite& site);

}  // namespace tf::console
