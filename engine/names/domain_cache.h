// CDomainCache: a site's recently translated addresses with their names, so
// that a visitor seen again on a later day costs no reverse lookup. Bounded
// by a limit; the least recently used entries go first.
//
// Names are copied in and out under the cache's lock, so no caller ever
// holds an entry that a trim or a clear could free.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "engine/common/avl_tree.h"
#include "engine/common/owning_list.h"

namespace tf {

struct DomainCacheEntry {
  std::unique_ptr<DomainCacheEntry> next;  // toward the least recently used
  DomainCacheEntry* previous = nullptr;
  std::uint32_t address = 0;
  std::string name;  // at most 99 bytes
};

class CDomainCache {
 public:
  static constexpr std::int32_t kDefaultLimit = 10000;
  static constexpr std::size_t kNameSize = 100;

  CDomainCache();
  ~CDomainCache();
  CDomainCache(const CDomainCache&) = delete;
  CDomainCache& operator=(const CDomainCache&) = delete;

  // The cached name of the address, which becomes the most recently used.
  bool Lookup(std::uint32_t address, std::string& name);
  // A new address goes in front; a cached one keeps its name and only moves
  // to the front. Then the cache is trimmed to its limit.
  void Insert(std::uint32_t address, std::string_view name);
  void SetLimit(std::int32_t limit);
  // Drops the least recently used entries while there are more than the
  // limit.
  void Trim();
  void Clear();

  std::int32_t Count() const;
  std::int32_t Limit() const;

 private:
  struct AddressOrder {
    int operator()(std::uint32_t a, const DomainCacheEntry& b) const {
      return a < b.address ? -1 : a > b.address ? 1 : 0;
    }
    int operator()(const DomainCacheEntry& a, const DomainCacheEntry& b) const {
      return (*this)(a.address, b);
    }
  };
  void MoveToFront(DomainCacheEntry& entry);
  void TrimLocked();

  mutable std::mutex mutex_;
  OwningList<DomainCacheEntry> entries_;  // the most recently used first
  std::int32_t count_ = 0;
  std::int32_t limit_ = kDefaultLimit;
  CAvlTree<DomainCacheEntry, AddressOrder> index_;
};

}  // namespace tf
