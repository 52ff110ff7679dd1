#include "engine/common/avl_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <vector>

namespace tf {
namespace {

struct Entry {
  int key;
};

struct ByKey {
  int operator()(const Entry& a, const Entry& b) const { return (*this)(a.key, b); }
  int operator()(int key, const Entry& b) const { return key < b.key ? -1 : key > b.key ? 1 : 0; }
};

using Tree = CAvlTree<Entry, ByKey>;

std::vector<int> freed;
void RecordFree(Entry* entry) { freed.push_back(entry->key); }

// Walks the tree and checks order, balance codes and heights; returns the
// height and appends the keys in order.
int Check(const Tree::Node* node, std::vector<int>& keys) {
  if (node == nullptr) return 0;
  int left = Check(node->left(), keys);
  keys.push_back(node->item->key);
  int right = Check(node->right(), keys);
  int expected = left == right ? Tree::kEven : left > right ? Tree::kLeftHigh : Tree::kRightHigh;
  EXPECT_EQ(node->balance, expected) << "at key " << node->item->key;
  EXPECT_LE(std::abs(left - right), 1) << "at key " << node->item->key;
  return std::max(left, right) + 1;
}

std::vector<int> CheckedKeys(const Tree& tree) {
  std::vector<int> keys;
  Check(tree.Root(), keys);
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  EXPECT_EQ(keys.size(), tree.Count());
  return keys;
}

class AvlTreeTest : public ::testing::Test {
 protected:
  void SetUp() override { freed.clear(); }

  Entry* Make(int key) {
    entries_.push_back(std::make_unique<Entry>(Entry{key}));
    return entries_.back().get();
  }

  std::vector<std::unique_ptr<Entry>> entries_;
};

TEST_F(AvlTreeTest, InsertionOrdersRotateToBalancedRoot) {
  struct Case {
    std::vector<int> order;
    int root;
  };
  const Case cases[] = {
      {{1, 2, 3}, 2},                    // single left rotation
      {{3, 2, 1}, 2},                    // single right rotation
      {{3, 1, 2}, 2},                    // left-right double rotation
      {{1, 3, 2}, 2},                    // right-left double rotation
      {{5, 2, 8, 1, 4, 3}, 4},           // double rotation with a grandchild that leans left
      {{5, 2, 8, 9, 6, 7}, 6},           // and its mirror
      {{4, 2, 6, 1, 3, 5, 7, 8, 9}, 4},  // growth absorbed below the root
  };
  for (const Case& c : cases) {
    Tree tree(ByKey{}, RecordFree);
    for (int key : c.order) EXPECT_TRUE(tree.Insert(Make(key)));
    std::vector<int> sorted = c.order;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(CheckedKeys(tree), sorted);
    ASSERT_NE(tree.Root(), nullptr);
    EXPECT_EQ(tree.Root()->item->key, c.root);
    for (int key : c.order) EXPECT_EQ(tree.Find(key)->key, key);
    EXPECT_EQ(tree.Find(100), nullptr);
  }
  EXPECT_TRUE(freed.empty());
}

TEST_F(AvlTreeTest, EqualItemIsRefused) {
  Tree tree(ByKey{}, RecordFree);
  Entry* first = Make(7);
  EXPECT_TRUE(tree.Insert(first));
  EXPECT_FALSE(tree.Insert(Make(7)));
  EXPECT_EQ(tree.Count(), 1u);
  EXPECT_EQ(tree.Find(7), first);
}

TEST_F(AvlTreeTest, RemoveFreesOnlyTheRemovedItem) {
  Tree tree;
  tree.SetCallbacks(ByKey{}, RecordFree);
  EXPECT_FALSE(tree.Remove(1));  // empty tree
  for (int key : {2, 1, 3}) tree.Insert(Make(key));

  EXPECT_TRUE(tree.Remove(2));  // the root: its predecessor moves up
  EXPECT_EQ(freed, std::vector<int>{2});
  EXPECT_EQ(CheckedKeys(tree), (std::vector<int>{1, 3}));
  EXPECT_EQ(tree.Root()->item->key, 1);

  EXPECT_FALSE(tree.Remove(2));
  EXPECT_EQ(freed.size(), 1u);
  EXPECT_TRUE(tree.Remove(3));
  EXPECT_TRUE(tree.Remove(1));
  EXPECT_EQ(freed, (std::vector<int>{2, 3, 1}));
  EXPECT_TRUE(tree.Empty());
  EXPECT_EQ(tree.Root(), nullptr);
}

TEST_F(AvlTreeTest, RemovalRebalancesUpThePath) {
  // Each case removes one key from a tree built by inserting in order and
  // needs the rebalance named.
  struct Case {
    std::vector<int> build;
    int remove;
    int root;
  };
  const Case cases[] = {
      {{2, 1, 3, 4}, 1, 3},           // single rotation, height shrinks
      {{2, 1, 4, 3, 5}, 1, 4},        // single rotation onto an even child, height kept
      {{3, 1, 5, 4}, 1, 4},           // double rotation
      {{3, 2, 5, 1}, 5, 2},           // mirror single rotation
      {{3, 1, 4, 2}, 4, 2},           // mirror double rotation
      {{5, 3, 8, 2, 4, 7, 10, 1, 6, 9, 11, 12}, 5, 8},  // inner node, predecessor path
      {{5, 3, 8, 2, 4, 7, 10, 1, 6, 9, 11, 12}, 2, 8},  // shrink propagates to the root
  };
  for (const Case& c : cases) {
    Tree tree(ByKey{}, RecordFree);
    for (int key : c.build) tree.Insert(Make(key));
    freed.clear();
    EXPECT_TRUE(tree.Remove(c.remove));
    EXPECT_EQ(freed, std::vector<int>{c.remove});
    std::vector<int> expected = c.build;
    expected.erase(std::find(expected.begin(), expected.end(), c.remove));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(CheckedKeys(tree), expected) << "removing " << c.remove;
    EXPECT_EQ(tree.Root()->item->key, c.root) << "removing " << c.remove;
  }
}

TEST_F(AvlTreeTest, RandomOperationsMatchStdSet) {
  std::mt19937 random(20070107);
  std::vector<Entry> pool(600);
  for (int i = 0; i < 600; ++i) pool[i].key = i;
  Tree tree(ByKey{}, RecordFree);
  std::set<int> model;
  for (int step = 0; step < 20000; ++step) {
    int key = static_cast<int>(random() % pool.size());
    if (random() % 3 != 0) {
      EXPECT_EQ(tree.Insert(&pool[key]), model.insert(key).second);
    } else {
      freed.clear();
      bool present = model.erase(key) == 1;
      EXPECT_EQ(tree.Remove(key), present);
      EXPECT_EQ(freed, present ? std::vector<int>{key} : std::vector<int>{});
    }
    if (step % 97 == 0) {
      EXPECT_EQ(CheckedKeys(tree), std::vector<int>(model.begin(), model.end()));
    }
    ASSERT_FALSE(HasFailure()) << "step " << step;
  }
  EXPECT_EQ(CheckedKeys(tree), std::vector<int>(model.begin(), model.end()));
}

TEST_F(AvlTreeTest, ClearFreesNodesButNoItems) {
  std::vector<Entry> items(10000);
  Tree tree(ByKey{}, RecordFree);
  for (int i = 0; i < 10000; ++i) {
    items[i].key = (i * 7919) % 10000;
    ASSERT_TRUE(tree.Insert(&items[i]));
  }
  CheckedKeys(tree);
  tree.Clear();
  EXPECT_TRUE(freed.empty());
  EXPECT_EQ(tree.Count(), 0u);
  EXPECT_EQ(tree.Root(), nullptr);
  EXPECT_EQ(tree.Find(5), nullptr);
  EXPECT_TRUE(tree.Insert(&items[0]));  // usable again
}

}  // namespace
}  // namespace tf
