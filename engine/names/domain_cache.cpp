#include "engine/names/domain_cache.h"

#include <memory>

#include "engine/common/text.h"

namespace tf {

CDomainCache::CDomainCache() = default;

CDomainCache::~CDomainCache() { Clear(); }

void CDomainCache::MoveToFront(DomainCacheEntry& entry) {
  if (&entry != entries_.front()) entries_.PushFront(entries_.Take(entry));
}

bool CDomainCache::Lookup(std::uint32_t address, std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  DomainCacheEntry* entry = index_.Find(address);
  if (entry == nullptr) return false;
  MoveToFront(*entry);
  name = entry->name;
  return true;
}

void CDomainCache::Insert(std::uint32_t address, std::string_view name) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (DomainCacheEntry* cached = index_.Find(address)) {
    MoveToFront(*cached);
    return;
  }
  auto entry = std::make_unique<DomainCacheEntry>();
  entry->address = address;
  SafeCopy(entry->name, name, kNameSize);
  if (!index_.Insert(entry.get())) return;
  entries_.PushFront(std::move(entry));
  ++count_;
  TrimLocked();
}

void CDomainCache::SetLimit(std::int32_t limit) {
  std::lock_guard<std::mutex> lock(mutex_);
  limit_ = limit;
  TrimLocked();
}

void CDomainCache::Trim() {
  std::lock_guard<std::mutex> lock(mutex_);
  TrimLocked();
}

void CDomainCache::TrimLocked() {
  while (count_ > limit_ && !entries_.empty()) {
    std::unique_ptr<DomainCacheEntry> oldest = entries_.Take(*entries_.back());
    index_.Remove(oldest->address);
    --count_;
  }
}

void CDomainCache::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  index_.Clear();
  entries_.Clear();
  count_ = 0;
}

std::int32_t CDomainCache::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return count_;
}

std::int32_t CDomainCache::Limit() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return limit_;
}

}  // namespace tf
