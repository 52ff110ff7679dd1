// The classes of the user agents seen in one analysis run, so that each
// distinct agent text is classified once. Agents that share a class share
// one copy of it.
//
// Memory stays bounded: once the remembered agents (texts and index) would
// pass the byte limit, the cache starts over, which costs only classifying
// again.
// Belongs to one run's thread.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/common/string_hash.h"
#include "engine/recognise/agent_classifier.h"

namespace tf {

class AgentClassCache {
 public:
  static constexpr std::size_t kDefaultByteLimit = 8u << 20;

  explicit AgentClassCache(const AgentClassifier& classifier, std::size_t byte_limit = kDefaultByteLimit);
  AgentClassCache(const AgentClassCache&) = delete;
  AgentClassCache& operator=(const AgentClassCache&) = delete;

  // The agent's class. The reference stays valid until the next call.
  const AgentClass& Classify(std::string_view agent);

  std::size_t agents() const { return by_agent_.size(); }
  std::size_t classes() const { return classes_.size(); }
  std::size_t classified() const { return classified_; }
  // How often it started over; what callers keep per class is stale after.
  std::size_t restarts() const { return restarts_; }

 private:
  std::string_view Remember(std::string_view agent);
  void Clear();

  const AgentClassifier& classifier_;
  const std::size_t byte_limit_;
  // Agent texts, packed into blocks that never move.
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t block_used_ = 0;
  std::size_t block_size_ = 0;
  std::size_t bytes_ = 0;
  std::unordered_map<std::string_view, const AgentClass*> by_agent_;
  // One copy of each distinct class, found by its items.
  std::deque<AgentClass> classes_;
  std::unordered_map<std::string, const AgentClass*, StringHash, std::equal_to<>> by_items_;
  std::size_t classified_ = 0;
  std::size_t restarts_ = 0;
};

}  // namespace tf
