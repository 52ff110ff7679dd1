#include "service_fixture.h"

#include <chrono>
#include <thread>

#include "engine/site/projects_database.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/store/system_data.h"
#include "service/event_log.h"
#include "service/protocol.h"

namespace tf::service::test {

using namespace std::chrono_literals;

bool Eventually(const std::function<bool()>& condition) {
  auto deadline = std::chrono::steady_clock::now() + 30s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

AnalysisHost::AnalysisRun GatedRuns::Run() {
  return [this](CSite& site) {
    ++started_;
    std::unique_lock<std::mutex> lock(mutex_);
    while (!all_released_ && released_.count(&site) == 0 && site.state != kSiteStopping) {
      gate_.wait_for(lock, 1ms);
    }
    released_.erase(&site);
  };
}

void GatedRuns::Release(const CSite& site) {
  std::lock_guard<std::mutex> lock(mutex_);
  released_.insert(&site);
  gate_.notify_all();
}

void GatedRuns::ReleaseAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  all_released_ = true;
  gate_.notify_all();
}

void ServiceTest::SetUp() {
  // Entries go nowhere: the tests read what the consoles receive.
  SetEventSink([](Severity, std::string_view) {});
  install_ = std::make_unique<tf::test::InstallFolder>();
  ASSERT_TRUE(ProjectsDatabase.Open());
  ASSERT_TRUE(ProjectsDatabase.LoadSystemSettings());
  now_ = ComposeTime(2007, 1, 10, 12, 0, 0);
  scheduler_ = std::make_unique<ServiceScheduler>(
      clients_, [this] { return now_.load(); }, runs_.Run());
  scheduler_->InstallHooks();
  server_ = std::make_unique<CommandServer>(clients_, *scheduler_);
  ASSERT_TRUE(server_->Start(Loopback(1), 0));
}

void ServiceTest::TearDown() {
  runs_.ReleaseAll();
  server_.reset();
  scheduler_.reset();
  install_.reset();
  SetEventSink({});
}

std::unique_ptr<TestClient> ServiceTest::Connect(bool remote) {
  auto client = std::make_unique<TestClient>();
  EXPECT_TRUE(client->Connect(server_->endpoint(), remote ? Loopback(2) : Loopback(1)));
  return client;
}

std::unique_ptr<TestClient> ServiceTest::LoggedOnClient() {
  auto client = Connect();
  auto state = client->NextWithCode(MSG_LOGON_STATE);
  EXPECT_TRUE(state.has_value());
  return client;
}

std::int32_t ServiceTest::AddSite(const std::string& name) {
  auto* site = new CSite;
  site->ProjectName = name;
  site->SetUpNewSite();
  EXPECT_TRUE(ProjectsDatabase.AddProject(*site));
  site->CloseSiteDatabase();
  return site->ProjectID;
}

void ServiceTest::AllowRemote(const std::string& name, const std::string& password) {
  std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
  SystemData.AllowRemoteAccess = true;
  SystemData.RemoteLogonName = name;
  SystemData.RemotePassword = password;
}

}  // namespace tf::service::test
