#include "engine/store/system_data.h"

#include <mutex>

#include "engine/common/host_name.h"
#include "engine/store/database_files.h"
#include "engine/store/field_values.h"
#include "platform/db/recordset.h"

namespace tf {

CSystemData SystemData;

namespace {

constexpr std::size_t kServerAddressSize = 100;
constexpr std::size_t kServerNameSize = 60;
constexpr std::size_t kDelimiterSize = 30;
constexpr std::size_t kPatternSize = 50;

int CompareBytes(std::string_view a, std::string_view b) {
  // string_view compares as unsigned bytes (char_traits<char>::compare).
  int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

// A text column; a null value fails the load as a database error does.
std::string TextField(const db::Recordset& rs, std::string_view name, std::size_t size) {
  const com::Variant& value = rs.Field(name);
  if (value.is_null()) throw db::Error(0, "Invalid use of Null");
  return TextFieldValue(value, size);
}

}  // namespace

int CompareServerAddress(const SearchEngineEntry& a, const SearchEngineEntry& b) {
  return CompareBytes(a.ServerAddress, b.ServerAddress);
}

int CSystemData::AddressOrder::operator()(std::string_view a, const SearchEngineEntry& b) const {
  return CompareBytes(a, b.ServerAddress);
}

CSystemData::~CSystemData() {
  FreeSearchEngines();
  CloseSystemDatabase();
}

void CSystemData::FreeSearchEngines() {
  std::unique_lock<std::shared_mutex> lock(SystemLookupLock);
  SearchEngineIndex.Clear();
  search_engines_.store(nullptr, std::memory_order_release);
  owned_engines_.clear();
  search_engine_changes_.fetch_add(1, std::memory_order_release);
}

bool CSystemData::OpenSystemDatabase() {
  return OpenInstalledDatabase(SystemDatabaseConnection, "TallyfoxSystem.mdb", "SystemTemplate.mdb",
                               "Error opening TallyfoxSystem.mdb database",
                               "Error opening TallyfoxSystem.mdb", true);
}

void CSystemData::CloseSystemDatabase() { CloseDatabase(SystemDatabaseConnection); }

bool CSystemData::LoadReferenceTables() {
  return LoadSearchEngines() && LoadBrowsers() && LoadBrowserAddons() && LoadSpiders() &&
         LoadPlatforms() && LoadLanguages();
}

bool CSystemData::LoadSearchEngines() {
  if (!SystemDatabaseConnection) return false;
  try {
    db::Recordset rs;
    rs.Open("select * from tblSearchEngines", *SystemDatabaseConnection, db::kOpenStatic);
    if (rs.IsEof()) return false;
    FreeSearchEngines();
    for (; !rs.IsEof(); rs.MoveNext()) {
      auto entry = std::make_unique<SearchEngineEntry>();
      auto delimiter = std::make_unique<PhraseDelimiter>();
      entry->ServerAddress = TextField(rs, "ServerAddress", kServerAddressSize);
      NormalizeHost(entry->ServerAddress);
      entry->ServerName = TextField(rs, "ServerName", kServerNameSize);
      NormalizeHost(entry->ServerName);
      delimiter->StartString = TextField(rs, "StartString", kDelimiterSize);
      delimiter->EndString = TextField(rs, "EndString", kDelimiterSize);
      AddSearchEngine(std::move(entry), std::move(delimiter));
    }
    return true;
  } catch (const db::Error&) {
    return false;
  }
}

bool CSystemData::LoadPatterns(std::string_view table, std::vector<AgentPattern>& list) {
  if (!SystemDatabaseConnection) return false;
  try {
    db::Recordset rs;
    rs.Open("select DisplayName, Pattern from " + std::string(table) + " order by SearchOrder",
            *SystemDatabaseConnection, db::kOpenStatic);
    if (rs.IsEof()) return false;
    std::vector<AgentPattern> loaded;
    for (; !rs.IsEof(); rs.MoveNext()) {
      loaded.push_back(
          {TextField(rs, "DisplayName", kPatternSize), TextField(rs, "Pattern", kPatternSize)});
    }
    list = std::move(loaded);
    return true;
  } catch (const db::Error&) {
    return false;
  }
}

bool CSystemData::LoadBrowsers() { return LoadPatterns("tblBrowsers", browsers); }
bool CSystemData::LoadBrowserAddons() { return LoadPatterns("tblBrowserAddons", browser_addons); }
bool CSystemData::LoadSpiders() { return LoadPatterns("tblSpiders", spiders); }
bool CSystemData::LoadPlatforms() { return LoadPatterns("tblPlatforms", platforms); }
bool CSystemData::LoadLanguages() { return LoadPatterns("tblLanguages", languages); }

SearchEngineEntry* CSystemData::AddSearchEngine(std::unique_ptr<SearchEngineEntry> entry,
                                                std::unique_ptr<PhraseDelimiter> delimiter) {
  if (!entry || !delimiter || entry->ServerAddress.find('.') == std::string::npos ||
      entry->ServerName.empty() || delimiter->StartString.empty() || delimiter->EndString.empty()) {
    return nullptr;
  }
  std::unique_lock<std::shared_mutex> lock(SystemLookupLock);
  SearchEngineEntry* engine = SearchEngineIndex.Find(std::string_view(entry->ServerAddress));
  if (engine == nullptr) {
    engine = owned_engines_.emplace_back(std::move(entry)).get();
    PublishDelimiter(*engine, std::move(delimiter));
    engine->next = search_engines_.load(std::memory_order_relaxed);
    SearchEngineIndex.Insert(engine);
    search_engines_.store(engine, std::memory_order_release);
    return engine;
  }
  PublishDelimiter(*engine, std::move(delimiter));
  return engine;
}

void CSystemData::PublishDelimiter(SearchEngineEntry& engine,
                                   std::unique_ptr<PhraseDelimiter> delimiter) {
  delimiter->next = engine.delimiters.load(std::memory_order_relaxed);
  PhraseDelimiter* head = engine.owned_delimiters.emplace_back(std::move(delimiter)).get();
  engine.delimiters.store(head, std::memory_order_release);
  search_engine_changes_.fetch_add(1, std::memory_order_release);
}

void CSystemData::AddPhraseDelimiter(SearchEngineEntry* engine,
                                     std::unique_ptr<PhraseDelimiter> delimiter) {
  if (engine == nullptr || !delimiter) return;
  std::unique_lock<std::shared_mutex> lock(SystemLookupLock);
  PublishDelimiter(*engine, std::move(delimiter));
}

SearchEngineEntry* CSystemData::FindSearchEngine(std::string_view address) const {
  std::shared_lock<std::shared_mutex> lock(SystemLookupLock);
  return SearchEngineIndex.Find(address);
}

ThreadPriority CSystemData::GetThreadPriority() const {
  switch (RunPriority) {
    case 1: return THREAD_PRIORITY_LOWEST;
    case 3: return THREAD_PRIORITY_NORMAL;
    default: return THREAD_PRIORITY_BELOW_NORMAL;
  }
}

}  // namespace tf
