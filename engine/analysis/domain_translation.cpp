#include "engine/analysis/domain_translation.h"

namespace tf {

void QueueTranslationRequest(CSite&, const VisitorDayCounts&) {}
void StartDomainThreads() {}
void StopDomainThreads() {}
int BusyDomainThreads() { return 0; }
int CountDomainThreadSite(const CSite&) { return 0; }
void WaitForTranslations(CSite&) {}
void ClearDomainCache(CSite&) {}

}  // namespace tf
