// The real console on a private display, against an install folder staged
// from this build that holds one site whose logs are the bundled samples:
// the splash window, the main window, a second start, the About box, a site
// added through its sheet and analysed, its reports generated, the system
// sheet, and the exit.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/common/registry_values.h"
#include "engine/site/item_category.h"
#include "engine/site/stat_bits.h"
#include "engine/logs/log_stream.h"
#include "engine/site/projects_database.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/store/system_data.h"
#include "platform/com/create.h"
#include "platform/shell/shell.h"
#include "support/tallyfox_key.h"
#include "support/test_support.h"
#include "support/window_driver.h"
#include <unistd.h>

namespace tf::console {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

int RunProgram(const std::string& program, const std::vector<std::string>& args) {
  shell::StartOptions options;
  options.search_path = true;
  options.wait = true;
  shell::StartResult run = shell::StartProgram(program, args, options);
  return run.started && run.exited ? run.exit_code : -1;
}

// Adds "Sample site" reading the three sample logs.
void AddSampleSite(const std::string& install) {
  EXPECT_TRUE(ProjectsDatabase.Open());
  auto* site = new CSite;
  site->ProjectName = "Sample site";
  site->SetUpNewSite();
  EXPECT_TRUE(ProjectsDatabase.AddProject(*site));
  for (const char* log : {"w3c-extended.log", "ncsa-combined.log", "iis-basic.log"}) {
    auto stream = std::make_unique<CLogStream>(install + "/samples/" + log);
    stream->set_active(true);
    site->log_streams.push_back(std::move(stream));
  }
  site->settings.AutoTimezone = 0;
  // No name lookups of the sample addresses.
  site->settings.VisitorsDomains = 0;
  site->settings.DayStats &= ~CategoryStatBit(kCategoryRegion);
  site->settings.RptUseSchedule = 0;
  site->settings_changed = true;
  EXPECT_TRUE(site->StoreSettings());
  site->CloseSiteDatabase();
  ProjectsDatabase.Close();
  std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
  SiteList.Clear();
}

// Holds a database file locked for writing and reading until released.
class ExclusiveLock {
 public:
  explicit ExclusiveLock(const std::string& path) {
    EXPECT_EQ(sqlite3_open(path.c_str(), &db_), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db_, "PRAGMA journal_mode=DELETE; BEGIN EXCLUSIVE", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
  }
  ~ExclusiveLock() { Release(); }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;
  void Release() {
    if (db_ == nullptr) return;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
    db_ = nullptr;
  }

 private:
  sqlite3* db_ = nullptr;
};

int CountRows(const std::string& database, const std::string& table) {
  sqlite3* db = nullptr;
  int count = -1;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    std::string sql = "SELECT COUNT(*) FROM " + table;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
      count = sqlite3_column_int(statement, 0);
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  return count;
}

// An integer system setting as stored in the projects database; -1 when
// there is no such row.
int StoredInteger(const std::string& database, const std::string& name) {
  sqlite3* db = nullptr;
  int value = -1;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT IntegerValue FROM tblSettingsInteger WHERE Name=?", -1,
                           &statement, nullptr) == SQLITE_OK) {
      sqlite3_bind_text(statement, 1, name.c_str(), -1, SQLITE_TRANSIENT);
      if (sqlite3_step(statement) == SQLITE_ROW) value = sqlite3_column_int(statement, 0);
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  return value;
}

std::size_t CountFiles(const std::string& folder) {
  std::error_code error;
  std::size_t count = 0;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file()) ++count;
  }
  return count;
}

bool WaitForFile(const std::string& path) {
  auto deadline = std::chrono::steady_clock::now() + 120s;
  while (!fs::exists(path)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

TEST(ConsoleProgramTest, AddsAnalysesAndReportsASiteAndEndsWithItsExit) {
  tf::test::TempDir dir;
  const std::string install = dir.File("install");
  ASSERT_EQ(RunProgram(TF_CMAKE_COMMAND, {"--install", TF_BINARY_DIR, "--prefix", install}), 0);
  ASSERT_TRUE(tf::test::SetTallyfoxString("Path", install));
  // As setup does: the components the report generator creates by name.
  for (const char* library : {"/TFsupport.so", "/Pictoloom.so"}) {
    ASSERT_EQ(com::RegisterComDll(install + library, true), 1) << library;
  }
  AddSampleSite(install);
  ASSERT_TRUE(fs::exists(install + "/Project0001.mdb"));
  // The site added through "Add project" comes next.
  const std::string added_database = install + "/Project0002.mdb";
  const std::string reports = dir.File("reports");

  // Start-up waits for the system database under the splash window until
  // its picture is taken.
  const std::string system_database = install + "/TallyfoxSystem.mdb";
  fs::copy_file(install + "/SystemTemplate.mdb", system_database);
  ExclusiveLock lock(system_database);
  const std::string screens = fs::path(tf::test::ScreenPath("Tallyfox-main.png")).parent_path();
  const std::string errors = dir.File("stderr");
  const std::string results = dir.File("results");
  const std::string splash_taken = dir.File("splash-taken");
  auto drive = std::async(std::launch::async, [&] {
    return RunProgram("xvfb-run",
               {"-a", "-n", std::to_string(100 + getpid() % 800), "-s", "-screen 0 1024x768x24",
                std::string(TF_SOURCE_DIR) + "/tests/console/drive_console.sh", install + "/Tallyfox",
                errors, screens, install, results, splash_taken, reports});
  });
  bool splash_shown = WaitForFile(splash_taken);
  lock.Release();
  int status = drive.get();

  EXPECT_TRUE(splash_shown);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(tf::test::ReadFile(results), "second=0\n") << "the second start ends at once";
  EXPECT_EQ(tf::test::ReadFile(errors),
            "No log file specification: You must provide at least one log file specification.\n"
            "Success: The reports were generated\n")
      << "the two expected message boxes and no complaint";
  EXPECT_GT(CountRows(added_database, "tblDay"), 0) << "the added site's run wrote statistics";
  EXPECT_GT(CountRows(added_database, "tblHour"), 0);
  EXPECT_GT(CountFiles(reports), 0u) << "Generate reports now wrote the report";
  EXPECT_EQ(StoredInteger(install + "/Tallyfox.mdb", "MaxAnalyses"), 3)
      << "the system sheet's change was stored";
  std::string widths;
  EXPECT_EQ(GetRegistryString("ProjListCol", widths, 0), 1);
  EXPECT_EQ(widths, "145 145 145 ");
}

}  // namespace
}  // namespace tf::console
