#include "engine/site/search_referrer_memo.h"

namespace tf {

namespace {

// What one answer costs besides its texts: its map node and slot.
constexpr std::size_t kEntryOverhead = 128;

}  // namespace

SearchReferrerMemo::Answer* SearchReferrerMemo::Find(std::string_view referrer, std::uint64_t list_state,
                                                     std::uint32_t search_stats) {
  if (list_state != list_state_ || search_stats != search_stats_) {
    Release();
    list_state_ = list_state;
    search_stats_ = search_stats;
    return nullptr;
  }
  auto found = answers_.find(referrer);
  return found == answers_.end() ? nullptr : &found->second;
}

void SearchReferrerMemo::Remember(std::string_view referrer, Answer answer) {
  std::size_t cost = referrer.size() + answer.name.size() + answer.phrase.size() + kEntryOverhead;
  if (bytes_ + cost > byte_limit_) Release();
  if (answers_.try_emplace(std::string(referrer), std::move(answer)).second) bytes_ += cost;
}

void SearchReferrerMemo::Release() {
  // Swapped out, not cleared, so that the buckets go too.
  std::unordered_map<std::string, Answer, StringHash, std::equal_to<>>().swap(answers_);
  bytes_ = 0;
}

}  // namespace tf
