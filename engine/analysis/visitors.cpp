#include "engine/analysis/visitors.h"

namespace tf {

void InitVisitorTable(CSite&) {}
void CountVisitsHour(CSite&) {}
void WriteVisitorIP(CSite&) {}
void CountVisitsDay(CSite&) {}
void PurgeInactiveVisitors(CSite&) {}
void ReleaseAll(CSite&) {}

}  // namespace tf
