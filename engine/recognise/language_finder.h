// The language of a user agent: the first language of the list whose code
// P the agent carries in one of the forms "[P]", "[P-", "+P-", "; P-" or
// "MSNmP-", compared with case. Codes of any length are found whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/common/string_hash.h"
#include "engine/recognise/agent_classifier.h"

namespace tf {

class LanguageFinder {
 public:
  explicit LanguageFinder(const std::vector<AgentPatternView>& languages);

  // Display name of the language, or nullptr when the agent names none.
  const std::string* Find(std::string_view agent) const;

 private:
  // The earliest list position of the language with the code at `at`, when
  // one of the given terminators follows it.
  void Consider(std::string_view agent, std::size_t at, std::string_view terminators,
                std::size_t& best) const;

  std::vector<std::string> names_;
  std::unordered_map<std::string, std::size_t, StringHash, std::equal_to<>> position_of_code_;
  std::vector<std::size_t> code_lengths_;
};

}  // namespace tf
