// The service's work in the test process: a fresh install folder with its
// databases, the client list, the scheduler with a set clock and runs that
// wait for the test, and the command server on 127.0.0.1 at a free port.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "../engine/store/install_folder.h"
#include "engine/common/time_value.h"
#include "service/client_list.h"
#include "service/command_server.h"
#include "service/service_scheduler.h"
#include "test_client.h"

namespace tf::service::test {

// Polls until the condition holds or a generous deadline passes.
bool Eventually(const std::function<bool()>& condition);

// Analyses that run until the test releases their site or it is stopped.
class GatedRuns {
 public:
  AnalysisHost::AnalysisRun Run();
  void Release(const CSite& site);
  void ReleaseAll();
  int started() const { return started_.load(); }

 private:
  std::mutex mutex_;
  std::condition_variable gate_;
  std::set<const CSite*> released_;
  bool all_released_ = false;
  std::atomic<int> started_{0};
};

class ServiceTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A connected client; remote ones connect from 127.0.0.2.
  std::unique_ptr<TestClient> Connect(bool remote = false);
  // A local client that has read its logon state.
  std::unique_ptr<TestClient> LoggedOnClient();
  // A site in the list and the projects database; returns its ProjectID.
  std::int32_t AddSite(const std::string& name);
  void AllowRemote(const std::string& name, const std::string& password);

  std::unique_ptr<tf::test::InstallFolder> install_;
  GatedRuns runs_;
  std::atomic<double> now_{0};
  ClientList clients_;
  std::unique_ptr<ServiceScheduler> scheduler_;
  std::unique_ptr<CommandServer> server_;
};

}  // namespace tf::service::test
