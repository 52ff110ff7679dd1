#include "engine/common/exception_counters.h"

namespace tf {

CExceptionCounters ExceptionCounters;

CExceptionCounters::CExceptionCounters() {
  for (auto& counter : counters_) counter.store(0);
}

void CExceptionCounters::Increment(int index) {
  if (index >= 0 && index < kCount) counters_[index].fetch_add(1, std::memory_order_relaxed);
}

int CExceptionCounters::Get(int index) const {
  return index >= 0 && index < kCount ? counters_[index].load(std::memory_order_relaxed) : 0;
}

}  // namespace tf
