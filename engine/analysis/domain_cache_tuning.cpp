#include "engine/store/site.h"

namespace tf {

void CSite::TuneDomainCache() {}

}  // namespace tf
