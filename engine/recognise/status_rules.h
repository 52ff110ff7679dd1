// Which HTTP status codes the analysis counts, and under what key. A site
// selects status classes by two bit masks: StatusStoreCount (which classes
// are counted at all) and StatusStorePage (for which of them the requested
// page is kept; otherwise all hits of a code share one count per day).
#pragma once

#include <cstdint>
#include <optional>

#include "engine/site/hit_status_table.h"

namespace tf {

enum HitStatusClass : std::int32_t {
  kStatusCached = 0x1,        // 304
  kStatusRedirected = 0x2,    // 300 to 399 but 304, counted as 300
  kStatusNotFound = 0x4,      // 404
  kStatusRequestError = 0x8,  // 400 to 499 but 404
  kStatusServerError = 0x10,  // 500 to 599
  kStatusPartial = 0x20,      // 206
};

// Default of both masks: not found, request and server errors, partial
// content.
constexpr std::int32_t kDefaultStatusMask = 0x3C;

// The class of a status code; 0 for codes that are never counted (below
// 300 but 206, 600 and above).
std::int32_t HitStatusClassOf(std::int32_t status);

// The key under which one hit is counted, or nothing when its class is
// not selected in store_count.
std::optional<HitStatusKey> HitStatusKeyOf(std::int32_t status, std::int32_t page_item_id,
                                           std::int32_t store_count, std::int32_t store_page);

}  // namespace tf
