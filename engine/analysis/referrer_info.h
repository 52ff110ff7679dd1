// ReferrerInfo: what the referrer of one log record says (a referring site
// or a search engine, the referring page, the search phrase). Emptied before
// each record, filled by the referrer classification and taken over by the
// visitor's session.
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

  std::int32_t referrer_item_id = 0;   // 0: none
  std::int32_t referrer_category = 0;  // 302 referring site, 401 search engine
  std::string referring_page;
  std::string referrer_name;  // the referring host or the engine's name
  std::string search_phrase;

  // Empties every field; the texts keep their storage.
  void Clear() {
    referrer_item_id = 0;
    referrer_category = 0;
    referring_page.clear();
    referrer_name.clear();
    search_phrase.clear();
  }
};

}  // namespace tf
