// What one site's run remembers of the user agents it met, so that a
// repeated agent is neither classified nor looked up again. Belongs to the
// site's analysis thread; the user-agent statistics fill and free it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace tf {

class AgentClassCache;
class CTextItem;
struct AgentClass;

struct UserAgentRunCache {
  // The classes of the agents met. The deleter comes with the cache from
  // whoever makes it, so that the site needs not know the classifier.
  std::unique_ptr<AgentClassCache, void (*)(AgentClassCache*)> classes{nullptr, nullptr};
  // The text items of each class of `classes`; emptied when `classes`
  // starts over or the site's text items are freed, since both invalidate
  // the pointers.
  std::unordered_map<const AgentClass*, std::vector<CTextItem*>> items;
  std::size_t class_restarts = 0;
  std::uint64_t item_releases = 0;
};

}  // namespace tf
