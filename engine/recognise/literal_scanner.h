// Finds, in one pass over a text, which of a fixed set of literals occur in
// it without regard to case (an Aho-Corasick automaton). The agent
// classifier uses it to try only the patterns whose every literal occurs,
// instead of searching the text once per pattern.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tf {

class LiteralScanner {
 public:
  // Literals are compared with ASCII letters folded; an empty literal
  // occurs in every text.
  explicit LiteralScanner(const std::vector<std::string>& literals);

  std::size_t size() const { return literal_count_; }
  // Sets found[i] to 1 for every literal i that occurs in the text; found
  // must hold size() entries and is not cleared first.
  void Scan(std::string_view text, std::uint8_t* found) const;

 private:
  std::size_t literal_count_ = 0;
  std::size_t class_count_ = 1;
  std::uint8_t byte_class_[256] = {};
  std::vector<std::uint32_t> next_;  // state * class_count_ + class -> state
  // Literals that end at a state, its suffixes' included:
  // outputs_[output_begin_[s] .. output_begin_[s + 1]).
  std::vector<std::uint32_t> output_begin_;
  std::vector<std::uint32_t> outputs_;
  std::vector<std::uint32_t> empty_literals_;
};

}  // namespace tf
