// Reads a run's log records on a thread of its own, ahead of the analysis,
// so that reading and parsing the lines overlaps with counting them: on a
// busy site the two take about as long as each other.
//
// The reader hands over records in batches through a short queue and asks
// before every record whether the site is still running; after a stop it
// reads nothing more. Every record it read is handed out, so a log file's
// resume position never passes a record the analysis did not see.
//
// While the reader runs it is the only user of the log file set and calls
// the site only through what log reading asks of it (log filters, settings,
// trace and error texts). Where the analysis of a record stores the log
// files' positions (a record that starts another day), the caller names
// such records (hold_after): the reader hands one out as the last of its
// batch and reads on only once the analysis has finished it, so that the
// positions stored are those just past it, as if nothing were read ahead.
// Whoever needs the set to stand still at another time asks the reader to
// end (RequestEnd), takes the remaining records and destroys the object.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/logs/log_record.h"

namespace tf {

class CLogFileSet;

class RecordPrefetch {
 public:
  // Asked on the reader's thread for every record read, in order.
  using HoldAfter = std::function<bool(const CLogRecord&)>;

  // Starts reading at once; reads while `state` equals `running`.
  RecordPrefetch(CLogFileSet& set, const std::atomic<std::int32_t>& state, std::int32_t running,
                 HoldAfter hold_after = nullptr);
  // Ends the reader and waits for it.
  ~RecordPrefetch();
  RecordPrefetch(const RecordPrefetch&) = delete;
  RecordPrefetch& operator=(const RecordPrefetch&) = delete;

  // The next record in time order, or nullptr once the reader has ended and
  // every record it read was handed out. The record may be edited and stays
  // valid until the next call. An exception of the reader is thrown here.
  CLogRecord* Next();
  // Whether Next() has a record of the current batch to give without
  // waiting for the reader.
  bool HasReady() const { return current_ != nullptr && next_ < current_->count; }
  // Asks the reader to end after the record it is reading.
  void RequestEnd();
  // True when the reader ended at RequestEnd, not at the end of the logs or
  // at a stop; meaningful once Next() gave nullptr.
  bool ended_on_request() const { return ended_on_request_; }
  // Bytes of the log files read so far, as of the last batch.
  std::int64_t BytesRead() const { return bytes_read_.load(std::memory_order_relaxed); }

 private:
  struct Batch {
    std::vector<CLogRecord> records;
    std::size_t count = 0;
  };

  void Read();
  Batch* TakeFreeBatch();
  // Fills the batch; false when reading has ended. hold: its last record
  // is one to hold after.
  bool Fill(Batch& batch, bool& hold);
  // Until the consumer has finished the batch; false when closing.
  bool WaitFinished(const Batch* batch);
  void Publish(Batch* batch, bool last);

  CLogFileSet& set_;
  const std::atomic<std::int32_t>& state_;
  const std::int32_t running_;
  const HoldAfter hold_after_;

  std::vector<std::unique_ptr<Batch>> batches_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Batch*> free_;
  std::deque<Batch*> full_;
  // What the reader sleeps for, so that the consumer wakes it only when
  // that has come.
  enum ReaderWait { kNothing, kAnyFreeBatch, kHeldBatch };
  ReaderWait reader_waits_for_ = kNothing;
  bool reader_done_ = false;
  bool closing_ = false;
  std::exception_ptr failure_;
  std::atomic<bool> end_requested_{false};
  bool ended_on_request_ = false;
  std::atomic<std::int64_t> bytes_read_{0};

  // The consumer's batch and its next record.
  Batch* current_ = nullptr;
  std::size_t next_ = 0;

  std::thread thread_;
};

}  // namespace tf
