// NotifySiteStatus: the one notification that a site's state, status text or
// error text changed. The program supplies the handler (the service
// broadcasts the site's status to its clients, the console refreshes its
// row); without one nothing happens. It is called on whichever thread made
// the change, outside the site's own locks, so a handler may read the site.
#pragma once

#include <functional>

namespace tf {

class CSite;

using SiteStatusHandler = std::function<void(CSite& site)>;

// Installs the handler (an empty one removes it) and returns the one it
// replaces.
SiteStatusHandler SetSiteStatusHandler(SiteStatusHandler handler);

void NotifySiteStatus(CSite& site);

}  // namespace tf
