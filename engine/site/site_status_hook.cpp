#include "engine/site/site_status_hook.h"

#include <mutex>
#include <utility>

namespace tf {

namespace {

std::mutex handler_lock;
SiteStatusHandler handler;

}  // namespace

SiteStatusHandler SetSiteStatusHandler(SiteStatusHandler new_handler) {
  std::lock_guard<std::mutex> guard(handler_lock);
  return std::exchange(handler, std::move(new_handler));
}

void NotifySiteStatus(CSite& site) {
  SiteStatusHandler current;
  {
    std::lock_guard<std::mutex> guard(handler_lock);
    current = handler;
  }
  // Called outside the lock: a handler may take the site list's or its
  // clients' locks, or replace itself.
  if (current) current(site);
}

}  // namespace tf
