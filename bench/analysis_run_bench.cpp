// Whole analysis runs: tf-analyze on two generated NCSA combined logs of
// 1,000,000 lines over 30 days (the even visitor mix on many networks, and
// the heavy-tailed mix of long proxy and crawler sessions), each run in a
// fresh install folder with every hourly and daily statistics bit on except
// regions. Each log is run five times, and the analog program (a speed
// yardstick only) five times on the same file in between; the medians,
// their ratio and tf-analyze's peak memory are printed. With more than
// 1,000,000 lines the 1,000,000-line log of each mix is timed too, for the
// scaling. A second run over the same file (nothing new to read) is timed
// once, and a last part times the writes of many items: their new tblData
// rows, an hour flush and a day flush of them, and a day flush that adds to
// existing rows.
//   bench_analysis_run [--lines N] [--runs N] [--items N] [--dir FOLDER]
//                      [--tf-analyze PROGRAM]
// --tf-analyze times another build of it (say, one kept from before a change).
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/analyze/analyze_process.h"
#include "bench/loggen/log_generator.h"
#include "engine/common/registry_values.h"
#include "engine/run/period_flush.h"
#include "engine/site/site.h"
#include "engine/site/text_item.h"
#include "engine/stats/statistics_writer.h"

namespace {

namespace fs = std::filesystem;
using tf::bench::LogKind;
using tf::bench::VisitorMix;

// Every bit of HourStats and DayStats but regions (0x4000000).
constexpr std::int32_t kAllButRegions = 0x1FB3F3F;
constexpr long kScalingBase = 1000000;
std::string tf_analyze = TF_ANALYZE;

struct Workload {
  const char* name;
  VisitorMix mix;
};
constexpr Workload kWorkloads[] = {{"wide-30days", VisitorMix::kEven},
                                   {"heavy-30days", VisitorMix::kHeavy}};

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

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// The analog program found on PATH, or empty.
std::string FindAnalog() {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (std::size_t begin = 0; begin <= dirs.size();) {
    std::size_t end = std::min(dirs.find(':', begin), dirs.size());
    fs::path candidate = fs::path(dirs.substr(begin, end - begin)) / "analog";
    if (end > begin && access(candidate.c_str(), X_OK) == 0) return candidate.string();
    begin = end + 1;
  }
  return {};
}

fs::path GeneratedLog(const fs::path& dir, const Workload& workload, long lines) {
  fs::path log = dir / (std::string(workload.name) + "-" + std::to_string(lines) + ".log");
  if (fs::exists(log)) return log;
  tf::bench::LogGeneratorOptions options;
  options.kind = LogKind::kNcsaCombined;
  options.mix = workload.mix;
  options.nets = tf::bench::ClientNets::kWide;
  options.lines = lines;
  options.days = 30;
  options.seed = 11;
  if (!tf::bench::WriteLog(options, log.string() + ".tmp", false)) return {};
  fs::rename(log.string() + ".tmp", log);
  return log;
}

// An install folder with the site made and all its statistics on, to be
// copied for each timed run.
bool PrepareSite(const fs::path& home, const fs::path& dir) {
  if (!StageInstallFolder(home)) return false;
  // A run over an empty log makes the site; its statistics are then
  // switched on.
  fs::path empty = dir / "empty.log";
  std::ofstream{empty};
  tf::bench::RunTfAnalyze(tf_analyze, {"--home", home.string(), empty.string()}, true);
  return SetAllStatistics(home / "Project0001.mdb");
}

struct Timing {
  double seconds = 0;
  long peak_rss_kb = 0;
  std::string last_line;  // tf-analyze's; empty when it failed
};

Timing TimeTfAnalyze(const fs::path& prepared, const fs::path& home, const fs::path& log) {
  std::error_code error;
  fs::remove_all(home, error);
  fs::copy(prepared, home, fs::copy_options::recursive, error);
  Timing timing;
  if (error) return timing;
  auto start = std::chrono::steady_clock::now();
  tf::bench::AnalyzeResult result = tf::bench::RunTfAnalyze(tf_analyze, {"--home", home.string(), log.string()});
  timing.seconds = Since(start);
  timing.peak_rss_kb = result.peak_rss_kb;
  if (result.status == 0) timing.last_line = tf::bench::LastLine(result.output);
  return timing;
}

// analog with a configuration that only names the log and a report folder.
double TimeAnalog(const std::string& analog, const fs::path& dir, const fs::path& log) {
  fs::path out = dir / "analog-report";
  fs::create_directories(out);
  fs::path config = dir / "analog.cfg";
  std::ofstream(config) << "LOGFILE " << log.string() << "\nOUTFILE " << (out / "report.html").string()
                        << "\n";
  auto start = std::chrono::steady_clock::now();
  tf::bench::AnalyzeResult result = tf::bench::RunTfAnalyze(analog, {"-G", "+g" + config.string()}, true);
  double seconds = Since(start);
  return result.status == 0 ? seconds : -1;
}

struct Measured {
  double ours = 0, analog = -1;
  long peak_rss_kb = 0;
};

// runs timed runs of each program, alternating, so that both see the same
// machine load.
bool Measure(const fs::path& dir, const Workload& workload, long lines, int runs,
             const std::string& analog, Measured& measured) {
  fs::path log = GeneratedLog(dir, workload, lines);
  fs::path prepared = dir / "home-prepared";
  if (log.empty() || !PrepareSite(prepared, dir)) return false;
  std::vector<double> ours, theirs;
  Timing last;
  for (int i = 0; i < runs; ++i) {
    last = TimeTfAnalyze(prepared, dir / (std::string("home-") + workload.name), log);
    if (last.last_line.empty()) return false;
    ours.push_back(last.seconds);
    measured.peak_rss_kb = std::max(measured.peak_rss_kb, last.peak_rss_kb);
    if (!analog.empty()) {
      double seconds = TimeAnalog(analog, dir, log);
      if (seconds < 0) return false;
      theirs.push_back(seconds);
    }
  }
  measured.ours = Median(ours);
  if (!theirs.empty()) measured.analog = Median(theirs);
  // Once more over the same file: nothing new to read.
  tf::bench::AnalyzeResult again =
      tf::bench::RunTfAnalyze(tf_analyze, {"--home", (dir / (std::string("home-") + workload.name)).string(), log.string()});
  if (again.status != 0) return false;
  std::printf("%-13s %9ld lines  first run: %s\n%-13s %9s        second run: %s\n", workload.name, lines,
              last.last_line.c_str(), "", "", tf::bench::LastLine(again.output).c_str());
  return true;
}

void PrintMeasured(const char* name, long lines, const Measured& m) {
  if (m.analog > 0) {
    std::printf("%-13s %9ld lines  tf-analyze %7.2f s  analog %7.2f s  ratio %.2f  peak %ld MB\n", name,
                lines, m.ours, m.analog, m.ours / m.analog, m.peak_rss_kb / 1024);
  } else {
    std::printf("%-13s %9ld lines  tf-analyze %7.2f s  peak %ld MB\n", name, lines, m.ours,
                m.peak_rss_kb / 1024);
  }
}

bool RunWorkloads(const fs::path& dir, long lines, int runs) {
  std::string analog = FindAnalog();
  if (analog.empty()) std::printf("analog is not installed: only tf-analyze is timed\n");
  std::printf("medians of %d runs, every statistics bit on but regions\n", runs);
  for (const Workload& workload : kWorkloads) {
    Measured measured;
    if (!Measure(dir, workload, lines, runs, analog, measured)) return false;
    PrintMeasured(workload.name, lines, measured);
    if (lines > kScalingBase) {
      Measured base;
      if (!Measure(dir, workload, kScalingBase, runs, analog, base)) return false;
      PrintMeasured(workload.name, kScalingBase, base);
      std::printf("%-13s %ld lines take %.2f times the time of %ld\n", workload.name, lines,
                  measured.ours / base.ours, kScalingBase);
    }
    std::fflush(stdout);
  }
  return true;
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
    tf::SiteLockGuard held(site, "count_all");
    for (const std::unique_ptr<tf::CTextItem>& item : run.items.all) {
      item->AddHits(site, run.current_hour + 60, 1, held);
      item->hour.Bytes += 1000;
      item->day.Bytes += 1000;
    }
  };
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    tf::FindTextItem(site, 1, "/pages/" + std::to_string(i) + ".htm");
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
  long lines = kScalingBase;
  int runs = 5;
  int items = 50000;
  std::string dir_option;
  for (int i = 1; i < argc; i += 2) {
    // An option without its value (--help among them) gives the usage.
    std::string key = i + 1 < argc ? argv[i] : "";
    if (key == "--lines") {
      lines = std::atol(argv[i + 1]);
    } else if (key == "--runs") {
      runs = std::max(1, std::atoi(argv[i + 1]));
    } else if (key == "--items") {
      items = std::atoi(argv[i + 1]);
    } else if (key == "--tf-analyze") {
      tf_analyze = argv[i + 1];
    } else if (key == "--dir") {
      dir_option = argv[i + 1];
    } else {
      bool asked = std::string_view(argv[i]) == "--help";
      std::fprintf(asked ? stdout : stderr,
                   "usage: bench_analysis_run [--lines N] [--runs N] [--items N] [--dir FOLDER]\n"
                   "                          [--tf-analyze PROGRAM]\n");
      return asked ? 0 : 2;
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

  bool ok = RunWorkloads(dir, lines, runs) && WriteItems(dir, items);
  if (!ok) std::fprintf(stderr, "bench_analysis_run: a step failed (files in %s)\n", dir.c_str());
  if (dir_option.empty()) {
    std::error_code error;
    fs::remove_all(dir, error);
  } else {
    std::printf("logs and install folders kept in %s\n", dir.c_str());
  }
  return ok ? 0 : 1;
}
