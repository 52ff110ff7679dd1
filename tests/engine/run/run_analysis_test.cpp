// Whole analysis runs over small NCSA logs, checked by the rows they leave
// in the site database.
#include "engine/run/run_analysis.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "engine/visits/session_file.h"
#include "statistics_site.h"
#include "support/test_support.h"

namespace tf {
namespace {

using test::NcsaLine;
using Rows = std::vector<std::string>;

// Period rows with the item's name ("-" for the site totals).
const char kHourRows[] =
    "SELECT h.EntryDate, h.Category, IFNULL(d.Name, '-'), h.Hits, h.Bytes FROM tblHour h "
    "LEFT JOIN tblData d ON d.ItemID = h.ItemID ORDER BY h.EntryDate, h.Category";
const char kDayRows[] =
    "SELECT h.EntryDate, h.Category, IFNULL(d.Name, '-'), h.Hits, h.Bytes FROM tblDay h "
    "LEFT JOIN tblData d ON d.ItemID = h.ItemID ORDER BY h.EntryDate, h.Category";
const char kItems[] = "SELECT Category, Name, LastHit FROM tblData ORDER BY Category, Name";

// Whether a second site object of the database could start a run now, as
// the other program would.
bool FreeForAnotherRun(const std::string& database_name) {
  CSite other;
  other.DatabaseName = database_name;
  if (!other.LockForRun()) return false;
  other.UnlockForRun();
  return true;
}

class RunAnalysisTest : public testing::Test {
 protected:
  void SetUp() override {
    // Items per hour too, not only the site totals.
    shop_.site().settings.HourStats |= 0x3F;
    shop_.WriteLog("a.log", {NcsaLine("07/Jan/2007:10:05:00", "/", 1000),
                             NcsaLine("07/Jan/2007:10:55:00", "/images/LOGO.GIF", 2000),
                             NcsaLine("07/Jan/2007:11:10:00", "/download", 500)});
  }

  Rows All() const {
    Rows all = shop_.Rows(kItems);
    for (const char* query : {kHourRows, kDayRows}) {
      Rows rows = shop_.Rows(query);
      all.insert(all.end(), rows.begin(), rows.end());
    }
    return all;
  }

  test::StatisticsSite shop_;
};

TEST_F(RunAnalysisTest, ThreeRecordsGiveItemsHoursAndDays) {
  ASSERT_EQ(shop_.Run(), 1);
  EXPECT_EQ(shop_.site().history.stTotalRecords, 3);
  EXPECT_EQ(shop_.Rows(kItems), (Rows{
                                    "1|/index.htm|2007-01-07 10:05:00",
                                    "2|/images/LOGO.GIF|2007-01-07 10:55:00",
                                    "9|/download|2007-01-07 11:10:00",
                                    // Made by the page's referrer "-"; its session
                                    // closed at 10:55 and counted it at its first hit.
                                    "302|(unknown origin)|2007-01-07 10:05:00",
                                    // "Mozilla/5.0" names no browser, add-on or
                                    // platform; counted as each session opened.
                                    "405|Other|2007-01-07 10:55:00",
                                    "407|Other|2007-01-07 10:55:00",
                                    "411|None|2007-01-07 10:55:00",
                                }));
  EXPECT_EQ(shop_.Rows(kHourRows), (Rows{
                                       "2007-01-07 10:00:00|1|/index.htm|1|1000.0",
                                       "2007-01-07 10:00:00|2|/images/LOGO.GIF|1|2000.0",
                                       "2007-01-07 10:00:00|101|-|1|0.0",
                                       "2007-01-07 10:00:00|102|-|1|0.0",
                                       // The 10:55 hit, 50 minutes on, closed the first
                                       // session. The second is still open at the end:
                                       // saved uncounted, its visitor's 11:00 hits with it.
                                       "2007-01-07 10:00:00|201|-|1|0.0",
                                       "2007-01-07 10:00:00|202|-|1|0.0",
                                       "2007-01-07 11:00:00|9|/download|1|500.0",
                                       "2007-01-07 11:00:00|109|-|1|0.0",
                                   }));
  EXPECT_EQ(shop_.Rows(kDayRows), (Rows{
                                      "2007-01-07 00:00:00|1|/index.htm|1|1000.0",
                                      "2007-01-07 00:00:00|2|/images/LOGO.GIF|1|2000.0",
                                      "2007-01-07 00:00:00|9|/download|1|500.0",
                                      "2007-01-07 00:00:00|101|-|1|0.0",
                                      "2007-01-07 00:00:00|102|-|1|0.0",
                                      "2007-01-07 00:00:00|109|-|1|0.0",
                                      "2007-01-07 00:00:00|201|-|1|0.0",
                                      "2007-01-07 00:00:00|302|(unknown origin)|1|0.0",
                                      "2007-01-07 00:00:00|405|Other|2|0.0",
                                      "2007-01-07 00:00:00|407|Other|2|0.0",
                                      "2007-01-07 00:00:00|411|None|2|0.0",
                                  }));
  EXPECT_EQ(shop_.Rows("SELECT count(*) FROM tblHour WHERE Category > 100 AND ItemID <> 0"),
            Rows{"0"});
  EXPECT_EQ(shop_.site().ErrorText(), "");
}

TEST_F(RunAnalysisTest, LaterRunsReadOnlyNewRecordsAndContinueTheHour) {
  ASSERT_EQ(shop_.Run(), 1);
  Rows first = All();

  ASSERT_EQ(shop_.Run(), 1);
  EXPECT_EQ(shop_.site().history.stTotalRecords, 0);
  EXPECT_EQ(All(), first) << "the same files again add nothing";

  // The hour 11:00 goes on in the next run: its rows grow, none is added.
  shop_.WriteLog("b.log", {NcsaLine("07/Jan/2007:11:40:00", "/download", 700)});
  ASSERT_EQ(shop_.Run(), 1);
  EXPECT_EQ(shop_.site().history.stTotalRecords, 1);
  EXPECT_EQ(shop_.Rows(std::string(kHourRows).insert(std::string(kHourRows).find("ORDER"),
                                                      "WHERE h.EntryDate LIKE '%11:00:00' ")),
            (Rows{"2007-01-07 11:00:00|9|/download|2|1200.0", "2007-01-07 11:00:00|109|-|2|0.0"}));
  EXPECT_EQ(shop_.Rows("SELECT Hits, Bytes FROM tblDay WHERE Category = 9"), Rows{"2|1200.0"});
  EXPECT_EQ(shop_.Rows("SELECT LastHit FROM tblData WHERE Name = '/download'"),
            Rows{"2007-01-07 11:40:00"});
}

// A run cut short before its commit leaves a pending sessions file; one cut
// short after it leaves the committed file pending. The next run restores
// the sessions of the committed run, and none of a run that never
// committed.
TEST_F(RunAnalysisTest, OnlyTheSavedSessionsOfTheCommittedRunAreRestored) {
  CSite& site = shop_.site();
  ASSERT_EQ(shop_.Run(), 1);
  ASSERT_EQ(site.history.stSavedSessions, 1);
  const std::string saved = site.DatabasePathWithExtension();
  const std::string pending = PendingSessionsPath(site);
  enum File { kNone, kCommitted, kUncommitted };  // uncommitted: no sessions
  struct Case {
    const char* state;
    File in_place;
    File in_pending;
    int restored;
  };
  // The last case leaves no session for a next one.
  for (const Case& c : {Case{"cut short before its commit", kCommitted, kUncommitted, 1},
                        Case{"cut short between commit and rename", kUncommitted, kCommitted, 1},
                        Case{"no file of the committed run", kUncommitted, kNone, 0}}) {
    SCOPED_TRACE(c.state);
    const std::string committed = test::ReadFile(saved);
    for (auto [path, file] : {std::pair{saved, c.in_place}, std::pair{pending, c.in_pending}}) {
      std::filesystem::remove(path);
      if (file != kNone) test::WriteFile(path, file == kCommitted ? committed : "");
    }
    ASSERT_EQ(shop_.Run(), 1);
    EXPECT_EQ(site.history.stRestoredSessions, c.restored);
    EXPECT_FALSE(std::filesystem::exists(pending));
  }
}

TEST_F(RunAnalysisTest, HourAndDayBoundariesWriteTheOldPeriodsFirst) {
  shop_.WriteLog("a.log", {NcsaLine("07/Jan/2007:10:59:59", "/a.htm", 1),
                           NcsaLine("07/Jan/2007:11:00:00", "/b.htm", 1),
                           NcsaLine("08/Jan/2007:00:10:00", "/c.htm", 1)});
  ASSERT_EQ(shop_.Run(), 1);
  EXPECT_EQ(shop_.Rows("SELECT EntryDate, Hits FROM tblHour WHERE Category = 101 ORDER BY 1"),
            (Rows{"2007-01-07 10:00:00|1", "2007-01-07 11:00:00|1", "2007-01-08 00:00:00|1"}))
      << "a time on the hour belongs to the new hour";
  EXPECT_EQ(shop_.Rows("SELECT EntryDate, Hits FROM tblDay WHERE Category = 101 ORDER BY 1"),
            (Rows{"2007-01-07 00:00:00|2", "2007-01-08 00:00:00|1"}));

  // Logs out of order: an earlier hour replaces the current one.
  shop_.WriteLog("b.log", {NcsaLine("07/Jan/2007:09:30:00", "/d.htm", 1)});
  shop_.site().log_streams.front()->ResetProgress();
  shop_.WriteLog("a.log", {});
  ASSERT_EQ(shop_.Run(), 1);
  EXPECT_EQ(shop_.Rows("SELECT EntryDate, Hits FROM tblHour WHERE Category = 101 ORDER BY 1"),
            (Rows{"2007-01-07 09:00:00|1", "2007-01-07 10:00:00|1", "2007-01-07 11:00:00|1",
                  "2007-01-08 00:00:00|1"}));
  EXPECT_EQ(shop_.site().run.current_hour, ComposeTime(2007, 1, 7, 9, 0, 0));
}

TEST_F(RunAnalysisTest, ReferrersOfTheSiteItselfAreNoReferringSites) {
  shop_.site().settings.DomainName = "http://www.example.com/";
  NormalizeDomainName(shop_.site(), shop_.site().settings.DomainName);
  shop_.WriteLog("a.log", {NcsaLine("07/Jan/2007:10:00:00", "/a.htm", 1, "http://www.example.com/x"),
                           NcsaLine("07/Jan/2007:10:00:01", "/b.htm", 1, "http://EXAMPLE.com/y"),
                           NcsaLine("07/Jan/2007:10:00:02", "/c.htm", 1, "https://other.example.org/z"),
                           NcsaLine("07/Jan/2007:10:00:03", "/d.htm", 1, "")});
  ASSERT_EQ(shop_.Run(), 1);
  EXPECT_EQ(shop_.Rows("SELECT Name FROM tblData WHERE Category = 302 ORDER BY Name"),
            (Rows{"(unknown origin)", "other.example.org"}));
}

TEST_F(RunAnalysisTest, DatabaseThatCannotOpenStoresNothing) {
  shop_.site().DatabaseName = "Missing.mdb";
  EXPECT_EQ(shop_.Run(), 0);
  EXPECT_EQ(shop_.site().StatusText(), "Unable to open database for site");
  EXPECT_EQ(shop_.site().ErrorText().rfind("Connection failure: ", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(shop_.install().File("Missing.mdb")));
  EXPECT_FALSE(std::filesystem::exists(shop_.install().File("Missing.ses")));
  EXPECT_TRUE(FreeForAnotherRun("Missing.mdb"));
}

TEST_F(RunAnalysisTest, SiteInUseByAnotherProgramIsLeftAlone) {
  shop_.WriteLog("a.log", {});
  test::WriteFile(shop_.install().File("Project0001.txt"), "the other program's log\n");
  int fd = open(shop_.install().File("Project0001.ldb").c_str(), O_RDWR | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(shop_.Run(), 0);
  EXPECT_EQ(shop_.site().ErrorText(), "The site is in use by another program");
  EXPECT_EQ(test::ReadFile(shop_.install().File("Project0001.txt")), "the other program's log\n");
  close(fd);
  EXPECT_EQ(shop_.Run(), 1) << "free again";
}

// A site that asks to stop while its logs are read, after `lines` lines.
class StoppingSite : public CSite {
 public:
  explicit StoppingSite(int lines) : lines_(lines) {}
  bool PassesLogFilters(std::string_view line) override {
    if (--lines_ == 0) state = kSiteStopping;
    return CSite::PassesLogFilters(line);
  }

 private:
  int lines_;
};

TEST_F(RunAnalysisTest, StopStillWritesTheFinalStatisticsAndSummary) {
  // The stop comes while the second line is read: its record still counts.
  StoppingSite site(2);
  site.ProjectName = "Shop";
  site.DatabaseName = "Project0001.mdb";
  site.settings.AutoTimezone = 0;
  site.settings.Timezone = 0;
  site.log_streams.push_back(std::make_unique<CLogStream>(shop_.LogFolder() + "/*.log"));
  site.state = kSiteRunning;
  EXPECT_EQ(RunAnalysis(site), 1);
  EXPECT_EQ(site.state, kSiteStopping) << "the run never overwrites a stop";
  EXPECT_EQ(site.history.stTotalRecords, 2);
  EXPECT_EQ(shop_.Rows("SELECT Category, Hits FROM tblDay WHERE Category > 100 ORDER BY 1"),
            (Rows{"101|1", "102|1", "201|1", "302|1", "405|2", "407|2", "411|2"}));
  Rows log = shop_.EventLog();
  EXPECT_NE(std::find(log.begin(), log.end(), " ---  Statistics for Shop  ---"), log.end());

  // The next run goes on with the record the stop left.
  site.state = kSiteRunning;
  EXPECT_EQ(RunAnalysis(site), 1);
  EXPECT_EQ(site.history.stTotalRecords, 1);
  EXPECT_EQ(shop_.Rows("SELECT Category, Hits FROM tblDay WHERE Category > 100 ORDER BY 1"),
            (Rows{"101|1", "102|1", "109|1", "201|1", "302|1", "405|2", "407|2", "411|2"}))
      << "the open session went on in the second run and is still open; its agent was "
         "counted once, when it opened";
}

// A log the reader cannot make sense of shows up as unread lines, in the
// run summary and among the stored run figures, not as an empty site.
TEST_F(RunAnalysisTest, UnreadLinesAndFieldsAreToldAndStored) {
  shop_.WriteLog("b.log", {"not a log line", NcsaLine("07/Jan/2007:12:00:00", "/b.htm", -5),
                           "also not one"});
  ASSERT_EQ(shop_.Run(), 1);
  EXPECT_EQ(shop_.site().history.stTotalRecords, 4);
  Rows log = shop_.EventLog();
  for (const char* line : {"Log lines not read: 2", "Log fields not read (taken as 0): 1"}) {
    EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << line;
  }
  EXPECT_EQ(shop_.Rows("SELECT Name, IntegerValue FROM tblSettingsInteger WHERE Name LIKE "
                       "'stUnread%' ORDER BY Name"),
            (Rows{"stUnreadFields|1", "stUnreadLines|2"}));
}

TEST_F(RunAnalysisTest, FtpProgressTextsReachTheCallbackAfterTheSite) {
  CSite& site = shop_.site();
  site.settings.FtpEnable = 1;
  site.settings.FtpAddress = "127.0.0.1";  // nothing serves FTP there in the tests
  site.state = kSiteRunning;
  std::vector<std::string> texts;
  std::vector<std::string> status_then;
  EXPECT_EQ(RunAnalysis(site,
                        [&](std::string_view text) {
                          texts.emplace_back(text);
                          status_then.push_back(site.StatusText());
                        }),
            1);
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[0], "Connecting to 127.0.0.1");
  EXPECT_EQ(texts, status_then) << "each text is the site's status when the callback has it";
  EXPECT_EQ(site.history.stTotalRecords, 3) << "the logs are still read";
}

// A site whose log reading fails on the first line it reads, on the
// reader's thread.
class FailingSite : public CSite {
 public:
  bool PassesLogFilters(std::string_view) override { throw std::runtime_error("unreadable"); }
};

TEST_F(RunAnalysisTest, FailureWhileReadingGivesTheSiteBack) {
  FailingSite site;
  site.ProjectName = "Shop";
  site.DatabaseName = "Project0001.mdb";
  site.log_streams.push_back(std::make_unique<CLogStream>(shop_.LogFolder() + "/*.log"));
  site.state = kSiteRunning;
  EXPECT_THROW(RunAnalysis(site), std::runtime_error);
  EXPECT_EQ(site.connection(), nullptr) << "the database is closed";
  EXPECT_TRUE(FreeForAnotherRun("Project0001.mdb"));
  EXPECT_EQ(shop_.Run(), 1) << "the next run reads the whole log";
  EXPECT_EQ(shop_.site().history.stTotalRecords, 3);
}

TEST_F(RunAnalysisTest, StopBeforeTheLogsAreReadSkipsThem) {
  shop_.site().state = kSiteStopping;
  EXPECT_EQ(RunAnalysis(shop_.site()), 1);
  EXPECT_EQ(shop_.site().state, kSiteStopping);
  EXPECT_EQ(shop_.Rows("SELECT count(*) FROM tblDay"), Rows{"0"});
}

}  // namespace
}  // namespace tf
