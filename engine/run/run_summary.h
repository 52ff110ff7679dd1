// The statistics summary that ends every run's event log.
#pragma once

namespace tf {

class CSite;

void WriteRunSummary(CSite& site);

}  // namespace tf
