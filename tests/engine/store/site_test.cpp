#include "engine/site/site.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "engine/site/site_list.h"
#include "engine/site/site_status_hook.h"
#include "install_folder.h"

namespace tf {
namespace {

class SiteTest : public testing::Test {
 protected:
  test::InstallFolder install_;
};

CSite* ListedSite(std::int32_t project_id, const char* database_name = "") {
  auto* site = new CSite;
  site->ProjectID = project_id;
  site->DatabaseName = database_name;
  AddToSiteList(site);
  return site;
}

TEST_F(SiteTest, NewSitesTakeTheNextIdAndItsDatabaseName) {
  CSite first;
  first.SetIdentityDefaults();
  EXPECT_EQ(first.ProjectID, 1);
  EXPECT_EQ(first.DatabaseName, "Project0001.mdb");
  EXPECT_GT(first.history.CreationDate, 0);

  for (int id : {1, 2, 5}) ListedSite(id);
  CSite next;
  next.SetIdentityDefaults();
  EXPECT_EQ(next.ProjectID, 6);
  EXPECT_EQ(next.DatabaseName, "Project0006.mdb");

  CSite named;
  named.DatabaseName = "Shop.mdb";
  named.SetIdentityDefaults();
  EXPECT_EQ(named.ProjectID, 6);
  EXPECT_EQ(named.DatabaseName, "Shop.mdb") << "a name already set is kept";
}

TEST_F(SiteTest, SiteListKeepsTheNewestFirstAndRemovesOnlyListedSites) {
  ListedSite(1);
  CSite* second = ListedSite(2);
  ListedSite(3);
  RemoveSiteFromList(second);
  CSite stranger;
  RemoveSiteFromList(&stranger);  // not listed: nothing happens
  std::vector<int> ids;
  for (const auto& site : SiteList.sites()) ids.push_back(site->ProjectID);
  EXPECT_EQ(ids, (std::vector<int>{3, 1}));
}

TEST_F(SiteTest, DatabaseOpensAreCounted) {
  install_.AddSiteDatabase("Project0001.mdb");
  CSite site;
  site.DatabaseName = "Project0001.mdb";
  ASSERT_TRUE(site.OpenSiteDatabase());
  ASSERT_TRUE(site.OpenSiteDatabase());
  site.CloseSiteDatabase();
  EXPECT_NE(site.connection(), nullptr) << "one user still holds it";
  site.CloseSiteDatabase();
  EXPECT_EQ(site.connection(), nullptr);
  site.CloseSiteDatabase();
  EXPECT_EQ(site.open_count(), 0);
}

TEST_F(SiteTest, OpeningADatabaseFromAnOlderTemplateAddsTheVisitorsAddressIndex) {
  const char* kIndexCount =
      "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND "
      "name = 'ix_tblVisitors_AddressHits'";
  install_.AddSiteDatabase("Project0001.mdb");
  EXPECT_EQ(install_.Value("Project0001.mdb", kIndexCount), "1") << "new sites have it";
  install_.Sql("Project0001.mdb", "DROP INDEX ix_tblVisitors_AddressHits");
  for (int open = 0; open < 2; ++open) {
    CSite site;
    site.DatabaseName = "Project0001.mdb";
    ASSERT_TRUE(site.OpenSiteDatabase()) << "open " << open;
    site.CloseSiteDatabase();
    EXPECT_EQ(install_.Value("Project0001.mdb", kIndexCount), "1") << "open " << open;
  }
}

TEST_F(SiteTest, DatabaseThatCannotOpenLeavesTheCountAndSaysWhy) {
  CSite site;
  site.DatabaseName = "Missing.mdb";
  EXPECT_FALSE(site.OpenSiteDatabase());
  EXPECT_EQ(site.open_count(), 0);
  EXPECT_EQ(site.ErrorText().rfind("Connection failure: ", 0), 0u) << site.ErrorText();
}

TEST_F(SiteTest, DatabaseNameCannotLeadOutOfTheInstallFolder) {
  for (const char* name : {"../Project0001.mdb", "sub/x.mdb", "..", ""}) {
    CSite site;
    site.DatabaseName = name;
    EXPECT_EQ(site.DatabasePath(), "") << name;
    EXPECT_EQ(site.SideFilePath("txt"), "") << name;
    EXPECT_FALSE(site.OpenSiteDatabase()) << name;
  }
  CSite site;
  site.DatabaseName = "Project0001.mdb";
  EXPECT_EQ(site.DatabasePathWithExtension(), install_.File("Project0001.ses"));
}

TEST(DomainNameTest, KeepsTheHostAfterSchemeAndWww) {
  const std::pair<const char*, const char*> cases[] = {
      {"  HTTP://WwW.Example.com/shop/index.htm", "Example.com"},
      {"example.org", "example.org"},
      {"www.", ""},
      {"ftp://files.example.net", "files.example.net"},
  };
  for (const auto& [domain, normalized] : cases) {
    CSite site;
    NormalizeDomainName(site, domain);
    EXPECT_EQ(site.normalized_domain, normalized) << domain;
  }
}

TEST(ScheduleTest, NextScheduledRun) {
  // Wednesday 2007-01-10 14:20:00 on the system's day count.
  const TimeValue now = ComposeTime(2007, 1, 10, 14, 20, 0);
  const TimeValue hour = ComposeTime(2007, 1, 10, 14, 0, 0);
  CSite site;
  site.settings.EnableSchedule = 1;
  EXPECT_EQ(NextScheduledRun(site, now), 0) << "no hour set";

  site.settings.RunSchedule[3] = 1 << 14;  // only the current hour of today
  EXPECT_EQ(NextScheduledRun(site, now), hour + 7 * kSecondsPerDay);

  site.settings.RunSchedule[4] = 1 << 2;  // Thursday 2:00
  EXPECT_EQ(NextScheduledRun(site, now), ComposeTime(2007, 1, 11, 2, 0, 0));

  site.settings.EnableSchedule = 0;
  EXPECT_EQ(NextScheduledRun(site, now), 0);
}

TEST(TargetHitGroupTest, OrderedByPhraseThenReferrer) {
  auto group = [](int phrase, int category, int site, int site_category) {
    TargetHitGroup g;
    g.keyword_phrase = phrase;
    g.phrase_category = category;
    g.referring_site = site;
    g.referring_category = site_category;
    return g;
  };
  EXPECT_EQ(CompareTargetHitGroups(group(5, 402, 0, 0), group(5, 402, 0, 0)), 0);
  EXPECT_EQ(CompareTargetHitGroups(group(4, 402, 9, 9), group(5, 402, 0, 0)), -1);
  EXPECT_EQ(CompareTargetHitGroups(group(5, 402, 7, 302), group(5, 402, 7, 301)), 1);
  EXPECT_EQ(CompareTargetHitGroups(group(-1, 402, 0, 0), group(1, 402, 0, 0)), -1) << "signed";
}

TEST(SiteLifetimeTest, DestroyingASiteStopsItsRunAndWaitsForTheRelease) {
  std::atomic<bool> released{false};
  std::thread analysis;
  {
    CSite site;
    site.state = kSiteRunning;
    site.HoldForAnalysis();
    analysis = std::thread([&] {
      while (site.state == kSiteRunning) std::this_thread::yield();
      released = true;  // the run ends its own way
      site.ReleaseAnalysisHold();
    });
  }
  EXPECT_TRUE(released);
  analysis.join();
}

TEST(SiteStatusHookTest, EveryChangeOfTheTextsNotifiesOnce) {
  CSite site;
  std::vector<std::string> seen;
  SiteStatusHandler previous = SetSiteStatusHandler([&](CSite& changed) {
    // Reads the texts: the handler runs outside the site's locks.
    seen.push_back(changed.StatusText() + "|" + changed.ErrorText());
  });
  site.SetStatus("Finding log files to be analyzed");
  site.SetStatus("Finding log files to be analyzed");
  site.SetError("Unable to create event log file");
  site.ClearError();
  site.ClearError();
  SetSiteStatusHandler(previous);
  site.SetStatus("unseen");
  EXPECT_EQ(seen, (std::vector<std::string>{"Finding log files to be analyzed|",
                                            "Finding log files to be analyzed|Unable to create event log file",
                                            "Finding log files to be analyzed|"}));
}

// Holds the exclusive lock of a file as another process would.
class ForeignLock {
 public:
  explicit ForeignLock(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_CREAT, 0666)) {
    EXPECT_EQ(flock(fd_, LOCK_EX), 0);
  }
  ~ForeignLock() { Release(); }
  void Release() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

TEST_F(SiteTest, RunGivesUpWhileAnotherProgramHoldsTheSite) {
  install_.AddSiteDatabase("Project0001.mdb");
  CSite site;
  site.DatabaseName = "Project0001.mdb";
  {
    ForeignLock other(install_.File("Project0001.ldb"));
    EXPECT_FALSE(site.LockForRun());
    EXPECT_EQ(site.ErrorText(), "The site is in use by another program");
  }
  ASSERT_TRUE(site.LockForRun());
  EXPECT_TRUE(site.LockForRun()) << "nested holds in one process share the lock";
  site.UnlockForRun();
  site.UnlockForRun();
  ForeignLock other(install_.File("Project0001.ldb"));  // released for good
}

TEST_F(SiteTest, StoreWaitsWhileAnotherProgramHoldsTheSite) {
  install_.AddSiteDatabase("Project0001.mdb");
  CSite site;
  site.DatabaseName = "Project0001.mdb";
  ForeignLock other(install_.File("Project0001.ldb"));
  std::atomic<bool> released{false};
  bool stored_after_release = false;
  std::thread store([&] {
    site.StoreSettings();
    stored_after_release = released;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // let the store reach the lock
  released = true;
  other.Release();
  store.join();
  EXPECT_TRUE(stored_after_release);
  EXPECT_EQ(site.ChangeCount, 1);
}

}  // namespace
}  // namespace tf
