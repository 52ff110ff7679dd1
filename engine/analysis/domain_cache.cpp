#include "engine/analysis/domain_cache.h"

#include <memory>

#include "engine/common/text.h"

namespace tf {

CDomainCache::CDomainCache() = default;

CDomainCache::~CDomainCache() { Clear(); }

void CDomainCache::Unlink(DomainCacheEntry& entry) {
  (entry.previous != nullptr ? entry.previous->next : front_) = entry.next;
  (entry.next != nullptr ? entry.next->previous : back_) = entry.previous;
  entry.next = entry.previous = nullptr;
}

void CDomainCache::LinkFront(DomainCacheEntry& entry) {
  entry.previous = nullptr;
  entry.next = front_;
  (front_ != nullptr ? front_->previous : back_) = &entry;
  front_ = &entry;
}

bool CDomainCache::Lookup(std::uint32_t address, std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  DomainCacheEntry* entry = index_.Find(address);
  if (entry == nullptr) return false;
  Unlink(*entry);
  LinkFront(*entry);
  name = entry->name;
  return true;
}

void CDomainCache::Insert(std::uint32_t address, std::string_view name) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (DomainCacheEntry* cached = index_.Find(address)) {
    Unlink(*cached);
    LinkFront(*cached);
    return;
  }
  auto entry = std::make_unique<DomainCacheEntry>();
  entry->address = address;
  SafeCopy(entry->name, name, kNameSize);
  if (!index_.Insert(entry.get())) return;
  LinkFront(*entry.release());
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
  while (count_ > limit_ && back_ != nullptr) {
    DomainCacheEntry* oldest = back_;
    Unlink(*oldest);
    index_.Remove(oldest->address);
    delete oldest;
    --count_;
  }
}

void CDomainCache::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  index_.Clear();
  while (front_ != nullptr) {
    DomainCacheEntry* entry = front_;
    front_ = entry->next;
    delete entry;
  }
  back_ = nullptr;
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
