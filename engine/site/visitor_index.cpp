#include "engine/site/visitor_index.h"

#include "engine/site/session_tables.h"

namespace tf {

namespace {

constexpr std::size_t kInitialSlots = 1024;

}  // namespace

std::size_t VisitorIndex::Slot(std::uint32_t address) const {
  // Fibonacci hashing spreads the neighbouring addresses of one network.
  std::uint64_t hash = address * 0x9E3779B97F4A7C15ull;
  return static_cast<std::size_t>(hash >> 32) & (slots_.size() - 1);
}

CVisitor* VisitorIndex::Find(std::uint32_t address) const {
  if (slots_.empty()) return nullptr;
  for (std::size_t i = Slot(address);; i = (i + 1) & (slots_.size() - 1)) {
    CVisitor* visitor = slots_[i];
    if (visitor == nullptr || visitor->address == address) return visitor;
  }
}

void VisitorIndex::Place(CVisitor* visitor) {
  std::size_t i = Slot(visitor->address);
  while (slots_[i] != nullptr) i = (i + 1) & (slots_.size() - 1);
  slots_[i] = visitor;
}

void VisitorIndex::Grow() {
  std::vector<CVisitor*> old(slots_.empty() ? kInitialSlots : slots_.size() * 2, nullptr);
  old.swap(slots_);
  for (CVisitor* visitor : old) {
    if (visitor != nullptr) Place(visitor);
  }
}

void VisitorIndex::Insert(CVisitor* visitor) {
  if (2 * (count_ + 1) > slots_.size()) Grow();
  Place(visitor);
  ++count_;
}

void VisitorIndex::Rebuild(CVisitor* list) {
  // Sized for the visitors that stay: a busy day's table is not kept for
  // the quiet days after it.
  std::size_t count = 0;
  for (CVisitor* visitor = list; visitor != nullptr; visitor = visitor->next.get()) ++count;
  std::size_t size = kInitialSlots;
  while (size < 4 * count) size *= 2;
  std::vector<CVisitor*>(size, nullptr).swap(slots_);
  for (CVisitor* visitor = list; visitor != nullptr; visitor = visitor->next.get()) Place(visitor);
  count_ = count;
}

void VisitorIndex::Clear() {
  std::vector<CVisitor*>().swap(slots_);
  count_ = 0;
}

}  // namespace tf
