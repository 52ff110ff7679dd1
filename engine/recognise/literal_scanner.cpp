#include "engine/recognise/literal_scanner.h"

#include "engine/common/ascii.h"

namespace tf {
namespace {

constexpr std::uint32_t kNone = UINT32_MAX;

}  // namespace

LiteralScanner::LiteralScanner(const std::vector<std::string>& literals)
    : literal_count_(literals.size()) {
  // Bytes that occur in no literal share class 0; a letter and its upper
  // case share one class.
  for (const std::string& literal : literals) {
    for (char c : literal) {
      auto lower = static_cast<unsigned char>(ToLowerAscii(c));
      if (byte_class_[lower] == 0) byte_class_[lower] = static_cast<std::uint8_t>(class_count_++);
    }
  }
  for (int c = 'A'; c <= 'Z'; ++c) byte_class_[c] = byte_class_[c - 'A' + 'a'];

  // The trie of the literals.
  next_.assign(class_count_, kNone);
  std::vector<std::vector<std::uint32_t>> ends(1);
  for (std::uint32_t id = 0; id < literals.size(); ++id) {
    if (literals[id].empty()) {
      empty_literals_.push_back(id);
      continue;
    }
    std::uint32_t state = 0;
    for (char c : literals[id]) {
      std::size_t slot = state * class_count_ + byte_class_[static_cast<unsigned char>(c)];
      if (next_[slot] == kNone) {
        next_[slot] = static_cast<std::uint32_t>(ends.size());
        ends.emplace_back();
        next_.resize(next_.size() + class_count_, kNone);
      }
      state = next_[slot];
    }
    ends[state].push_back(id);
  }

  // Breadth first: each state's failure link, its missing moves taken from
  // that link, and its outputs joined with the link's.
  const std::size_t states = ends.size();
  std::vector<std::uint32_t> fail(states, 0);
  std::vector<std::uint32_t> order;
  order.reserve(states);
  for (std::size_t c = 0; c < class_count_; ++c) {
    std::uint32_t& to = next_[c];
    if (to == kNone) {
      to = 0;
    } else {
      order.push_back(to);
    }
  }
  for (std::size_t i = 0; i < order.size(); ++i) {
    std::uint32_t state = order[i];
    for (std::size_t c = 0; c < class_count_; ++c) {
      std::uint32_t& to = next_[state * class_count_ + c];
      std::uint32_t fallback = next_[fail[state] * class_count_ + c];
      if (to == kNone) {
        to = fallback;
      } else {
        fail[to] = fallback;
        order.push_back(to);
      }
    }
  }
  std::vector<std::vector<std::uint32_t>> outputs(states);
  for (std::uint32_t state : order) {
    outputs[state] = ends[state];
    const auto& inherited = outputs[fail[state]];
    outputs[state].insert(outputs[state].end(), inherited.begin(), inherited.end());
  }
  output_begin_.reserve(states + 1);
  for (const auto& list : outputs) {
    output_begin_.push_back(static_cast<std::uint32_t>(outputs_.size()));
    outputs_.insert(outputs_.end(), list.begin(), list.end());
  }
  output_begin_.push_back(static_cast<std::uint32_t>(outputs_.size()));
}

void LiteralScanner::Scan(std::string_view text, std::uint8_t* found) const {
  for (std::uint32_t id : empty_literals_) found[id] = 1;
  std::uint32_t state = 0;
  for (char c : text) {
    state = next_[state * class_count_ + byte_class_[static_cast<unsigned char>(c)]];
    for (std::uint32_t i = output_begin_[state]; i < output_begin_[state + 1]; ++i) found[outputs_[i]] = 1;
  }
}

}  // namespace tf
