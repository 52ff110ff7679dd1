// The records of the service's messages.
#include "service/message_bodies.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/common/scrambler.h"
#include "engine/common/tagged_record.h"
#include "engine/logs/log_stream.h"
#include "engine/site/site.h"
#include "engine/store/system_data.h"

namespace tf::service {
namespace {

std::vector<std::string> Patterns(const CSite& site) {
  std::vector<std::string> patterns;
  for (const auto& stream : site.log_streams) patterns.push_back(stream->file_pattern());
  return patterns;
}

// A record of the given fields, ended.
std::string Record(const std::vector<std::pair<std::uint32_t, std::string>>& texts) {
  std::string record;
  for (const auto& [tag, text] : texts) RecordPutString(record, tag, text);
  RecordPutEnd(record);
  return record;
}

TEST(SiteRecordTest, RoundTripKeepsTheSettings) {
  CSite sent;
  sent.ProjectName = "Shop";
  sent.settings.DomainName = "www.shop.example";
  sent.settings.HourStats = 0x1234;
  sent.settings.Timezone = -7200;
  sent.settings.RunSchedule[3] = 1 << 14;
  sent.settings.LogExcludeFilter = std::string(5000, 'e');
  sent.site_address = 0x0100007F;
  sent.target_pages.push_back(CTargetPage{{"buy.html", 0, 12345.5, 0}});
  std::string record = EncodeSiteRecord(sent);
  ASSERT_EQ(RecordSize(record), record.size());

  CSite got;
  DecodeSiteRecord(record, got);
  EXPECT_EQ(got.ProjectName, "Shop");
  EXPECT_EQ(got.settings.HourStats, 0x1234);
  EXPECT_EQ(got.settings.Timezone, -7200);
  EXPECT_EQ(got.settings.RunSchedule[3], 1 << 14);
  EXPECT_EQ(got.settings.LogExcludeFilter, sent.settings.LogExcludeFilter);
  EXPECT_EQ(got.site_address, 0x0100007Fu);
  EXPECT_EQ(got.normalized_domain, "shop.example");
  ASSERT_EQ(got.target_pages.size(), 1u);
  EXPECT_EQ(got.target_pages[0].Name, "buy.html");
  EXPECT_EQ(got.target_pages[0].DateAdded, 12345.5);
  EXPECT_TRUE(got.settings_changed);
}

TEST(SiteRecordTest, MissingTagsClearTheirFields) {
  CSite site;
  site.settings.LogIncludeFilter = "keep me?";
  site.settings.HourStats = 77;
  site.log_streams.push_back(std::make_unique<CLogStream>("/logs/a*.log"));
  DecodeSiteRecord(Record({{100, "Bare"}}), site);
  EXPECT_EQ(site.settings.LogIncludeFilter, "");
  EXPECT_EQ(site.settings.HourStats, 0);
  EXPECT_TRUE(site.log_streams.empty());
}

TEST(SiteRecordTest, SiteWithoutLogFilesSendsNoListTag) {
  CSite site;
  std::string record = EncodeSiteRecord(site);
  EXPECT_EQ(RecordFieldLength(record, 2000), 0u);
  std::string value;
  EXPECT_FALSE(RecordGetText(record, 2000, value));
  EXPECT_FALSE(RecordGetText(record, 1100, value));
}

TEST(SiteRecordTest, ListsReadBackInReverseOrderOfTheirTags) {
  CSite site;
  DecodeSiteRecord(Record({{2000, "A"}, {2001, "B"}, {1100, "p1"}, {1101, "p2"}}), site);
  EXPECT_EQ(Patterns(site), (std::vector<std::string>{"B", "A"}));
  ASSERT_EQ(site.target_pages.size(), 2u);
  EXPECT_EQ(site.target_pages[0].Name, "p2");
}

TEST(SiteRecordTest, ListStopsAtTheFirstMissingTag) {
  CSite site;
  DecodeSiteRecord(Record({{2000, "A"}, {2002, "C"}}), site);
  EXPECT_EQ(Patterns(site), (std::vector<std::string>{"A"}));
}

TEST(SiteRecordTest, KnownPatternKeepsHowFarItsFilesWereRead) {
  CSite site;
  auto stream = std::make_unique<CLogStream>("/logs/a*.log");
  stream->SetProgress(100, 200, LogPosition{});
  site.log_streams.push_back(std::move(stream));
  DecodeSiteRecord(Record({{2000, "/logs/a*.log"}, {2001, "/logs/b*.log"}}), site);
  ASSERT_EQ(Patterns(site), (std::vector<std::string>{"/logs/b*.log", "/logs/a*.log"}));
  EXPECT_EQ(site.log_streams[1]->last_record_date(), 200);
  EXPECT_EQ(site.log_streams[0]->last_record_date(), 0);
}

TEST(SiteRecordTest, TextsAreCutToTheirWidth) {
  CSite site;
  DecodeSiteRecord(Record({{100, std::string(250, 'n')}, {103, std::string(80, 'u')}}), site);
  EXPECT_EQ(site.ProjectName, std::string(199, 'n'));
  EXPECT_EQ(site.UserName, std::string(59, 'u'));
}

TEST(SiteRecordTest, IdentityIsNeverTakenFromARecord) {
  CSite site;
  site.ProjectID = 4;
  site.DatabaseName = "Project0004.mdb";
  std::string record;
  RecordPutInt(record, 101, 9);
  RecordPutEnd(record);
  DecodeSiteRecord(record, site);
  EXPECT_EQ(site.ProjectID, 4);
  EXPECT_EQ(site.DatabaseName, "Project0004.mdb");
}

TEST(SiteRecordTest, SettingsGetThePagesRanges) {
  CSite site;
  std::string record;
  RecordPutInt(record, 32, 5);  // DomainCacheSize
  RecordPutInt(record, 37, 0);  // SessionTimelimit
  RecordPutEnd(record);
  DecodeSiteRecord(record, site);
  EXPECT_EQ(site.settings.DomainCacheSize, 100);
  EXPECT_EQ(site.settings.SessionTimelimit, 1);
}

TEST(SiteRecordTest, ZeroIntegerTakesOneValueByte) {
  CSite site;
  site.settings.OldLogAction = 0;
  std::string record = EncodeSiteRecord(site);
  EXPECT_EQ(RecordFieldLength(record, 19), 1u);
}

TEST(SiteStatusTest, CarriesStateAndTexts) {
  CSite site;
  site.state = kSitePending;
  site.SetStatus("Waiting for other analyses to finish");
  std::string record = EncodeSiteStatus(site);
  std::uint32_t state = 0;
  ASSERT_TRUE(RecordGetInt(record, 10, state));
  EXPECT_EQ(state, 1u);
  std::string text;
  RecordGetText(record, 11, text);
  EXPECT_EQ(text, "Waiting for other analyses to finish");
  EXPECT_EQ(RecordFieldLength(record, 22), 1u);
}

TEST(SystemSettingsTest, RoundTripWithoutTheLogon) {
  CSystemData sent;
  sent.MaxAnalyses = 4;
  sent.DefaultHomePage = "default.htm";
  sent.AllowRemoteAccess = true;
  sent.RemoteLogonName = "secret";
  std::string record = EncodeSystemSettings(sent);
  std::string text;
  std::uint32_t number = 0;
  ASSERT_TRUE(RecordGetInt(record, 16, number));
  EXPECT_EQ(number, 23u);
  EXPECT_EQ(record.find("secret"), std::string::npos);
  CSystemData got;
  DecodeSystemSettings(record, got);
  EXPECT_EQ(got.MaxAnalyses, 4);
  EXPECT_EQ(got.DefaultHomePage, "default.htm");
  EXPECT_TRUE(got.AllowRemoteAccess);
}

TEST(SystemSettingsTest, ValuesGetTheSystemPagesRanges) {
  struct Case {
    std::int32_t max_analyses, max_threads, time_limit, priority;
    std::int32_t want_analyses, want_threads, want_limit, want_priority;
  } cases[] = {
      {0, 0, 0, 0, 1, 1, 5, 2},
      {-5, 5000, 9999, 3, 1, 1000, 1440, 3},
      {7, 10, 60, 1, 7, 10, 60, 1},
  };
  for (const Case& c : cases) {
    std::string record;
    RecordPutInt(record, 10, static_cast<std::uint32_t>(c.priority));
    RecordPutInt(record, 11, static_cast<std::uint32_t>(c.max_analyses));
    RecordPutInt(record, 12, static_cast<std::uint32_t>(c.max_threads));
    RecordPutInt(record, 13, static_cast<std::uint32_t>(c.time_limit));
    RecordPutString(record, 14, std::string(300, 'h'));
    RecordPutEnd(record);
    CSystemData got;
    DecodeSystemSettings(record, got);
    EXPECT_EQ(got.MaxAnalyses, c.want_analyses);
    EXPECT_EQ(got.MaxDomainThreads, c.want_threads);
    EXPECT_EQ(got.DefaultSessionTimelimit, c.want_limit);
    EXPECT_EQ(got.RunPriority, c.want_priority);
    EXPECT_EQ(got.DefaultHomePage.size(), 199u);
  }
}

TEST(LogonRecordTest, NameAndPasswordTravelScrambled) {
  std::uint32_t check = LogonCheck("admin", "pw", 0x11223344);
  std::string record = EncodeLogonRecord("admin", "pw", check);
  EXPECT_EQ(record.find("admin"), std::string::npos);
  LogonFields fields;
  ASSERT_TRUE(DecodeLogonRecord(record, fields));
  EXPECT_EQ(fields.name, "admin");
  EXPECT_EQ(fields.password, "pw");
  EXPECT_EQ(fields.check, check);
  EXPECT_NE(LogonCheck("admin", "pw", 0x11223345), check);
}

TEST(LogonRecordTest, FieldsOverNinetyNineBytesAreRefused) {
  LogonFields fields;
  EXPECT_TRUE(DecodeLogonRecord(EncodeLogonRecord(std::string(99, 'n'), "p", 0), fields));
  EXPECT_FALSE(DecodeLogonRecord(EncodeLogonRecord(std::string(100, 'n'), "p", 0), fields));
  EXPECT_FALSE(DecodeLogonRecord(EncodeLogonRecord("n", std::string(100, 'p'), 0), fields));
}

TEST(TextBoxTest, RoundTrip) {
  TextBox box = DecodeTextBox(EncodeTextBox("text", "caption", 17));
  EXPECT_EQ(box.text, "text");
  EXPECT_EQ(box.caption, "caption");
  EXPECT_EQ(box.flags, 17u);
}

}  // namespace
}  // namespace tf::service
