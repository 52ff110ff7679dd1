#include "engine/run/record_prefetch.h"

#include <algorithm>
#include <utility>

#include "engine/logs/log_file_set.h"

namespace tf {

namespace {

// Large enough that handing over costs nothing per record, small enough
// that a stop is seen within a few hundred records.
constexpr std::size_t kBatchRecords = 256;
// Enough batches to read on while the analysis writes an hour: with only a
// few, the reader stood still during each flush and the analysis then
// waited for it.
constexpr std::size_t kBatchCount = 16;
// A reader that ran out of room sleeps until this many batches are free:
// waking it costs more than a batch, so it is woken for a run of them.
constexpr std::size_t kRefillBatches = kBatchCount / 2;
// How many records ahead of the one handed out the texts are asked into
// the cache: far enough that they have come by the time they are read.
// Finding the texts reads the record, which is asked for twice as far
// ahead, all of it: the analysis reads fields from end to end.
constexpr std::size_t kTouchAhead = 4;
constexpr std::size_t kTouchRecordAhead = 2 * kTouchAhead;

// kForWrite: 0 to read the record, 1 to write it.
template <int kForWrite>
void TouchRecord(const CLogRecord& record) {
  const char* bytes = reinterpret_cast<const char*>(&record);
  for (std::size_t at = 0; at < sizeof record; at += 64) __builtin_prefetch(bytes + at, kForWrite);
}

// Asks the cache for the texts of a record that the analysis reads, or
// that the reader writes again. They were last used on the other core;
// fetched only when used, each held the thread up.
template <int kForWrite>
void TouchTexts(const CLogRecord& record) {
  __builtin_prefetch(record.uri_stem.data(), kForWrite);
  __builtin_prefetch(record.referrer.data(), kForWrite);
  __builtin_prefetch(record.user_agent.data(), kForWrite);
  __builtin_prefetch(record.client_name.data(), kForWrite);
}

}  // namespace

RecordPrefetch::RecordPrefetch(CLogFileSet& set, const std::atomic<std::int32_t>& state,
                               std::int32_t running, HoldAfter hold_after)
    : set_(set), state_(state), running_(running), hold_after_(std::move(hold_after)) {
  for (std::size_t i = 0; i < kBatchCount; ++i) {
    batches_.push_back(std::make_unique<Batch>());
    batches_.back()->records.resize(kBatchRecords);
    free_.push_back(batches_.back().get());
  }
  thread_ = std::thread([this] { Read(); });
}

RecordPrefetch::~RecordPrefetch() {
  RequestEnd();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void RecordPrefetch::RequestEnd() { end_requested_.store(true, std::memory_order_relaxed); }

CLogRecord* RecordPrefetch::Next() {
  for (;;) {
    if (current_ != nullptr && next_ < current_->count) {
      if (next_ + kTouchRecordAhead < current_->count) {
        TouchRecord<0>(current_->records[next_ + kTouchRecordAhead]);
      }
      if (next_ + kTouchAhead < current_->count) TouchTexts<0>(current_->records[next_ + kTouchAhead]);
      return &current_->records[next_++];
    }
    std::unique_lock<std::mutex> lock(mutex_);
    if (current_ != nullptr) {
      free_.push_back(current_);
      current_ = nullptr;
      if (reader_waits_for_ == kAnyFreeBatch ? free_.size() >= kRefillBatches
                                             : reader_waits_for_ == kHeldBatch) {
        changed_.notify_all();
      }
    }
    changed_.wait(lock, [this] { return !full_.empty() || reader_done_; });
    if (full_.empty()) {
      if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
      return nullptr;
    }
    current_ = full_.front();
    full_.pop_front();
    next_ = 0;
  }
}

void RecordPrefetch::Read() {
  try {
    for (;;) {
      Batch* batch = TakeFreeBatch();
      if (batch == nullptr) return Publish(nullptr, true);
      bool hold = false;
      bool more = Fill(*batch, hold);
      Publish(batch, !more);
      if (!more) return;
      if (hold && !WaitFinished(batch)) return Publish(nullptr, true);
    }
  } catch (...) {
    std::lock_guard<std::mutex> lock(mutex_);
    failure_ = std::current_exception();
    reader_done_ = true;
    changed_.notify_all();
  }
}

RecordPrefetch::Batch* RecordPrefetch::TakeFreeBatch() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (free_.empty()) {
    reader_waits_for_ = kAnyFreeBatch;
    changed_.wait(lock, [this] { return free_.size() >= kRefillBatches || closing_; });
    reader_waits_for_ = kNothing;
  }
  if (closing_) return nullptr;
  Batch* batch = free_.front();
  free_.pop_front();
  return batch;
}

bool RecordPrefetch::WaitFinished(const Batch* batch) {
  std::unique_lock<std::mutex> lock(mutex_);
  reader_waits_for_ = kHeldBatch;
  changed_.wait(lock, [&] {
    return closing_ || std::find(free_.begin(), free_.end(), batch) != free_.end();
  });
  reader_waits_for_ = kNothing;
  return !closing_;
}

bool RecordPrefetch::Fill(Batch& batch, bool& hold) {
  batch.count = 0;
  while (batch.count < batch.records.size()) {
    if (end_requested_.load(std::memory_order_relaxed)) {
      ended_on_request_ = true;
      return false;
    }
    if (state_.load() != running_) return false;
    // Reading into the batch's record keeps the storage of its texts: no
    // allocation once the batch has seen long lines.
    CLogRecord& record = batch.records[batch.count];
    // The record filled a few places ahead is asked for with the intent to
    // write it: a plain prefetch would leave its lines shared with the
    // analysis's core, and each first write would still wait for them.
    if (batch.count + kTouchAhead < batch.records.size()) {
      const CLogRecord& later = batch.records[batch.count + kTouchAhead];
      TouchRecord<1>(later);
      TouchTexts<1>(later);
    }
    if (!set_.ReadNext(record)) return false;
    ++batch.count;
    if (hold_after_ && hold_after_(record)) {
      hold = true;
      return true;
    }
  }
  return true;
}

void RecordPrefetch::Publish(Batch* batch, bool last) {
  bytes_read_.store(set_.BytesRead(), std::memory_order_relaxed);
  std::lock_guard<std::mutex> lock(mutex_);
  if (batch != nullptr) full_.push_back(batch);
  if (last) reader_done_ = true;
  changed_.notify_all();
}

}  // namespace tf
