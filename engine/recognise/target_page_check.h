// Whether a requested page is one of the site's target pages, for the
// sessions that count which target pages their visitors reached.
#pragma once

#include <cstdint>

namespace tf {

class CSite;
class CTextItem;

// The ItemID of the target-page item (category 412) of the first target
// page whose name equals the page's name without its leading '/'s, letters
// compared without regard to case; 0 when there is none. Takes the
// statistics lock, which a caller may hold already.
std::int32_t CheckTargetPage(CSite& site, const CTextItem* page);

}  // namespace tf
