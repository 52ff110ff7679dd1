#include "engine/recognise/user_agent_stats.h"

#include <atomic>
#include <mutex>
#include <span>
#include <vector>

#include "engine/recognise/agent_class_cache.h"
#include "engine/recognise/agent_classifier.h"
#include "engine/site/site.h"
#include "engine/site/text_item.h"
#include "engine/stats/statistics_writer.h"
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

namespace {

// The run's text items that the agent counts on, in counting order, found
// or added with FindTextItem. Valid until the next call.
std::span<CTextItem* const> ItemsOfAgent(CSite& site, std::string_view agent,
                                         const SiteLockGuard& held) {
  UserAgentRunCache& cache = site.run.user_agents;
  if (!cache.classes) {
    cache.classes = {new AgentClassCache(SystemAgentClassifier()),
                     [](AgentClassCache* classes) { delete classes; }};
  }
  const AgentClass& agent_class = cache.classes->Classify(agent);
  const std::uint64_t releases = site.run.items.releases;
  if (cache.classes->restarts() != cache.class_restarts || releases != cache.item_releases) {
    cache.items.clear();
    cache.class_restarts = cache.classes->restarts();
    cache.item_releases = releases;
  }
  if (auto found = cache.items.find(&agent_class); found != cache.items.end()) {
    return found->second;
  }
  std::vector<CTextItem*> items;
  items.reserve(agent_class.items.size());
  for (const AgentItem& item : agent_class.items) {
    items.push_back(FindTextItem(site, item.category, item.name, held));
  }
  return cache.items.emplace(&agent_class, std::move(items)).first->second;
}

}  // namespace

void ClassifyUserAgent(CSite& site, std::string_view agent, TimeValue time) {
  SiteLockGuard held(site, "ClassifyUserAgent");
  for (CTextItem* item : ItemsOfAgent(site, agent, held)) {
    CountHitAndSession(site, *item, time, held);
  }
}

void ReleaseUserAgentStats(CSite& site) {
  UserAgentRunCache& cache = site.run.user_agents;
  cache.items.clear();
  cache.classes.reset();
  cache.class_restarts = 0;
}

}  // namespace tf
