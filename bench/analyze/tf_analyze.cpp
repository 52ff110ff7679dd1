// tf-analyze: the main job without a user interface. One analysis run of one
// site of an install folder over the given log files.
//   tf-analyze --home DIR [--site NAME] [--domain NAME] [--home-page NAME]
//              [--timezone SECONDS] [--translate] [--reports OUTDIR] LOGPATTERN...
//   tf-analyze --help
//
// DIR is an install folder staged by `cmake --install`; a missing or empty
// DIR is staged from this build. Unless TALLYFOX_REGISTRY is set, the
// registry is DIR/registry, so that nothing outside DIR is touched; its Path
// names DIR. The databases are made when missing, the site (default "Sample
// site") is made or reused, this run reads the LOGPATTERNs only (the site
// keeps what earlier runs read of every pattern, so no file is counted
// twice), and it reads record times in a fixed zone (default 0 s) so that
// results do not depend on the machine. Domain names
// are looked up only with --translate, which uses the system's resolver.
// With --reports the run is followed by one full report of the site (every
// day it has statistics for) in OUTDIR, whose page is printed as
//   report=OUTDIR/report.html
//
// The last line printed is
//   records=N seconds=S records_per_second=R peak_rss_kb=M database=PATH
// Exit status 0; 1 when a pattern matched no file, a file could not be
// read, the run recorded an error or the report was not written (each told
// on standard error); 2 for a wrong command line.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/analyze/analyze_options.h"
#include "bench/analyze/home_setup.h"
#include "bench/analyze/log_checks.h"
#include "bench/analyze/run_progress.h"
#include "bench/analyze/site_report.h"
#include "engine/common/registry_values.h"
#include "engine/logs/log_stream.h"
#include "engine/names/domain_translation.h"
#include "engine/run/run_analysis.h"
#include "engine/site/item_category.h"
#include "engine/site/projects_database.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/site/text_item.h"
#include "engine/store/system_data.h"

namespace {

using tf::bench::AnalyzeOptions;

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
void SetLogFiles(tf::CSite& site, const std::vector<std::string>& patterns) {
  constexpr std::size_t kStoredStreams = 19;
  tf::LogStreamList streams;
  for (const std::string& pattern : patterns) {
    std::unique_ptr<tf::CLogStream> stream;
    for (auto& old : site.log_streams) {
      if (old && old->file_pattern() == pattern) stream = std::move(old);
    }
    if (!stream) stream = std::make_unique<tf::CLogStream>(pattern);
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

void Configure(tf::CSite& site, const AnalyzeOptions& options) {
  SetLogFiles(site, options.patterns);
  tf::SiteSettings& settings = site.settings;
  settings.AutoTimezone = 0;
  settings.Timezone = options.timezone;
  settings.VisitorsDomains = options.translate ? 1 : 0;
  if (options.domain) {
    settings.DomainName = *options.domain;
    tf::NormalizeDomainName(site, settings.DomainName);
  }
  if (options.home_page) settings.HomePage = *options.home_page;
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


// Tells every failure on standard error; the run's event log keeps its own
// lines. 0 when there was none.
int ReportFailures(const std::vector<std::string>& failures) {
  for (const std::string& failure : failures) {
    std::fprintf(stderr, "tf-analyze: %s\n", failure.c_str());
  }
  return failures.empty() ? 0 : 1;
}

bool OpenDatabases() {
  return tf::ProjectsDatabase.Open() && tf::ProjectsDatabase.LoadSystemSettings() &&
         tf::SystemData.OpenSystemDatabase() && tf::SystemData.LoadReferenceTables() &&
         tf::ProjectsDatabase.LoadProjects();
}

}  // namespace

int main(int argc, char** argv) {
  AnalyzeOptions options;
  switch (tf::bench::ParseAnalyzeOptions(argc, argv, options)) {
    case tf::bench::CommandLine::kHelp: tf::bench::PrintHelp(stdout); return 0;
    case tf::bench::CommandLine::kWrong: tf::bench::PrintUsage(stderr); return 2;
    case tf::bench::CommandLine::kRun: break;
  }
  options.home = tf::bench::FolderPath(options.home);
  std::string failure;
  if (!tf::bench::PrepareHome(options.home, failure)) return ReportFailures({failure});
  PointRegistryAt(options.home);
  if (!OpenDatabases()) {
    return ReportFailures({"the databases of " + options.home + " cannot be opened"});
  }
  tf::CSite* site = FindOrAddSite(options.site);
  if (site == nullptr) return ReportFailures({"the site " + options.site + " cannot be made"});
  Configure(*site, options);
  std::vector<std::string> failures = tf::bench::FindLogProblems(options.patterns);

  if (options.translate) tf::StartDomainThreads();
  auto start = std::chrono::steady_clock::now();
  std::int32_t idle = tf::kSiteIdle;
  site->state.compare_exchange_strong(idle, tf::kSiteRunning);
  int result = 0;
  {
    tf::bench::TerminalProgress progress(*site);
    result = tf::RunAnalysis(*site);
  }
  site->state = tf::kSiteIdle;
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  tf::StopDomainThreads();

  std::string database = site->DatabasePath();
  std::string error = site->ErrorText();
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
    failures.push_back("the analysis did not run: " + error);
    return ReportFailures(failures);
  }
  if (!error.empty()) failures.push_back("the run recorded an error: " + error);
  if (!report_page.empty()) std::printf("report=%s\n", report_page.c_str());
  std::printf("records=%ld seconds=%.3f records_per_second=%.0f peak_rss_kb=%ld database=%s\n",
              records, seconds, seconds > 0 ? records / seconds : 0.0, PeakRssKb(),
              database.c_str());
  if (!report_written) failures.push_back("the report was not written: " + report_failure);
  return ReportFailures(failures);
}
