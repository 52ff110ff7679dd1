// What the search-engine analysis answered for the referrers one run met,
// so that a repeated referrer (most of them: a site's own pages and a few
// engines) skips the parsing.
//
// An answer depends on the referrer text, the search statistics the site
// counts and the engine list. The list is shared by every site's run and
// only grows, but a growth can change answers both ways: a host that was
// no engine may be learned as one from another of its referrers, and a key
// learned for a known engine may give a phrase to a referrer that had
// none. So the memo holds answers for one state of the list only and
// forgets them all when the list has changed; learning is rare, so it
// fills again at once.
//
// Memory stays bounded: once the remembered answers would pass the byte
// limit, the memo starts over. Belongs to one run's thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/common/string_hash.h"

namespace tf {

class SearchReferrerMemo {
 public:
  static constexpr std::size_t kDefaultByteLimit = 4u << 20;

  struct Answer {
    bool engine = false;
    std::string name;    // the engine's name
    std::string phrase;  // the search phrase, or empty
    // The engine's item of the run, once it was looked up for this answer:
    // a repeated referrer then skips the lookup.
    bool item_found = false;
    std::int32_t item_id = 0;
    std::int32_t item_category = 0;
  };

  explicit SearchReferrerMemo(std::size_t byte_limit = kDefaultByteLimit) : byte_limit_(byte_limit) {}

  // The answer remembered for the referrer under this state of the engine
  // list (search_engine_changes) and these search statistics bits, or
  // nullptr. Forgets everything remembered under another state. The answer
  // stays valid until the next Remember or Release.
  Answer* Find(std::string_view referrer, std::uint64_t list_state, std::uint32_t search_stats);
  // Remembers an answer worked out under the state of the last Find; an
  // answer worked out while the list changed must not be given.
  void Remember(std::string_view referrer, Answer answer);
  void Release();

  std::size_t size() const { return answers_.size(); }

 private:
  const std::size_t byte_limit_;
  std::unordered_map<std::string, Answer, StringHash, std::equal_to<>> answers_;
  std::size_t bytes_ = 0;
  std::uint64_t list_state_ = 0;
  std::uint32_t search_stats_ = 0;
};

}  // namespace tf
