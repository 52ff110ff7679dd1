// The visitor index of a run: addresses to visitors in an open-addressing
// hash table. Every record looks its visitor up, and a tree over tens of
// thousands of visitors costs a cache miss per level; here a lookup is
// mostly one probe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tf {

struct CVisitor;

class VisitorIndex {
 public:
  CVisitor* Find(std::uint32_t address) const;
  // The address must not be present yet.
  void Insert(CVisitor* visitor);
  // The index of the visitors of the list (after some were removed).
  void Rebuild(CVisitor* list);
  void Clear();
  std::size_t Count() const { return count_; }

 private:
  std::size_t Slot(std::uint32_t address) const;
  void Grow();
  void Place(CVisitor* visitor);

  std::vector<CVisitor*> slots_;  // a power of two, at most half full
  std::size_t count_ = 0;
};

}  // namespace tf
