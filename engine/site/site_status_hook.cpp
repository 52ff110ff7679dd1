#include "engine/site/site_status_hook.h"

#include <mutex>
#include <utility>

namespace tf {

namespace {

// One replaceable handler, called outside its lock: a handler may take the
// site list's or its clients' locks, or replace itself.
template <typename Handler>
class HookSlot {
 public:
  Handler Set(Handler handler) {
    std::lock_guard<std::mutex> guard(lock_);
    return std::exchange(handler_, std::move(handler));
  }
  template <typename... Args>
  void Call(Args&&... args) {
    Handler current;
    {
      std::lock_guard<std::mutex> guard(lock_);
      current = handler_;
    }
    if (current) current(std::forward<Args>(args)...);
  }

 private:
  std::mutex lock_;
  Handler handler_;
};

HookSlot<SiteStatusHandler> status_hook;
HookSlot<SiteErrorHandler> error_hook;

}  // namespace

SiteStatusHandler SetSiteStatusHandler(SiteStatusHandler handler) {
  return status_hook.Set(std::move(handler));
}

SiteErrorHandler SetSiteErrorHandler(SiteErrorHandler handler) {
  return error_hook.Set(std::move(handler));
}

void NotifySiteStatus(CSite& site) { status_hook.Call(site); }

void SiteError(CSite& site, std::string_view error) { error_hook.Call(site, error); }

}  // namespace tf
