#include "engine/stats/statistics_writer.h"

#include <optional>

#include "engine/common/address.h"
#include "engine/common/text.h"
#include "engine/site/item_category.h"
#include "engine/site/site.h"
#include "engine/site/stat_bits.h"
#include "engine/site/text_item.h"
#include "engine/store/field_values.h"
#include "platform/db/recordset.h"

namespace tf {

namespace {

constexpr std::size_t kErrorSize = 500;
constexpr std::size_t kHostSize = 100;
constexpr std::size_t kWordSize = 151;

// The row of (category, name), or nothing. A failed select is the site's
// error and counts as not found. The caller holds the database lock.
std::optional<ItemRowIdentity> SelectReportedItemRow(SiteDatabase& database, std::int32_t category,
                                                     std::string_view name) {
  if (database.connection() == nullptr) return std::nullopt;
  try {
    return SelectItemRow(*database.connection(), category, name);
  } catch (const db::Error& e) {
    database.SetError(e.description());
    return std::nullopt;
  }
}

std::optional<ItemRowIdentity> ReadItemRow(SiteDatabase& database, std::int32_t category,
                                           std::string_view name) {
  DatabaseLockGuard lock(database, "FindTextItem");
  return SelectReportedItemRow(database, category, name);
}

void CountWords(CSite& site, std::string_view phrase, std::int32_t referring_item,
                std::int32_t referring_category, std::int32_t sessions, std::int32_t hits,
                std::int32_t view_time, TimeValue time, const SiteLockGuard& held) {
  std::size_t at = 0;
  while (at < phrase.size()) {
    std::size_t begin = phrase.find_first_not_of(' ', at);
    if (begin == std::string_view::npos) break;
    std::size_t end = phrase.find(' ', begin);
    if (end == std::string_view::npos) end = phrase.size();
    std::string_view word = CutUtf8(phrase.substr(begin, end - begin), kWordSize - 1);
    CountPhraseItem(site, word, kCategoryKeyword, referring_item, referring_category, {}, sessions,
                    hits, view_time, time, held);
    at = end;
  }
}

}  // namespace

ItemRowIdentity FindOrAddItemRow(SiteDatabase& database, std::int32_t category,
                                 std::string_view name, TimeValue last_hit) {
  if (DeferredItemRows* rows = database.new_items()) {
    if (std::optional<ItemRowIdentity> found = rows->Find(category, name)) return *found;
    return rows->Add(category, name, last_hit);
  }
  if (std::optional<ItemRowIdentity> found = ReadItemRow(database, category, name)) return *found;
  return AddItemRow(database, category, name, last_hit);
}

ItemRowIdentity AddItemRow(SiteDatabase& database, std::int32_t category, std::string_view name,
                           TimeValue last_hit) {
  ItemRowIdentity added{0, last_hit};
  DatabaseLockGuard lock(database, "AddTextItem");
  database.JoinBatch();
  std::string error;
  if (ExecuteSql(database.connection(),
                 "INSERT INTO tblData (Category, Name, LastHit) VALUES (?, ?, ?)",
                 {com::Variant(category), com::Variant(std::string(name)),
                  com::Variant(FormatTimeOrDefault(last_hit))},
                 &error, kErrorSize)) {
    // ItemID is the table's row id: the new row's is known without a search.
    added.item_id = static_cast<std::int32_t>(database.connection()->LastInsertRowId());
  } else {
    database.Trace("Error writing text item: " + error);
    // The row may be there already under a name that differs in case only.
    if (std::optional<ItemRowIdentity> found = SelectReportedItemRow(database, category, name)) {
      added.item_id = found->item_id;
    }
  }
  return added;
}

std::optional<ItemName> ReadItemName(SiteDatabase& database, std::int32_t item_id) {
  database.SettleDeferred();  // the row may be one the run added
  DatabaseLockGuard lock(database, "FindTextItemID");
  if (database.connection() == nullptr) return std::nullopt;
  try {
    db::Recordset rows = database.connection()->OpenRecordset(
        "SELECT Category, Name FROM tblData WHERE ItemID=?", {com::Variant(item_id)});
    if (rows.IsEof()) return std::nullopt;
    return ItemName{rows.Field(0).ToInt32(),
                    TextFieldValue(rows.Field(1), CTextItem::kMaxName + 1)};
  } catch (const db::Error& e) {
    database.SetError(e.description());
    return std::nullopt;
  }
}

CTextItem* FindTextItem(CSite& site, std::int32_t category, std::string_view name,
                        const SiteLockGuard&) {
  return &site.run.items.FindOrAdd(category, name, [&site](CTextItem& item) {
    ItemRowIdentity row =
        FindOrAddItemRow(site.database(), item.category, item.name, site.run.current_hour);
    item.ItemID = row.item_id;
    item.last_hit = row.last_hit;
  });
}

CTextItem* FindTextItem(CSite& site, std::int32_t category, std::string_view name) {
  SiteLockGuard held(site, "FindTextItem");
  return FindTextItem(site, category, name, held);
}

CTextItem* FindTextItemID(CSite& site, std::int32_t item_id) {
  std::optional<ItemName> row = ReadItemName(site.database(), item_id);
  if (!row) return nullptr;
  return FindTextItem(site, row->category, row->name);
}

// --- Domain names -----------------------------------------------------------

namespace {

// The stored LastHit of the address, or nothing when it has no row. A
// failed select is the site's error and counts as no row.
std::optional<TimeValue> ReadDomainRow(SiteDatabase& database, const std::string& address,
                                       std::string* host) {
  if (database.connection() == nullptr) return std::nullopt;
  try {
    db::Recordset rows = database.connection()->OpenRecordset(
        "SELECT DomainName, LastHit FROM tblDomains WHERE IPaddress=?", {com::Variant(address)});
    if (rows.IsEof()) return std::nullopt;
    if (host != nullptr) *host = TextFieldValue(rows.Field(0), kHostSize);
    return DateFieldValue(rows.Field(1));
  } catch (const db::Error& e) {
    database.SetError(e.description());
    return std::nullopt;
  }
}

void MoveDomainLastHit(SiteDatabase& database, const std::string& address, TimeValue stored,
                       TimeValue time) {
  if (stored >= time) return;
  std::string error;
  if (!ExecuteSql(database.connection(), "UPDATE tblDomains SET LastHit=? WHERE IPaddress=?",
                  {com::Variant(FormatTimeOrDefault(time)), com::Variant(address)}, &error,
                  kErrorSize)) {
    database.SetError(error);
  }
}

}  // namespace

bool KeepsDomainNames(const CSite& site) {
  return site.settings.VisitorsStore != 0 && site.settings.VisitorsDomains != 0;
}

bool SearchforIP(SiteDatabase& database, std::uint32_t address, TimeValue time,
                 std::string& host) {
  DatabaseLockGuard lock(database, "SearchforIP");
  std::string dotted = AddressToText(address);
  std::optional<TimeValue> stored = ReadDomainRow(database, dotted, &host);
  if (!stored) return false;
  MoveDomainLastHit(database, dotted, *stored, time);
  return true;
}

void AddDomainName(SiteDatabase& database, std::uint32_t address, std::string_view host,
                   TimeValue time) {
  DatabaseLockGuard lock(database, "AddDomainName");
  std::string dotted = AddressToText(address);
  if (std::optional<TimeValue> stored = ReadDomainRow(database, dotted, nullptr)) {
    MoveDomainLastHit(database, dotted, *stored, time);
    return;
  }
  std::string error;
  if (!ExecuteSql(database.connection(),
                  "INSERT INTO tblDomains (IPaddress, DomainName, LastHit) VALUES (?, ?, ?)",
                  {com::Variant(dotted), com::Variant(CutUtf8(host, kHostSize - 1)),
                   com::Variant(FormatTimeOrDefault(time))},
                  &error, kErrorSize)) {
    database.Trace("Error adding domain name: " + error);
  }
}

// --- Search phrases and target pages ------------------------------------------

void CountPhrase(CSite& site, std::string_view phrase, std::int32_t referring_item,
                 std::int32_t referring_category, std::span<const std::int32_t> reached_targets,
                 std::int32_t sessions, std::int32_t hits, std::int32_t view_time, TimeValue time,
                 const SiteLockGuard& held) {
  if ((site.settings.DayStats & kKeywordStats) != 0 && !phrase.empty()) {
    CountWords(site, phrase, referring_item, referring_category, sessions, hits, view_time, time,
               held);
  }
  if ((site.settings.DayStats & kSearchPhraseStats) != 0 || (site.settings.TargetPageOptions & 1) != 0) {
    CountPhraseItem(site, phrase, kCategorySearchPhrase, referring_item, referring_category,
                    reached_targets, sessions, hits, view_time, time, held);
  }
}

void CountPhraseItem(CSite& site, std::string_view name, std::int32_t category,
                     std::int32_t referring_item, std::int32_t referring_category,
                     std::span<const std::int32_t> reached_targets, std::int32_t sessions,
                     std::int32_t hits, std::int32_t view_time, TimeValue time,
                     const SiteLockGuard& held) {
  CTextItem* item = FindTextItem(site, category, name, held);
  if (item == nullptr) return;
  item->AddHits(site, time, hits, held);
  item->AddSessions(site, time, sessions, held);
  item->AddViewTime(site, time, view_time, held);
  std::int32_t options = site.settings.TargetPageOptions;
  if (site.target_pages.empty() || (options & 1) == 0 || category != kCategorySearchPhrase) return;
  AddTargetHits(site, item->ItemID, category, 0, 0, reached_targets, sessions, hits, view_time,
                held);
  if ((options & 2) != 0 && referring_item != 0) {
    AddTargetHits(site, item->ItemID, category, referring_item, referring_category, reached_targets,
                  sessions, hits, view_time, held);
  }
}

void AddTargetHits(CSite& site, std::int32_t phrase_item, std::int32_t category,
                   std::int32_t referring_item, std::int32_t referring_category,
                   std::span<const std::int32_t> reached_targets, std::int32_t sessions,
                   std::int32_t hits, std::int32_t view_time, const SiteLockGuard& held) {
  TargetHitTable& table = site.target_hits;
  TargetHitGroup key;
  key.keyword_phrase = phrase_item;
  key.phrase_category = category;
  key.referring_site = referring_item;
  key.referring_category = referring_category;
  TargetHitGroup* group = table.index.Find(key);
  if (group == nullptr) {
    group = &table.groups.emplace_front(std::move(key));
    table.index.Insert(group);
    for (CTargetPage& page : site.target_pages) {
      if (page.ItemID == 0) {
        CTextItem* target = FindTextItem(site, kCategoryTargetPage, page.Name, held);
        if (target != nullptr) page.ItemID = target->ItemID;
      }
      group->targets.push_front(TargetCounter{page.ItemID, 0});
    }
  }
  group->sessions += sessions;
  group->hits += hits;
  group->view_time += view_time;
  for (std::int32_t reached : reached_targets) {
    bool counted = false;
    for (TargetCounter& counter : group->targets) {
      if (counter.ItemID != reached) continue;
      counter.sessions += sessions;
      counted = true;
      break;
    }
    if (!counted) group->targets.push_front(TargetCounter{reached, sessions});
  }
}

}  // namespace tf
