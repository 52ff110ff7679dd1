// The index of a run's click-path steps by their two pages. Every closed
// session looks up each of its steps, and heavy sessions have hundreds; a
// tree over a day's hundreds of thousands of steps cost a cache miss per
// level, where a hash probe mostly touches one slot.
//
// Open addressing with linear probing on the two page references; the
// index holds pointers only: the session tables own the steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tf {

class CTextItem;
struct CPathNode;

class PathIndex {
 public:
  // The step from one page to the next, or nullptr.
  CPathNode* Find(const CTextItem* from, const CTextItem* to) const;
  // The step's pages must not be present yet, nor change while it is indexed.
  void Insert(CPathNode* node);
  // Forgets every step without freeing it.
  void Clear();
  std::size_t size() const { return count_; }

 private:
  static std::size_t Hash(const CTextItem* from, const CTextItem* to);
  void Place(CPathNode* node);
  void Grow();

  std::vector<CPathNode*> slots_;  // a power of two in size, at most half full
  std::size_t count_ = 0;
};

}  // namespace tf
