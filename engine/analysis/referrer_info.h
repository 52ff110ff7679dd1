// What the referrer of one log record says, for the visitor's session:
// emptied before each record, filled by the referrer classification (a
// referring site, or a search engine with its search phrase), and taken
// over by the session the record belongs to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tf {

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
