#include "engine/recognise/agent_classifier.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/recognise/agent_class_cache.h"
#include "engine/recognise/agent_pattern.h"
#include "engine/site/item_category.h"
#include "loaded_system_data.h"

namespace tf {
namespace {

using Items = std::vector<AgentItem>;

struct PatternLists {
  std::vector<AgentPattern> browsers, browser_addons, platforms, languages, spiders;
};

const std::string kLongCode = "a-very-long-language-code-of-forty-chars";

PatternLists SmallLists() {
  PatternLists l;
  l.spiders = {{"Googlebot", "*Googlebot"}};
  l.languages = {{"English", "en"}, {"German", "de"}, {"Long", kLongCode}};
  l.browsers = {{"Internet Explorer #", "*MSIE+#"}, {"Versionless #", "*Versionless/"}};
  l.browser_addons = {{".NET Framework", "*.NET+CLR"}, {"Toolbar #", "*Toolbar/#"}};
  l.platforms = {{"Windows NT #", "*Windows+NT+#"}, {"Linux", "*Linux"}};
  return l;
}

TEST(AgentClassifier, CountsThePartsOfAnAgent) {
  AgentClassifier classifier(AgentPatternLists::From(SmallLists()));
  struct Case {
    std::string agent;
    Items items;
  };
  const Case cases[] = {
      {"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.1.4322)",
       {{405, "Internet Explorer"}, {406, "Internet Explorer 6.0"}, {411, ".NET Framework"},
        {407, "Windows"}, {408, "Windows NT 5.1"}}},
      // A spider is only a spider, whatever else the agent names.
      {"Mozilla/5.0 (compatible; googlebot/2.1; [en]; MSIE 6.0; Windows NT 10.0)", {{410, "Googlebot"}}},
      // Nothing known: no language, and the three defaults.
      {"SomeApp/1.0", {{405, "Other"}, {411, "None"}, {407, "Other"}}},
      // A '#' name whose pattern captures nothing counts no version; an
      // add-on never does.
      {"Versionless/3.0 Toolbar/2.0 (X11; Linux)", {{405, "Versionless"}, {411, "Toolbar"}, {407, "Linux"}}},
      // Languages: searched with case, the first of the list wins.
      {"Mozilla/4.7 [EN] (X11)", {{405, "Other"}, {411, "None"}, {407, "Other"}}},
      {"Mozilla/4.7 (X11; de-DE) [en]", {{409, "English"}, {405, "Other"}, {411, "None"}, {407, "Other"}}},
      {"Opera/9.80+(X11;+Linux;+U;+de-AT)", {{409, "German"}, {405, "Other"}, {411, "None"}, {407, "Linux"}}},
      {"MSNmde-DE Agent", {{409, "German"}, {405, "Other"}, {411, "None"}, {407, "Other"}}},
      // A code longer than any fixed search buffer is still found whole.
      {"X [" + kLongCode + "]", {{409, "Long"}, {405, "Other"}, {411, "None"}, {407, "Other"}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(classifier.Classify(c.agent).items, c.items) << c.agent;
  }
}

TEST(AgentClassifier, ItemNames) {
  EXPECT_EQ(PlainItemName("Netscape 4#"), "Netscape 4");
  EXPECT_EQ(PlainItemName("Edge # #  "), "Edge");
  EXPECT_EQ(PlatformFamilyName("Windows NT #"), "Windows");
  EXPECT_EQ(PlatformFamilyName("Roku"), "Roku");
  EXPECT_EQ(VersionItemName("macOS 10.#", "15"), "macOS 10.15");
  EXPECT_EQ(VersionItemName("Netscape 4#", ".78"), "Netscape 4.78");
}

Items Expect(std::vector<std::string> parts) {
  // spider | language, browser, browser version, add-on, platform, version
  if (parts.size() == 1) return {{410, parts[0]}};
  const std::int32_t categories[] = {409, 405, 406, 411, 407, 408};
  Items items;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (!parts[i].empty()) items.push_back({categories[i], parts[i]});
  }
  return items;
}

// Agents of today's browsers and crawlers, as servers log them, through the
// lists the system ships.
TEST(AgentClassifier, RealAgentsWithTheShippedLists) {
  test::LoadedSystemData data;
  AgentClassifier classifier(AgentPatternLists::From(data.system));
  struct Case {
    const char* agent;
    Items items;
  };
  const Case cases[] = {
      {"Mozilla/5.0+(Windows+NT+10.0;+Win64;+x64)+AppleWebKit/537.36+(KHTML,+like+Gecko)+"
       "Chrome/124.0.0.0+Safari/537.36",
       Expect({"", "Chrome", "Chrome 124.0.0.0", "None", "Windows", "Windows NT 10.0"})},
      {"Mozilla/5.0 (Macintosh; Intel Mac OS X 14_4_1) AppleWebKit/605.1.15 (KHTML, like Gecko) "
       "Version/17.4.1 Safari/605.1.15",
       Expect({"", "Safari", "Safari 17.4.1", "None", "macOS", "macOS 14"})},
      {"Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:125.0) Gecko/20100101 Firefox/125.0",
       Expect({"", "Firefox", "Firefox 125.0", "None", "Windows", "Windows NT 10.0"})},
      {"Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) "
       "Chrome/124.0.6367.82 Mobile Safari/537.36",
       Expect({"", "Chrome", "Chrome 124.0.6367.82", "None", "Android", "Android 14"})},
      {"Mozilla/5.0 (iPhone; CPU iPhone OS 17_4 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
       "Version/17.4 Mobile/15E148 Safari/604.1",
       Expect({"", "Safari", "Safari 17.4", "None", "iOS", "iOS 17"})},
      {"Mozilla/5.0 (Linux; Android 14; SM-S921B) AppleWebKit/537.36 (KHTML, like Gecko) "
       "SamsungBrowser/24.0 Chrome/117.0.0.0 Mobile Safari/537.36",
       Expect({"", "Samsung Internet", "Samsung Internet 24.0", "None", "Android", "Android 14"})},
      {"Mozilla/5.0 (iPhone; CPU iPhone OS 17_4 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
       "Mobile/15E148 Instagram 330.0.0.26.86",
       Expect({"", "iOS WebView", "", "Instagram App", "iOS", "iOS 17"})},
      {"Mozilla/5.0 (Windows; U; Windows NT 6.1; de-DE) AppleWebKit/533.20.25 (KHTML, like Gecko) "
       "Version/5.0.4 Safari/533.20.27",
       Expect({"German", "Safari", "Safari 5.0.4", "None", "Windows", "Windows NT 6.1"})},
      {"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
       "Chrome/124.0.0.0 Safari/537.36 Edg/124.0.2478.80",
       Expect({"", "Edge", "Edge 124.0.2478.80", "None", "Windows", "Windows NT 10.0"})},
      {"Mozilla/5.0 (Linux; Android 10; K) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/124.0.0.0 "
       "Mobile Safari/537.36 EdgA/124.0.2478.64",
       Expect({"", "Edge", "Edge 124.0.2478.64", "None", "Android", "Android 10"})},
      {"Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)", Expect({"Googlebot"})},
      {"Mozilla/5.0 (compatible; YandexBot/3.0; +http://yandex.com/bots)", Expect({"YandexBot"})},
      {"Mozilla/5.0+(compatible;+bingbot/2.0;+http://www.bing.com/bingbot.htm)", Expect({"Bingbot"})},
      {"Mozilla/5.0 (compatible; Applebot/0.1; +http://www.apple.com/go/applebot)", Expect({"Applebot"})},
      {"Mozilla/5.0 (compatible; Baiduspider/2.0; +http://www.baidu.com/search/spider.html)",
       Expect({"Baiduspider"})},
      {"Mozilla/5.0 (compatible; AhrefsBot/7.0; +http://ahrefs.com/robot/)", Expect({"AhrefsBot"})},
      {"DuckDuckBot/1.1; (+http://duckduckgo.com/duckduckbot.html)", Expect({"DuckDuckBot"})},
  };
  AgentClassCache cache(classifier);
  for (const Case& c : cases) {
    EXPECT_EQ(classifier.Classify(c.agent).items, c.items) << c.agent;
    EXPECT_EQ(cache.Classify(c.agent).items, c.items) << c.agent;
  }
}

// The classifier tries only the patterns whose literals occur in the agent;
// it must find what trying every pattern in order finds.
TEST(AgentClassifier, SkipsOnlyPatternsThatCannotMatch) {
  test::LoadedSystemData data;
  const CSystemData& lists = data.system;
  AgentClassifier classifier(AgentPatternLists::From(lists));
  auto first = [](const std::vector<AgentPattern>& list, const std::string& agent) -> std::string {
    std::string version;
    for (const AgentPattern& entry : list) {
      if (MatchAgentPattern(agent, entry.Pattern, version)) return entry.DisplayName + "|" + version;
    }
    return "";
  };
  auto named = [](const Items& items, std::int32_t category) -> std::string {
    for (const AgentItem& item : items) {
      if (item.category == category) return item.name;
    }
    return "";
  };
  // Every pattern of every list, written out as an agent that it matches,
  // plus a few prefixes and suffixes around it.
  int checked = 0;
  for (const auto* list : {&lists.spiders, &lists.browsers, &lists.browser_addons, &lists.platforms}) {
    for (const AgentPattern& entry : *list) {
      std::string text;
      for (char c : entry.Pattern) text += c == '*' ? "x " : c == '+' ? "+" : c == '#' ? "1.2" : std::string(1, c);
      for (const std::string& agent : {text, "Mozilla/5.0 (" + text + ")", text + "; rv:1.0) Gecko/1"}) {
        SCOPED_TRACE(agent);
        Items items = classifier.Classify(agent).items;
        std::string spider = first(lists.spiders, agent);
        EXPECT_EQ(named(items, 410), spider.substr(0, spider.find('|')));
        if (!spider.empty()) continue;
        std::string browser = first(lists.browsers, agent);
        EXPECT_EQ(named(items, 405), browser.empty() ? "Other" : PlainItemName(browser.substr(0, browser.find('|'))));
        std::string addon = first(lists.browser_addons, agent);
        EXPECT_EQ(named(items, 411), addon.empty() ? "None" : PlainItemName(addon.substr(0, addon.find('|'))));
        std::string platform = first(lists.platforms, agent);
        EXPECT_EQ(named(items, 407), platform.empty() ? "Other" : PlatformFamilyName(platform.substr(0, platform.find('|'))));
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 100);
}

TEST(AgentClassCache, ClassifiesEachAgentOnce) {
  AgentClassifier classifier(AgentPatternLists::From(SmallLists()));
  AgentClassCache cache(classifier);
  const std::string a = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";
  const std::string b = "Mozilla/4.0+(compatible;+MSIE+6.0;+Windows+NT+5.1)";
  const AgentClass* first = &cache.Classify(a);
  EXPECT_EQ(&cache.Classify(std::string(a)), first);
  // Another text of the same class shares the class.
  EXPECT_EQ(&cache.Classify(b), first);
  EXPECT_EQ(cache.classified(), 2u);
  EXPECT_EQ(cache.agents(), 2u);
  EXPECT_EQ(cache.classes(), 1u);
}

TEST(AgentClassCache, StartsOverAtItsLimit) {
  AgentClassifier classifier(AgentPatternLists::From(SmallLists()));
  AgentClassCache cache(classifier, 1000);
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 40; ++i) {
      std::string agent = "Mozilla/4.0 (compatible; MSIE " + std::to_string(i) + ".0; Windows NT 5.1)";
      const AgentClass& got = cache.Classify(agent);
      EXPECT_EQ(got, classifier.Classify(agent));
      EXPECT_LE(cache.agents(), 1000u / 64);
    }
  }
  EXPECT_GT(cache.restarts(), 0u);
}

}  // namespace
}  // namespace tf
