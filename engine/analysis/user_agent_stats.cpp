#include "engine/analysis/user_agent_stats.h"

#include <atomic>
#include <mutex>

#include "engine/analysis/agent_class_cache.h"
#include "engine/analysis/agent_classifier.h"
#include "engine/analysis/text_item.h"
#include "engine/store/site.h"
#include "engine/store/statistics_writer.h"
#include "engine/store/system_data.h"

namespace tf {

namespace {

bool PatternListsLoaded(const CSystemData& system) {
  return !system.browsers.empty() || !system.browser_addons.empty() || !system.platforms.empty() ||
         !system.languages.empty() || !system.spiders.empty();
}

// One hit and one session, in each period the site counts the item in.
void CountHitAndSession(CSite& site, CTextItem& item, TimeValue time, const SiteLockGuard& held) {
  CountInPeriods(item, site, time, held, [](PeriodCounters& counters) {
    ++counters.Hits;
    ++counters.SessionCount;
  });
}

}  // namespace

const AgentClassifier& SystemAgentClassifier() {
  static std::atomic<const AgentClassifier*> shared{nullptr};
  static std::mutex building;
  if (const AgentClassifier* built = shared.load(std::memory_order_acquire)) return *built;
  std::lock_guard<std::mutex> lock(building);
  if (const AgentClassifier* built = shared.load(std::memory_order_acquire)) return *built;
  // Lists that are not loaded yet are not remembered: the classifier of the
  // loaded lists is built as soon as they are there.
  if (!PatternListsLoaded(SystemData)) {
    static const AgentClassifier empty{AgentPatternLists{}};
    return empty;
  }
  static const AgentClassifier loaded{AgentPatternLists::From(SystemData)};
  shared.store(&loaded, std::memory_order_release);
  return loaded;
}

UserAgentRunCache::UserAgentRunCache() = default;
UserAgentRunCache::~UserAgentRunCache() = default;

std::span<CTextItem* const> UserAgentRunCache::ItemsOf(CSite& site, std::string_view agent,
                                                       const SiteLockGuard& held) {
  if (!classes_) classes_ = std::make_unique<AgentClassCache>(SystemAgentClassifier());
  const AgentClass& agent_class = classes_->Classify(agent);
  const std::uint64_t releases = site.run.items.releases;
  if (classes_->restarts() != class_restarts_ || releases != item_releases_) {
    items_.clear();
    class_restarts_ = classes_->restarts();
    item_releases_ = releases;
  }
  if (auto found = items_.find(&agent_class); found != items_.end()) return found->second;
  std::vector<CTextItem*> items;
  items.reserve(agent_class.items.size());
  for (const AgentItem& item : agent_class.items) {
    items.push_back(FindTextItem(site, item.category, item.name, held));
  }
  return items_.emplace(&agent_class, std::move(items)).first->second;
}

void UserAgentRunCache::Release() {
  items_.clear();
  classes_.reset();
  class_restarts_ = 0;
}

void ClassifyUserAgent(CSite& site, std::string_view agent, TimeValue time) {
  SiteLockGuard held(site, "ClassifyUserAgent");
  for (CTextItem* item : site.run.user_agents.ItemsOf(site, agent, held)) {
    CountHitAndSession(site, *item, time, held);
  }
}

void ReleaseUserAgentStats(CSite& site) { site.run.user_agents.Release(); }

}  // namespace tf
