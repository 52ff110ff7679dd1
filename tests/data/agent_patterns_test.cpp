// The user-agent pattern lists: every pattern is well formed for the
// pattern language, every row can be reached in its list's order, and real
// agents come out as the browser, platform, add-on, language or spider
// they are, by the engine's own matcher and classifier.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/recognise/agent_classifier.h"
#include "engine/recognise/agent_pattern.h"
#include "engine/site/item_category.h"
#include "template_db.h"

namespace tf::test {
namespace {

struct AgentPattern {
  std::string DisplayName;
  std::string Pattern;
};

std::vector<AgentPattern> LoadList(const std::string& table) {
  TemplateDb db(TemplatePath("SystemTemplate.mdb"));
  std::vector<AgentPattern> list;
  for (const Row& row : db.Query("select DisplayName, Pattern from " + table + " order by SearchOrder")) {
    list.push_back({row[0], row[1]});
  }
  return list;
}

const std::vector<std::string> kPatternTables = {"tblBrowsers", "tblBrowserAddons", "tblPlatforms",
                                                 "tblSpiders"};

// What the classification counts for one agent; empty texts are not counted.
struct Agent {
  std::string spider, language, browser, browser_version, addon, platform, platform_version;
};

Agent Spider(const char* name) {
  Agent agent;
  agent.spider = name;
  return agent;
}

const AgentPattern* FirstMatch(const std::vector<AgentPattern>& list, std::string_view text,
                               std::string& version) {
  for (const AgentPattern& entry : list) {
    if (MatchAgentPattern(text, entry.Pattern, version)) return &entry;
  }
  return nullptr;
}

struct SystemLists {
  std::vector<AgentPattern> browsers = LoadList("tblBrowsers");
  std::vector<AgentPattern> browser_addons = LoadList("tblBrowserAddons");
  std::vector<AgentPattern> platforms = LoadList("tblPlatforms");
  std::vector<AgentPattern> languages = LoadList("tblLanguages");
  std::vector<AgentPattern> spiders = LoadList("tblSpiders");
};

Agent Classify(const AgentClassifier& classifier, std::string_view text) {
  Agent agent;
  for (const AgentItem& item : classifier.Classify(text).items) {
    switch (item.category) {
      case kCategorySpider: agent.spider = item.name; break;
      case kCategoryLanguage: agent.language = item.name; break;
      case kCategoryBrowser: agent.browser = item.name; break;
      case kCategoryBrowserVersion: agent.browser_version = item.name; break;
      case kCategoryBrowserAddon: agent.addon = item.name; break;
      case kCategoryPlatform: agent.platform = item.name; break;
      case kCategoryPlatformVersion: agent.platform_version = item.name; break;
    }
  }
  return agent;
}

TEST(AgentPatterns, PatternsAreWellFormed) {
  for (const std::string& table : kPatternTables) {
    for (const AgentPattern& entry : LoadList(table)) {
      SCOPED_TRACE(table + ": " + entry.DisplayName + " / " + entry.Pattern);
      const std::string& p = entry.Pattern;
      ASSERT_FALSE(p.empty());
      for (size_t i = 0; i < p.size(); ++i) {
        // A '*' needs a literal to search for.
        if (p[i] == '*') {
          EXPECT_TRUE(i + 1 < p.size() && !IsAgentWildcard(p[i + 1]));
        }
        // A '#' would swallow a letter, digit or dot that follows it.
        if (p[i] == '#') {
          EXPECT_TRUE(i + 1 == p.size() || !IsVersionChar(p[i + 1]));
        }
      }
      const std::string& name = entry.DisplayName;
      ASSERT_FALSE(PlainItemName(name).empty());
      size_t hash = name.find('#');
      if (hash != std::string::npos) {
        EXPECT_EQ(hash, name.size() - 1) << "the version takes the place of the name's end";
        EXPECT_NE(p.find('#'), std::string::npos) << "a versioned name needs a captured version";
        EXPECT_TRUE(table == "tblBrowsers" || table == "tblPlatforms") << "only these count versions";
      }
      if (table == "tblPlatforms") {
        EXPECT_EQ(name.substr(0, name.find(' ')).find('#'), std::string::npos)
            << "the first word is the platform family";
      }
    }
  }
}

TEST(AgentPatterns, EveryRowCanBeReached) {
  // A text made of a row's own pattern must not be taken by an earlier row
  // of another name; otherwise the row is dead.
  for (const std::string& table : kPatternTables) {
    std::vector<AgentPattern> list = LoadList(table);
    for (const AgentPattern& entry : list) {
      std::string text;
      for (char c : entry.Pattern) {
        if (c == '*') text += ' ';
        else if (c == '+') text += ' ';
        else if (c == '#') text += "1.0";
        else text += c;
      }
      std::string version;
      const AgentPattern* first = FirstMatch(list, text, version);
      ASSERT_NE(first, nullptr) << table << ": " << entry.Pattern;
      EXPECT_TRUE(first == &entry || first->DisplayName == entry.DisplayName)
          << table << ": \"" << text << "\" is taken by " << first->Pattern << " before "
          << entry.Pattern;
    }
  }
}

TEST(AgentClassification, RealAgents) {
  struct Case {
    const char* agent;
    Agent expected;
  };
  const Case cases[] = {
      {"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
       "Chrome/120.0.0.0 Safari/537.36",
       {"", "", "Chrome", "Chrome 120.0.0.0", "None", "Windows", "Windows NT 10.0"}},
      {"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
       "Chrome/120.0.0.0 Safari/537.36 Edg/120.0.2210.91",
       {"", "", "Edge", "Edge 120.0.2210.91", "None", "Windows", "Windows NT 10.0"}},
      {"Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/537.36 (KHTML, like Gecko) "
       "Chrome/119.0.0.0 Safari/537.36 OPR/105.0.0.0",
       {"", "", "Opera", "Opera 105.0.0.0", "None", "macOS", "macOS 10.15"}},
      {"Mozilla/5.0 (X11; Ubuntu; Linux x86_64; rv:121.0) Gecko/20100101 Firefox/121.0",
       {"", "", "Firefox", "Firefox 121.0", "None", "Linux", "Linux x86_64"}},
      {"Mozilla/5.0+(Windows+NT+6.1;+WOW64;+rv:52.0)+Gecko/20100101+Firefox/52.0",
       {"", "", "Firefox", "Firefox 52.0", "None", "Windows", "Windows NT 6.1"}},
      {"Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.2.13) Gecko/20101203 Firefox/3.6.13",
       {"", "English", "Firefox", "Firefox 3.6.13", "None", "Windows", "Windows NT 5.1"}},
      {"Mozilla/5.0 (Android 14; Mobile; rv:121.0) Gecko/121.0 Firefox/121.0",
       {"", "", "Firefox", "Firefox 121.0", "None", "Android", "Android 14"}},
      {"Mozilla/5.0 (iPhone; CPU iPhone OS 17_2 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
       "Version/17.2 Mobile/15E148 Safari/604.1",
       {"", "", "Safari", "Safari 17.2", "None", "iOS", "iOS 17"}},
      {"Mozilla/5.0 (iPad; CPU OS 16_6 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
       "CriOS/120.0.6099.119 Mobile/15E148 Safari/604.1",
       {"", "", "Chrome", "Chrome 120.0.6099.119", "None", "iPadOS", "iPadOS 16"}},
      {"Mozilla/5.0 (Macintosh; U; PPC Mac OS X 10_5_8; en-us) AppleWebKit/531.9 (KHTML, like Gecko) "
       "Version/4.0.3 Safari/531.9",
       {"", "English", "Safari", "Safari 4.0.3", "None", "macOS", "macOS 10.5"}},
      {"Mozilla/5.0 (Linux; Android 13; SM-S918B) AppleWebKit/537.36 (KHTML, like Gecko) "
       "SamsungBrowser/23.0 Chrome/115.0.0.0 Mobile Safari/537.36",
       {"", "", "Samsung Internet", "Samsung Internet 23.0", "None", "Android", "Android 13"}},
      {"Mozilla/5.0 (Linux; Android 10; K; wv) AppleWebKit/537.36 (KHTML, like Gecko) Version/4.0 "
       "Chrome/120.0.6099.144 Mobile Safari/537.36",
       {"", "", "Android WebView", "Android WebView 120.0.6099.144", "None", "Android", "Android 10"}},
      {"Mozilla/5.0 (iPhone; CPU iPhone OS 16_6 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
       "Mobile/15E148 [FBAN/FBIOS;FBDV/iPhone14,5;FBMD/iPhone;FBSN/iOS;FBSV/16.6;FBLC/en_US;FBOP/5]",
       {"", "", "iOS WebView", "", "Facebook App", "iOS", "iOS 16"}},
      {"Mozilla/5.0 (X11; CrOS x86_64 14541.0.0) AppleWebKit/537.36 (KHTML, like Gecko) "
       "Chrome/120.0.0.0 Safari/537.36",
       {"", "", "Chrome", "Chrome 120.0.0.0", "None", "ChromeOS", "ChromeOS 14541.0.0"}},
      {"Mozilla/5.0 (Windows NT 10.0; Win64; x64; Xbox; Xbox One) AppleWebKit/537.36 (KHTML, like Gecko) "
       "Chrome/116.0.1938.79 Safari/537.36 Edge/44.18363.8131",
       {"", "", "Edge", "Edge 44.18363.8131", "None", "Xbox", "Xbox One"}},
      {"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 1.1.4322)",
       {"", "", "Internet Explorer", "Internet Explorer 6.0", ".NET Framework", "Windows", "Windows NT 5.1"}},
      {"Mozilla/5.0 (Windows NT 6.1; WOW64; Trident/7.0; rv:11.0) like Gecko",
       {"", "", "Internet Explorer", "Internet Explorer 11.0", "None", "Windows", "Windows NT 6.1"}},
      {"Mozilla/5.0 (Mobile; Windows Phone 8.1; Android 4.0; ARM; Trident/7.0; Touch; rv:11.0; "
       "IEMobile/11.0; NOKIA; Lumia 635) like iPhone OS 7_0_3 Mac OS X AppleWebKit/537 "
       "(KHTML, like Gecko) Mobile Safari/537",
       {"", "", "IE Mobile", "IE Mobile 11.0", "None", "Windows", "Windows Phone 8.1"}},
      {"Opera/9.80 (Windows NT 6.1; U; es-ES) Presto/2.9.181 Version/12.00",
       {"", "Spanish", "Opera", "Opera 12.00", "None", "Windows", "Windows NT 6.1"}},
      {"Mozilla/4.78 [en] (X11; U; Linux 2.4.7-10 i686)",
       {"", "English", "Netscape 4", "Netscape 4.78", "None", "Linux", "Linux 2.4.7"}},
      {"Mozilla/4.7 [de] (Win98; I)",
       {"", "German", "Netscape 4", "Netscape 4.7", "None", "Windows", "Windows 98"}},
      // "Microsoft" holds "cros" when case is ignored; that is no ChromeOS.
      {"Microsoft Office/16.0 (Windows NT 10.0; Microsoft Outlook 16.0.17126; Pro)",
       {"", "", "Microsoft Office", "Microsoft Office 16.0", "None", "Windows", "Windows NT 10.0"}},
      {"Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 6.1; Trident/4.0; GTB6.5; .NET CLR 2.0.50727)",
       {"", "", "Internet Explorer", "Internet Explorer 8.0", "Google Toolbar", "Windows", "Windows NT 6.1"}},
      {"SomeApp/1.0", {"", "", "Other", "", "None", "Other", ""}},

      {"Mozilla/5.0 (Linux; Android 6.0.1; Nexus 5X Build/MMB29P) AppleWebKit/537.36 (KHTML, like Gecko) "
       "Chrome/120.0.6099.129 Mobile Safari/537.36 (compatible; Googlebot/2.1; "
       "+http://www.google.com/bot.html)",
       Spider("Googlebot")},
      {"Googlebot-Image/1.0", Spider("Googlebot-Image")},
      {"Mozilla/5.0 (compatible; bingbot/2.0; +http://www.bing.com/bingbot.htm)", Spider("Bingbot")},
      {"Mozilla/5.0 (compatible; YandexBot/3.0; +http://yandex.com/bots)", Spider("YandexBot")},
      {"Mozilla/5.0 (compatible; SemrushBot/7~bl; +http://www.semrush.com/bot.html)", Spider("SemrushBot")},
      {"Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; GPTBot/1.2; "
       "+https://openai.com/gptbot)",
       Spider("GPTBot")},
      {"Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; ClaudeBot/1.0; "
       "+claudebot@anthropic.com)",
       Spider("ClaudeBot")},
      {"facebookexternalhit/1.1 (+http://www.facebook.com/externalhit_uatext.php)", Spider("Facebook")},
      {"Feedly/1.0 (+http://www.feedly.com/fetcher.html; 5 subscribers; like FeedFetcher-Google)",
       Spider("Feedly")},
      {"Mozilla/5.0+(compatible; UptimeRobot/2.0; http://www.uptimerobot.com/)", Spider("UptimeRobot")},
      // "commoncrawl.org" must not read as another crawler's name.
      {"CCBot/2.0 (https://commoncrawl.org/faq/)", Spider("CCBot")},
      {"curl/8.4.0", Spider("curl")},
      {"python-requests/2.31.0", Spider("Python Requests")},
      {"Mozilla/5.0 (compatible; ExampleCrawler/0.1)", Spider("Other crawler")},
  };
  SystemLists lists;
  AgentClassifier classifier(AgentPatternLists::From(lists));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.agent);
    Agent got = Classify(classifier, c.agent);
    const Agent& want = c.expected;
    EXPECT_EQ(got.spider, want.spider);
    if (!want.spider.empty()) continue;
    EXPECT_EQ(got.language, want.language);
    EXPECT_EQ(got.browser, want.browser);
    EXPECT_EQ(got.browser_version, want.browser_version);
    EXPECT_EQ(got.addon, want.addon);
    EXPECT_EQ(got.platform, want.platform);
    EXPECT_EQ(got.platform_version, want.platform_version);
  }
}

}  // namespace
}  // namespace tf::test
