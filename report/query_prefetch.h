// QueryPrefetch: reads the rows of a report's longer queries ahead of the
// sections that show them, each on a connection of its own, on a few
// threads at once. The sections are still written one after the other; a
// section whose query was read ahead takes its rows instead of reading them.
//
// What is taken is exactly what the section would have read itself: the
// same SELECT on the same database file. A query that failed, or that no
// worker has started yet, is left to the section, so errors are raised
// where they always were.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/db/connection.h"
#include "platform/db/recordset.h"

namespace tf::report {

// A connection for reading a site database as reports do.
std::unique_ptr<db::Connection> OpenForReading(const std::string& path);

class QueryPrefetch {
 public:
  // Starts reading `queries` in their order on `threads` threads.
  QueryPrefetch(std::string path, std::vector<std::string> queries, unsigned threads);
  // Interrupts the queries being read and waits for them; those not
  // started are dropped.
  ~QueryPrefetch();
  QueryPrefetch(const QueryPrefetch&) = delete;
  QueryPrefetch& operator=(const QueryPrefetch&) = delete;

  // Queues more queries, behind those queued already.
  void Add(const std::string& path, std::vector<std::string> queries);

  // The rows of `sql` on the database at `path`, waiting for them when they
  // are being read; nothing when the query was not planned, not started or
  // failed. Each planned query is handed out once.
  std::optional<db::Recordset> Take(const std::string& path, const std::string& sql);
  // How many of the queries were handed out or left to the caller, and how
  // many were queued in all.
  std::size_t taken() const;
  std::size_t queued() const;

 private:
  enum class State { kQueued, kRunning, kDone, kTaken };
  struct Job {
    std::string sql;
    State state = State::kQueued;
    std::optional<db::Recordset> rows;
  };

  void Work(std::size_t worker);

  const std::string path_;
  mutable std::mutex mutex_;
  std::condition_variable queued_, done_;
  bool stopping_ = false;
  // Declared before the jobs, so that they outlive the rows of jobs never
  // taken: a recordset refers to the connection it was read on (for edits,
  // which no planned query allows).
  std::vector<std::unique_ptr<db::Connection>> connections_;
  std::deque<Job> jobs_;
  std::size_t taken_ = 0;
  std::vector<std::thread> workers_;
};

}  // namespace tf::report
