// The service's scheduler ticks with a set clock, and the engine's hooks.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/store/system_data.h"
#include "service/event_log.h"
#include "service/protocol.h"
#include "service_fixture.h"

namespace tf::service::test {
namespace {

constexpr int kWednesday = 3;

class SchedulerTest : public ServiceTest {
 protected:
  CSite& Site(std::int32_t id) {
    std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
    return *SiteList.Find(id);
  }
  // A site due every hour of Wednesday from 12 on.
  std::int32_t AddScheduledSite(const std::string& name) {
    std::int32_t id = AddSite(name);
    CSite& site = Site(id);
    site.settings.EnableSchedule = 1;
    site.settings.RunSchedule[kWednesday] = 0xFFF000;
    return id;
  }
  void At(int hour, int minute) { now_ = ComposeTime(2007, 1, 10, hour, minute, 0); }
  // Status frames the client gets before the ack of a harmless command.
  int StatusesBeforeAck(TestClient& client, std::int32_t id) {
    client.Send(CMD_STOP_ANALYSIS, static_cast<std::uint32_t>(id));
    int statuses = 0;
    while (auto message = client.Next()) {
      if (message->code == MSG_ACK) break;
      if (message->code == MSG_SITE_STATUS) ++statuses;
    }
    return statuses;
  }
};

TEST_F(SchedulerTest, SecondDueSiteWaitsForTheSlotAndStartsAtTheNextTick) {
  SystemData.MaxAnalyses = 1;
  std::int32_t second = AddScheduledSite("Second");
  std::int32_t first = AddScheduledSite("First");  // head of the list
  At(12, 0);
  scheduler_->Tick();
  EXPECT_EQ(Site(first).state, kSiteRunning);
  EXPECT_EQ(Site(second).state, kSitePending);
  EXPECT_EQ(Site(second).StatusText(), "Waiting for other analyses to finish");
  runs_.Release(Site(first));
  ASSERT_TRUE(Eventually([&] { return Site(first).state == kSiteIdle; }));
  At(12, 0);
  scheduler_->Tick();
  EXPECT_EQ(Site(second).state, kSiteRunning);
}

TEST_F(SchedulerTest, SiteBusyAtTheHoursFirstTickIsNotStartedLaterThatHour) {
  std::int32_t id = AddScheduledSite("Busy");
  auto client = LoggedOnClient();
  client->Send(CMD_START_ANALYSIS, static_cast<std::uint32_t>(id));
  ASSERT_TRUE(client->NextWithCode(MSG_ACK));
  At(13, 0);
  scheduler_->Tick();
  runs_.Release(Site(id));
  ASSERT_TRUE(Eventually([&] { return Site(id).state == kSiteIdle; }));
  At(13, 30);
  scheduler_->Tick();
  EXPECT_EQ(Site(id).state, kSiteIdle);
  EXPECT_EQ(runs_.started(), 1);
  At(14, 0);
  scheduler_->Tick();
  EXPECT_TRUE(Eventually([this] { return runs_.started() == 2; }));
}

TEST_F(SchedulerTest, ChangedNextRunIsBroadcastOnce) {
  std::int32_t id = AddSite("Planned");
  At(9, 0);
  scheduler_->Tick();
  auto client = LoggedOnClient();
  {
    std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
    CSite& site = *SiteList.Find(id);
    site.settings.EnableSchedule = 1;
    site.settings.RunSchedule[5] = 1 << 3;  // Friday 3:00
  }
  scheduler_->Tick();
  EXPECT_EQ(StatusesBeforeAck(*client, id), 1);
  scheduler_->Tick();
  EXPECT_EQ(StatusesBeforeAck(*client, id), 0);
}

TEST_F(SchedulerTest, SiteErrorGoesToTheEventLogAndTheConsoles) {
  // Shared with the sink, which server threads may still call after the
  // test's body.
  struct Entries {
    std::mutex lock;
    std::vector<std::string> errors;
  };
  auto entries = std::make_shared<Entries>();
  SetEventSink([entries](Severity severity, std::string_view text) {
    std::lock_guard<std::mutex> lock(entries->lock);
    if (severity == Severity::kError) entries->errors.emplace_back(text);
  });
  std::int32_t id = AddSite("Broken");
  auto client = LoggedOnClient();
  Site(id).SetError("Unable to open the\tlog file");
  auto status = client->NextWithCode(MSG_SITE_STATUS);
  ASSERT_TRUE(status);
  std::lock_guard<std::mutex> lock(entries->lock);
  ASSERT_EQ(entries->errors.size(), 1u);
  EXPECT_EQ(entries->errors[0], "Error for Broken: Unable to open the log file");
}

TEST(EventLogTest, LinesAreSanitised) {
  std::vector<std::pair<Severity, std::string>> entries;
  SetEventSink([&](Severity severity, std::string_view text) { entries.emplace_back(severity, text); });
  LogWarning("tab\there, accent \xC3\xA9  ");
  ReportEventId(kEventStarted, "Tallyfox");
  ReportEventCode(kEventCannotOpen, 5);
  SetEventSink({});
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].second, "tab here, accent");
  EXPECT_EQ(entries[0].first, Severity::kWarning);
  EXPECT_EQ(entries[1].second, "\"Tallyfox\" started successfully.");
  EXPECT_EQ(entries[2].second, "Failed to open the service, ErrorCode:5.");
  EXPECT_EQ(entries[2].first, Severity::kError);
}

}  // namespace
}  // namespace tf::service::test
