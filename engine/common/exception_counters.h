// CExceptionCounters: one counter per catch-all handler of the engine, so a
// fault is counted and the operation carries on. The Debug page of the system
// properties shows them. The handlers own the numbering.
#pragma once

#include <atomic>

namespace tf {

class CExceptionCounters {
 public:
  static constexpr int kCount = 30;

  CExceptionCounters();
  virtual ~CExceptionCounters() = default;
  CExceptionCounters(const CExceptionCounters&) = delete;
  CExceptionCounters& operator=(const CExceptionCounters&) = delete;

  // Indexes outside 0..kCount-1 are ignored (and read as 0).
  void Increment(int index);
  int Get(int index) const;

 private:
  std::atomic<int> counters_[kCount];
};

extern CExceptionCounters ExceptionCounters;

}  // namespace tf
