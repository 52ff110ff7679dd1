// The site list: every CSite of the program, owned by the list, head first.
// Its lock is re-entrant, and every change of the list raises the busy
// counter so that the console's scheduler tick waits for it.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>

#include "engine/site/site.h"

namespace tf {

class CSiteList {
 public:
  CSiteList() = default;
  ~CSiteList();
  CSiteList(const CSiteList&) = delete;
  CSiteList& operator=(const CSiteList&) = delete;

  // Hold it while walking sites() or using a site found in it.
  std::recursive_mutex& mutex() { return mutex_; }
  const std::list<std::unique_ptr<CSite>>& sites() const { return sites_; }

  // Under the lock: the site of that ProjectID, or nullptr.
  CSite* Find(std::int32_t project_id) const;
  // Under the lock: the highest ProjectID of the sites other than `except`.
  std::int32_t HighestProjectID(const CSite* except) const;
  // Destroys every site (program exit).
  void Clear();

 private:
  friend void AddToSiteList(CSite* site);
  friend void RemoveSiteFromList(CSite* site);

  std::recursive_mutex mutex_;
  std::list<std::unique_ptr<CSite>> sites_;
};

extern CSiteList SiteList;

// The list takes ownership; the site becomes its head.
void AddToSiteList(CSite* site);
// Unlinks the site and destroys it; a site that is not listed is left
// alone.
void RemoveSiteFromList(CSite* site);

}  // namespace tf
