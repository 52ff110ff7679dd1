// CSystemData: the installation-wide state of the engine: the system
// settings, the connection to the system database TallyfoxSystem.mdb and the
// reference lists loaded from it (search engines with the query keys that
// carry their search phrases, and the pattern lists of browsers, browser
// add-ons, platforms, spiders and languages).
//
// The lists are loaded once at start-up, before any analysis runs. The
// pattern lists never change afterwards. The search engine list only grows
// while the program runs (the referrer analysis learns engines and keys):
// additions are published whole at the head of a list, so a reader walking
// a list sees each record complete; the index over the engines is read
// under a shared lock, because an insertion rebalances it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/avl_tree.h"
#include "engine/store/database.h"

namespace tf {

// One query key of a search engine: the parameter (without '=') whose value
// is the search phrase, and the text that ends the value.
struct PhraseDelimiter {
  std::string StartString;  // at most 29 bytes
  std::string EndString;    // at most 29 bytes
  PhraseDelimiter* next = nullptr;
};

struct SearchEngineEntry {
  SearchEngineEntry() = default;
  SearchEngineEntry(const SearchEngineEntry&) = delete;
  SearchEngineEntry& operator=(const SearchEngineEntry&) = delete;

  std::string ServerAddress;  // lower case, normalised host; at most 99 bytes
  std::string ServerName;     // at most 59 bytes
  // Newest first, read without a lock; the keys are owned by owned_delimiters,
  // which only the writers under the list's lock touch.
  std::atomic<PhraseDelimiter*> delimiters{nullptr};
  std::vector<std::unique_ptr<PhraseDelimiter>> owned_delimiters;
  SearchEngineEntry* next = nullptr;
};

// A user-agent pattern and the name a match is counted under.
struct AgentPattern {
  std::string DisplayName;  // at most 49 bytes
  std::string Pattern;      // at most 49 bytes
};

// Byte order of the addresses, as unsigned bytes.
int CompareServerAddress(const SearchEngineEntry& a, const SearchEngineEntry& b);

// Thread priorities, numbered as on Windows.
enum ThreadPriority {
  THREAD_PRIORITY_LOWEST = -2,
  THREAD_PRIORITY_BELOW_NORMAL = -1,
  THREAD_PRIORITY_NORMAL = 0,
};

class CSystemData {
 public:
  CSystemData() = default;
  virtual ~CSystemData();
  CSystemData(const CSystemData&) = delete;
  CSystemData& operator=(const CSystemData&) = delete;

  // Opens TallyfoxSystem.mdb in the install folder, made from
  // SystemTemplate.mdb when missing. Failures are shown to the user.
  bool OpenSystemDatabase();
  void CloseSystemDatabase();
  // All six lists, in order; stops at the first that fails (a table that is
  // empty, missing or holds a null value).
  bool LoadReferenceTables();
  bool LoadSearchEngines();
  bool LoadBrowsers();
  bool LoadBrowserAddons();
  bool LoadSpiders();
  bool LoadPlatforms();
  bool LoadLanguages();

  // Takes both records. Rejects the pair (nullptr) unless the address has a
  // '.' and the name and both strings are non-empty. A new address becomes
  // a new engine at the head of the list; a known one gets the delimiter at
  // the head of its list. Returns the engine that holds the delimiter.
  SearchEngineEntry* AddSearchEngine(std::unique_ptr<SearchEngineEntry> entry,
                                     std::unique_ptr<PhraseDelimiter> delimiter);
  void AddPhraseDelimiter(SearchEngineEntry* engine, std::unique_ptr<PhraseDelimiter> delimiter);
  // The engine of exactly this address, or nullptr.
  SearchEngineEntry* FindSearchEngine(std::string_view address) const;
  // Newest first.
  SearchEngineEntry* search_engines() const {
    return search_engines_.load(std::memory_order_acquire);
  }
  // Counts the changes of the engine list (engines and keys added, the list
  // freed), each counted after it is published, so that an answer worked
  // out from the list stays right while this number stays the same.
  std::uint64_t search_engine_changes() const {
    return search_engine_changes_.load(std::memory_order_acquire);
  }

  ThreadPriority GetThreadPriority() const;

  db::Connection* connection() { return SystemDatabaseConnection.get(); }

  // The system settings (stored in the projects database).
  bool RunInSysTray = false;
  std::int32_t RunPriority = 2;
  std::int32_t MaxAnalyses = 2;
  std::int32_t MaxDomainThreads = 50;
  std::int32_t DefaultSessionTimelimit = 30;  // minutes
  std::string DefaultHomePage = "index.htm";  // at most 199 bytes
  std::string RemoteLogonName;                // at most 99 bytes
  std::string RemotePassword;                 // at most 99 bytes
  bool AllowRemoteAccess = false;
  std::int32_t DefDateFormat = 0;

  std::vector<AgentPattern> browsers;
  std::vector<AgentPattern> browser_addons;
  std::vector<AgentPattern> platforms;
  std::vector<AgentPattern> languages;
  std::vector<AgentPattern> spiders;

 private:
  struct AddressOrder {
    int operator()(std::string_view a, const SearchEngineEntry& b) const;
    int operator()(const SearchEngineEntry& a, const SearchEngineEntry& b) const {
      return CompareServerAddress(a, b);
    }
  };
  bool LoadPatterns(std::string_view table, std::vector<AgentPattern>& list);
  void FreeSearchEngines();
  // Puts the key in front of the engine's keys; the caller holds
  // SystemLookupLock.
  void PublishDelimiter(SearchEngineEntry& engine, std::unique_ptr<PhraseDelimiter> delimiter);

  ConnectionHolder SystemDatabaseConnection;
  std::atomic<SearchEngineEntry*> search_engines_{nullptr};
  // The owner of the engines that search_engines_ links, changed under
  // SystemLookupLock.
  std::vector<std::unique_ptr<SearchEngineEntry>> owned_engines_;
  std::atomic<std::uint64_t> search_engine_changes_{0};
  CAvlTree<SearchEngineEntry, AddressOrder> SearchEngineIndex;
  // Serialises the additions to the engine list; readers of the index share it.
  mutable std::shared_mutex SystemLookupLock;
};

extern CSystemData SystemData;

}  // namespace tf
