// CAvlTree: the engine's ordered index. A height-balanced binary search tree
// over items it neither owns nor copies; it holds pointers to them, one
// fixed-size node per item.
//
// Compare is a function object called as compare(a, b) with b an item and a
// either an item (Insert) or any key type the compare accepts (Find, Remove);
// it returns a negative number when a sorts before b, 0 when they are equal
// and a positive number after. Keys are unique.
//
// The tree has no lock: its owner's lock guards it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace tf {

template <typename Item, typename Compare>
class CAvlTree {
 public:
  // Called with the item of a removed key; never by Clear.
  using FreeCallback = void (*)(Item*);

  // Balance codes: which subtree is one higher.
  static constexpr std::uint8_t kEven = 0;
  static constexpr std::uint8_t kLeftHigh = 1;
  static constexpr std::uint8_t kRightHigh = 2;

  struct Node {
    Node* left;
    Node* right;
    Item* item;
    std::uint8_t balance;
  };

  CAvlTree() = default;
  explicit CAvlTree(Compare compare, FreeCallback free = nullptr)
      : compare_(std::move(compare)), free_(free) {}
  ~CAvlTree() { Clear(); }
  CAvlTree(const CAvlTree&) = delete;
  CAvlTree& operator=(const CAvlTree&) = delete;

  // Forgets the nodes without freeing them and drops the free callback;
  // for a tree whose nodes were never allocated or were already cleared.
  void Init() {
    root_ = nullptr;
    count_ = 0;
    free_ = nullptr;
  }

  void SetCallbacks(Compare compare, FreeCallback free) {
    compare_ = std::move(compare);
    free_ = free;
  }

  // False when an equal item is present or no node can be allocated; the
  // tree is then unchanged.
  bool Insert(Item* item) {
    bool inserted = false;
    InsertAt(root_, item, inserted);
    return inserted;
  }

  template <typename Key>
  Item* Find(const Key& key) const {
    const Node* node = root_;
    while (node != nullptr) {
      int order = compare_(key, *node->item);
      if (order == 0) return node->item;
      node = order < 0 ? node->left : node->right;
    }
    return nullptr;
  }

  // False for an empty tree or a key not present. The removed key's item
  // goes to the free callback once.
  template <typename Key>
  bool Remove(const Key& key) {
    Item* removed = nullptr;
    RemoveAt(root_, key, removed);
    if (removed == nullptr) return false;
    if (free_ != nullptr) free_(removed);
    return true;
  }

  // Frees every node; the items stay with their owner.
  void Clear() {
    FreeNodes(root_);
    root_ = nullptr;
    count_ = 0;
  }

  std::size_t Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  // Read-only view of the structure, for checks of the balance.
  const Node* Root() const { return root_; }

 private:
  // What a step reports to its caller.
  enum Change { kNone = 0, kSameHeight = 1, kHeightChanged = 2 };

  Change InsertAt(Node*& slot, Item* item, bool& inserted) {
    if (slot == nullptr) {
      Node* node = new (std::nothrow) Node{nullptr, nullptr, item, kEven};
      if (node == nullptr) return kNone;
      slot = node;
      ++count_;
      inserted = true;
      return kHeightChanged;
    }
    int order = compare_(*item, *slot->item);
    if (order == 0) return kNone;
    if (order < 0) {
      Change change = InsertAt(slot->left, item, inserted);
      return change == kHeightChanged ? GrewLeft(slot) : change;
    }
    Change change = InsertAt(slot->right, item, inserted);
    return change == kHeightChanged ? GrewRight(slot) : change;
  }

  template <typename Key>
  Change RemoveAt(Node*& slot, const Key& key, Item*& removed) {
    Node* node = slot;
    if (node == nullptr) return kNone;
    int order = compare_(key, *node->item);
    if (order < 0) {
      Change change = RemoveAt(node->left, key, removed);
      return change == kHeightChanged ? ShrankLeft(slot) : change;
    }
    if (order > 0) {
      Change change = RemoveAt(node->right, key, removed);
      return change == kHeightChanged ? ShrankRight(slot) : change;
    }

    removed = node->item;
    if (node->left != nullptr) {
      Node* child = node->left;
      bool lower;
      if (child->right == nullptr) {
        node->item = child->item;
        node->left = child->left;
        delete child;
        lower = true;
      } else {
        lower = TakeRightmost(node->left, node->item) == kHeightChanged;
      }
      --count_;
      return lower ? ShrankLeft(slot) : kSameHeight;
    }
    if (node->right != nullptr) {
      Node* child = node->right;
      bool lower;
      if (child->left == nullptr) {
        node->item = child->item;
        node->right = child->right;
        delete child;
        lower = true;
      } else {
        lower = TakeLeftmost(node->right, node->item) == kHeightChanged;
      }
      --count_;
      return lower ? ShrankRight(slot) : kSameHeight;
    }
    delete node;
    slot = nullptr;
    --count_;
    return kHeightChanged;
  }

  // Unlinks the rightmost node below slot, handing its item out.
  Change TakeRightmost(Node*& slot, Item*& item) {
    Node* node = slot;
    if (node->right != nullptr) {
      Change change = TakeRightmost(node->right, item);
      return change == kHeightChanged ? ShrankRight(slot) : change;
    }
    item = node->item;
    slot = node->left;
    delete node;
    return kHeightChanged;
  }

  Change TakeLeftmost(Node*& slot, Item*& item) {
    Node* node = slot;
    if (node->left != nullptr) {
      Change change = TakeLeftmost(node->left, item);
      return change == kHeightChanged ? ShrankLeft(slot) : change;
    }
    item = node->item;
    slot = node->right;
    delete node;
    return kHeightChanged;
  }

  static Node* RotateRight(Node*& slot) {
    Node* node = slot;
    Node* left = node->left;
    node->left = left->right;
    left->right = node;
    slot = left;
    return left;
  }

  static Node* RotateLeft(Node*& slot) {
    Node* node = slot;
    Node* right = node->right;
    node->right = right->left;
    right->left = node;
    slot = right;
    return right;
  }

  // The left subtree of slot became one higher.
  static Change GrewLeft(Node*& slot) {
    Node* node = slot;
    switch (node->balance) {
      case kRightHigh:
        node->balance = kEven;
        return kSameHeight;
      case kEven:
        node->balance = kLeftHigh;
        return kHeightChanged;
    }
    Node* left = node->left;
    if (left->balance == kLeftHigh) {
      RotateRight(slot);
      node->balance = kEven;
      left->balance = kEven;
      return kSameHeight;
    }
    Node* grand = left->right;
    RotateLeft(node->left);
    RotateRight(slot);
    node->balance = grand->balance == kLeftHigh ? kRightHigh : kEven;
    left->balance = grand->balance == kRightHigh ? kLeftHigh : kEven;
    grand->balance = kEven;
    return kSameHeight;
  }

  static Change GrewRight(Node*& slot) {
    Node* node = slot;
    switch (node->balance) {
      case kLeftHigh:
        node->balance = kEven;
        return kSameHeight;
      case kEven:
        node->balance = kRightHigh;
        return kHeightChanged;
    }
    Node* right = node->right;
    if (right->balance == kRightHigh) {
      RotateLeft(slot);
      node->balance = kEven;
      right->balance = kEven;
      return kSameHeight;
    }
    Node* grand = right->left;
    RotateRight(node->right);
    RotateLeft(slot);
    node->balance = grand->balance == kRightHigh ? kLeftHigh : kEven;
    right->balance = grand->balance == kLeftHigh ? kRightHigh : kEven;
    grand->balance = kEven;
    return kSameHeight;
  }

  // The left subtree of slot became one lower.
  static Change ShrankLeft(Node*& slot) {
    Node* node = slot;
    switch (node->balance) {
      case kLeftHigh:
        node->balance = kEven;
        return kHeightChanged;
      case kEven:
        node->balance = kRightHigh;
        return kSameHeight;
    }
    Node* right = node->right;
    if (right->balance == kEven) {
      RotateLeft(slot);
      node->balance = kRightHigh;
      right->balance = kLeftHigh;
      return kSameHeight;
    }
    if (right->balance == kRightHigh) {
      RotateLeft(slot);
      node->balance = kEven;
      right->balance = kEven;
      return kHeightChanged;
    }
    Node* grand = right->left;
    RotateRight(node->right);
    RotateLeft(slot);
    node->balance = grand->balance == kRightHigh ? kLeftHigh : kEven;
    right->balance = grand->balance == kLeftHigh ? kRightHigh : kEven;
    grand->balance = kEven;
    return kHeightChanged;
  }

  static Change ShrankRight(Node*& slot) {
    Node* node = slot;
    switch (node->balance) {
      case kRightHigh:
        node->balance = kEven;
        return kHeightChanged;
      case kEven:
        node->balance = kLeftHigh;
        return kSameHeight;
    }
    Node* left = node->left;
    if (left->balance == kEven) {
      RotateRight(slot);
      node->balance = kLeftHigh;
      left->balance = kRightHigh;
      return kSameHeight;
    }
    if (left->balance == kLeftHigh) {
      RotateRight(slot);
      node->balance = kEven;
      left->balance = kEven;
      return kHeightChanged;
    }
    Node* grand = left->right;
    RotateLeft(node->left);
    RotateRight(slot);
    node->balance = grand->balance == kLeftHigh ? kRightHigh : kEven;
    left->balance = grand->balance == kRightHigh ? kLeftHigh : kEven;
    grand->balance = kEven;
    return kHeightChanged;
  }

  static void FreeNodes(Node* node) {
    while (node != nullptr) {
      FreeNodes(node->left);
      Node* right = node->right;
      delete node;
      node = right;
    }
  }

  Node* root_ = nullptr;
  std::size_t count_ = 0;
  Compare compare_{};
  FreeCallback free_ = nullptr;
};

}  // namespace tf
