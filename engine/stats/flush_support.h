// What the flushes of a run share: one database lock and transaction around
// a burst of row writes, and the progress status of a list being written.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "engine/site/site.h"
#include "engine/store/transaction.h"

namespace tf {

// The site's database lock around a burst of row writes. The rows join the
// run's transaction (see WriteBatch), which commits them together with the
// log streams' positions.
class RowBurst {
 public:
  RowBurst(CSite& site, std::string_view operation) : lock_(site, operation) {
    site.run.new_rows.BeforeWrite(site.connection());
  }

 private:
  DatabaseLockGuard lock_;
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
