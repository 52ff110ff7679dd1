#include "engine/common/heap_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace tf {
namespace {

struct Item {
  int key;
  int id;
};

int Ascending(const Item* x, const Item* y, void*) { return x->key < y->key ? -1 : x->key > y->key; }

// Highest first, as the top-N selections use it; counts its calls through
// the context to show that the context is handed through.
int Descending(const Item* x, const Item* y, int* calls) {
  ++*calls;
  return x->key > y->key ? -1 : x->key < y->key;
}

TEST(HeapSortTest, ShortArraysStayAsTheyAre) {
  Item a{2, 0};
  Item* one[] = {&a};
  int calls = 0;
  HeapSortPointers(one, 1, Descending, &calls);
  HeapSortPointers(one, 0, Descending, &calls);
  EXPECT_EQ(one[0], &a);
  EXPECT_EQ(calls, 0);
}

TEST(HeapSortTest, SortsEverySizeAndKeepsEveryElement) {
  std::mt19937 random(7);
  for (int count = 2; count <= 70; ++count) {
    std::vector<Item> items;
    for (int i = 0; i < count; ++i) items.push_back({static_cast<int>(random() % 10), i});
    std::vector<Item*> refs;
    for (Item& item : items) refs.push_back(&item);

    HeapSortPointers(refs.data(), refs.size(), Ascending, nullptr);
    for (int i = 1; i < count; ++i) ASSERT_LE(refs[i - 1]->key, refs[i]->key) << count;

    int calls = 0;
    HeapSortPointers(refs.data(), refs.size(), Descending, &calls);
    for (int i = 1; i < count; ++i) ASSERT_GE(refs[i - 1]->key, refs[i]->key) << count;
    EXPECT_GT(calls, 0);

    std::vector<int> ids;
    for (Item* ref : refs) ids.push_back(ref->id);
    std::sort(ids.begin(), ids.end());
    for (int i = 0; i < count; ++i) ASSERT_EQ(ids[i], i);
  }
}

}  // namespace
}  // namespace tf
