#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/logs/log_stream.h"
#include "engine/site/settings_keys.h"
#include "engine/site/site.h"
#include "engine/store/system_data.h"
#include "install_folder.h"

namespace tf {
namespace {

constexpr char kDatabase[] = "Project0001.mdb";

class SettingsTest : public testing::Test {
 protected:
  void SetUp() override { install_.AddSiteDatabase(kDatabase); }

  std::unique_ptr<CSite> Site() {
    auto site = std::make_unique<CSite>();
    site->ProjectID = 1;
    site->DatabaseName = kDatabase;
    return site;
  }
  std::unique_ptr<CSite> Loaded() {
    auto site = Site();
    EXPECT_TRUE(site->LoadSiteSettings());
    return site;
  }
  std::string Stored(const std::string& table, const std::string& column, const std::string& key) {
    return install_.Value(kDatabase,
                          "SELECT " + column + " FROM " + table + " WHERE Name='" + key + "'");
  }
  std::string StoredString(const std::string& key) {
    return Stored("tblSettingsString", "StringValue", key);
  }

  test::InstallFolder install_;
};

// Every field of the table compared between two sites.
void ExpectSameSettings(CSite& a, CSite& b) {
  for (const SettingKey& key : SettingKeys()) {
    switch (key.type) {
      case SettingType::kInteger: EXPECT_EQ(*key.integer(a), *key.integer(b)) << key.name; break;
      case SettingType::kReal:
      case SettingType::kDate: EXPECT_EQ(*key.real(a), *key.real(b)) << key.name; break;
      case SettingType::kString:
      case SettingType::kMemo: EXPECT_EQ(*key.text(a), *key.text(b)) << key.name; break;
      case SettingType::kAddress: EXPECT_EQ(a.site_address, b.site_address) << key.name; break;
    }
  }
}

TEST_F(SettingsTest, NewSiteStoresEveryKeyAtItsDefault) {
  auto site = Loaded();
  // Set by the load; stored dates keep whole seconds.
  site->history.CreationDate = std::floor(site->history.CreationDate);
  CSite fresh;
  fresh.history.CreationDate = site->history.CreationDate;
  ExpectSameSettings(*site, fresh);

  site->StoreSettings();
  EXPECT_EQ(site->ChangeCount, 1);
  EXPECT_EQ(Stored("tblSettingsInteger", "IntegerValue", "ChangeCount"), "1");
  EXPECT_EQ(StoredString("OldNameMask"), "*.OLD");
  EXPECT_EQ(Stored("tblSettingsInteger", "IntegerValue", "HourStats"), "212736");
  EXPECT_EQ(Stored("tblSettingsInteger", "IntegerValue", "DayStats"), "100351807");
  EXPECT_EQ(Stored("tblSettingsInteger", "IntegerValue", "StatusStoreCount"), "60");
  EXPECT_EQ(Stored("tblSettingsInteger", "IntegerValue", "StatusStorePage"), "60");
  EXPECT_EQ(StoredString("IPaddress"), "0.0.0.0");
  for (const SettingKey& key : SettingKeys()) {
    const char* table = key.type == SettingType::kInteger ? "tblSettingsInteger"
                        : key.type == SettingType::kReal  ? "tblSettingsReal"
                        : key.type == SettingType::kDate  ? "tblSettingsDate"
                        : key.type == SettingType::kMemo  ? "tblSettingsMemo"
                                                          : "tblSettingsString";
    EXPECT_EQ(install_.Value(kDatabase, "SELECT count(*) FROM " + std::string(table) +
                                            " WHERE Name='" + std::string(key.name) + "'"),
              "1")
        << key.name;
  }

  auto reloaded = Loaded();
  ExpectSameSettings(*site, *reloaded);
}

TEST_F(SettingsTest, EveryKeyRoundTripsWithQuotesAndLineBreaks) {
  auto site = Loaded();
  int n = 0;
  for (const SettingKey& key : SettingKeys()) {
    ++n;
    switch (key.type) {
      case SettingType::kInteger: *key.integer(*site) = 1000 + n; break;
      case SettingType::kReal: *key.real(*site) = n + 0.25; break;
      case SettingType::kDate: *key.real(*site) = ComposeTime(2007, 1, 7, 13, 5, n % 60); break;
      case SettingType::kString: *key.text(*site) = "it's " + std::string(key.name); break;
      case SettingType::kMemo:
        *key.text(*site) = "O'Brien\r\n'; DROP TABLE tblSettingsMemo; --";
        break;
      case SettingType::kAddress: site->site_address = 0x0100007F; break;
    }
  }
  site->StoreSettings();
  auto reloaded = Loaded();
  reloaded->settings.DayStats &= ~(kSessionStatsBit | kVisitorStatsBit);
  site->settings.DayStats &= ~(kSessionStatsBit | kVisitorStatsBit);
  ExpectSameSettings(*site, *reloaded);
  EXPECT_EQ(StoredString("IPaddress"), "127.0.0.1");
  EXPECT_EQ(reloaded->normalized_domain, "it's DomainName");
}

TEST_F(SettingsTest, LongTextsAreCutToTheirFieldWhenRead) {
  auto site = Loaded();
  site->settings.PersonName = std::string(150, 'p');
  site->settings.Notes = std::string(248, 'n') + "\xC3\xA9";  // 'é' would straddle byte 249
  site->StoreSettings();
  auto reloaded = Loaded();
  EXPECT_EQ(reloaded->settings.PersonName, std::string(99, 'p'));
  EXPECT_EQ(reloaded->settings.Notes, std::string(248, 'n'));
}

TEST_F(SettingsTest, DayStatsAlwaysCarriesSessionsAndVisitors) {
  for (auto [stored, loaded] :
       {std::pair{1, 0x30001}, std::pair{0, 0x30000}, std::pair{0x5FB3F3F, 0x5FB3F3F}}) {
    install_.Sql(kDatabase,
                 "DELETE FROM tblSettingsInteger WHERE Name='DayStats';"
                 "INSERT INTO tblSettingsInteger VALUES ('DayStats', " +
                     std::to_string(stored) + ")");
    EXPECT_EQ(Loaded()->settings.DayStats, loaded) << stored;
  }
}

TEST_F(SettingsTest, MissingDateFormatTakesTheSystemDefaultAtEveryLoad) {
  SystemData.DefDateFormat = 2;
  auto site = Loaded();
  EXPECT_EQ(site->settings.DateFormat, 2);
  site->settings.DateFormat = 1;
  site->LoadSettings();
  EXPECT_EQ(site->settings.DateFormat, 2);
}

TEST_F(SettingsTest, LogStreamsComeBackHighestNumberFirst) {
  const TimeValue f = ComposeTime(2007, 1, 7, 0, 0, 0);
  const TimeValue r = ComposeTime(2007, 1, 7, 13, 5, 9);
  install_.Sql(kDatabase,
               "INSERT INTO tblSettingsString VALUES "
               "('LogStream1', '/logs/a/ex*.log {F:1/7/2007 0:00:00; R:1/7/2007 13:05:09;}'),"
               "('LogStream2', '/logs/b/*.log {F:01/01/1900 00:00:00; R:01/01/1900 00:00:00;}'),"
               "('LogStream3', '/logs/c/it''s.log')");
  auto site = Loaded();
  ASSERT_EQ(site->log_streams.size(), 3u);
  EXPECT_EQ(site->log_streams[0]->file_pattern(), "/logs/c/it's.log");
  EXPECT_EQ(site->log_streams[1]->file_pattern(), "/logs/b/*.log");
  EXPECT_EQ(site->log_streams[1]->last_file_date(), 0) << "1900 reads as no time";
  EXPECT_EQ(site->log_streams[2]->file_pattern(), "/logs/a/ex*.log");
  EXPECT_EQ(site->log_streams[2]->last_file_date(), f);
  EXPECT_EQ(site->log_streams[2]->last_record_date(), r);

  site->StoreSettings();
  EXPECT_EQ(StoredString("LogStream1").rfind("/logs/c/it's.log {F:01/01/1900 00:00:00;", 0), 0u)
      << StoredString("LogStream1");
  EXPECT_EQ(StoredString("LogStream3")
                .rfind("/logs/a/ex*.log {F:1/7/2007 0:00:00; R:1/7/2007 13:05:09;", 0),
            0u)
      << StoredString("LogStream3");
}

TEST_F(SettingsTest, OlderFolderAndMaskBecomeOneStreamWithoutLosingSettings) {
  install_.Sql(kDatabase,
               "INSERT INTO tblSettingsString VALUES ('LogFileDirectory', '/logs/w3svc1'),"
               "  ('LogFileMask', 'ex*.log'), ('PersonName', 'Ann');"
               "INSERT INTO tblSettingsDate VALUES ('LastRecordDate', '2007-01-07 13:05:09');"
               "INSERT INTO tblSettingsInteger VALUES ('VisitorsTop', 7)");
  auto site = Loaded();
  ASSERT_EQ(site->log_streams.size(), 1u);
  EXPECT_EQ(site->log_streams[0]->file_pattern(), "/logs/w3svc1/ex*.log");
  EXPECT_EQ(site->log_streams[0]->last_record_date(), ComposeTime(2007, 1, 7, 13, 5, 9));
  EXPECT_EQ(StoredString("LogFileDirectory"), "(none)");
  EXPECT_EQ(StoredString("LogFileMask"), "(none)");
  EXPECT_EQ(StoredString("LogStream1").rfind("/logs/w3svc1/ex*.log {", 0), 0u);
  // The store that follows the migration writes the site's own values.
  EXPECT_EQ(StoredString("PersonName"), "Ann");
  EXPECT_EQ(Stored("tblSettingsInteger", "IntegerValue", "VisitorsTop"), "7");
  EXPECT_EQ(site->settings.PersonName, "Ann");
}

TEST_F(SettingsTest, FailedLogStreamStoreKeepsTheStoredStreams) {
  install_.Sql(
      kDatabase,
      "INSERT INTO tblSettingsString VALUES ('LogStream1', '/logs/a/*.log'),"
      "  ('LogStream2', '/logs/b/*.log');"
      "CREATE TRIGGER refuse BEFORE INSERT ON tblSettingsString "
      "WHEN substr(NEW.StringValue, 1, 5) = '/bad/' BEGIN SELECT RAISE(ABORT, 'refused'); END");
  auto site = Loaded();
  site->log_streams.push_back(std::make_unique<CLogStream>("/bad/*.log"));
  ASSERT_TRUE(site->OpenSiteDatabase());
  site->OpenEventLog();
  EXPECT_FALSE(site->StoreLogFiles());
  site->CloseEventLog();
  site->CloseSiteDatabase();
  EXPECT_EQ(StoredString("LogStream1"), "/logs/a/*.log");
  EXPECT_EQ(StoredString("LogStream2"), "/logs/b/*.log");
  EXPECT_NE(
      test::ReadFile(install_.File("Project0001.txt")).find("Error adding log file entry: refused"),
      std::string::npos);
}

TEST_F(SettingsTest, TargetPagesRoundTripAndAFailedStoreKeepsTheOldList) {
  auto site = Loaded();
  const TimeValue added = ComposeTime(2007, 1, 7, 13, 5, 9);
  for (const char* name : {"order/done.htm", "it's/thanks.htm"}) {
    CTargetPage page;
    page.Name = name;
    page.DateAdded = added;
    site->target_pages.push_back(page);
  }
  site->target_pages_changed = true;
  site->StoreSettings();
  auto reloaded = Loaded();
  ASSERT_EQ(reloaded->target_pages.size(), 2u);
  EXPECT_EQ(reloaded->target_pages[1].Name, "it's/thanks.htm");
  EXPECT_EQ(reloaded->target_pages[1].DateAdded, added);

  install_.Sql(kDatabase,
               "CREATE TRIGGER refuse BEFORE INSERT ON tblTargetPages "
               "WHEN NEW.Name = 'bad' BEGIN SELECT RAISE(ABORT, 'refused'); END");
  reloaded->target_pages[0].Name = "bad";
  reloaded->target_pages_changed = true;
  ASSERT_TRUE(reloaded->OpenSiteDatabase());
  EXPECT_FALSE(reloaded->StoreTargetPages());
  reloaded->CloseSiteDatabase();
  EXPECT_TRUE(reloaded->target_pages_changed) << "still to be written";
  EXPECT_EQ(install_.Value(kDatabase, "SELECT count(*) FROM tblTargetPages"), "2");
}

TEST_F(SettingsTest, ChangeCountHandsTheSiteBetweenTwoPrograms) {
  auto console = Loaded();
  auto service = Loaded();  // a second connection to the same database
  console->settings.PersonName = "console";
  console->history.LastRecordDate = 1000;
  console->StoreSettings();
  EXPECT_EQ(console->ChangeCount, 1);

  service->settings.PersonName = "service edit";
  service->history.LastRecordDate = 2000;
  service->StoreSettings();  // finds 1, reloads the settings, then writes
  EXPECT_EQ(service->ChangeCount, 2);
  EXPECT_EQ(service->settings.PersonName, "console");
  EXPECT_EQ(service->history.LastRecordDate, 2000) << "a reload keeps what the runs found";

  EXPECT_TRUE(console->ReloadIfChanged());
  EXPECT_EQ(console->ChangeCount, 2);
  EXPECT_EQ(console->history.LastRecordDate, 1000);
  EXPECT_FALSE(console->ReloadIfChanged());
}

TEST_F(SettingsTest, ReloadWithoutAChangeCountRowReloadsNothing) {
  auto site = Loaded();
  site->settings.PersonName = "edited";
  EXPECT_FALSE(site->ReloadIfChanged());
  EXPECT_EQ(site->settings.PersonName, "edited");
}

TEST_F(SettingsTest, MissingMemoTableIsCreated) {
  install_.Sql(kDatabase, "DROP TABLE tblSettingsMemo");
  auto site = Site();
  ASSERT_TRUE(site->OpenSiteDatabase());
  std::string value = "stale";
  EXPECT_FALSE(site->GetMemoParameter("LogIncludeFilter", value));
  EXPECT_EQ(value, "");
  EXPECT_TRUE(site->StoreMemoParameter("LogIncludeFilter", "GET /"));
  EXPECT_TRUE(site->GetMemoParameter("LogIncludeFilter", value));
  EXPECT_EQ(value, "GET /");
  site->CloseSiteDatabase();
}

TEST(LogFilterTest, IncludeAndExcludeFilters) {
  struct Case {
    const char* include;
    const char* exclude;
    const char* line;
    bool passes;
  };
  const Case cases[] = {
      {"", "", "GET /index.htm", true},
      {" \r\n  \r\n", "", "GET /index.htm", false},  // blanks and breaks only
      {"/shop/\r\n/news/", "", "GET /news/a.htm", true},
      {"/shop/", "", "GET /news/a.htm", false},
      {"", "SPIDER\n", "agent=somespider/1.0", false},
      {"", "bot", "agent=Browser", true},
      {"a b ", "", "x a b y", true},  // blanks inside and after belong to it
      {"a b ", "", "x a b", false},
  };
  for (const Case& c : cases) {
    CSite site;
    site.settings.LogIncludeFilter = c.include;
    site.settings.LogExcludeFilter = c.exclude;
    EXPECT_EQ(site.PassesLogFilters(c.line), c.passes)
        << c.include << "|" << c.exclude << "|" << c.line;
    EXPECT_EQ(site.history.stRejectInclude + site.history.stRejectExclude, c.passes ? 0 : 1);
  }
}

}  // namespace
}  // namespace tf
