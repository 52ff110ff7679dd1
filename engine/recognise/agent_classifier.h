// User-agent classification: what spider, or what language, browser (with
// version), browser add-on and platform (with version) one user-agent text
// names, by the five pattern lists of the system database.
//
// The result depends only on the text and the lists, and the lists never
// change once loaded, so a classifier is built once and may be shared by
// every analysis thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tf {

// One entry of a pattern list: the name a match counts under, and its
// pattern (agent_pattern.h; for languages, the language code).
struct AgentPatternView {
  std::string_view DisplayName;
  std::string_view Pattern;
};

// The five lists, each in search order. The members are named like the
// system data's lists, so From() reads that object, or anything with such
// lists of entries that have a DisplayName and a Pattern.
struct AgentPatternLists {
  std::vector<AgentPatternView> browsers;
  std::vector<AgentPatternView> browser_addons;
  std::vector<AgentPatternView> platforms;
  std::vector<AgentPatternView> languages;
  std::vector<AgentPatternView> spiders;

  template <class Source>
  static AgentPatternLists From(const Source& source) {
    AgentPatternLists lists;
    Views(source.browsers, lists.browsers);
    Views(source.browser_addons, lists.browser_addons);
    Views(source.platforms, lists.platforms);
    Views(source.languages, lists.languages);
    Views(source.spiders, lists.spiders);
    return lists;
  }

 private:
  template <class List>
  static void Views(const List& list, std::vector<AgentPatternView>& out) {
    for (const auto& entry : list) out.push_back({entry.DisplayName, entry.Pattern});
  }
};

// One text item to count: its category (item_category.h) and name.
struct AgentItem {
  std::int32_t category = 0;
  std::string name;
  bool operator==(const AgentItem&) const = default;
};

// What one user agent counts, in counting order: a spider alone; or the
// language when one is named, the browser ("Other" when none matched) and
// its version, the add-on ("None" when none matched), the platform
// ("Other" when none matched) and its version.
struct AgentClass {
  std::vector<AgentItem> items;
  bool operator==(const AgentClass&) const = default;
};

// The names a matching entry counts under.
// Browser and add-on: the display name without trailing blanks and '#'.
std::string PlainItemName(std::string_view display_name);
// Platform: the display name up to its first blank.
std::string PlatformFamilyName(std::string_view display_name);
// With version: the display name with its first '#' and all after it
// replaced by the version.
std::string VersionItemName(std::string_view display_name, std::string_view version);

class AgentClassifier {
 public:
  // Copies what it needs; the lists' texts need not outlive it.
  explicit AgentClassifier(const AgentPatternLists& lists);
  ~AgentClassifier();
  AgentClassifier(const AgentClassifier&) = delete;
  AgentClassifier& operator=(const AgentClassifier&) = delete;

  // Safe to call from several threads at once.
  AgentClass Classify(std::string_view agent) const;

 private:
  struct Impl;
  std::unique_ptr<const Impl> impl_;
};

}  // namespace tf
