#include "engine/names/site_translation.h"

#include <utility>

#include "engine/names/region_thread.h"
#include "engine/site/site.h"

namespace tf {

namespace {

void Decrease(std::int32_t& counter) {
  if (counter > 0) --counter;
}

}  // namespace

// --- Requests ----------------------------------------------------------------

TranslationRequest::TranslationRequest(std::shared_ptr<SiteTranslation> site)
    : site_(std::move(site)) {
  site_->Link(*this);
}

TranslationRequest::~TranslationRequest() { site_->Unlink(*this); }

void SiteTranslation::Link(TranslationRequest& request) {
  std::lock_guard<std::mutex> lock(mutex_);
  request.generation_ = generation_;
  request.site_next_ = pending_;
  if (pending_ != nullptr) pending_->site_previous_ = &request;
  pending_ = &request;
  request.linked_ = true;
  ++counters_.pending;
  ++counters_.outstanding;
}

void SiteTranslation::Unlink(TranslationRequest& request) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (request.linked_) {
    (request.site_previous_ != nullptr ? request.site_previous_->site_next_ : pending_) =
        request.site_next_;
    if (request.site_next_ != nullptr) request.site_next_->site_previous_ = request.site_previous_;
    request.linked_ = false;
    Decrease(counters_.pending);
  }
  if (request.generation_ == generation_) {
    if (std::int32_t* counter = StageCounter(request.stage_)) Decrease(*counter);
    Decrease(counters_.outstanding);
  }
  request.state = kRequestUnlinked;
  changed_.notify_all();
}

std::int32_t* SiteTranslation::StageCounter(RequestStage stage) {
  switch (stage) {
    case RequestStage::kAtDispatcher: return &counters_.at_dispatcher;
    case RequestStage::kWaitingWorker: return &counters_.waiting_worker;
    case RequestStage::kTranslating: return &counters_.translating;
    case RequestStage::kWaitingRegion: return &counters_.waiting_region;
    case RequestStage::kNone: break;
  }
  return nullptr;
}

bool SiteTranslation::Advance(TranslationRequest& request, RequestStage stage, std::int32_t state) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (site_ == nullptr || request.generation_ != generation_) return false;
  if (std::int32_t* counter = StageCounter(request.stage_)) Decrease(*counter);
  request.stage_ = stage;
  if (std::int32_t* counter = StageCounter(stage)) ++*counter;
  request.state = state;
  return true;
}

// --- Counters ------------------------------------------------------------------

SiteTranslation::SiteTranslation(CSite& site) : site_(&site) {
  cache.SetLimit(site.settings.DomainCacheSize);
}

namespace {
std::shared_ptr<SiteNameWork> MakeSiteTranslation(CSite& site) {
  return std::make_shared<SiteTranslation>(site);
}
}  // namespace

std::shared_ptr<SiteTranslation> SharedTranslationOf(CSite& site) {
  return std::static_pointer_cast<SiteTranslation>(site.NameWork(&MakeSiteTranslation));
}

SiteTranslation& TranslationOf(CSite& site) {
  return static_cast<SiteTranslation&>(*site.NameWork(&MakeSiteTranslation));
}

SiteTranslation::~SiteTranslation() {
  // Detach joined it; a thread is never left running on a freed object.
  if (region_thread_.joinable()) region_thread_.detach();
}

TranslationCounters SiteTranslation::Counters() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return counters_;
}

std::int32_t SiteTranslation::CountPending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return counters_.pending;
}

std::vector<std::int32_t> SiteTranslation::PendingStates() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::int32_t> states;
  for (const TranslationRequest* r = pending_; r != nullptr; r = r->site_next_) {
    states.push_back(r->state);
  }
  return states;
}

void SiteTranslation::ResetRunCounters() {
  std::lock_guard<std::mutex> lock(mutex_);
  counters_.outstanding = 0;
  counters_.at_dispatcher = 0;
  counters_.waiting_worker = 0;
  counters_.translating = 0;
}

void SiteTranslation::WaitForChange(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, timeout);
}

void SiteTranslation::CollectCacheCounts() {
  std::int32_t tries = cache_tries.exchange(0);
  std::int32_t hits = cache_hits.exchange(0);
  std::lock_guard<std::mutex> lock(mutex_);
  if (site_ == nullptr) return;
  site_->history.stDomainCacheTries += tries;
  site_->history.stDomainCacheHits += hits;
}

// --- Use of the site -----------------------------------------------------------

bool SiteTranslation::Enter(const TranslationRequest& request) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (site_ == nullptr || request.generation_ != generation_) return false;
  ++users_;
  return true;
}

void SiteTranslation::Leave() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (--users_ == 0) changed_.notify_all();
}

void SiteTranslation::ForgetRequests() {
  ++generation_;
  counters_ = TranslationCounters{};
  for (TranslationRequest* r = pending_; r != nullptr;) {
    TranslationRequest* next = r->site_next_;
    r->site_next_ = r->site_previous_ = nullptr;
    r->linked_ = false;
    r = next;
  }
  pending_ = nullptr;
}

void SiteTranslation::WaitForUsers(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [&] { return users_ == 0; });
}

void SiteTranslation::Abandon() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ForgetRequests();
  }
  // Wakes a thread blocked on the full queue; the requests it still puts
  // there are dropped by the region thread.
  region_queue.Clear();
  std::unique_lock<std::mutex> lock(mutex_);
  WaitForUsers(lock);
}

void SiteTranslation::Detach() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ForgetRequests();
    site_ = nullptr;
  }
  region_queue.Close();
  {
    std::unique_lock<std::mutex> lock(mutex_);
    WaitForUsers(lock);
  }
  if (region_thread_.joinable() && region_thread_.get_id() != std::this_thread::get_id()) {
    region_thread_.join();
  }
  cache.Clear();
}

bool SiteTranslation::StartRegionThread() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (site_ == nullptr) return false;
  if (!region_thread_.joinable()) region_thread_ = std::thread(RegionThread, std::ref(*this));
  return true;
}

}  // namespace tf
