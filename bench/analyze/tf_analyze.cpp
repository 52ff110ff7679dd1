// tf-analyze: the main job without a user interface. One analysis run of one
// site of an install folder over the given log files.
//   tf-analyze --home DIR [--site NAME] [--timezone SECONDS] [--translate]
//              [--reports OUTDIR] LOGSPEC...
//
// DIR is an install folder staged by `cmake --install`. Unless
// TALLYFOX_REGISTRY is set, the registry is DIR/registry, so that nothing
// outside DIR is touched; its Path names DIR. The databases are made when
// missing, the site (default "Sample site") is made or reused, its log
// file patterns of this run are the LOGSPECs (the site keeps what earlier
// runs read of every pattern, so no file is counted twice), and it reads record times in a fixed zone
// (default 0 s) so that results do not depend on the machine. Domain names
// are looked up only with --translate, which uses the system's resolver.
// With --reports the run is followed by one full report of the site (every
// day it has statistics for) in OUTDIR, whose page is printed as
//   report=OUTDIR/report.html
//
// The last line printed is
//   records=N seconds=S records_per_second=R peak_rss_kb=M database=PATH
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/analyze/site_report.h"
#include "engine/analysis/domain_translation.h"
#include "engine/analysis/item_category.h"
#include "engine/analysis/run_analysis.h"
#include "engine/analysis/text_item.h"
#include "engine/common/registry_values.h"
#include "engine/logs/log_stream.h"
#include "engine/store/projects_database.h"
#include "engine/store/site.h"
#include "engine/store/site_list.h"
#include "engine/store/system_data.h"

namespace {

struct Options {
  std::string home;
  std::string site = "Sample site";
  double timezone = 0;
  bool translate = false;
  std::string reports;  // the report folder; empty: no report
  std::vector<std::string> specs;
};

// Absolute, without a trailing separator.
std::string FolderPath(const std::string& text) {
  std::error_code error;
  std::string path = std::filesystem::absolute(text, error).lexically_normal().string();
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

int Usage() {
  std::fprintf(stderr,
               "usage: tf-analyze --home DIR [--site NAME] [--timezone SECONDS] [--translate] "
               "[--reports OUTDIR] LOGSPEC...\n");
  return 2;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool has_value = i + 1 < argc;
    if (arg == "--home" && has_value) {
      options.home = argv[++i];
    } else if (arg == "--site" && has_value) {
      options.site = argv[++i];
    } else if (arg == "--timezone" && has_value) {
      char* end = nullptr;
      options.timezone = std::strtod(argv[++i], &end);
      if (end == nullptr || *end != '\0') return false;
    } else if (arg == "--translate") {
      options.translate = true;
    } else if (arg == "--reports" && has_value) {
      options.reports = FolderPath(argv[++i]);
      // The report command line quotes the folder, so a quote in it would
      // send the report elsewhere.
      if (options.reports.empty() || options.reports.find('"') != std::string::npos) return false;
    } else if (arg.rfind("--", 0) == 0) {
      return false;
    } else {
      options.specs.push_back(std::filesystem::absolute(arg).lexically_normal().string());
    }
  }
  return !options.home.empty() && !options.site.empty() && !options.specs.empty();
}

// The install folder as the engine finds it: through the registry.
void PointRegistryAt(const std::string& home) {
  const char* registry = std::getenv("TALLYFOX_REGISTRY");
  if (registry == nullptr || *registry == '\0') {
    setenv("TALLYFOX_REGISTRY", (home + "/registry").c_str(), 1);
  }
  tf::WriteInstallPath(home);
  tf::SetRegistryString("Path", home);
}

tf::CSite* FindOrAddSite(const std::string& name) {
  {
    std::lock_guard<std::recursive_mutex> lock(tf::SiteList.mutex());
    for (const auto& site : tf::SiteList.sites()) {
      if (site->ProjectName == name) return site.get();
    }
  }
  auto* site = new tf::CSite;
  site->ProjectName = name;
  site->SetUpNewSite();  // the list owns it from here
  if (!tf::ProjectsDatabase.AddProject(*site)) return nullptr;
  site->CloseSiteDatabase();
  return site;
}

// The given file patterns in their order, read this run; one that the site
// had already keeps how far its files were read. The site's other patterns
// stay, unread, after them (as many as the site stores), so that a later
// run over one of them resumes where it stopped.
void SetLogFiles(tf::CSite& site, const std::vector<std::string>& specs) {
  constexpr std::size_t kStoredStreams = 19;
  tf::LogStreamList streams;
  for (const std::string& spec : specs) {
    std::unique_ptr<tf::CLogStream> stream;
    for (auto& old : site.log_streams) {
      if (old && old->file_pattern() == spec) stream = std::move(old);
    }
    if (!stream) stream = std::make_unique<tf::CLogStream>(spec);
    stream->set_active(true);
    streams.push_back(std::move(stream));
  }
  for (auto& old : site.log_streams) {
    if (!old || streams.size() >= kStoredStreams) continue;
    old->set_active(false);
    streams.push_back(std::move(old));
  }
  site.log_streams = std::move(streams);
}

void Configure(tf::CSite& site, const Options& options) {
  SetLogFiles(site, options.specs);
  tf::SiteSettings& settings = site.settings;
  settings.AutoTimezone = 0;
  settings.Timezone = options.timezone;
  settings.VisitorsDomains = options.translate ? 1 : 0;
  const std::int32_t regions = tf::CategoryStatBit(tf::kCategoryRegion);
  if (options.translate) {
    settings.DayStats |= regions;
  } else {
    settings.DayStats &= ~regions;
  }
  // No scheduled reports: --reports writes the one report of this tool.
  settings.RptUseSchedule = 0;
  site.settings_changed = true;
  site.StoreSettings();
}

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) return Usage();
  std::error_code error;
  options.home = FolderPath(options.home);
  if (!std::filesystem::is_directory(options.home, error)) {
    std::fprintf(stderr, "tf-analyze: %s is not a folder\n", options.home.c_str());
    return 1;
  }
  PointRegistryAt(options.home);

  if (!tf::ProjectsDatabase.Open() || !tf::ProjectsDatabase.LoadSystemSettings() ||
      !tf::SystemData.OpenSystemDatabase() || !tf::SystemData.LoadReferenceTables() ||
      !tf::ProjectsDatabase.LoadProjects()) {
    std::fprintf(stderr, "tf-analyze: the databases of %s cannot be opened\n",
                 options.home.c_str());
    return 1;
  }
  tf::CSite* site = FindOrAddSite(options.site);
  if (site == nullptr) return 1;
  Configure(*site, options);

  if (options.translate) tf::StartDomainThreads();
  auto start = std::chrono::steady_clock::now();
  std::int32_t idle = tf::kSiteIdle;
  site->state.compare_exchange_strong(idle, tf::kSiteRunning);
  int result = tf::RunAnalysis(*site);
  site->state = tf::kSiteIdle;
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  tf::StopDomainThreads();

  std::string database = site->DatabasePath();
  std::string failure = site->ErrorText();
  long records = result == 1 ? site->history.stTotalRecords : 0;
  std::string report_page, report_failure;
  bool report_written = true;
  if (result == 1 && !options.reports.empty()) {
    tf::bench::RegisterReportComponents(options.home);
    report_written =
        tf::bench::WriteSiteReport(*site, options.reports, report_page, report_failure);
  }
  tf::SiteList.Clear();
  tf::SystemData.CloseSystemDatabase();
  tf::ProjectsDatabase.Close();
  if (result != 1) {
    std::fprintf(stderr, "tf-analyze: the analysis did not run: %s\n", failure.c_str());
    return 1;
  }
  if (!report_page.empty()) std::printf("report=%s\n", report_page.c_str());
  std::printf("records=%ld seconds=%.3f records_per_second=%.0f peak_rss_kb=%ld database=%s\n",
              records, seconds, seconds > 0 ? records / seconds : 0.0, PeakRssKb(),
              database.c_str());
  if (!report_written) {
    std::fprintf(stderr, "tf-analyze: the report was not written: %s\n", report_failure.c_str());
    return 1;
  }
  return 0;
}
