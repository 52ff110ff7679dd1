// The figures of a running analysis that other threads show while it runs
// (the console's status panel, the service's site status, the progress
// line of tf-analyze): counts and times the run writes on its own threads
// without a lock. Each is written and read whole, as one atomic value, so
// a reader sees a value at worst a moment old.
#pragma once

#include <atomic>
#include <type_traits>

namespace tf {

template <typename T>
T ReadFigure(const T& figure) {
  static_assert(std::atomic_ref<T>::is_always_lock_free);
  // Only read: the reference is const for the readers that hold the site so.
  return std::atomic_ref<T>(const_cast<T&>(figure)).load(std::memory_order_relaxed);
}

template <typename T>
void WriteFigure(T& figure, std::type_identity_t<T> value) {
  static_assert(std::atomic_ref<T>::is_always_lock_free);
  std::atomic_ref<T>(figure).store(value, std::memory_order_relaxed);
}

}  // namespace tf
