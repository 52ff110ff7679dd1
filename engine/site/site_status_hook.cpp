#include "engine/site/site_status_hook.h"

#include <utility>

#include "engine/common/hook_slot.h"

namespace tf {

namespace {

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
