// What the flushes of a run share: one database lock around a burst of row
// writes, and the progress status of a list being written.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "engine/common/status_sink.h"
#include "engine/store/site_database.h"

namespace tf {

// The site's database lock around a burst of row writes. The rows join the
// run's transaction (see WriteBatch), which commits them together with the
// log streams' positions.
class RowBurst {
 public:
  RowBurst(SiteDatabase& database, std::string_view operation) : lock_(database, operation) {
    database.JoinBatch();
  }

 private:
  DatabaseLockGuard lock_;
};

// "text  (p%)" after item k of n, set only when the percentage moves.
class Progress {
 public:
  Progress(StatusSink& site, std::string text, int count, const char* separator)
      : site_(site), text_(std::move(text)), count_(count), separator_(separator) {}
  void Done(int k) {
    int percent = count_ > 0 ? 100 * k / count_ : 100;
    if (percent == last_) return;
    last_ = percent;
    site_.SetStatus(text_ + separator_ + "(" + std::to_string(percent) + "%)");
  }
  // Done as a writer's count of rows written.
  std::function<void(std::size_t)> RowsDone() {
    return [this](std::size_t k) { Done(static_cast<int>(k)); };
  }

 private:
  StatusSink& site_;
  std::string text_;
  int count_;
  const char* separator_;
  int last_ = -1;
};

}  // namespace tf
