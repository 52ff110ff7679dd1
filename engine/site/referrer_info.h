// What the referrer of one log record says, for the visitor's session:
// emptied before each record, filled by the referrer classification (a
// referring site, or a search engine with its search phrase), and taken
// over by the session the record belongs to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/site/item_category.h"

namespace tf {

// The referring site of a record whose referrer is absent (empty or "-"):
// counted as a site of its own, but no origin that opens or changes a visit.
inline constexpr std::string_view kUnknownOrigin = "(unknown origin)";

// Whether a referrer names where a visit came from: it has an item and is
// not the stand-in of an absent one.
inline bool IsKnownOrigin(std::int32_t item_id, std::int32_t category, std::string_view name) {
  return item_id != 0 && !(category == kCategoryReferringSite && name == kUnknownOrigin);
}

struct ReferrerInfo {
  // Longest text of each field, in bytes.
  static constexpr std::size_t kReferringPageMax = 199;
  static constexpr std::size_t kReferrerNameMax = 99;
  static constexpr std::size_t kSearchPhraseMax = 149;

  std::int32_t referrer_item_id = 0;  // 0: no referrer
  std::int32_t referrer_category = 0;  // referring site (302) or search engine (401)
  std::string referring_page;
  std::string referrer_name;  // the referring host or the engine's name
  std::string search_phrase;

  void Clear() {
    referrer_item_id = 0;
    referrer_category = 0;
    referring_page.clear();
    referrer_name.clear();
    search_phrase.clear();
  }
};

}  // namespace tf
