// OwningList: a doubly linked list that owns its nodes through their next
// links; the previous links only point back. T has the members
// `std::unique_ptr<T> next` and `T* previous`. A node keeps its address
// while it is linked, so indexes may point at it, and taking it out hands
// its ownership to the caller.
#pragma once

#include <memory>

namespace tf {

template <typename T>
class OwningList {
 public:
  OwningList() = default;
  ~OwningList() { Clear(); }
  OwningList(const OwningList&) = delete;
  OwningList& operator=(const OwningList&) = delete;

  T* front() const { return head_.get(); }
  T* back() const { return tail_; }
  bool empty() const { return head_ == nullptr; }

  T& PushFront(std::unique_ptr<T> node) {
    node->previous = nullptr;
    node->next = std::move(head_);
    (node->next != nullptr ? node->next->previous : tail_) = node.get();
    head_ = std::move(node);
    return *head_;
  }

  T& PushBack(std::unique_ptr<T> node) {
    T& added = *node;
    node->previous = tail_;
    (tail_ != nullptr ? tail_->next : head_) = std::move(node);
    tail_ = &added;
    return added;
  }

  std::unique_ptr<T> Take(T& node) {
    std::unique_ptr<T>& owner = node.previous != nullptr ? node.previous->next : head_;
    std::unique_ptr<T> taken = std::move(owner);
    owner = std::move(taken->next);
    (owner != nullptr ? owner->previous : tail_) = taken->previous;
    taken->previous = nullptr;
    return taken;
  }

  // Node by node from the front: a long list would otherwise free itself
  // through nested destructor calls.
  void Clear() {
    tail_ = nullptr;
    while (head_ != nullptr) head_ = std::move(head_->next);
  }

 private:
  std::unique_ptr<T> head_;
  T* tail_ = nullptr;
};

}  // namespace tf
