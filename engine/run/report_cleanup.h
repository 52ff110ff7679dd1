#pragma once

namespace tf {

class CSite;

// Removal of the report pictures that the report viewer leaves in the web
// folder's TempCharts: at most once every two hours for the whole process.
void CleanupReportFiles(CSite& site);

}  // namespace tf
