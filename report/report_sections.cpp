// The sections of a report in page order, with the settings that the run
// gives each before it calls the section's routine.
#include "report/report_builder.h"

#include <sched.h>

#include <algorithm>
#include <thread>

#include "engine/common/path.h"
#include "report/query_prefetch.h"

namespace tf::report {
namespace {

enum class SeriesRoutine {
  kByUnit,     // Query_Day for more than one day, else Query_Hourly
  kDaysOnly,   // Query_Day for more than one day, else no section
  kHourOfDay,  // Query_Hourly over the hours of the day
  kDayOfWeek,  // Query_Hourly over the days of the week
};

struct SeriesSection {
  std::int32_t step;  // 0: the step has no code of its own
  const char* separator;
  int help;
  const char* title;
  bool per_unit;  // the title goes on with the time unit and title_end
  const char* title_end;
  const char* key;
  std::int16_t low, high;
  const char* sum_column;
  const char* header;
  std::int32_t divisor;
  const char* chart;
  SeriesRoutine routine;
};

constexpr SeriesSection kSeries[] = {
    {-1170, "", 2, "Sessions Per ", true, "", "SessionsPerDay", 201, 201, "hits", "Sessions", 1,
     "SessionsChart.jpg", SeriesRoutine::kByUnit},
    {-1180, "", 3, "Visitors Per ", true, "", "VisitorsPerDay", 202, 202, "hits", "Visitors", 1,
     "VisitorsChart.jpg", SeriesRoutine::kByUnit},
    {0, "", 4, "Total Hits Per ", true, "", "HitsPerDay", 101, 109, "hits", "Hits", 1,
     "DayChart.jpg", SeriesRoutine::kByUnit},
    {-1200, "", 4, "HTML Hits Per ", true, "", "HTMLHitsPerDay", 101, 101, "hits", "Hits", 1,
     "HTMLDayChart.jpg", SeriesRoutine::kByUnit},
    {-1210, "", 4, "Form Hits Per ", true, "", "FormHitsPerDay", 104, 104, "hits", "Hits", 1,
     "FormDayChart.jpg", SeriesRoutine::kByUnit},
    {-1220, " <p> ", 5, "Bandwidth Used Per ", true, " (kb)", "BandwidthPerDay", 1, 9, "bytes",
     "Bandwidth (kb)", 1024, "BandwidthChart.jpg", SeriesRoutine::kDaysOnly},
    {-1230, "<p>", 6, "Usage By Hour of the Day (Hits)", false, "", "UsageByHour", 101, 109,
     "hits", "Hits", 1, "hourofdaychart.jpg", SeriesRoutine::kHourOfDay},
    {-1240, "", 7, "Most Popular Day of the Week", false, "", "MostPopularDayOfWeek", 101, 109,
     "hits", "Hits", 1, "dayofweekchart.jpg", SeriesRoutine::kDayOfWeek},
};

enum class RankedRoutine { kCategories, kDomains, kTargets, kErrors, kPaths };

// Optional columns of a ranked table.
enum Columns { kNone = 0, kSessions = 1, kAvgViewTime = 2, kBytes = 4 };

struct RankedSection {
  std::int32_t step;
  const char* separator;
  int help;
  const char* title;
  const char* key;
  std::int16_t low, high;  // 0, 0: the range stays as it was
  const char* top_column;
  const char* header;
  int columns;
  const char* chart;  // "": no picture
  int position;       // in TopNTable
  RankedRoutine routine;
};

constexpr RankedSection kRanked[] = {
    {-1250, "", 8, "Operating Systems", "OperatingSystems", 407, 407, "hits", "Sessions", kNone,
     "OperatingSystems.jpg", 0, RankedRoutine::kCategories},
    {-1260, "", 9, "Operating System Versions", "OperatingSystemsVersions", 408, 408, "hits",
     "Sessions", kNone, "OperatingSystemVersions.jpg", 1, RankedRoutine::kCategories},
    {-1270, "<p>", 10, "Browsers", "Browsers", 405, 405, "hits", "Sessions", kNone, "Browser.jpg",
     2, RankedRoutine::kCategories},
    {-1280, "<p>", 11, "Browser Name/Version", "BrowsersNameVersion", 406, 406, "hits",
     "Sessions", kNone, "BrowserVersion.jpg", 3, RankedRoutine::kCategories},
    {-1290, "<p>", 12, "Browser Add-Ons", "BrowsersAddOns", 411, 411, "hits", "Sessions", kNone,
     "", 4, RankedRoutine::kCategories},
    {-1300, "<p>", 13, "Entry Pages", "EntryPages", 1, 9, "entrycount", "Hits", kNone, "", 5,
     RankedRoutine::kCategories},
    {-1310, "<p>", 14, "Exit Pages", "ExitPages", 1, 9, "exitcount", "Hits", kNone, "", 6,
     RankedRoutine::kCategories},
    {-1320, "<p>", 15, "Referring Web Sites", "ReferringWebSites", 302, 302, "hits", "Hits",
     kSessions | kAvgViewTime, "", 7, RankedRoutine::kCategories},
    {-1330, "<p>", 16, "Referring Web Pages", "ReferringWebPages", 301, 301, "hits", "Hits",
     kSessions | kAvgViewTime, "", 8, RankedRoutine::kCategories},
    {-1340, "<p>", 17, "Requested Images", "RequestedImages", 2, 2, "hits", "Hits",
     kSessions | kBytes, "", 10, RankedRoutine::kCategories},
    {-1350, "<p>", 18, "Requested HTML Pages", "RequestedHTML", 1, 1, "hits", "Hits",
     kSessions | kAvgViewTime | kBytes, "", 11, RankedRoutine::kCategories},
    {-1360, "<p>", 19, "Requested Document Pages", "RequestedDocument", 3, 3, "hits", "Hits",
     kSessions | kAvgViewTime | kBytes, "", 12, RankedRoutine::kCategories},
    {-1370, "<p>", 20, "Requested Form Pages", "RequestedForm", 4, 4, "hits", "Hits",
     kSessions | kAvgViewTime | kBytes, "", 13, RankedRoutine::kCategories},
    {-1380, "<p>", 21, "Requested Program Pages", "RequestedProgram", 5, 5, "hits", "Hits",
     kSessions | kBytes, "", 14, RankedRoutine::kCategories},
    {-1390, "<p>", 22, "Requested Other Pages", "RequestedOther", 9, 9, "hits", "Hits",
     kSessions | kBytes, "", 15, RankedRoutine::kCategories},
    {-1400, "<p>", 23, "Search Engines", "SearchEngines", 401, 401, "hits", "Hits",
     kSessions | kAvgViewTime, "", 16, RankedRoutine::kCategories},
    {-1410, "<p>", 24, "Search Engine Phrases", "Phrases", 402, 402, "sessioncount", "Hits",
     kSessions | kAvgViewTime, "", 17, RankedRoutine::kCategories},
    {-1420, "<p>", 25, "Search Engine Keywords", "Keywords", 403, 403, "sessioncount", "Hits",
     kAvgViewTime, "", 18, RankedRoutine::kCategories},
    {-1430, "<p>", 26, "Spiders", "Spiders", 410, 410, "hits", "Hits", kNone, "", 19,
     RankedRoutine::kCategories},
    {-1440, "<p>", 27, "Languages", "Languages", 409, 409, "hits", "Sessions", kNone,
     "Languages.jpg", 20, RankedRoutine::kCategories},
    {-1450, "<p>", 28, "Regions", "Regions", 404, 404, "hits", "Sessions", kNone, "Regions.jpg",
     21, RankedRoutine::kCategories},
    {-1460, "<p>", 29, "Visiting Domains", "Domains", 0, 0, "hits", "Hits", kNone, "", 22,
     RankedRoutine::kDomains},
    // The target pages block is written once.
    {-1470, "<p>", 30, "Target Pages", "TargetPages", 1, 9, "hits", "Hits", kNone, "", 9,
     RankedRoutine::kTargets},
    {-1490, "<p>", 31, "Server Errors", "ServerErrors", 0, 0, "hits", "Hits", kNone, "", 23,
     RankedRoutine::kErrors},
    {-1400, "<p>", 32, "Paths", "TopPaths", 0, 0, "hits", "Hits", kNone, "", 24,
     RankedRoutine::kPaths},
};

std::string HelpLinkOf(int help) {
  return "javascript:helppageopen(" + std::to_string(help) + ")";
}

}  // namespace

std::vector<std::string> ReportBuilder::PlannedQueries() {
  std::vector<std::string> longest, rest;
  // sqldate records steps of its own.
  struct StepKept {
    std::int32_t& step;
    const std::int32_t value;
    ~StepKept() { step = value; }
  } kept{CurrentStep, CurrentStep};
  // A setting the sections will refuse leaves them to read their own rows.
  try {
    if (DayCount > 1) {
      for (const SeriesSection& s : kSeries) {
        if (s.routine != SeriesRoutine::kByUnit && s.routine != SeriesRoutine::kDaysOnly) continue;
        rest.push_back(DaySeriesQuery(s.sum_column, s.divisor, s.low, s.high));
      }
    }
  } catch (const std::exception&) {
  }
  const std::string from = sqldate(FromDate);
  const std::string to = sqldate(ToDate);
  for (const RankedSection& s : kRanked) {
    std::int16_t top = 0;
    try {
      top = ToInt16(com::Variant(TopNTable[s.position].count));
    } catch (const ReportError&) {
    }
    if (top == 0) continue;
    switch (s.routine) {
      case RankedRoutine::kCategories:
        rest.push_back(RankedItemsSql(from, to, top, s.top_column, s.low, s.high));
        break;
      // The visitors and the paths are the largest tables a report reads.
      case RankedRoutine::kDomains: longest.push_back(DomainsSql(from, to, top)); break;
      case RankedRoutine::kPaths: longest.push_back(PathsSql(from, to, top)); break;
      case RankedRoutine::kErrors: rest.push_back(ErrorsSql(from, to, top)); break;
      // Each page's phrases are queued once the pages are known.
      case RankedRoutine::kTargets: rest.push_back(TargetPagesSql(from, to)); break;
    }
  }
  longest.insert(longest.end(), rest.begin(), rest.end());
  return longest;
}

void ReportBuilder::StartPrefetch() {
  EndPrefetch();
  if (!read_ahead_threads_) {
    // The cores this process may run on, which a container or taskset may
    // hold below the machine's.
    cpu_set_t allowed;
    const unsigned cores = sched_getaffinity(0, sizeof allowed, &allowed) == 0
                               ? static_cast<unsigned>(CPU_COUNT(&allowed))
                               : std::thread::hardware_concurrency();
    read_ahead_threads_ = std::min(cores > 1 ? cores - 1 : 0, 8u);
  }
  if (*read_ahead_threads_ == 0 || !IsPlainFileName(CurrentDatabaseName)) return;
  // Reading ahead only saves time: a report goes on without it.
  try {
    prefetch_ = std::make_unique<QueryPrefetch>(JoinPath(HomeFolder, CurrentDatabaseName),
                                                PlannedQueries(), *read_ahead_threads_);
  } catch (const std::exception&) {
    prefetch_.reset();
  }
}

void ReportBuilder::EndPrefetch() {
  if (!prefetch_) return;
  read_ahead_use_ = {prefetch_->taken(), prefetch_->queued()};
  prefetch_.reset();
}

void ReportBuilder::WriteSections() {
  // What every section step sets first.
  auto begin = [this](const auto& s, const std::string& title) {
    if (s.step != 0) CurrentStep = s.step;
    PageHtml += s.separator;
    HelpLink = HelpLinkOf(s.help);
    SectionTitle = title;
    SectionKey = s.key;
    ColumnHeader = s.header;
    if (s.low != 0 || s.high != 0) {
      CategoryLow = s.low;
      CategoryHigh = s.high;
    }
  };
  for (const SeriesSection& s : kSeries) {
    if (s.routine == SeriesRoutine::kHourOfDay) TimeUnit = "Hour";
    if (s.routine == SeriesRoutine::kDayOfWeek) TimeUnit = "Week";
    begin(s, s.per_unit ? s.title + TimeUnit + s.title_end : s.title);
    AxisTitle = ColumnHeader;
    Divisor = s.divisor;
    SumColumn = s.sum_column;
    BucketCount = s.routine == SeriesRoutine::kDayOfWeek ? "7" : "24";
    BarColour = s.routine == SeriesRoutine::kDayOfWeek ? "rotate" : ChartColors[0].ToString();
    ChartFile = ChartFilePrefix + s.chart;
    switch (s.routine) {
      case SeriesRoutine::kByUnit:
        if (DayCount > 1) {
          Query_Day();
        } else {
          Query_Hourly();
        }
        break;
      case SeriesRoutine::kDaysOnly:
        if (DayCount > 1) Query_Day();
        break;
      case SeriesRoutine::kHourOfDay:
      case SeriesRoutine::kDayOfWeek:
        Query_Hourly();
        break;
    }
    StepDone();
  }

  for (const RankedSection& s : kRanked) {
    begin(s, s.title);
    Divisor = 1;
    TopCount = ToInt16(com::Variant(TopNTable[s.position].count));
    TopColumn = s.top_column;
    LinkItems = 0;
    ShowViewTime = 0;
    ShowSessions = (s.columns & kSessions) ? 1 : 0;
    ShowAvgViewTime = (s.columns & kAvgViewTime) ? 1 : 0;
    ShowBytes = (s.columns & kBytes) ? 1 : 0;
    ShowPercent = 1;
    ChartFile = *s.chart ? ChartFilePrefix + s.chart : "";
    if (*s.chart) ChartKind = "pie";
    switch (s.routine) {
      case RankedRoutine::kCategories: Referring_Info(); break;
      case RankedRoutine::kDomains: Report_Domains(); break;
      case RankedRoutine::kTargets: Report_Target(); break;
      case RankedRoutine::kErrors: Report_Errors(); break;
      case RankedRoutine::kPaths: Paths_Info(); break;
    }
    StepDone();
  }
}

}  // namespace tf::report
