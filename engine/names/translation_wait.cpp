// The end of a run's translations: the wait for them, and what is left for
// a look afterwards when they stall.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/common/registry_values.h"
#include "engine/names/domain_translation.h"
#include "engine/names/site_translation.h"
#include "engine/site/site.h"

namespace tf {

namespace {

constexpr auto kStallLimit = std::chrono::seconds(900);
constexpr auto kPollInterval = std::chrono::milliseconds(500);

std::atomic<int> timeout_dumps{0};

// Timeout.txt: the site's translation counters and pending requests, for
// the first stalled wait of the process only.
void WriteTimeoutDump(CSite& site) {
  if (timeout_dumps.fetch_add(1) != 0) return;
  TranslationCounters counters = TranslationOf(site).Counters();
  std::vector<std::int32_t> states = TranslationOf(site).PendingStates();
  int busy = CountDomainThreadSite(site);
  std::int32_t region_queue = TranslationOf(site).region_queue.Count();

  std::FILE* file = std::fopen(InstallFolderPath("Timeout.txt").c_str(), "w");
  if (file == nullptr) return;
  std::fprintf(file, "Date = %s\n", FormatTime("%L", NowLocalSeconds()).c_str());
  std::fprintf(file, "Our site = %s\n", site.ProjectName.c_str());
  std::fprintf(file, "Our PendingTranslations = %d\n", counters.outstanding);
  std::fprintf(file, "Our ActiveDomainThreads = %d\n", counters.translating);
  std::fprintf(file, "ActiveDomainThreads = %d\n", counters.translating);
  std::fprintf(file, "DomainThreadCount = %d\n", busy);
  std::fprintf(file, "PendingTranslations = %d\n", counters.outstanding);
  std::fprintf(file, "TransInReqQueue = %d\n", counters.at_dispatcher);
  std::fprintf(file, "TransInTaskQueue = %d\n", counters.waiting_worker);
  std::fprintf(file, "PendingRegionUpdates = %d\n", counters.waiting_region);
  std::fprintf(file, "RegionQueueCount = %d\n", region_queue);
  std::fprintf(file, " -- Our Domain Requests on master list --\n");
  int number = 0;
  for (std::int32_t state : states) std::fprintf(file, "  %4d: State = %d\n", ++number, state);
  std::fprintf(file, "Request count for our site = %d\n", number);
  std::fclose(file);
}

}  // namespace

void WaitForTranslations(CSite& site) { WaitForTranslations(site, kStallLimit); }

void WaitForTranslations(CSite& site, std::chrono::steady_clock::duration stall_limit) {
  SiteTranslation& translation = TranslationOf(site);
  site.SetStatus("Waiting for IP to domain name translations");
  auto progress = std::chrono::steady_clock::now();
  TranslationCounters seen = translation.Counters();
  while (seen.pending > 0 || seen.translating > 0) {
    translation.WaitForChange(kPollInterval);
    TranslationCounters now = translation.Counters();
    if (now.pending != seen.pending || now.translating != seen.translating) {
      seen = now;
      progress = std::chrono::steady_clock::now();
    } else if (std::chrono::steady_clock::now() - progress > stall_limit) {
      WriteTimeoutDump(site);
      translation.Abandon();
      break;
    }
  }
  translation.CollectCacheCounts();
}

void ClearDomainCache(CSite& site) { TranslationOf(site).cache.Clear(); }

}  // namespace tf
