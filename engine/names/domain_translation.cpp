#include "engine/names/domain_translation.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/common/address.h"
#include "engine/common/text.h"
#include "engine/common/thread_priority.h"
#include "engine/logs/client_address.h"
#include "engine/names/domain_names.h"
#include "engine/names/region_thread.h"
#include "engine/names/site_translation.h"
#include "engine/site/site.h"
#include "engine/site/stat_bits.h"
#include "engine/stats/statistics_writer.h"
#include "engine/store/system_data.h"

namespace tf {

namespace {

// The visitor writer waits while a site has this many requests pending.
constexpr std::int32_t kPendingLimit = 10000;
constexpr auto kPendingPause = std::chrono::milliseconds(500);
constexpr std::size_t kHostSize = 100;

// A worker thread as the dispatcher and a stop see it.
struct WorkerNode {
  enum Phase { kWaiting, kWorking, kLookingUp };
  Phase phase = kWaiting;
  // The site of the request it works on, or none.
  const SiteTranslation* site = nullptr;
};

// The dispatcher, its workers and their two queues. Threads hold it
// shared: a worker left in a reverse lookup by a stop keeps it until it
// returns, and then drops its request.
class TranslationService : public std::enable_shared_from_this<TranslationService> {
 public:
  CBlockingQueue requests;  // from the visitor writers to the dispatcher
  CBlockingQueue tasks;     // from the dispatcher to the workers

  bool stopping() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopping_;
  }
  void Start();
  void Stop();
  int Busy();
  int CountForSite(const SiteTranslation& site);

 private:
  void DomainThreadControl();
  void StartWorkerIfNeeded();
  void TranslationThread(WorkerNode& node);
  // False when a stop came during the reverse lookup.
  bool Translate(WorkerNode& node, std::unique_ptr<TranslationRequest> request);
  bool OnlyLookupsLeft() const;

  // The domain-thread lock: the worker list and the counts.
  std::mutex mutex_;
  // Signalled when a worker leaves or starts a reverse lookup.
  std::condition_variable worker_left_;
  std::list<WorkerNode> workers_;
  int busy_ = 0;
  bool stopping_ = false;
  std::thread dispatcher_;
};

std::int32_t MaxDomainThreads() {
  // The console may change the setting while workers read it; below 1 no
  // worker would ever take the dispatcher's tasks.
  std::int32_t max = std::atomic_ref<std::int32_t>(SystemData.MaxDomainThreads).load();
  return std::max<std::int32_t>(max, 1);
}

void TranslationService::Start() {
  dispatcher_ = std::thread([self = shared_from_this()] { self->DomainThreadControl(); });
}

void TranslationService::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  requests.Close();
  tasks.Close();
  if (dispatcher_.joinable()) dispatcher_.join();
  std::unique_lock<std::mutex> lock(mutex_);
  worker_left_.wait(lock, [&] { return OnlyLookupsLeft(); });
}

bool TranslationService::OnlyLookupsLeft() const {
  return std::all_of(workers_.begin(), workers_.end(),
                     [](const WorkerNode& node) { return node.phase == WorkerNode::kLookingUp; });
}

int TranslationService::Busy() {
  std::lock_guard<std::mutex> lock(mutex_);
  return busy_;
}

int TranslationService::CountForSite(const SiteTranslation& site) {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(std::count_if(workers_.begin(), workers_.end(),
                                         [&](const WorkerNode& node) { return node.site == &site; }));
}

void TranslationService::DomainThreadControl() {
  SetCurrentThreadPriority(SystemData.GetThreadPriority());
  while (std::unique_ptr<TranslationRequest> request = requests.Take()) {
    SiteTranslation& site = request->site();
    if (!site.Advance(*request, RequestStage::kNone, kRequestAtDispatcher)) continue;
    ++site.cache_tries;
    std::string name;
    if (site.cache.Lookup(request->address, name)) {
      request->state = kRequestFromCache;
      ++site.cache_hits;
      DeliverDomainName(std::move(request), name);
      continue;
    }
    if (!site.Advance(*request, RequestStage::kWaitingWorker, kRequestToWorkers)) continue;
    tasks.Put(std::move(request));
    StartWorkerIfNeeded();
  }
}

void TranslationService::StartWorkerIfNeeded() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (stopping_ || static_cast<std::int32_t>(workers_.size()) >= MaxDomainThreads() ||
      tasks.Count() == 0) {
    return;
  }
  WorkerNode& node = workers_.emplace_front();
  // Detached: a stop does not wait for a worker inside a reverse lookup.
  std::thread([self = shared_from_this(), &node] { self->TranslationThread(node); }).detach();
}

void TranslationService::TranslationThread(WorkerNode& node) {
  SetCurrentThreadPriority(SystemData.GetThreadPriority());
  for (;;) {
    std::unique_ptr<TranslationRequest> request = tasks.Take();
    bool carry_on = request != nullptr;
    if (request) {
      SiteTranslation& site = request->site();
      if (!site.Advance(*request, RequestStage::kTranslating, kRequestWorkerTaken)) continue;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        ++busy_;
        node.phase = WorkerNode::kWorking;
        node.site = &site;
      }
      carry_on = Translate(node, std::move(request));
    }
    // Leaving is decided and done under one hold of the lock, so that
    // surplus workers never all leave at once.
    std::lock_guard<std::mutex> lock(mutex_);
    if (node.site != nullptr) --busy_;
    node.phase = WorkerNode::kWaiting;
    node.site = nullptr;
    if (carry_on && static_cast<std::int32_t>(workers_.size()) <= MaxDomainThreads()) continue;
    workers_.remove_if([&](const WorkerNode& other) { return &other == &node; });
    worker_left_.notify_all();
    return;
  }
}

bool TranslationService::Translate(WorkerNode& node, std::unique_ptr<TranslationRequest> request) {
  SiteTranslation& site = request->site();
  std::uint32_t address = request->address;
  request->state = kRequestLookingUp;
  std::string name;
  if (!site.Enter(*request)) return true;
  bool known = KeepsDomainNames(site.site()) &&
               SearchforIP(site.site().database(), address, request->day, name);
  site.Leave();
  if (!known && IsStandInAddress(address)) {
    // Not an address a name server knows: the log named the client.
    SafeCopy(name, request->client_name, kHostSize);
    if (name.empty()) name = AddressToText(address);
  } else if (!known) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      node.phase = WorkerNode::kLookingUp;
      worker_left_.notify_all();
    }
    bool found = AddressToName(address, name, kHostSize);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) return false;
      node.phase = WorkerNode::kWorking;
    }
    if (found) {
      TrimDomainName(address, name);
    } else {
      name = AddressToText(address);
    }
  }
  request->state = kRequestNameKnown;
  if (request->store && !known) {
    if (!site.Enter(*request)) return true;
    if (KeepsDomainNames(site.site())) {
      AddDomainName(site.site().database(), address, name, request->day);
    }
    site.Leave();
  }
  request->state = kRequestWorkerDelivering;
  site.cache.Insert(address, name);
  DeliverDomainName(std::move(request), name);
  return true;
}

// The running service, or none before the start and after a stop.
std::mutex service_mutex;
std::shared_ptr<TranslationService> running_service;

std::shared_ptr<TranslationService> RunningService() {
  std::lock_guard<std::mutex> lock(service_mutex);
  return running_service;
}

}  // namespace

void StartDomainThreads() {
  std::lock_guard<std::mutex> lock(service_mutex);
  if (running_service) return;
  running_service = std::make_shared<TranslationService>();
  running_service->Start();
}

void StopDomainThreads() {
  std::shared_ptr<TranslationService> service;
  {
    std::lock_guard<std::mutex> lock(service_mutex);
    service.swap(running_service);
  }
  if (service) service->Stop();
}

int BusyDomainThreads() {
  std::shared_ptr<TranslationService> service = RunningService();
  return service ? service->Busy() : 0;
}

int CountDomainThreadSite(const CSite& site) {
  std::shared_ptr<TranslationService> service = RunningService();
  SiteNameWork* names = site.MadeNameWork();
  return service && names ? service->CountForSite(static_cast<SiteTranslation&>(*names)) : 0;
}

void RequestTranslation(CSite& site, const VisitorDay& visitor) {
  std::shared_ptr<TranslationService> service = RunningService();
  if (!service) return;
  SiteTranslation& translation = TranslationOf(site);
  for (;;) {
    TranslationCounters counters = translation.Counters();
    if (counters.at_dispatcher < kPendingLimit && counters.pending < kPendingLimit) break;
    if (service->stopping()) return;
    std::this_thread::sleep_for(kPendingPause);
  }
  auto request = std::make_unique<TranslationRequest>(SharedTranslationOf(site));
  request->address = visitor.address;
  if (IsStandInAddress(visitor.address)) SafeCopy(request->client_name, visitor.client_name, kHostSize);
  request->day = visitor.day;
  request->hits = visitor.hits;
  request->bytes = visitor.bytes;
  request->sessions = visitor.sessions;
  request->view_time = visitor.view_time;
  request->store = visitor.store;
  request->regions = (site.settings.DayStats & kRegionStats) != 0;
  if (!translation.Advance(*request, RequestStage::kAtDispatcher, kRequestQueued)) return;
  service->requests.Put(std::move(request));
}

}  // namespace tf
