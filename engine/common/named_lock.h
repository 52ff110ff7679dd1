// A re-entrant lock that records the name of the operation holding it, so
// that a stuck run can tell what it waits for.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

#include "engine/common/text.h"

namespace tf {

class NamedLock {
 public:
  static constexpr std::size_t kHolderSize = 50;  // with the terminator

  // The outermost hold records the operation (at most 49 bytes).
  void Enter(std::string_view operation) {
    mutex_.lock();
    if (++depth_ == 1) holder_.assign(CutUtf8(operation, kHolderSize - 1));
  }
  void Leave() {
    if (--depth_ == 0) holder_.clear();
    mutex_.unlock();
  }

 private:
  std::recursive_mutex mutex_;
  std::string holder_;  // the outermost holder's operation
  int depth_ = 0;       // nested holds of the owning thread
};

}  // namespace tf
