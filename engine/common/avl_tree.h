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

  // Children are link[kLeft] and link[kRight]; the mirror-image cases of
  // the rebalancing share their code through the side index.
  struct Node {
    Node* link[2];
    Item* item;
    std::uint8_t balance;

    const Node* left() const { return link[0]; }
    const Node* right() const { return link[1]; }
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
      node = node->link[order < 0 ? 0 : 1];
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
  static constexpr int kLeft = 0;
  static constexpr int kRight = 1;

  // The balance code of a node whose side subtree is the higher one.
  static constexpr std::uint8_t High(int side) { return side == kLeft ? kLeftHigh : kRightHigh; }

  Change InsertAt(Node*& slot, Item* item, bool& inserted) {
    if (slot == nullptr) {
      Node* node = new (std::nothrow) Node{{nullptr, nullptr}, item, kEven};
      if (node == nullptr) return kNone;
      slot = node;
      ++count_;
      inserted = true;
      return kHeightChanged;
    }
    int order = compare_(*item, *slot->item);
    if (order == 0) return kNone;
    int side = order < 0 ? kLeft : kRight;
    Change change = InsertAt(slot->link[side], item, inserted);
    return change == kHeightChanged ? Grew(slot, side) : change;
  }

  template <typename Key>
  Change RemoveAt(Node*& slot, const Key& key, Item*& removed) {
    Node* node = slot;
    if (node == nullptr) return kNone;
    int order = compare_(key, *node->item);
    if (order != 0) {
      int side = order < 0 ? kLeft : kRight;
      Change change = RemoveAt(node->link[side], key, removed);
      return change == kHeightChanged ? Shrank(slot, side) : change;
    }

    removed = node->item;
    if (node->link[kLeft] == nullptr && node->link[kRight] == nullptr) {
      delete node;
      slot = nullptr;
      --count_;
      return kHeightChanged;
    }
    // The in-order predecessor, or the successor when there is no left
    // subtree, moves its item into this node.
    int side = node->link[kLeft] != nullptr ? kLeft : kRight;
    Node* child = node->link[side];
    bool lower;
    if (child->link[1 - side] == nullptr) {
      node->item = child->item;
      node->link[side] = child->link[side];
      delete child;
      lower = true;
    } else {
      lower = TakeOutermost(node->link[side], 1 - side, node->item) == kHeightChanged;
    }
    --count_;
    return lower ? Shrank(slot, side) : kSameHeight;
  }

  // Unlinks the last node below slot towards side, handing its item out.
  Change TakeOutermost(Node*& slot, int side, Item*& item) {
    Node* node = slot;
    if (node->link[side] != nullptr) {
      Change change = TakeOutermost(node->link[side], side, item);
      return change == kHeightChanged ? Shrank(slot, side) : change;
    }
    item = node->item;
    slot = node->link[1 - side];
    delete node;
    return kHeightChanged;
  }

  // Lifts the child on side into slot (a right rotation for the left child).
  static void Lift(Node*& slot, int side) {
    Node* node = slot;
    Node* child = node->link[side];
    node->link[side] = child->link[1 - side];
    child->link[1 - side] = node;
    slot = child;
  }

  // The double rotation: the child's inner grandchild becomes the subtree
  // root; returns its balance from before.
  static std::uint8_t LiftInnerGrandchild(Node*& slot, int side) {
    Node* grand = slot->link[side]->link[1 - side];
    std::uint8_t balance = grand->balance;
    Lift(slot->link[side], 1 - side);
    Lift(slot, side);
    grand->balance = kEven;
    return balance;
  }

  // The subtree on side of slot became one higher.
  static Change Grew(Node*& slot, int side) {
    Node* node = slot;
    int other = 1 - side;
    if (node->balance == High(other)) {
      node->balance = kEven;
      return kSameHeight;
    }
    if (node->balance == kEven) {
      node->balance = High(side);
      return kHeightChanged;
    }
    Node* child = node->link[side];
    if (child->balance == High(side)) {
      Lift(slot, side);
      node->balance = kEven;
      child->balance = kEven;
      return kSameHeight;
    }
    std::uint8_t grand = LiftInnerGrandchild(slot, side);
    node->balance = grand == High(side) ? High(other) : kEven;
    child->balance = grand == High(other) ? High(side) : kEven;
    return kSameHeight;
  }

  // The subtree on side of slot became one lower.
  static Change Shrank(Node*& slot, int side) {
    Node* node = slot;
    int other = 1 - side;
    if (node->balance == High(side)) {
      node->balance = kEven;
      return kHeightChanged;
    }
    if (node->balance == kEven) {
      node->balance = High(other);
      return kSameHeight;
    }
    Node* child = node->link[other];
    if (child->balance == kEven) {
      Lift(slot, other);
      node->balance = High(other);
      child->balance = High(side);
      return kSameHeight;
    }
    if (child->balance == High(other)) {
      Lift(slot, other);
      node->balance = kEven;
      child->balance = kEven;
      return kHeightChanged;
    }
    std::uint8_t grand = LiftInnerGrandchild(slot, other);
    node->balance = grand == High(other) ? High(side) : kEven;
    child->balance = grand == High(side) ? High(other) : kEven;
    return kHeightChanged;
  }

  static void FreeNodes(Node* node) {
    while (node != nullptr) {
      FreeNodes(node->link[kLeft]);
      Node* right = node->link[kRight];
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
