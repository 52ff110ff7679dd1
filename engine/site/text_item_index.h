// The index of a run's text items by category and name (byte by byte,
// case-sensitive). Every record of a run looks up its page, and every
// session its referrer and agent items, so the lookup is a hash probe:
// an ordered tree cost a dozen name comparisons per lookup on a busy site.
//
// Open addressing with linear probing; each slot keeps the key's hash, so
// that a probe touches an item only when the hashes agree. The index holds
// pointers only: the item table owns the items. It has no lock: its owner's
// lock guards it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tf {

class CTextItem;

// What the item index is searched with: no copy of the name is made.
struct TextItemKey {
  std::int32_t category;
  std::string_view name;
};

class TextItemIndex {
 public:
  // The item of the key, or nullptr.
  CTextItem* Find(const TextItemKey& key) const;
  // False when an item of the same key is present; the index is then
  // unchanged. The item's name must not change while it is indexed.
  bool Insert(CTextItem* item);
  // Forgets every item without freeing it.
  void Clear();
  std::size_t size() const { return count_; }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    CTextItem* item = nullptr;
  };

  static std::uint64_t Hash(const TextItemKey& key);
  // The slot of the key, or the empty slot where it would go.
  std::size_t Probe(const TextItemKey& key, std::uint64_t hash) const;
  void Grow();

  std::vector<Slot> slots_;  // a power of two in size, at most half full
  std::size_t count_ = 0;
};

}  // namespace tf
