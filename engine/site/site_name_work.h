// What a site asks of its domain-name translation. The translation (its
// pending requests, domain cache and region thread) is built in a layer above
// the site; the site owns it through this face only.
#pragma once

#include <cstdint>

namespace tf {

class SiteNameWork {
 public:
  virtual ~SiteNameWork() = default;
  // The site is going away: stop the region thread and let go of it.
  virtual void Detach() = 0;
  virtual void ResetRunCounters() = 0;
  virtual std::int32_t CountPending() const = 0;
  virtual void SetCacheLimit(std::int32_t entries) = 0;
};

}  // namespace tf
