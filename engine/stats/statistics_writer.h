// The statistics writer: where a run's in-memory statistics meet the site
// database. Text items get their tblData identity here (the run's item
// table looks each (category, name) up once; every later hit is answered
// from memory, and only a new item reaches the tblData row work), the
// translated host names of visitor addresses are kept in tblDomains, and
// search phrases are counted with their keywords and the target pages
// their sessions reached.
//
// The row functions take only the site's database face; every statement
// runs under its lock, named after the operation. Operations that change
// the run's items take the caller's hold of the statistics lock (held), so
// that none can run without it. Values reach the database as bound
// parameters.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/common/time_value.h"
#include "engine/store/site_database.h"

namespace tf {

class CSite;
class CTextItem;
class SiteLockGuard;

// --- tblData rows -------------------------------------------------------------

// The row of (category, name), added when missing (with LastHit last_hit).
// While the run defers its writes, through its DeferredItemRows.
ItemRowIdentity FindOrAddItemRow(SiteDatabase& database, std::int32_t category,
                                 std::string_view name, TimeValue last_hit);
// Inserts the row and gives back its ItemID. A row that differs only in
// letter case from an existing one is that row.
ItemRowIdentity AddItemRow(SiteDatabase& database, std::int32_t category, std::string_view name,
                           TimeValue last_hit);

struct ItemName {
  std::int32_t category = 0;
  std::string name;
};
// The category and name of a tblData row, or nothing when there is no such
// row.
std::optional<ItemName> ReadItemName(SiteDatabase& database, std::int32_t item_id);

// --- The run's items --------------------------------------------------------------

// The run's item for (category, name), made when the run has none yet: its
// tblData row is looked up, and added when missing (LastHit: the start of
// the hour being counted). The name is cut to 254 bytes. The item's ItemID
// stays 0 when the database gives none; such an item stays in the index (it
// is not looked up again) and is never written.
CTextItem* FindTextItem(CSite& site, std::int32_t category, std::string_view name,
                        const SiteLockGuard& held);
// The same under a statistics lock of its own.
CTextItem* FindTextItem(CSite& site, std::int32_t category, std::string_view name);

// The run's item of a tblData row, or nullptr when there is no such row.
CTextItem* FindTextItemID(CSite& site, std::int32_t item_id);

// Whether the site stores visitors with their domain names (tblDomains).
bool KeepsDomainNames(const CSite& site);
// The stored host name of the address (moving its LastHit forward to time).
// False when the address has no row.
bool SearchforIP(SiteDatabase& database, std::uint32_t address, TimeValue time,
                 std::string& host);
// Stores the host name of the address, or moves its LastHit forward.
void AddDomainName(SiteDatabase& database, std::uint32_t address, std::string_view host,
                   TimeValue time);

// Counts a search phrase of a closed session: each word as a keyword (403)
// and the whole phrase (402), with the target pages the session reached.
void CountPhrase(CSite& site, std::string_view phrase, std::int32_t referring_item,
                 std::int32_t referring_category, std::span<const std::int32_t> reached_targets,
                 std::int32_t sessions, std::int32_t hits, std::int32_t view_time, TimeValue time,
                 const SiteLockGuard& held);
void CountPhraseItem(CSite& site, std::string_view name, std::int32_t category,
                     std::int32_t referring_item, std::int32_t referring_category,
                     std::span<const std::int32_t> reached_targets, std::int32_t sessions,
                     std::int32_t hits, std::int32_t view_time, TimeValue time,
                     const SiteLockGuard& held);
// Adds to the target-hit group of (phrase item, referrer); a new group gets
// a counter for every target page of the site.
void AddTargetHits(CSite& site, std::int32_t phrase_item, std::int32_t category,
                   std::int32_t referring_item, std::int32_t referring_category,
                   std::span<const std::int32_t> reached_targets, std::int32_t sessions,
                   std::int32_t hits, std::int32_t view_time, const SiteLockGuard& held);

}  // namespace tf
