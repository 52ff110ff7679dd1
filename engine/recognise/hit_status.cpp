#include "engine/recognise/hit_status.h"

#include <string>
#include <vector>

#include "engine/logs/log_record.h"
#include "engine/recognise/status_rules.h"
#include "engine/site/site.h"
#include "engine/site/text_item.h"
#include "engine/stats/period_writes.h"
#include "engine/store/transaction.h"

namespace tf {

void InitHitStatusIndex(CSite& site) {
  FreeHitStatusIndex(site);
  site.run.hit_status.index.SetCallbacks(HitStatusOrder{}, nullptr);
}

void ClassifyHitStatus(CSite& site, const CLogRecord& record, CTextItem* page) {
  std::optional<HitStatusKey> key =
      HitStatusKeyOf(record.status, page != nullptr ? page->ItemID : 0,
                     site.settings.StatusStoreCount, site.settings.StatusStorePage);
  if (!key) return;
  HitStatusTable& table = site.run.hit_status;
  CHitStatusEntry* entry = table.index.Find(*key);
  if (entry == nullptr) {
    entry = &table.entries.emplace_front(CHitStatusEntry{*key, 0});
    table.index.Insert(entry);
  }
  ++entry->count;
}

void HitStatusFlush(CSite& site) {
  SiteLockGuard statistics(site, "HitStatusFlush");
  std::vector<HitStatusRow> rows;
  for (CHitStatusEntry& entry : site.run.hit_status.entries) {
    if (entry.count <= 0) continue;
    rows.push_back({entry.key, entry.count});
    entry.count = 0;
  }
  if (rows.empty()) return;
  const TimeValue day = site.run.current_day;
  const std::string day_text = FormatTime("%l", day);
  const std::size_t n = rows.size();
  DatabaseLockGuard database(site.database(), "HitStatusFlush");
  Transaction transaction(site.connection());
  WriteHitStatusRows(site.database(), day, rows, [&](std::size_t k) {
    site.SetStatus("Writing server error statistics for " + day_text + "  (" +
                   std::to_string(100 * k / n) + ")");
  });
  transaction.Commit();
}

void FreeHitStatusIndex(CSite& site) {
  HitStatusTable& table = site.run.hit_status;
  table.index.Clear();
  table.entries.clear();
}

}  // namespace tf
