#include "engine/analysis/domain_translation.h"

namespace tf {

void WaitForTranslations(CSite&) {}
void ClearDomainCache(CSite&) {}

}  // namespace tf
