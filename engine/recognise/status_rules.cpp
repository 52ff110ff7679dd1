#include "engine/recognise/status_rules.h"

namespace tf {

std::int32_t HitStatusClassOf(std::int32_t status) {
  if (status == 206) return kStatusPartial;
  if (status == 304) return kStatusCached;
  if (status == 404) return kStatusNotFound;
  if (status >= 300 && status < 400) return kStatusRedirected;
  if (status >= 400 && status < 500) return kStatusRequestError;
  if (status >= 500 && status < 600) return kStatusServerError;
  return 0;
}

std::optional<HitStatusKey> HitStatusKeyOf(std::int32_t status, std::int32_t page_item_id,
                                           std::int32_t store_count, std::int32_t store_page) {
  const std::int32_t status_class = HitStatusClassOf(status);
  if (status_class == 0 || (store_count & status_class) == 0) return std::nullopt;
  HitStatusKey key;
  key.status_code = status_class == kStatusRedirected ? 300 : status;
  key.item_id = (store_page & status_class) != 0 ? page_item_id : 0;
  return key;
}

}  // namespace tf
