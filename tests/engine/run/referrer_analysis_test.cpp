#include "engine/recognise/referrer_analysis.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "engine/site/search_referrer_memo.h"
#include "loaded_system_data.h"

namespace tf {
namespace {

constexpr std::uint32_t kAllSearchStats = kSearchEngineStats | kSearchPhraseStats | kKeywordStats;

TEST(NormalizePhrase, KeepsWordsOnly) {
  struct Case {
    std::string value;
    std::string phrase;
  };
  const Case cases[] = {
      {"cheap+flights", "cheap flights"},
      {"  Cheap,,  FLIGHTS!! ", "cheap flights"},
      {"C%2B%2B+Tutorial", "c tutorial"},
      {"%41%62c", "abc"},
      {"100%+sure", "100 sure"},
      {"50%zz", "50 zz"},  // not an escape: the '%' separates
      {"ab%4", "ab 4"},
      {"a__b-c`d[e]^f", "a__b-c`d e f"},
      // UTF-8 letters are word characters; only ASCII letters are lowered.
      {"caf\xC3\xA9 au lait", "caf\xC3\xA9 au lait"},
      {"M\xC3\x9CNCHEN+%E6%97%A5%E6%9C%AC,%E8%AA%9E", "m\xC3\x9Cnchen \xE6\x97\xA5\xE6\x9C\xAC \xE8\xAA\x9E"},
      {std::string(148, 'x') + "\xC3\xA9", std::string(148, 'x')},  // never half a character
      {"!!!...", ""},
      {std::string(200, 'x'), std::string(149, 'x')},
      // A cached page's query keeps the words after the address.
      {"cache:AbCd12:www.example.com/page red shoes", "red shoes"},
      {"CACHE:x.example.com  !\"#red", "red"},
      {"cache:x.example.com", ""},
      {"cache:x.example.com \xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},
      {"cache:x.example.com   ", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NormalizePhrase(kAllSearchStats, c.value), c.phrase) << c.value;
  }
  EXPECT_EQ(NormalizePhrase(kKeywordStats, "Red Shoes"), "red shoes");
  EXPECT_EQ(NormalizePhrase(kSearchPhraseStats, "Red Shoes"), "red shoes");
  EXPECT_EQ(NormalizePhrase(kSearchEngineStats, "Red Shoes"), "");
}

// Phrase keys of an engine, newest first.
std::vector<std::string> Keys(const SearchEngineEntry& engine) {
  std::vector<std::string> keys;
  for (auto* d = engine.delimiters.load(); d != nullptr; d = d->next) keys.push_back(d->StartString);
  return keys;
}

class ReferrerAnalysisTest : public testing::Test {
 protected:
  std::size_t Engines() const {
    std::size_t n = 0;
    for (auto* e = engines_.search_engines(); e != nullptr; e = e->next) ++n;
    return n;
  }

  struct Result {
    bool engine = false;
    std::string name, phrase, url;
  };
  Result Analyze(std::string url, std::uint32_t day_stats = kAllSearchStats) {
    ReferrerInfo info;
    Result r;
    r.engine = AnalyzeReferrer(engines_, day_stats, url, info);
    r.name = info.referrer_name;
    r.phrase = info.search_phrase;
    r.url = url;
    return r;
  }

  test::LoadedSystemData data_;
  CSystemData& engines_ = data_.system;
};

TEST_F(ReferrerAnalysisTest, KnownEnginesGiveTheirPhrase) {
  struct Case {
    const char* url;
    const char* name;
    const char* phrase;
  };
  const Case cases[] = {
      {"http://www.google.com/search?hl=en&q=cheap+flights", "google", "cheap flights"},
      {"https://www.google.de/search?q=g%C3%BCnstige+Fl%C3%BCge&client=firefox", "google", "g\xC3\xBCnstige fl\xC3\xBCge"},
      {"https://www.bing.com/search?q=Weather%20Paris&form=QBLH", "bing", "weather paris"},
      {"https://search.yahoo.com/search?p=red+shoes&fr=yfp", "yahoo", "red shoes"},
      {"https://uk.search.yahoo.com/search?p=tea", "yahoo", "tea"},
      {"https://www.baidu.com/s?ie=utf-8&wd=hotel+beijing", "baidu", "hotel beijing"},
      {"https://yandex.ru/search/?text=%D0%BA+moscow&lr=213", "yandex", "\xD0\xBA moscow"},
      {"https://duckduckgo.com/?q=privacy+tools&t=h_", "duckduckgo", "privacy tools"},
      // A sub-domain in front, an unlisted national suffix behind.
      {"http://images.google.de/images?q=cats", "google", "cats"},
      {"http://www.google.co.aa/search?q=dogs", "google", "dogs"},
      {"http://www2.google.com.xx/search?q=birds", "google", "birds"},
      // A cached page's query.
      {"http://www.google.com/search?q=cache:AbCd12:www.example.com/page+red+shoes&hl=en", "google", "red shoes"},
      // An engine without a phrase is still the referrer.
      {"https://www.google.com/", "google", ""},
      {"https://www.google.com/url?sa=t&q=&url=x", "google", ""},
      {"https://www.google.com/search?q=%21%21%3F", "google", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    Result r = Analyze(c.url);
    EXPECT_TRUE(r.engine);
    EXPECT_EQ(r.name, c.name);
    EXPECT_EQ(r.phrase, c.phrase);
  }
}

TEST_F(ReferrerAnalysisTest, AnEngineIsDecodedInPlaceAnythingElseIsLeft) {
  EXPECT_EQ(Analyze("http://www.google.com/search?q=red%20shoes+x").url, "http://www.google.com/search?q=red shoes x");
  EXPECT_EQ(Analyze("http://example.com/a%20b?id=7+8").url, "http://example.com/a%20b?id=7+8");
}

TEST_F(ReferrerAnalysisTest, NotSearchEngines) {
  const std::size_t known = Engines();
  for (const char* url : {
           "http://example.com/page.html",
           "http://example.com/page?id=12&ref=x",
           "http://example.com/find?q=123",  // no letter in the value
           "http://192.0.2.7/find?q=widgets",
           "http://localhost/find?q=widgets",  // no '.'
           "-",
           "",
           "http://notgoogle.com/x?y=1",
       }) {
    SCOPED_TRACE(url);
    EXPECT_FALSE(Analyze(url).engine);
  }
  EXPECT_EQ(Engines(), known);
  // With none of the search statistics counted, even an engine is not one.
  EXPECT_FALSE(Analyze("http://www.google.com/search?q=cheap+flights", ~kAllSearchStats).engine);
  EXPECT_TRUE(Analyze("http://www.google.com/search?q=cheap+flights", kSearchEngineStats).engine);
}

TEST_F(ReferrerAnalysisTest, LearnsAnUnknownEngine) {
  const std::size_t known = Engines();
  Result first = Analyze("http://search.example.org/find?query=Blue%20Widgets&x=1");
  EXPECT_TRUE(first.engine);
  EXPECT_EQ(first.name, "example.org");
  EXPECT_EQ(first.phrase, "blue widgets");
  ASSERT_EQ(Engines(), known + 1);
  SearchEngineEntry* learned = engines_.FindSearchEngine("example.org");
  ASSERT_NE(learned, nullptr);
  EXPECT_EQ(Keys(*learned), std::vector<std::string>{"query"});

  // Found directly from then on.
  Result second = Analyze("http://www.example.org/other?x=2&query=red+shoes");
  EXPECT_TRUE(second.engine);
  EXPECT_EQ(second.phrase, "red shoes");
  EXPECT_EQ(Engines(), known + 1);
  EXPECT_EQ(Keys(*learned), std::vector<std::string>{"query"});

  // Even without a phrase: example.org is an engine now.
  EXPECT_TRUE(Analyze("http://example.org/").engine);
}

TEST_F(ReferrerAnalysisTest, LearnsOnlyFromWordyValuesOfBoundedLength) {
  EXPECT_FALSE(Analyze("http://a.example/find?q=" + std::string(101, 'w')).engine);
  EXPECT_EQ(engines_.FindSearchEngine("a.example"), nullptr);
  EXPECT_TRUE(Analyze("http://a.example/find?q=" + std::string(100, 'w')).engine);
  // Letters of another script are letters too.
  Result utf8 = Analyze("http://b.example/find?q=\xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_TRUE(utf8.engine);
  EXPECT_EQ(utf8.phrase, "\xE6\x97\xA5\xE6\x9C\xAC");

  // A domain name that holds an engine's name inside a label is not that
  // engine; with a query key it is learned under its own name.
  Result r = Analyze("http://www.clubbing.com/?q=house+music");
  EXPECT_TRUE(r.engine);
  EXPECT_EQ(r.name, "clubbing.com");
}

TEST_F(ReferrerAnalysisTest, LearnsAKeyOfAKnownEngineOnce) {
  SearchEngineEntry* google = engines_.FindSearchEngine("google.com");
  ASSERT_NE(google, nullptr);
  const std::vector<std::string> keys = Keys(*google);

  // A value shorter than 4 characters teaches nothing.
  Result r = Analyze("http://www.google.com/custom?query=ab");
  EXPECT_TRUE(r.engine);
  EXPECT_EQ(r.phrase, "");
  EXPECT_EQ(Keys(*google), keys);

  r = Analyze("http://www.google.com/custom?query=red+shoes");
  EXPECT_EQ(r.phrase, "red shoes");
  std::vector<std::string> learned = keys;
  learned.insert(learned.begin(), "query");
  EXPECT_EQ(Keys(*google), learned);

  // A URL whose known key is empty at its first place but not at another
  // gives the phrase without adding the key again, however often it comes.
  for (int i = 0; i < 3; ++i) {
    r = Analyze("http://www.google.com/search?q=abcd&q=");
    EXPECT_EQ(r.phrase, "abcd");
  }
  EXPECT_EQ(Keys(*google), learned);
}

TEST_F(ReferrerAnalysisTest, SitesLearnTogether) {
  // Several analysis threads meet the same unknown engines at once.
  constexpr int kThreads = 8;
  constexpr int kHosts = 40;
  const std::size_t known = Engines();
  std::vector<std::thread> threads;
  std::vector<int> wrong(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 5; ++round) {
        for (int h = 0; h < kHosts; ++h) {
          std::string url = "http://finder" + std::to_string((h + t) % kHosts) + "x.example/s?terms=word+" +
                            std::to_string(h);
          ReferrerInfo info;
          bool engine = AnalyzeReferrer(engines_, kAllSearchStats, url, info);
          if (!engine || info.search_phrase != "word " + std::to_string(h)) ++wrong[t];
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(kThreads, 0));
  EXPECT_EQ(Engines(), known + kHosts);
}

TEST(SearchReferrerMemo, HoldsAnswersForOneStateOfTheListAndStaysBounded) {
  SearchReferrerMemo memo(1000);
  EXPECT_EQ(memo.Find("http://a.example/", 1, kAllSearchStats), nullptr);
  memo.Remember("http://a.example/", {true, "a.example", "red shoes"});
  const SearchReferrerMemo::Answer* answer = memo.Find("http://a.example/", 1, kAllSearchStats);
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer->phrase, "red shoes");
  EXPECT_EQ(memo.Find("http://a.example/", 2, kAllSearchStats), nullptr) << "the list changed";
  memo.Remember("http://a.example/", {});
  EXPECT_EQ(memo.Find("http://a.example/", 2, kSearchEngineStats), nullptr) << "other statistics";

  for (int i = 0; i < 100; ++i) {
    std::string url = "http://a.example/" + std::to_string(i);
    EXPECT_EQ(memo.Find(url, 2, kSearchEngineStats), nullptr);
    memo.Remember(url, {});
    EXPECT_NE(memo.Find(url, 2, kSearchEngineStats), nullptr);
    EXPECT_LE(memo.size(), 1000u / 128);
  }
}

}  // namespace
}  // namespace tf
