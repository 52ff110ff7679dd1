#include "engine/recognise/language_finder.h"

#include <algorithm>

namespace tf {

LanguageFinder::LanguageFinder(const std::vector<AgentPatternView>& languages) {
  for (const AgentPatternView& language : languages) {
    std::string code(language.Pattern);
    // A code listed twice counts under its first entry.
    position_of_code_.try_emplace(code, names_.size());
    names_.emplace_back(language.DisplayName);
    if (std::find(code_lengths_.begin(), code_lengths_.end(), code.size()) == code_lengths_.end()) {
      code_lengths_.push_back(code.size());
    }
  }
}

void LanguageFinder::Consider(std::string_view agent, std::size_t at, std::string_view terminators,
                              std::size_t& best) const {
  for (std::size_t length : code_lengths_) {
    if (at + length >= agent.size()) continue;
    if (terminators.find(agent[at + length]) == std::string_view::npos) continue;
    auto it = position_of_code_.find(agent.substr(at, length));
    if (it != position_of_code_.end()) best = std::min(best, it->second);
  }
}

const std::string* LanguageFinder::Find(std::string_view agent) const {
  if (names_.empty()) return nullptr;
  // Every place where one of the forms can begin, whatever the code; the
  // language listed first among those found wins, as if each language were
  // searched in list order.
  std::size_t best = names_.size();
  for (std::size_t i = 0; i < agent.size(); ++i) {
    switch (agent[i]) {
      case '[':
        Consider(agent, i + 1, "]-", best);
        break;
      case '+':
        Consider(agent, i + 1, "-", best);
        break;
      case ';':
        if (i + 1 < agent.size() && agent[i + 1] == ' ') Consider(agent, i + 2, "-", best);
        break;
      case 'M':
        if (agent.substr(i, 4) == "MSNm") Consider(agent, i + 4, "-", best);
        break;
      default:
        break;
    }
  }
  return best < names_.size() ? &names_[best] : nullptr;
}

}  // namespace tf
