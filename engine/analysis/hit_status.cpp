#include "engine/analysis/hit_status.h"

namespace tf {

void InitHitStatusIndex(CSite&) {}
void ClassifyHitStatus(CSite&, const CLogRecord&, CTextItem*) {}
void HitStatusFlush(CSite&) {}
void FreeHitStatusIndex(CSite&) {}

}  // namespace tf
