// SiteDatabase: what the writers of a site's statistics see of the site:
// its open connection, its database lock (named after the operation that
// holds it), where failures go (the event log's trace and the site's error
// text) and the run's write batch. The site owns it; a writer that takes it
// needs nothing else of the site, so that it can run wherever the rows are.
#pragma once

#include <memory>
#include <string_view>
#include <utility>

#include "engine/common/named_lock.h"
#include "engine/common/ordered_jobs.h"
#include "engine/logs/log_site.h"
#include "engine/store/database.h"
#include "engine/store/deferred_item_rows.h"
#include "engine/store/write_batch.h"

namespace tf {

class SiteDatabase {
 public:
  // Failures are reported to `owner`, which outlives the face.
  explicit SiteDatabase(LogSite& owner) : owner_(owner) {}
  SiteDatabase(const SiteDatabase&) = delete;
  SiteDatabase& operator=(const SiteDatabase&) = delete;

  // The open connection, or nullptr. It is used only under the database
  // lock (Lock, or DatabaseLockGuard), statements and recordsets included:
  // the site opens it without the library's own lock per call.
  db::Connection* connection() const { return connection_.get(); }
  // Where the site opens and closes its connection, under the lock.
  ConnectionHolder& holder() { return connection_; }

  void Lock(std::string_view operation) { lock_.Enter(operation); }
  // Returns when no other thread waits for the lock (see NamedLock).
  void GiveWay() const { lock_.GiveWay(); }
  void Unlock() { lock_.Leave(); }

  // The run's transaction: rows written between a run's start and its
  // commit join it. The caller holds the lock.
  WriteBatch& batch() { return batch_; }
  // Begins the run's transaction if none is open; the caller holds the lock.
  void JoinBatch() { batch_.BeforeWrite(connection()); }

  void Trace(std::string_view text) { owner_.Trace(text); }
  void SetError(std::string_view text) { owner_.SetError(text); }

  // While a run counts, rows that only add to what is stored may be written
  // on a worker of their own (see DeferredWrites); nullptr otherwise.
  OrderedJobs* deferred() const { return deferred_.get(); }
  // Runs the job on the run's writer once every job posted before it has
  // run, or now when the run has no writer.
  void RunInTurn(OrderedJobs::Job job) {
    if (deferred_) {
      deferred_->Post(std::move(job));
    } else {
      job();
    }
  }
  // Meanwhile the run's tblData rows are found and added here; nullptr
  // otherwise.
  DeferredItemRows* new_items() const { return new_items_.get(); }
  // Hands the new tblData rows to the worker (see DeferredItemRows::Post).
  void PostNewItems() {
    if (new_items_ && deferred_) new_items_->Post(*deferred_);
  }
  // On the run's writer, once the rows posted before have been written,
  // the pages they changed go to the journal, inside the run's
  // transaction: so they are written while the run counts on, not all at
  // its final commit, which nothing overlaps. Nothing without a writer.
  void PostPageWrite();
  // Until every deferred row is written: before a statement that needs
  // them in the table. The caller holds no database lock.
  void SettleDeferred() {
    PostNewItems();
    if (deferred_) deferred_->Drain();
  }

 private:
  friend class DeferredWrites;

  LogSite& owner_;
  std::unique_ptr<OrderedJobs> deferred_;
  std::unique_ptr<DeferredItemRows> new_items_;
  alignas(64) NamedLock lock_;
  ConnectionHolder connection_;
  WriteBatch batch_;
};

// A run's deferred writes, from its start to its commit: a worker takes
// rows posted through deferred() while the run goes on counting. Finish
// (or the end of the scope, on every other way out) waits until every
// posted row is written, so that the commit holds them all.
class DeferredWrites {
 public:
  explicit DeferredWrites(SiteDatabase& database) : database_(database) {
    database_.deferred_ = std::make_unique<OrderedJobs>(kQueuedJobs);
    database_.new_items_ = std::make_unique<DeferredItemRows>(database_);
  }
  // Every row added is still written (the worker's destructor runs what
  // is posted); the commit, or the rollback, decides.
  ~DeferredWrites() {
    try {
      database_.PostNewItems();
    } catch (...) {
    }
    database_.deferred_.reset();
    database_.new_items_.reset();
  }
  DeferredWrites(const DeferredWrites&) = delete;
  DeferredWrites& operator=(const DeferredWrites&) = delete;

  // Waits for every posted row, then writes go straight to the database.
  void Finish() {
    database_.SettleDeferred();
    database_.new_items_.reset();
    database_.deferred_.reset();
  }

 private:
  // Enough to ride out a day flush without a burst of rows in memory.
  static constexpr std::size_t kQueuedJobs = 64;
  SiteDatabase& database_;
};

// The database lock of a site, held for a scope.
class DatabaseLockGuard {
 public:
  DatabaseLockGuard(SiteDatabase& database, std::string_view operation) : database_(database) {
    database_.Lock(operation);
  }
  ~DatabaseLockGuard() { database_.Unlock(); }
  DatabaseLockGuard(const DatabaseLockGuard&) = delete;
  DatabaseLockGuard& operator=(const DatabaseLockGuard&) = delete;

 private:
  SiteDatabase& database_;
};

}  // namespace tf
