#include "engine/analysis/click_paths.h"

namespace tf {

void InitPathTable(CSite&) {}
void PathFlushDay(CSite&) {}
void ReleasePaths(CSite&) {}

}  // namespace tf
