#include "engine/site/path_index.h"

#include "engine/site/session_tables.h"

namespace tf {

namespace {

constexpr std::size_t kInitialSlots = 1024;

}  // namespace

std::size_t PathIndex::Hash(const CTextItem* from, const CTextItem* to) {
  // Items are allocated apart, so their low bits say little: both
  // references are mixed and the high bits of the product are used.
  std::uint64_t a = reinterpret_cast<std::uintptr_t>(from);
  std::uint64_t b = reinterpret_cast<std::uintptr_t>(to);
  std::uint64_t h = (a ^ (b * 0xC2B2AE3D27D4EB4Full)) * 0x9E3779B97F4A7C15ull;
  return static_cast<std::size_t>(h ^ (h >> 32));
}

CPathNode* PathIndex::Find(const CTextItem* from, const CTextItem* to) const {
  if (slots_.empty()) return nullptr;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = Hash(from, to) & mask;; i = (i + 1) & mask) {
    CPathNode* node = slots_[i];
    if (node == nullptr || (node->from == from && node->to == to)) return node;
  }
}

void PathIndex::Place(CPathNode* node) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = Hash(node->from, node->to) & mask;
  while (slots_[i] != nullptr) i = (i + 1) & mask;
  slots_[i] = node;
}

void PathIndex::Grow() {
  std::vector<CPathNode*> old(slots_.empty() ? kInitialSlots : 2 * slots_.size(), nullptr);
  old.swap(slots_);
  for (CPathNode* node : old) {
    if (node != nullptr) Place(node);
  }
}

void PathIndex::Insert(CPathNode* node) {
  if (2 * (count_ + 1) > slots_.size()) Grow();
  Place(node);
  ++count_;
}

void PathIndex::Clear() {
  std::vector<CPathNode*>().swap(slots_);
  count_ = 0;
}

}  // namespace tf
