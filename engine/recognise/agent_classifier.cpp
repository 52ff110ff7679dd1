#include "engine/recognise/agent_classifier.h"

#include <unordered_map>

#include "engine/common/ascii.h"
#include "engine/recognise/agent_pattern.h"
#include "engine/recognise/language_finder.h"
#include "engine/recognise/literal_scanner.h"
#include "engine/site/item_category.h"

namespace tf {

std::string PlainItemName(std::string_view display_name) {
  std::size_t end = display_name.size();
  while (end > 0 && (display_name[end - 1] == ' ' || display_name[end - 1] == '#')) --end;
  return std::string(display_name.substr(0, end));
}

std::string PlatformFamilyName(std::string_view display_name) {
  return std::string(display_name.substr(0, display_name.find(' ')));
}

std::string VersionItemName(std::string_view display_name, std::string_view version) {
  std::string name(display_name.substr(0, display_name.find('#')));
  name += version;
  return name;
}

namespace {

// One pattern ready to try: the literals it needs found in the text, and
// the names a match counts under.
struct CompiledPattern {
  std::string pattern;
  std::string display_name;
  std::string item_name;  // plain name, or the platform family
  bool versioned = false;
  std::vector<std::uint32_t> literals;
};

// Gathers the literals of every pattern, each distinct one once.
class LiteralTable {
 public:
  std::uint32_t Add(std::string_view literal) {
    std::string folded;
    for (char c : literal) folded.push_back(ToLowerAscii(c));
    auto [it, added] = ids_.try_emplace(folded, static_cast<std::uint32_t>(literals_.size()));
    if (added) literals_.push_back(folded);
    return it->second;
  }
  const std::vector<std::string>& literals() const { return literals_; }

 private:
  std::unordered_map<std::string, std::uint32_t> ids_;
  std::vector<std::string> literals_;
};

// Every run of literal characters of a pattern must occur in a text that
// the pattern matches, since the matcher compares each run whole.
std::vector<std::uint32_t> PatternLiterals(std::string_view pattern, LiteralTable& table) {
  std::vector<std::uint32_t> ids;
  std::size_t i = 0;
  while (i < pattern.size()) {
    if (IsAgentWildcard(pattern[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < pattern.size() && !IsAgentWildcard(pattern[end])) ++end;
    ids.push_back(table.Add(pattern.substr(i, end - i)));
    i = end;
  }
  return ids;
}

enum class NameRule { kPlain, kPlatform };

std::vector<CompiledPattern> Compile(const std::vector<AgentPatternView>& list, NameRule rule,
                                     LiteralTable& table) {
  std::vector<CompiledPattern> compiled;
  compiled.reserve(list.size());
  for (const AgentPatternView& entry : list) {
    CompiledPattern c;
    c.pattern = entry.Pattern;
    c.display_name = entry.DisplayName;
    c.item_name = rule == NameRule::kPlatform ? PlatformFamilyName(entry.DisplayName)
                                              : PlainItemName(entry.DisplayName);
    c.versioned = entry.DisplayName.find('#') != std::string_view::npos;
    c.literals = PatternLiterals(entry.Pattern, table);
    compiled.push_back(std::move(c));
  }
  return compiled;
}

}  // namespace

struct AgentClassifier::Impl {
  // The lists compile first, gathering their literals into `table`, from
  // which the scanner is built (members are initialised in this order).
  explicit Impl(const AgentPatternLists& lists, LiteralTable table = {})
      : spiders(Compile(lists.spiders, NameRule::kPlain, table)),
        browsers(Compile(lists.browsers, NameRule::kPlain, table)),
        addons(Compile(lists.browser_addons, NameRule::kPlain, table)),
        platforms(Compile(lists.platforms, NameRule::kPlatform, table)),
        scanner(table.literals()),
        languages(lists.languages) {}

  // The first entry of the list that matches, trying only those whose
  // literals all occur in the text.
  const CompiledPattern* FirstMatch(const std::vector<CompiledPattern>& list, std::string_view agent,
                                    const std::uint8_t* found, std::string& version) const {
    for (const CompiledPattern& entry : list) {
      bool possible = true;
      for (std::uint32_t id : entry.literals) possible = possible && found[id];
      if (possible && MatchAgentPattern(agent, entry.pattern, version)) return &entry;
    }
    return nullptr;
  }

  // The list's item, and its version item when the name takes one and a
  // version was captured; `none` when nothing matched.
  void Count(const std::vector<CompiledPattern>& list, std::int32_t category, std::int32_t version_category,
             const char* none, std::string_view agent, const std::uint8_t* found, AgentClass& out) const {
    std::string version;
    const CompiledPattern* match = FirstMatch(list, agent, found, version);
    if (match == nullptr) {
      out.items.push_back({category, none});
      return;
    }
    out.items.push_back({category, match->item_name});
    if (version_category != 0 && match->versioned && !version.empty()) {
      out.items.push_back({version_category, VersionItemName(match->display_name, version)});
    }
  }

  std::vector<CompiledPattern> spiders, browsers, addons, platforms;
  LiteralScanner scanner;
  LanguageFinder languages;
};

AgentClassifier::AgentClassifier(const AgentPatternLists& lists) : impl_(std::make_unique<Impl>(lists)) {}

AgentClassifier::~AgentClassifier() = default;

AgentClass AgentClassifier::Classify(std::string_view agent) const {
  const Impl& impl = *impl_;
  std::vector<std::uint8_t> found(impl.scanner.size());
  impl.scanner.Scan(agent, found.data());

  AgentClass out;
  std::string version;
  if (const CompiledPattern* spider = impl.FirstMatch(impl.spiders, agent, found.data(), version)) {
    out.items.push_back({kCategorySpider, spider->display_name});
    return out;
  }
  if (const std::string* language = impl.languages.Find(agent)) {
    out.items.push_back({kCategoryLanguage, *language});
  }
  impl.Count(impl.browsers, kCategoryBrowser, kCategoryBrowserVersion, "Other", agent, found.data(), out);
  impl.Count(impl.addons, kCategoryBrowserAddon, 0, "None", agent, found.data(), out);
  impl.Count(impl.platforms, kCategoryPlatform, kCategoryPlatformVersion, "Other", agent, found.data(), out);
  return out;
}

}  // namespace tf
