// The report that `tf-analyze --reports OUTDIR` writes after its run: one
// full report of the site over every day its database holds, made by the
// engine's report launching.
#pragma once

#include <string>

#include "engine/site/site.h"

namespace tf::bench {

// The report's name: its page is OUTDIR/report.html.
inline constexpr const char* kSiteReportName = "report";

// Registers the components that the report generator creates (the support
// component and the chart library) from the install folder `home` when
// their classes are not registered, as an installation would.
void RegisterReportComponents(const std::string& home);

// Writes the report into `folder` (made when missing, its parent must
// exist). True with the page's path in `page`; false with the engine's
// text of the failure in `failure`.
bool WriteSiteReport(CSite& site, const std::string& folder, std::string& page,
                     std::string& failure);

}  // namespace tf::bench
