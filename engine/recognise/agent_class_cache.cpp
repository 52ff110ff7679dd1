#include "engine/recognise/agent_class_cache.h"

#include <algorithm>
#include <cstring>

namespace tf {
namespace {

constexpr std::size_t kBlockSize = 64u << 10;
// What one remembered agent costs besides its text: its map node and slot.
constexpr std::size_t kEntryOverhead = 64;

std::string ItemsKey(const AgentClass& agent_class) {
  std::string key;
  for (const AgentItem& item : agent_class.items) {
    key += std::to_string(item.category);
    key += '\t';
    key += item.name;
    key += '\n';
  }
  return key;
}

}  // namespace

AgentClassCache::AgentClassCache(const AgentClassifier& classifier, std::size_t byte_limit)
    : classifier_(classifier), byte_limit_(byte_limit) {}

const AgentClass& AgentClassCache::Classify(std::string_view agent) {
  if (auto it = by_agent_.find(agent); it != by_agent_.end()) return *it->second;

  if (bytes_ + agent.size() + kEntryOverhead > byte_limit_) Clear();
  AgentClass fresh = classifier_.Classify(agent);
  ++classified_;
  std::string key = ItemsKey(fresh);
  auto found = by_items_.find(key);
  const AgentClass* shared;
  if (found != by_items_.end()) {
    shared = found->second;
  } else {
    shared = &classes_.emplace_back(std::move(fresh));
    by_items_.emplace(std::move(key), shared);
  }
  by_agent_.emplace(Remember(agent), shared);
  return *shared;
}

std::string_view AgentClassCache::Remember(std::string_view agent) {
  if (blocks_.empty() || block_used_ + agent.size() > block_size_) {
    block_size_ = std::max(kBlockSize, agent.size());
    blocks_.push_back(std::make_unique<char[]>(block_size_));
    block_used_ = 0;
  }
  char* copy = blocks_.back().get() + block_used_;
  if (!agent.empty()) std::memcpy(copy, agent.data(), agent.size());
  block_used_ += agent.size();
  bytes_ += agent.size() + kEntryOverhead;
  return std::string_view(copy, agent.size());
}

void AgentClassCache::Clear() {
  ++restarts_;
  by_agent_.clear();
  by_items_.clear();
  classes_.clear();
  blocks_.clear();
  block_used_ = 0;
  block_size_ = 0;
  bytes_ = 0;
}

}  // namespace tf
