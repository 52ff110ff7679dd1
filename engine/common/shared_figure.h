// The figures of a running analysis that other threads show while it runs
// (the console's status panel, the service's site status, the progress
// line of tf-analyze): counts and times the run writes on its own threads
// without a lock. Each is written and read whole, as one atomic value, so
// a reader sees a value at worst a moment old.
#pragma once

#include <atomic>

namespace tf {

template <typename T>
T ReadFigure(T& figure) {
  return std::atomic_ref<T>(figure).load(std::memory_order_relaxed);
}

template <typename T, typename V>
void WriteFigure(T& figure, V value) {
  std::atomic_ref<T>(figure).store(static_cast<T>(value), std::memory_order_relaxed);
}

}  // namespace tf
