#include "engine/common/owning_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tf {
namespace {

struct Node {
  explicit Node(int v, int* freed = nullptr) : value(v), freed_count(freed) {}
  ~Node() {
    if (freed_count != nullptr) ++*freed_count;
  }
  int value;
  int* freed_count;
  std::unique_ptr<Node> next;
  Node* previous = nullptr;
};

// The values front to back, checked against the back links.
std::vector<int> Values(const OwningList<Node>& list) {
  std::vector<int> forward;
  for (Node* n = list.front(); n != nullptr; n = n->next.get()) forward.push_back(n->value);
  std::vector<int> backward;
  for (Node* n = list.back(); n != nullptr; n = n->previous) {
    backward.insert(backward.begin(), n->value);
  }
  EXPECT_EQ(forward, backward) << "the back links match the owning ones";
  return forward;
}

TEST(OwningListTest, TakingFromEachPlaceKeepsTheRestLinked) {
  struct Case {
    int take;
    std::vector<int> rest;
  };
  for (const Case& c : {Case{1, {2, 3}}, Case{2, {1, 3}}, Case{3, {1, 2}}}) {
    OwningList<Node> list;
    list.PushBack(std::make_unique<Node>(2));
    list.PushBack(std::make_unique<Node>(3));
    list.PushFront(std::make_unique<Node>(1));
    Node* node = list.front();
    while (node->value != c.take) node = node->next.get();
    std::unique_ptr<Node> taken = list.Take(*node);
    EXPECT_EQ(taken.get(), node) << "the same node, not a copy";
    EXPECT_EQ(taken->next, nullptr);
    EXPECT_EQ(taken->previous, nullptr);
    EXPECT_EQ(Values(list), c.rest) << "took " << c.take;
  }
}

TEST(OwningListTest, TheLastNodeTakenLeavesAnEmptyListThatTakesNewOnes) {
  OwningList<Node> list;
  list.Take(list.PushFront(std::make_unique<Node>(1)));
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.back(), nullptr);
  list.PushBack(std::make_unique<Node>(2));
  EXPECT_EQ(Values(list), std::vector<int>{2});
}

TEST(OwningListTest, ClearFreesEveryNodeOfALongList) {
  // Long enough that freeing through nested destructors would overflow the stack.
  constexpr int kNodes = 1 << 20;
  int freed = 0;
  {
    OwningList<Node> list;
    for (int i = 0; i < kNodes; ++i) list.PushFront(std::make_unique<Node>(i, &freed));
  }
  EXPECT_EQ(freed, kNodes);
}

}  // namespace
}  // namespace tf
