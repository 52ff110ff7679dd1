// A site's share of the domain-name translations: its pending requests and
// their counters, its domain cache, its region queue and region thread.
//
// The translation threads hold on to this object through their requests,
// not to the site: before a thread touches the site it enters it for its
// request's generation. A run that gives up waiting starts a new
// generation, and a site that goes away ends them all, so a request that
// comes back late is dropped instead of being delivered into tables that
// are gone.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/common/time_value.h"
#include "engine/names/blocking_queue.h"
#include "engine/names/domain_cache.h"
#include "engine/site/site_name_work.h"

namespace tf {

class CSite;
class SiteTranslation;

// Where a request is; the time-out dump lists them.
enum RequestState : std::int32_t {
  kRequestCreated = 1,
  kRequestUnlinked = 2,
  kRequestDelivering = 3,
  kRequestNoRegion = 4,
  kRequestRegionCheck = 5,
  kRequestRegionsOff = 6,
  kRequestNameWithoutDot = 7,
  kRequestNoRegionLabel = 8,
  kRequestRegionQueued = 9,
  kRequestRegionTaken = 10,
  kRequestRegionItem = 11,
  kRequestPreviousDayWritten = 12,
  kRequestRegionCounted = 13,
  kRequestRegionDone = 14,
  kRequestAtDispatcher = 15,
  kRequestFromCache = 16,
  kRequestToWorkers = 17,
  kRequestWorkerTaken = 19,
  kRequestLookingUp = 20,
  kRequestNameKnown = 21,
  kRequestWorkerDelivering = 22,
  kRequestQueued = 23,
};

// Which of the site's counters counts a request now.
enum class RequestStage { kNone, kAtDispatcher, kWaitingWorker, kTranslating, kWaitingRegion };

struct TranslationCounters {
  std::int32_t pending = 0;      // requests on the site's pending list
  std::int32_t outstanding = 0;  // created and not yet finished
  std::int32_t at_dispatcher = 0;
  std::int32_t waiting_worker = 0;
  std::int32_t translating = 0;
  std::int32_t waiting_region = 0;
};

// One visitor's day on its way to a name and a region count.
class TranslationRequest {
 public:
  // Put on the site's pending list and counted as outstanding.
  explicit TranslationRequest(std::shared_ptr<SiteTranslation> site);
  // Leaves the pending list and the counters.
  ~TranslationRequest();
  TranslationRequest(const TranslationRequest&) = delete;
  TranslationRequest& operator=(const TranslationRequest&) = delete;

  SiteTranslation& site() const { return *site_; }
  std::uint64_t generation() const { return generation_; }

  std::atomic<std::int32_t> state{kRequestCreated};
  std::uint32_t address = 0;
  std::string client_name;  // the log's text for a stand-in address
  bool store = true;        // store a newly found name in tblDomains
  bool regions = false;     // the site counts regions
  TimeValue day = 0;
  std::int32_t hits = 1;
  std::int64_t bytes = 0;
  std::int32_t sessions = 1;
  std::int32_t view_time = 0;
  std::string region;  // at most 5 bytes, lower case

 private:
  friend class SiteTranslation;
  std::shared_ptr<SiteTranslation> site_;
  std::uint64_t generation_ = 0;
  // Guarded by the site's pending-translation lock.
  TranslationRequest* site_next_ = nullptr;
  TranslationRequest* site_previous_ = nullptr;
  bool linked_ = false;
  RequestStage stage_ = RequestStage::kNone;
};

class SiteTranslation : public SiteNameWork {
 public:
  explicit SiteTranslation(CSite& site);
  ~SiteTranslation() override;
  SiteTranslation(const SiteTranslation&) = delete;
  SiteTranslation& operator=(const SiteTranslation&) = delete;

  // Counts the request in `stage` from now on and sets its state. False,
  // with nothing changed, when the request's run gave up or the site is
  // gone: the caller drops it.
  bool Advance(TranslationRequest& request, RequestStage stage, std::int32_t state);

  TranslationCounters Counters() const;
  std::int32_t CountPending() const override;
  // The states of the pending requests, newest first.
  std::vector<std::int32_t> PendingStates() const;
  // Before a run: outstanding, at the dispatcher, waiting for a worker and
  // being translated back to 0.
  void ResetRunCounters() override;
  // Returns when a request finished or the timeout passed.
  void WaitForChange(std::chrono::milliseconds timeout);

  // True while the request's run still waits for it; the site is then
  // held until Leave, so that it and its run's tables stay.
  bool Enter(const TranslationRequest& request);
  void Leave();
  // Valid between Enter and Leave.
  CSite& site() const { return *site_; }

  // The run gave up waiting: its requests are forgotten, the counters
  // start from 0 and the region queue is emptied. Returns once no thread
  // works on the site for them.
  void Abandon();
  // The site goes away: as Abandon, for good, and the region thread ends.
  void Detach() override;
  void SetCacheLimit(std::int32_t entries) override { cache.SetLimit(entries); }

  // Starts the region thread unless it runs; false when the site is gone.
  bool StartRegionThread();

  // Cache lookups made and answered since the run last collected them.
  std::atomic<std::int32_t> cache_tries{0};
  std::atomic<std::int32_t> cache_hits{0};
  // Adds them to the site's run statistics (on the site's analysis thread).
  void CollectCacheCounts();

  CDomainCache cache;
  CBlockingQueue region_queue;

 private:
  friend class TranslationRequest;
  void Link(TranslationRequest& request);
  void Unlink(TranslationRequest& request);
  std::int32_t* StageCounter(RequestStage stage);
  void ForgetRequests();
  void WaitForUsers(std::unique_lock<std::mutex>& lock);

  // The pending-translation lock.
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  CSite* site_;
  std::uint64_t generation_ = 1;
  int users_ = 0;
  TranslationRequest* pending_ = nullptr;  // newest first
  TranslationCounters counters_;
  std::thread region_thread_;
};

// The site's translation, made on first use.
SiteTranslation& TranslationOf(CSite& site);
std::shared_ptr<SiteTranslation> SharedTranslationOf(CSite& site);

}  // namespace tf
