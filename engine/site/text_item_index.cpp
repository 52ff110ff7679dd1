#include "engine/site/text_item_index.h"

#include <functional>

#include "engine/site/text_item.h"

namespace tf {

namespace {

constexpr std::size_t kInitialSlots = 1024;

}  // namespace

std::uint64_t TextItemIndex::Hash(const TextItemKey& key) {
  std::uint64_t h = std::hash<std::string_view>{}(key.name);
  // The category's bits spread over the whole word, so that the same name
  // in two categories lands apart.
  h ^= (static_cast<std::uint64_t>(static_cast<std::uint32_t>(key.category)) + 1) *
       0x9E3779B97F4A7C15ull;
  return h ^ (h >> 29);
}

std::size_t TextItemIndex::Probe(const TextItemKey& key, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.item == nullptr) return i;
    if (slot.hash == hash && slot.item->category == key.category && slot.item->name == key.name) {
      return i;
    }
  }
}

CTextItem* TextItemIndex::Find(const TextItemKey& key) const {
  if (count_ == 0) return nullptr;
  return slots_[Probe(key, Hash(key))].item;
}

bool TextItemIndex::Insert(CTextItem* item) {
  if (2 * (count_ + 1) > slots_.size()) Grow();
  const TextItemKey key{item->category, item->name};
  const std::uint64_t hash = Hash(key);
  Slot& slot = slots_[Probe(key, hash)];
  if (slot.item != nullptr) return false;
  slot = Slot{hash, item};
  ++count_;
  return true;
}

void TextItemIndex::Clear() {
  slots_.clear();
  slots_.shrink_to_fit();
  count_ = 0;
}

void TextItemIndex::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? kInitialSlots : 2 * old.size(), Slot{});
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.item == nullptr) continue;
    std::size_t i = slot.hash & mask;
    while (slots_[i].item != nullptr) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

}  // namespace tf
