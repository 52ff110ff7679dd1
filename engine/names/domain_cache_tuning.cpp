// The automatic size of a site's domain cache: about five days of the
// run's visitors, moved toward that target in steps and kept where the
// cache already answers well.
#include <algorithm>
#include <cstdint>

#include "engine/names/site_translation.h"
#include "engine/site/site.h"
#include "engine/site/stat_bits.h"

namespace tf {

namespace {

constexpr double kMinimumPeriod = 14400;  // 4 hours of log
constexpr std::int64_t kSmallest = 100;
constexpr std::int64_t kLargest = 50000;

}  // namespace

void TuneDomainCache(CSite& site) {
  TranslationOf(site).CollectCacheCounts();
  const SiteSettings& s = site.settings;
  const RunHistory& history = site.history;
  bool names_used = (s.DayStats & kRegionStats) != 0 ||
                    (s.VisitorsStore != 0 && s.VisitorsDomains != 0);
  double period = history.stEndRecord - history.stStartRecord;
  if ((s.DomainCacheOptions & 1) == 0 || !names_used || period < kMinimumPeriod) return;

  double days = period / kSecondsPerDay;
  double per_day = history.stVisitors / days;
  // 64 bits: a busy site's target and twice a large size pass 32 bits.
  auto target = static_cast<std::int64_t>(std::min(per_day * 5, 1e15));
  std::int64_t current = s.DomainCacheSize;
  std::int64_t tries = history.stDomainCacheTries;

  std::int64_t size;
  if (days >= 1.9 && tries > 100) {
    size = (current + 2 * target) / 3;
  } else if (days >= 0.9) {
    size = (current + target) / 2;
  } else {
    size = (target + 2 * current) / 3;
  }
  if (size > current && tries > 100) {
    std::int64_t hit_percent = history.stDomainCacheHits * std::int64_t{100} / tries;
    if (hit_percent > 30 && tries > 500 && current > per_day) {
      size = static_cast<std::int64_t>(current * 0.95);
    } else if (hit_percent >= 25) {
      size = current;
    }
  }
  size = std::clamp(size, kSmallest, kLargest);
  size = std::max(std::min(size, current * 2), current / 2);

  site.settings.DomainCacheSize = static_cast<std::int32_t>(size);
  TranslationOf(site).cache.SetLimit(site.settings.DomainCacheSize);
}

}  // namespace tf
