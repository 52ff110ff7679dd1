// Whole analysis runs: tf-analyze on a generated log of 1,000,000 lines in
// NCSA combined and in W3C extended format, each in a fresh install folder
// with every hourly and daily statistics bit on except regions, then once
// more over the same files (nothing new to read). A last part times the
// writes of many items: their new tblData rows, an hour flush and a day
// flush of them, and a day flush that adds to existing rows.
//   bench_analysis_run [--lines N] [--items N] [--dir FOLDER]
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/analyze/analyze_process.h"
#include "bench/loggen/log_generator.h"
#include "engine/analysis/period_flush.h"
#include "engine/analysis/text_item.h"
#include "engine/common/registry_values.h"
#include "engine/store/site.h"
#include "engine/store/statistics_writer.h"

namespace {

namespace fs = std::filesystem;
using tf::bench::LogKind;

// Every bit of HourStats and DayStats but regions (0x4000000).
constexpr std::int32_t kAllButRegions = 0x1FB3F3F;

bool StageInstallFolder(const fs::path& home) {
  std::error_code error;
  fs::remove_all(home, error);
  fs::create_directories(home, error);
  for (const char* name : {"TallyfoxTemplate.mdb", "ProjectTemplate.mdb", "SystemTemplate.mdb"}) {
    fs::copy_file(fs::path(TF_TEMPLATE_DIR) / name, home / name, error);
    if (error) return false;
  }
  return true;
}

// tf-analyze's last line, or empty when it failed.
std::string Analyze(const fs::path& home, const std::string& log) {
  tf::bench::AnalyzeResult result = tf::bench::RunTfAnalyze(TF_ANALYZE, {"--home", home.string(), log});
  return result.status == 0 ? tf::bench::LastLine(result.output) : std::string();
}

bool SetAllStatistics(const fs::path& database) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open(database.c_str(), &db) == SQLITE_OK &&
            sqlite3_exec(db,
                         ("UPDATE tblSettingsInteger SET IntegerValue = " +
                          std::to_string(kAllButRegions) +
                          " WHERE Name IN ('HourStats', 'DayStats')")
                             .c_str(),
                         nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

bool RunCase(const fs::path& dir, const char* name, LogKind kind, long lines) {
  fs::path log = dir / (std::string(name) + ".log");
  if (!fs::exists(log)) {
    tf::bench::LogGeneratorOptions options;
    options.kind = kind;
    options.lines = lines;
    options.days = 7;
    options.seed = 11;
    if (!tf::bench::WriteLog(options, log.string() + ".tmp", false)) return false;
    fs::rename(log.string() + ".tmp", log);
  }
  fs::path home = dir / (std::string("home-") + name);
  if (!StageInstallFolder(home)) return false;
  // The first run makes the site; its statistics are then all switched on.
  if (Analyze(home, (dir / "none.log").string()).empty()) return false;
  if (!SetAllStatistics(home / "Project0001.mdb")) return false;
  std::string first = Analyze(home, log.string());
  std::string again = Analyze(home, log.string());
  if (first.empty() || again.empty()) return false;
  std::printf("%-14s first run:  %s\n%-14s second run: %s\n", name, first.c_str(), name,
              again.c_str());
  return true;
}

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Many items in one hour of one day: their rows, then the flushes.
bool WriteItems(const fs::path& dir, int count) {
  fs::path home = dir / "home-items";
  if (!StageInstallFolder(home)) return false;
  setenv("TALLYFOX_REGISTRY", (home / "registry").c_str(), 1);
  tf::WriteInstallPath(home.string());
  tf::SetRegistryString("Path", home.string());
  fs::copy_file(home / "ProjectTemplate.mdb", home / "Project0001.mdb");

  tf::CSite site;
  site.DatabaseName = "Project0001.mdb";
  site.settings.HourStats = kAllButRegions;
  site.settings.DayStats = kAllButRegions;
  if (!site.OpenSiteDatabase()) return false;
  tf::SiteRunState& run = site.run;
  run.current_day = tf::ComposeDate(2024, 3, 1);
  run.current_hour = run.current_day + 10 * 3600;

  auto count_all = [&] {
    for (tf::CTextItem* item = run.items.all; item != nullptr; item = item->next_item) {
      item->AddHits(site, run.current_hour + 60, 1, true);
      item->hour.Bytes += 1000;
      item->day.Bytes += 1000;
    }
  };
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    tf::FindTextItem(site, 1, "/pages/" + std::to_string(i) + ".htm", true);
  }
  double add = Since(start);
  count_all();
  start = std::chrono::steady_clock::now();
  tf::FlushHourTextItems(site);
  double hour = Since(start);
  start = std::chrono::steady_clock::now();
  tf::FlushDayTextItems(site);
  double day = Since(start);
  count_all();
  tf::FlushHourTextItems(site);
  start = std::chrono::steady_clock::now();
  tf::FlushDayTextItems(site);
  double again = Since(start);
  tf::ReleaseTextItems(site);
  site.CloseSiteDatabase();

  std::printf("%d items: new tblData rows %.3f s (%.0f/s), hour flush %.3f s, day flush %.3f s, "
              "day flush adding to its rows %.3f s\n",
              count, add, count / add, hour, day, again);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  long lines = 1000000;
  int items = 50000;
  std::string dir_option;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string key = argv[i];
    if (key == "--lines") {
      lines = std::atol(argv[i + 1]);
    } else if (key == "--items") {
      items = std::atoi(argv[i + 1]);
    } else if (key == "--dir") {
      dir_option = argv[i + 1];
    } else {
      std::fprintf(stderr, "usage: bench_analysis_run [--lines N] [--items N] [--dir FOLDER]\n");
      return 2;
    }
  }
  fs::path dir = dir_option;
  if (dir.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp ? tmp : "/tmp") + "/tf-bench-run-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    dir = pattern;
  }
  fs::create_directories(dir);

  bool ok = RunCase(dir, "ncsa-combined", LogKind::kNcsaCombined, lines) &&
            RunCase(dir, "w3c", LogKind::kW3c, lines) && WriteItems(dir, items);
  if (!ok) std::fprintf(stderr, "bench_analysis_run: a step failed (files in %s)\n", dir.c_str());
  if (dir_option.empty()) {
    std::error_code error;
    fs::remove_all(dir, error);
  } else {
    std::printf("logs and install folders kept in %s\n", dir.c_str());
  }
  return ok ? 0 : 1;
}
