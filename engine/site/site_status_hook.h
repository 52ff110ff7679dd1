// NotifySiteStatus: the one notification that a site's state, status text or
// error text changed. The program supplies the handler (the service
// broadcasts the site's status to its clients, the console refreshes its
// row); without one nothing happens. It is called on whichever thread made
// the change, outside the site's own locks, so a handler may read the site.
//
// SiteError: told every error text a site takes (CSite::SetError), after
// its status notification; the service writes it to its own event log.
#pragma once

#include <functional>
#include <string_view>

namespace tf {

class CSite;

using SiteStatusHandler = std::function<void(CSite& site)>;
using SiteErrorHandler = std::function<void(CSite& site, std::string_view error)>;

// Installs the handler (an empty one removes it) and returns the one it
// replaces.
SiteStatusHandler SetSiteStatusHandler(SiteStatusHandler handler);
SiteErrorHandler SetSiteErrorHandler(SiteErrorHandler handler);

void NotifySiteStatus(CSite& site);
void SiteError(CSite& site, std::string_view error);

}  // namespace tf
