// HeapSortPointers: sorts an array of references in place without
// allocating, for the top-N selections of a run (paths, visitors) and the
// FTP client's remote file list.
//
// compare(x, y, context) < 0 means x comes before y; afterwards compare never
// gives a positive value for an earlier element against a later one. The
// sort is not stable: equal elements end in no particular order.
#pragma once

#include <cstddef>
#include <utility>

namespace tf {

namespace heap_sort_detail {

// Sifts the element at 1-based position i down within positions 1..count;
// a[k - 1] is position k.
template <typename T, typename Compare, typename Context>
void SiftDown(T* a, std::size_t i, std::size_t count, Compare& compare, Context& context) {
  while (2 * i <= count) {
    std::size_t child = 2 * i;
    if (child < count && compare(a[child - 1], a[child], context) < 0) ++child;
    if (!(compare(a[i - 1], a[child - 1], context) < 0)) return;
    std::swap(a[i - 1], a[child - 1]);
    i = child;
  }
}

}  // namespace heap_sort_detail

template <typename T, typename Compare, typename Context>
void HeapSortPointers(T* array, std::size_t count, Compare compare, Context context) {
  if (count < 2) return;
  for (std::size_t i = count / 2; i >= 1; --i) {
    heap_sort_detail::SiftDown(array, i, count, compare, context);
  }
  for (std::size_t last = count; last > 1; --last) {
    std::swap(array[0], array[last - 1]);
    heap_sort_detail::SiftDown(array, 1, last - 1, compare, context);
  }
}

}  // namespace tf
