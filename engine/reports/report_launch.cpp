// Until the report generator is joined to the engine, no report can be
// produced: a site with a report folder gets the text of a generator that
// cannot be created.
#include "engine/reports/report_launch.h"

#include "engine/common/text.h"
#include "engine/store/site.h"

namespace tf {

bool GenerateReports(CSite& site, std::string& result, std::size_t size) {
  SafeCopy(result,
           site.settings.RepDirectory.empty() ? "No directory was specified for reports"
                                              : "TFReportCOM.dll is not registered",
           size);
  return false;
}

}  // namespace tf
