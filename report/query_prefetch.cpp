#include "report/query_prefetch.h"

#include <algorithm>
#include <system_error>

namespace tf::report {

std::unique_ptr<db::Connection> OpenForReading(const std::string& path) {
  auto connection = std::make_unique<db::Connection>();
  connection->Open(path);
  // A report reads most rows once: a small page cache is recycled, where
  // a large one would fault in fresh memory for every page a query reads.
  connection->Execute("PRAGMA cache_size=-2000");
  return connection;
}

QueryPrefetch::QueryPrefetch(std::string path, std::vector<std::string> queries, unsigned threads)
    : path_(std::move(path)) {
  Add(path_, std::move(queries));
  connections_.resize(threads);
  workers_.reserve(threads);
  for (std::size_t w = 0; w < threads; ++w) {
    try {
      workers_.emplace_back([this, w] { Work(w); });
    } catch (...) {
      break;  // fewer workers; the sections read what none of them starts
    }
  }
}

QueryPrefetch::~QueryPrefetch() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (const auto& connection : connections_) {
      if (connection) connection->Interrupt();
    }
  }
  queued_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void QueryPrefetch::Add(const std::string& path, std::vector<std::string> queries) {
  if (path != path_) return;
  {
    std::lock_guard lock(mutex_);
    for (std::string& sql : queries) jobs_.push_back(Job{std::move(sql), State::kQueued, std::nullopt});
  }
  queued_.notify_all();
}

void QueryPrefetch::Work(std::size_t worker) {
  std::unique_ptr<db::Connection> opened;
  try {
    opened = OpenForReading(path_);
  } catch (...) {
    return;  // the sections read their rows themselves
  }
  db::Connection& connection = *opened;
  std::unique_lock lock(mutex_);
  connections_[worker] = std::move(opened);
  // Jobs are only ever added at the end, and a deque keeps them in place.
  for (std::size_t next = 0;;) {
    queued_.wait(lock, [&] { return stopping_ || next < jobs_.size(); });
    if (stopping_) return;
    Job& job = jobs_[next++];
    if (job.state != State::kQueued) continue;
    job.state = State::kRunning;
    lock.unlock();
    std::optional<db::Recordset> rows;
    try {
      rows = connection.OpenRecordset(job.sql);
    } catch (...) {
      // Left to the section, which raises the error where it always did.
    }
    lock.lock();
    job.rows = std::move(rows);
    job.state = State::kDone;
    done_.notify_all();
  }
}

std::optional<db::Recordset> QueryPrefetch::Take(const std::string& path,
                                                 const std::string& sql) {
  if (path != path_) return std::nullopt;
  std::unique_lock lock(mutex_);
  auto found = std::find_if(jobs_.begin(), jobs_.end(), [&](const Job& j) {
    return j.state != State::kTaken && j.sql == sql;
  });
  if (found == jobs_.end()) return std::nullopt;
  Job& job = *found;  // stays in place while more are added
  ++taken_;
  // Not started: the caller reads it at once rather than wait for a worker.
  if (job.state == State::kQueued) {
    job.state = State::kTaken;
    return std::nullopt;
  }
  done_.wait(lock, [&] { return job.state == State::kDone; });
  job.state = State::kTaken;
  return std::move(job.rows);
}

std::size_t QueryPrefetch::taken() const {
  std::lock_guard lock(mutex_);
  return taken_;
}

std::size_t QueryPrefetch::queued() const {
  std::lock_guard lock(mutex_);
  return jobs_.size();
}

}  // namespace tf::report
