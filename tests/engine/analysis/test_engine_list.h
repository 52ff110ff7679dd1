// A search engine list with the face of the system's (CSystemData): engines
// found by address under a shared lock, added under the exclusive lock,
// delimiter lists published at their head. Engines are never freed before
// the list.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tf::test {

class TestEngineList {
 public:
  struct Delimiter {
    std::string StartString;
    std::string EndString;
    Delimiter* next = nullptr;
  };
  struct Engine {
    ~Engine() {
      for (Delimiter* d = delimiters.load(); d != nullptr;) {
        Delimiter* next = d->next;
        delete d;
        d = next;
      }
    }
    std::string ServerAddress;
    std::string ServerName;
    std::atomic<Delimiter*> delimiters{nullptr};
  };

  Engine* FindSearchEngine(std::string_view address) const {
    std::shared_lock lock(mutex_);
    auto it = index_.find(std::string(address));
    return it == index_.end() ? nullptr : it->second;
  }

  Engine* AddSearchEngine(std::unique_ptr<Engine> entry, std::unique_ptr<Delimiter> delimiter) {
    if (entry->ServerAddress.find('.') == std::string::npos || entry->ServerName.empty() ||
        delimiter->StartString.empty() || delimiter->EndString.empty()) {
      return nullptr;
    }
    std::unique_lock lock(mutex_);
    Engine*& engine = index_[entry->ServerAddress];
    if (engine == nullptr) {
      engines_.push_back(std::move(entry));
      engine = engines_.back().get();
    }
    Push(*engine, std::move(delimiter));
    return engine;
  }

  void AddPhraseDelimiter(Engine* engine, std::unique_ptr<Delimiter> delimiter) {
    std::unique_lock lock(mutex_);
    Push(*engine, std::move(delimiter));
  }

  std::size_t size() const {
    std::shared_lock lock(mutex_);
    return engines_.size();
  }
  // Start strings of an engine, newest first.
  static std::vector<std::string> Keys(const Engine& engine) {
    std::vector<std::string> keys;
    for (Delimiter* d = engine.delimiters.load(); d != nullptr; d = d->next) keys.push_back(d->StartString);
    return keys;
  }

 private:
  static void Push(Engine& engine, std::unique_ptr<Delimiter> delimiter) {
    delimiter->next = engine.delimiters.load(std::memory_order_relaxed);
    engine.delimiters.store(delimiter.release(), std::memory_order_release);
  }

  mutable std::shared_mutex mutex_;
  std::vector<std::unique_ptr<Engine>> engines_;
  std::unordered_map<std::string, Engine*> index_;
};

}  // namespace tf::test
