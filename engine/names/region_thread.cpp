#include "engine/names/region_thread.h"

#include <cmath>

#include "engine/common/saturating.h"
#include "engine/common/thread_priority.h"
#include "engine/names/domain_names.h"
#include "engine/names/site_translation.h"
#include "engine/site/item_category.h"
#include "engine/site/site.h"
#include "engine/site/text_item.h"
#include "engine/stats/period_writes.h"
#include "engine/stats/statistics_writer.h"
#include "engine/store/system_data.h"

namespace tf {

namespace {

double WholeDay(TimeValue t) { return std::floor(t / kSecondsPerDay); }

// False when no region is to be counted; the request then ends.
bool QueueRegionRequest(std::unique_ptr<TranslationRequest>& request, std::string_view name) {
  request->state = kRequestRegionCheck;
  if (!request->regions) {
    request->state = kRequestRegionsOff;
    return false;
  }
  if (name.find('.') == std::string_view::npos) {
    request->state = kRequestNameWithoutDot;
    return false;
  }
  request->region = RegionLabel(name);
  if (request->region.empty()) {
    request->state = kRequestNoRegionLabel;
    return false;
  }
  SiteTranslation& translation = request->site();
  if (!translation.StartRegionThread()) return false;
  if (!translation.Advance(*request, RequestStage::kWaitingRegion, kRequestRegionQueued)) {
    return false;
  }
  translation.region_queue.Put(std::move(request));
  return true;
}

// Adds the request's day to its region item. A day the item has not seen
// yet first writes the item's counts of its previous day.
void CountRegion(CSite& site, TranslationRequest& request) {
  SiteLockGuard held(site, "RegionThread");
  CTextItem* item = FindTextItem(site, kCategoryRegion, request.region, held);
  if (item == nullptr) return;
  request.state = kRequestRegionItem;
  if (WholeDay(request.day) != WholeDay(item->last_hit) && item->day.Hits != 0) {
    request.state = kRequestPreviousDayWritten;
    if (item->ItemID != 0) {
      // An item never hit before (day 0) counts to the run's day.
      TimeValue day = WholeDay(item->last_hit) * kSecondsPerDay;
      ItemPeriodRow row = TakeItemPeriodRow(*item, ItemPeriod::kDay);
      WriteItemPeriods(site.database(), ItemPeriod::kDay, day != 0 ? day : site.run.current_day,
                       std::span(&row, 1));
    }
  }
  item->day.Hits += request.hits;
  item->day.Bytes = SaturatingAdd(item->day.Bytes, request.bytes);
  item->day.SessionCount += request.sessions;
  item->day.ViewTime += request.view_time;
  request.state = kRequestRegionCounted;
  SetRegionChange(*item, site);
  item->UpdateLastHit(site, request.day);
}

}  // namespace

void DeliverDomainName(std::unique_ptr<TranslationRequest> request, std::string_view name) {
  request->state = kRequestDelivering;
  if (!QueueRegionRequest(request, name) && request) request->state = kRequestNoRegion;
}

void RegionThread(SiteTranslation& translation) {
  SetCurrentThreadPriority(SystemData.GetThreadPriority());
  while (std::unique_ptr<TranslationRequest> request = translation.region_queue.Take()) {
    request->state = kRequestRegionTaken;
    if (!translation.Enter(*request)) continue;
    CountRegion(translation.site(), *request);
    request->state = kRequestRegionDone;
    translation.Leave();
  }
}

}  // namespace tf
