// Sessions: when a hit continues a visit, what a closed visit counts, and
// the saved-sessions file between runs.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <vector>

#include "engine/common/tagged_record.h"
#include "engine/site/session_tables.h"
#include "engine/visits/session_file.h"
#include "session_site.h"

namespace tf {
namespace {

using Rows = std::vector<std::string>;

class SessionTest : public test::SessionSiteTest {
 protected:
  CSession* OpenSession(std::uint32_t client) {
    CVisitor* visitor = FindVisitor(site(), client, "");
    return visitor->session;
  }
  std::vector<std::string> PageNames(const CSession& session) {
    std::vector<std::string> names;
    for (const SessionPageHit& hit : session.pages) names.push_back(hit.page->name);
    return names;
  }
  std::string SessionsFile() { return site().DatabasePathWithExtension(); }
  // As a run saves them: written, then put in place once it has committed.
  void SaveSessions() {
    SaveActiveSessions(site());
    PublishPendingSessions(site());
  }
};

ReferrerInfo Phrase(const char* phrase) {
  ReferrerInfo info;
  info.search_phrase = phrase;
  return info;
}

ReferrerInfo Referrer(std::int32_t item_id) {
  ReferrerInfo info;
  info.referrer_item_id = item_id;
  info.referrer_category = 302;
  info.referrer_name = "other.example.org";
  return info;
}

// What the referrer classification makes of an absent referrer.
ReferrerInfo Absent() {
  ReferrerInfo info;
  info.referrer_item_id = 7;
  info.referrer_category = 302;
  info.referrer_name = "(unknown origin)";
  return info;
}

TEST_F(SessionTest, HitContinuesTheSessionOnlyWithinTheLimitAndTheSameOrigin) {
  const struct {
    const char* what;
    double second_hit;
    ReferrerInfo first, second;
    int sessions;
  } cases[] = {
      {"30 minutes later", 1800, {}, {}, 1},
      {"30 minutes and 1 second later", 1801, {}, {}, 2},
      {"earlier than the last hit", -1, {}, {}, 2},
      {"another search phrase", 60, Phrase("blue shoes"), Phrase("red shoes"), 2},
      {"no search phrase", 60, Phrase("blue shoes"), {}, 1},
      {"the same search phrase", 60, Phrase("blue shoes"), Phrase("blue shoes"), 1},
      {"another referrer", 60, Referrer(5), Referrer(6), 2},
      {"no referrer", 60, Referrer(5), {}, 1},
      {"an absent referrer after a known one", 60, Referrer(5), Absent(), 1},
      {"a known referrer after an absent one", 60, Absent(), Referrer(5), 1},
      {"absent referrers", 60, Absent(), Absent(), 1},
  };
  std::uint32_t client = 0x0A000001;
  for (const auto& c : cases) {
    std::int32_t before = site().history.stSessions;
    Hit(client, 0, "/a.htm", c.first);
    Hit(client, c.second_hit, "/b.htm", c.second);
    EXPECT_EQ(site().history.stSessions - before, c.sessions) << c.what;
    client += 0x01000000;
  }
  EXPECT_EQ(site().history.stVisitors, 11);
}

TEST_F(SessionTest, AbsentReferrerIsTheOriginOnlyOfAVisitWithoutAnother) {
  const struct {
    const char* what;
    std::vector<ReferrerInfo> hits;
    const char* origin;
  } cases[] = {
      {"known first", {Referrer(5), Absent()}, "other.example.org"},
      {"absent first", {Absent(), Referrer(5), Absent()}, "other.example.org"},
      {"absent only", {Absent(), Absent()}, "(unknown origin)"},
  };
  std::uint32_t client = 0x0A000001;
  for (const auto& c : cases) {
    for (std::size_t i = 0; i < c.hits.size(); ++i) Hit(client, 10.0 * i, "/a.htm", c.hits[i]);
    ASSERT_NE(OpenSession(client), nullptr) << c.what;
    EXPECT_EQ(OpenSession(client)->referrer_name, c.origin) << c.what;
    client += 0x01000000;
  }
}

TEST_F(SessionTest, ViewTimesOfTheSessionsPages) {
  const struct {
    std::vector<double> times;
    std::vector<std::int32_t> views;
    std::int32_t count, total;
  } cases[] = {
      {{}, {}, 1, 10},
      {{0}, {10}, 1, 10},  // one page counts 10 seconds
      {{0, 100}, {100, 100}, 1, 100},
      {{0, 100, 130}, {100, 30, 65}, 2, 195},  // the last page gets the average
      {{0, 0.4, 1.6}, {0, 1, 0}, 2, 1},        // rounded to whole seconds
  };
  for (const auto& c : cases) {
    CSession session;
    for (double t : c.times) session.pages.push_back({nullptr, Start() + t, 0});
    std::int32_t count = 0;
    std::int32_t total = 0;
    session.ComputeViewTimes(count, total);
    std::vector<std::int32_t> views;
    for (const SessionPageHit& hit : session.pages) views.push_back(hit.view_time);
    EXPECT_EQ(views, c.views) << c.times.size() << " pages";
    EXPECT_EQ(count, c.count) << c.times.size() << " pages";
    EXPECT_EQ(total, c.total) << c.times.size() << " pages";
  }
}

TEST_F(SessionTest, PageHitsOfASession) {
  site().target_pages.push_back({});
  site().target_pages.back().Name = "goal.gif";
  const struct {
    std::vector<const char*> hits;
    std::vector<std::string> pages;
  } cases[] = {
      {{"/a.htm", "/b.htm", "/a.htm"}, {"/a.htm", "/b.htm", "/a.htm"}},
      {{"/a.htm", "/a.htm", "/b.htm"}, {"/a.htm", "/b.htm"}},  // a reload is no new page
      {{"/logo.gif", "/a.htm", "/x.gif"}, {"/logo.gif", "/a.htm"}},  // images open sessions only
      {{"/a.htm", "/goal.gif"}, {"/a.htm", "/goal.gif"}},  // unless they are target pages
  };
  std::uint32_t client = 0x0A000001;
  for (const auto& c : cases) {
    for (std::size_t i = 0; i < c.hits.size(); ++i) Hit(client, 10.0 * i, c.hits[i]);
    CSession* session = OpenSession(client);
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(PageNames(*session), c.pages) << c.hits.size() << " hits, " << c.hits[0];
    client += 0x01000000;
  }
  EXPECT_EQ(OpenSession(client - 0x01000000)->targets.size(), 1u);
}

TEST_F(SessionTest, ClosedSessionCountsItsPagesOnce) {
  // One page: 10 seconds, entry and exit.
  Hit(kClient, 0, "/one.htm");
  // A, B, A: A is in the session twice, its entry and its exit.
  Hit(0x0A000001, 0, "/a.htm");
  Hit(0x0A000001, 100, "/b.htm");
  Hit(0x0A000001, 130, "/a.htm");
  SessionFlush(site(), Start() + 130, false);
  EXPECT_EQ(site().run.day.sessions, 0) << "neither idle for 30 minutes";
  SessionFlush(site(), Start() + 130 + 1800, false);
  EXPECT_EQ(site().run.day.sessions, 1) << "the one-page session idled longer";
  SessionFlush(site(), Start() + 130, true);
  EXPECT_EQ(site().run.sessions.open_sessions.front(), nullptr);

  const struct {
    const char* page;
    std::int32_t sessions, view_time, entries, exits;
  } pages[] = {
      {"/one.htm", 1, 10, 1, 1},
      {"/a.htm", 2, 100 + 65, 1, 1},
      {"/b.htm", 1, 30, 0, 0},
  };
  for (const auto& p : pages) {
    const PeriodCounters& day = Page(p.page)->day;
    EXPECT_EQ(day.SessionCount, p.sessions) << p.page;
    EXPECT_EQ(day.ViewTime, p.view_time) << p.page;
    EXPECT_EQ(day.EntryCount, p.entries) << p.page;
    EXPECT_EQ(day.ExitCount, p.exits) << p.page;
  }
  EXPECT_EQ(site().run.day.sessions, 2);
  EXPECT_EQ(site().run.day.view_time, 10 + 195);
  EXPECT_EQ(site().run.hour.sessions, 2);
  const CVisitor& visitor = *FindVisitor(site(), 0x0A000001, "");
  EXPECT_EQ(visitor.day_view_time, 195);
  EXPECT_EQ(visitor.day_sessions, 1);
  EXPECT_EQ(visitor.day_hits, 3);
}

TEST_F(SessionTest, SavedPhraseIsNotCountedAgainWhenTheRestoredSessionCloses) {
  site().settings.DayStats |= 0xC00000;  // search phrases and keywords
  Hit(kClient, 0, "/a.htm", Phrase("blue shoes"));
  Hit(kClient, 60, "/b.htm");
  SaveSessions();
  CTextItem* phrase = FindTextItem(site(), kCategorySearchPhrase, "blue shoes");
  CTextItem* keyword = FindTextItem(site(), kCategoryKeyword, "shoes");
  EXPECT_EQ(phrase->day.SessionCount, 1) << "counted when saved";
  EXPECT_EQ(keyword->day.SessionCount, 1);
  EXPECT_EQ(site().history.stSavedSessions, 1);
  EXPECT_EQ(site().run.sessions.open_sessions.front(), nullptr);
  EXPECT_EQ(FindVisitor(site(), kClient, "")->day_hits, 0) << "its hits travel in the file";

  ASSERT_TRUE(RestoreSessions(site()));
  EXPECT_EQ(site().history.stRestoredSessions, 1);
  CSession* session = OpenSession(kClient);
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(PageNames(*session), (std::vector<std::string>{"/a.htm", "/b.htm"}));
  EXPECT_EQ(session->search_phrase, "blue shoes");
  EXPECT_EQ(session->first_hit, Start());
  EXPECT_EQ(session->last_hit, Start() + 60);
  EXPECT_EQ(session->visitor->day_hits, 2);
  EXPECT_EQ(session->visitor->hour_hits, 2);

  Hit(kClient, 120, "/c.htm");
  SessionFlush(site(), Start() + 120, true);
  EXPECT_EQ(phrase->day.SessionCount, 1);
  EXPECT_EQ(keyword->day.SessionCount, 1);
  EXPECT_EQ(Page("/a.htm")->day.EntryCount, 1) << "the session itself is counted when it closes";
  EXPECT_EQ(Page("/c.htm")->day.ExitCount, 1);
}

TEST_F(SessionTest, LongSessionIsSavedShortEnoughToBeRead) {
  // A crawler's visit that never idles: more page hits than one record of
  // the file may hold.
  for (int i = 0; i < 9000; ++i) Hit(kClient, i, i % 2 == 0 ? "/a.htm" : "/b.htm");
  Hit(0x0A000001, 0, "/a.htm");
  SaveSessions();
  EXPECT_EQ(site().history.stSavedSessions, 2);
  ASSERT_TRUE(RestoreSessions(site()));
  EXPECT_EQ(site().history.stRestoredSessions, 2);
  ASSERT_NE(OpenSession(kClient), nullptr);
  std::size_t pages = OpenSession(kClient)->pages.size();
  EXPECT_GT(pages, 8000u);
  EXPECT_LT(pages, 9000u);
  EXPECT_EQ(OpenSession(kClient)->pages.front().page, Page("/a.htm")) << "the first pages stay";
}

TEST_F(SessionTest, SessionsStayWhenTheFileCannotBeWritten) {
  std::filesystem::create_directory(PendingSessionsPath(site()));
  Hit(kClient, 0, "/a.htm");
  SaveActiveSessions(site());
  EXPECT_EQ(site().history.stSavedSessions, 0);
  ASSERT_NE(OpenSession(kClient), nullptr) << "left for the final flush to count";
  SessionFlush(site(), Start(), true);
  EXPECT_EQ(site().run.day.sessions, 1);
  std::filesystem::remove(PendingSessionsPath(site()));
}

TEST_F(SessionTest, StandInClientKeepsItsNameThroughTheFile) {
  const std::uint32_t stand_in = 0x030201F5;  // inside 240.0.0.0/4
  NewSession(site(), "", stand_in, "client.example.net", Page("/a.htm"), Start(), 1, {});
  NewSession(site(), "", kClient, "", Page("/a.htm"), Start(), 1, {});
  SaveSessions();
  ReleaseAll(site());
  InitVisitorTable(site());
  ASSERT_TRUE(RestoreSessions(site()));
  EXPECT_EQ(site().history.stRestoredSessions, 2);
  EXPECT_EQ(FindVisitor(site(), stand_in, "")->client_name, "client.example.net");
  EXPECT_EQ(FindVisitor(site(), kClient, "")->client_name, "") << "a real address has no name";
}

// --- The saved-sessions file as the next run finds it -----------------------------

std::string Length(std::uint32_t n) {
  return std::string{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                     static_cast<char>(n >> 24)};
}

std::string Framed(const std::string& record) { return Length(record.size()) + record; }

constexpr std::uint32_t kClientOf = 0x0900000A;

const TimeValue kSavedFirstHit = ComposeTime(2007, 1, 7, 9, 50, 0);

// A session record of the visitor at the address, from 9:50 to 9:51 on the
// day of the fixture; `fields` go first, so that they win over the same tags.
std::string SessionRecord(std::uint32_t address, const std::string& phrase = "",
                          const std::function<void(std::string&)>& fields = {}) {
  std::string record;
  if (fields) fields(record);
  RecordPutInt(record, 10, address);
  RecordPutDouble(record, 11, kSavedFirstHit);
  RecordPutDouble(record, 12, kSavedFirstHit + 60);
  RecordPutString(record, 19, phrase);
  RecordPutEnd(record);
  return record;
}

// A nested page-hit record.
std::string PageRecord(std::int32_t item_id, TimeValue time) {
  std::string page;
  RecordPutInt(page, 10, static_cast<std::uint32_t>(item_id));
  RecordPutDouble(page, 11, time);
  RecordPutEnd(page);
  return page;
}

// A well-formed session record of `size` bytes, filled up with a field no
// reader knows.
std::string RecordOfSize(std::size_t size) {
  std::string record = SessionRecord(kClientOf);
  record.pop_back();
  RecordPutBlob(record, 50, std::string(size - record.size() - 5, 'f'));
  RecordPutEnd(record);
  return record;
}

TEST_F(SessionTest, DamagedFileIsReportedAndDeletedKeepingTheSessionsBefore) {
  const std::string good = Framed(SessionRecord(kClient));
  ASSERT_EQ(RecordOfSize(200001).size(), 200001u);
  const struct {
    const char* what;
    std::string file;
    bool read_to_end;
    int restored;
  } cases[] = {
      {"first length 200001", Framed(RecordOfSize(200001)), false, 0},
      {"length 200000", Framed(RecordOfSize(200000)), true, 1},
      {"negative length", Length(0x80000000u) + "xxxx", false, 0},
      {"record shorter than its length", good + Length(50) + "0123456789", false, 1},
      {"record that is no tagged record", good + Framed("\x0A\x09\x01"), false, 1},
      {"record with bytes after its end", good + Framed(SessionRecord(2) + "x"), false, 1},
      {"search phrase over 149 bytes", good + Framed(SessionRecord(2, std::string(150, 'p'))),
       false, 1},
      {"length 0 ends the file", good + Length(0) + "garbage", true, 1},
      {"a piece of a length ends the file", good + "\x05\x00", true, 1},
      {"two whole records", good + Framed(SessionRecord(2, std::string(149, 'p'))), true, 2},
  };
  for (const auto& c : cases) {
    test::WriteFile(SessionsFile(), c.file);
    site().ClearError();
    EXPECT_EQ(RestoreSessions(site()), c.read_to_end) << c.what;
    EXPECT_EQ(site().history.stRestoredSessions, c.restored) << c.what;
    int open = 0;
    for (CSession* s = site().run.sessions.open_sessions.front(); s != nullptr; s = s->next.get()) {
      ++open;
    }
    EXPECT_EQ(open, c.restored) << c.what;
    EXPECT_EQ(std::filesystem::exists(SessionsFile()), c.read_to_end) << c.what;
    EXPECT_EQ(site().ErrorText(), c.read_to_end ? "" : "The saved session file is corrupt")
        << c.what;
    SessionFlush(site(), 0, true);
  }
}

TEST_F(SessionTest, ValuesNoRunCanSaveMakeTheFileCorrupt) {
  using Fields = std::function<void(std::string&)>;
  auto ints = [](std::vector<std::pair<std::uint32_t, std::uint32_t>> values) -> Fields {
    return [values](std::string& r) {
      for (auto [tag, value] : values) RecordPutInt(r, tag, value);
    };
  };
  auto times = [](double first, double last) -> Fields {
    return [first, last](std::string& r) {
      RecordPutDouble(r, 11, first);
      RecordPutDouble(r, 12, last);
    };
  };
  auto pages = [](std::vector<std::pair<std::int32_t, double>> hits) -> Fields {
    return [hits](std::string& r) {
      std::uint32_t tag = 100;
      for (auto [id, offset] : hits) RecordPutBlob(r, tag++, PageRecord(id, kSavedFirstHit + offset));
    };
  };
  auto referrer = [](std::uint32_t id, std::uint32_t category, const char* name) -> Fields {
    return [=](std::string& r) {
      RecordPutInt(r, 15, id);
      RecordPutInt(r, 16, category);
      RecordPutString(r, 20, name);
    };
  };
  const std::int32_t a = Page("/a.htm")->ItemID;
  const std::int32_t b = Page("/b.htm")->ItemID;
  const struct {
    const char* what;
    Fields fields;
    bool sound;
  } cases[] = {
      {"hour and day hits", ints({{13, 3}, {14, 40}}), true},
      {"hour hits of 0x7FFFFFFF", ints({{13, 0x7FFFFFFF}, {14, 0x7FFFFFFF}}), false},
      {"day hits of 0x7FFFFFFF", ints({{14, 0x7FFFFFFF}}), false},
      {"day hits of 0xFFFFFFFF", ints({{14, 0xFFFFFFFF}}), false},
      {"more hits in the hour than in the day", ints({{13, 5}, {14, 4}}), false},
      {"user agent counted", ints({{23, 1}}), true},
      {"user agent flag 2", ints({{23, 2}}), false},
      {"last hit before the first", times(kSavedFirstHit, kSavedFirstHit - 1), false},
      {"first hit not a number", times(std::nan(""), kSavedFirstHit), false},
      {"last hit infinite", times(kSavedFirstHit, HUGE_VAL), false},
      {"negative first hit", times(-1, kSavedFirstHit), false},
      {"referring site", referrer(5, 302, "other.example.org"), true},
      {"search engine", referrer(5, 401, "Engine"), true},
      {"referrer of another category", referrer(5, 1, "other.example.org"), false},
      {"negative referrer item", referrer(0xFFFFFFFF, 302, "other.example.org"), false},
      {"referrer name without its item", referrer(0, 0, "other.example.org"), false},
      {"pages in time order", pages({{a, 0}, {b, 30}, {a, 60}}), true},
      {"page after the last hit", pages({{a, 0}, {b, 61}}), false},
      {"pages out of order", pages({{a, 30}, {b, 10}}), false},
      {"page before the first hit", pages({{a, -1}}), false},
      {"page of item 0", pages({{0, 0}}), false},
      {"page that is no record", [](std::string& r) { RecordPutBlob(r, 100, "xx"); }, false},
  };
  const std::string good = Framed(SessionRecord(kClient));
  for (const auto& c : cases) {
    test::WriteFile(SessionsFile(), good + Framed(SessionRecord(kClientOf, "", c.fields)));
    site().ClearError();
    EXPECT_EQ(RestoreSessions(site()), c.sound) << c.what;
    EXPECT_EQ(site().history.stRestoredSessions, c.sound ? 2 : 1) << c.what;
    EXPECT_EQ(FindVisitor(site(), kClientOf, "")->session != nullptr, c.sound) << c.what;
    EXPECT_EQ(site().ErrorText(), c.sound ? "" : "The saved session file is corrupt") << c.what;
    SessionFlush(site(), 0, true);
  }
}

TEST_F(SessionTest, MissingFileRestoresNothing) {
  std::filesystem::remove(SessionsFile());
  EXPECT_FALSE(RestoreSessions(site()));
  EXPECT_EQ(site().ErrorText(), "");
  EXPECT_EQ(site().run.sessions.open_sessions.front(), nullptr);
}

TEST_F(SessionTest, PageThatNoLongerExistsEndsTheRestoredPages) {
  std::string record = SessionRecord(kClient);
  record.pop_back();  // the end byte: the pages follow
  std::uint32_t tag = 100;
  for (std::int32_t id : {Page("/a.htm")->ItemID, 999999, Page("/b.htm")->ItemID}) {
    RecordPutBlob(record, tag++, PageRecord(id, kSavedFirstHit));
  }
  RecordPutEnd(record);
  test::WriteFile(SessionsFile(), Framed(record));
  ASSERT_TRUE(RestoreSessions(site()));
  ASSERT_NE(OpenSession(kClient), nullptr) << "the session is still restored";
  EXPECT_EQ(PageNames(*OpenSession(kClient)), std::vector<std::string>{"/a.htm"});
  EXPECT_EQ(OpenSession(kClient)->last_page, Page("/a.htm"));
}

// --- Whole runs ---------------------------------------------------------------------

TEST(SessionRunTest, AbsentReferrerNeitherSplitsAVisitNorHidesWhereItCameFrom) {
  test::StatisticsSite shop;
  const std::string other = "http://other.example.org/links.htm";
  shop.WriteLog("a.log", {test::LineOf("192.0.2.1", "07/Jan/2007:10:00:00", "/a.htm", other),
                          test::LineOf("192.0.2.2", "07/Jan/2007:10:00:00", "/a.htm"),
                          test::LineOf("192.0.2.3", "07/Jan/2007:10:00:00", "/a.htm"),
                          test::LineOf("192.0.2.1", "07/Jan/2007:10:05:00", "/b.htm"),
                          test::LineOf("192.0.2.2", "07/Jan/2007:10:05:00", "/b.htm", other),
                          test::LineOf("192.0.2.3", "07/Jan/2007:10:05:00", "/b.htm"),
                          test::LineOf("192.0.2.2", "07/Jan/2007:10:10:00", "/c.htm"),
                          // Closes the three visits above, idle since 10:10.
                          test::LineOf("192.0.2.4", "07/Jan/2007:11:00:00", "/a.htm")});
  ASSERT_EQ(shop.Run(), 1);
  EXPECT_EQ(shop.Rows("SELECT Hits FROM tblDay WHERE Category = 201"), Rows{"3"});
  EXPECT_EQ(shop.Rows("SELECT d.Name, h.SessionCount FROM tblDay h JOIN tblData d "
                      "ON d.ItemID = h.ItemID WHERE h.Category = 302 ORDER BY 1"),
            (Rows{"(unknown origin)|1", "other.example.org|2"}));
}

TEST(SessionRunTest, OpenSessionsAreSavedAndTheNextRunGoesOnWithThem) {
  test::StatisticsSite shop;
  shop.WriteLog("a.log", {test::LineOf("192.0.2.1", "07/Jan/2007:10:00:00", "/a.htm"),
                          test::LineOf("192.0.2.2", "07/Jan/2007:10:01:00", "/a.htm"),
                          test::LineOf("192.0.2.1", "07/Jan/2007:10:02:00", "/b.htm")});
  ASSERT_EQ(shop.Run(), 1);
  Rows log = shop.EventLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "Saved 2 active sessions"), log.end());
  EXPECT_EQ(shop.site().history.stSavedSessions, 2);
  EXPECT_EQ(shop.Rows("SELECT count(*) FROM tblDay WHERE Category = 201"), Rows{"0"});

  // 192.0.2.1 goes on within the limit; 192.0.2.2 idles out at 11:00.
  shop.WriteLog("b.log", {test::LineOf("192.0.2.1", "07/Jan/2007:10:20:00", "/c.htm"),
                          test::LineOf("192.0.2.3", "07/Jan/2007:11:00:00", "/a.htm")});
  ASSERT_EQ(shop.Run(), 1);
  log = shop.EventLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "Restored 2 saved sessions"), log.end());
  EXPECT_EQ(shop.site().history.stRestoredSessions, 2);
  EXPECT_EQ(shop.Rows("SELECT EntryDate, Hits FROM tblHour WHERE Category = 201"),
            Rows{"2007-01-07 10:00:00|2"})
      << "both sessions of the first run, each once, closed by the 11:00 record";
  EXPECT_EQ(shop.Rows("SELECT d.Name, h.SessionCount, h.EntryCount, h.ExitCount FROM tblDay h "
                      "JOIN tblData d ON d.ItemID = h.ItemID WHERE h.Category = 1 ORDER BY 1"),
            (Rows{"/a.htm|2|2|1", "/b.htm|1|0|0", "/c.htm|1|0|1"}));
}

}  // namespace
}  // namespace tf
