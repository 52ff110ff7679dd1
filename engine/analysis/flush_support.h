// What the flushes of a run share: one database lock and transaction around
// a burst of row writes, and the progress status of a list being written.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "engine/store/site.h"
#include "engine/store/transaction.h"

namespace tf {

// The site's database lock around a burst of row writes. The rows join the
// transaction that holds the run's new tblData rows, so that the hour's and
// the day's rows cost no commit of their own: the batch is committed at
// least once a second of wall time, and at the run's flush points.
class RowBurst {
 public:
  RowBurst(CSite& site, std::string_view operation)
      : lock_(site, operation), batch_(site.run.new_rows) {
    batch_.BeforeWrite(site.connection());
  }
  ~RowBurst() { batch_.CommitWhenOld(); }

 private:
  DatabaseLockGuard lock_;
  WriteBatch& batch_;
};

// "text  (p%)" after item k of n, set only when the percentage moves.
class Progress {
 public:
  Progress(CSite& site, std::string text, int count, const char* separator)
      : site_(site), text_(std::move(text)), count_(count), separator_(separator) {}
  void Done(int k) {
    int percent = count_ > 0 ? 100 * k / count_ : 100;
    if (percent == last_) return;
    last_ = percent;
    site_.SetStatus(text_ + separator_ + "(" + std::to_string(percent) + "%)");
  }

 private:
  CSite& site_;
  std::string text_;
  int count_;
  const char* separator_;
  int last_ = -1;
};

}  // namespace tf
