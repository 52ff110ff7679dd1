// ReportBuilder: the report procedures that turn a site's statistics into
// one HTML page with its charts and help pages. The report generator's run
// drives them (report_run.h); the desktop viewer drives the same procedures
// with its own PageVariant.
//
// The procedures work on the run state (ReportState) instead of arguments.
// None of them handles an error: a database, chart or file failure raises
// and ends the caller's run. Each records its entry code in CurrentStep
// when it begins and its end code when it ends normally, so the run can say
// where it stopped.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/variant.h"
#include "report/regional_format.h"
#include "report/report_state.h"

namespace tf::report {

// A failure of the run's own making (a conversion, a chart call, a file).
class ReportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where the generator's page and the viewer's page differ.
struct PageVariant {
  // Folder of the chart pictures below OutputFolder, and the text that the
  // page puts before a picture's name.
  std::string chart_folder = "chart";
  std::string chart_reference = "chart/";
  // Anchors for a section tree (with the heading cells that come with them
  // in the domains and paths tables).
  bool section_anchors = false;
  // Every help icon says "Click here ..." (else the tables of the series,
  // domains, targets, errors and paths say "click here ...").
  bool capital_help_alt = false;
  // Hit counts of the domains table as whole numbers (else with the two
  // decimals of the regional settings).
  bool whole_domain_hits = false;
  // A run without a report name names its files after its number and day
  // (else after the report name).
  bool numbered_file_names = false;
  // GetProjectInfoBrief also reads the site's domain name.
  bool brief_reads_domain = false;
  // A step of a daily series that fails is passed over and the section is
  // still written (else the failure ends the run).
  bool tolerant_day_series = false;
  std::string help_script;
  std::string credit_text;

  static PageVariant Generator();
  // The viewer writes its pictures beside the page, into `work_folder`
  // below its output folder ("" in batch mode).
  static PageVariant Viewer(std::string work_folder);
};

class QueryPrefetch;

class ReportBuilder : public ReportState {
 public:
  explicit ReportBuilder(PageVariant variant = PageVariant::Generator());
  virtual ~ReportBuilder();

  const PageVariant& variant() const { return variant_; }

  // Threads that read the sections' longer queries ahead of them (0: none).
  // By default the cores the process may run on, less the one the sections
  // are written on.
  void SetReadAheadThreads(unsigned threads) { read_ahead_threads_ = threads; }
  // Of the queries the last report read ahead: how many its sections took
  // (or read themselves, when no worker had started them), of how many.
  struct ReadAheadUse {
    std::size_t taken = 0, queued = 0;
  };
  ReadAheadUse read_ahead_use() const { return read_ahead_use_; }

  // Steps 14 to 19 of a run: the total hits, the page head, then either the
  // no-data line or the general statistics and (unless summary_only) every
  // section in page order.
  void WriteReportBody(bool summary_only);

  // Page frame.
  void GetProjectInfo();
  void DeclareGlobalVars();
  void IncludeStyleSheet();
  void BeginningHTML();
  void WriteHTMLFile();
  // Seconds (a number in a text) to "1 day(s) 1:01:01"; the argument keeps
  // the seconds left after the last whole unit.
  std::string Friendly_Time(std::string& seconds);
  // A date text to "Sun, Dec 3rd, 2006".
  std::string Friendly_Date(const std::string& date);

  // Help pages.
  void WriteHelpFiles();
  void WriteHelpPage(std::int32_t id, const std::string& helpname, const std::string& helptext);

  // The days the site has data for (FirstDataDate, LastDataDate): 1, or -1
  // when its daily table is empty (the dates then stay as they were).
  std::int16_t GetLogDateRange();
  // ChartFilePrefix and ReportFileName of the run.
  void GetBaseFileName();
  // FromDate, ToDate and DayCount from RangeFromText and RangeToText, or the
  // last 30 days of data when those are not both dates.
  void ProcessDateRange();

  // Totals and sections.
  void GetProjectInfoBrief();
  void Query_Sum();
  void HTMLQuickStats();
  void Chart_Initiate();
  void Query_Hourly();
  void Query_Day();
  void Referring_Info();
  void Report_Domains();
  void Report_Target();
  void Report_Target_Sub();
  void Report_Errors();
  void Paths_Info();

  // A date text as "m/d/yyyy" for Jet's #...# literals; "" when the text is
  // not a date.
  std::string sqldate(const std::string& value);

  // The condition "entrydate from `from` up to `to`" (to itself included or
  // not) over a daily table whose key begins with EntryDate, written so that
  // the rows are read day by day: each date found by one seek of the key,
  // then only the wanted categories of that day. A plain range would read
  // every row of every day. The rows come in the same order as the range's.
  static std::string EntryDaysIn(const std::string& table, const std::string& from,
                                 const std::string& to, bool to_included);

 protected:
  // Called after each of the four sums and after each section step, so a
  // window can show progress and stay responsive.
  virtual void StepDone() {}

  void Enter(std::int32_t code) { CurrentStep = code; }
  void Leave(std::int32_t code) { CurrentStep = code; }

  // Opens the site database into CurrentDatabase (DatabasePath updated).
  db::Connection& OpenSiteDatabase();
  // Opens `sql` on CurrentDatabase into CurrentRecordset (SqlText updated).
  db::Recordset& OpenDynaset(std::string sql);
  // The rows of `sql` on CurrentDatabase: read ahead, or read now.
  db::Recordset ReadRows(const std::string& sql);
  // The SQL of a table of the top TopCount rows of the range.
  using TopSql = std::string (*)(const std::string& from, const std::string& to,
                                 std::int16_t top);
  // Opens the site database and that table's rows into CurrentRecordset
  // (the range's dates are read first).
  db::Recordset& OpenTopQuery(TopSql sql);
  // Calls a method of ChartObject by name; a call that fails (as opposed to
  // one that returns a failure status) raises.
  com::Variant Chart(std::string_view method, std::vector<com::Variant> args);

  // The help icon cell ending of the tables that write "click" in lower case.
  std::string HelpAlt() const;
  // The picture reference of a chart file, escaped for the src attribute.
  std::string PictureSource(const std::string& chart_file) const;
  // Value and colour of one bar of the current bar chart.
  void SetBar(double value, long column, const com::Variant& colour);

 private:
  void WriteSections();
  // The queries of the sections to come that read many rows, in the order
  // they are best started: the longest first, then in page order.
  std::vector<std::string> PlannedQueries();
  // Starts reading them ahead on other threads (the cores permitting);
  // EndPrefetch stops that and records what the sections took.
  void StartPrefetch();
  void EndPrefetch();

  // The SQL of those sections, from what each section's routine reads from
  // the run state (dates as sqldate gives them).
  static std::string RankedItemsSql(const std::string& from, const std::string& to,
                                    std::int16_t top, const std::string& top_column,
                                    std::int16_t low, std::int16_t high);
  static std::string DomainsSql(const std::string& from, const std::string& to, std::int16_t top);
  static std::string ErrorsSql(const std::string& from, const std::string& to, std::int16_t top);
  static std::string PathsSql(const std::string& from, const std::string& to, std::int16_t top);
  static std::string TargetPagesSql(const std::string& from, const std::string& to);
  static std::string TargetPhrasesSql(const std::string& from, const std::string& to,
                                      std::int16_t top, std::int64_t page);
  // The query of Query_Day with these settings.
  std::string DaySeriesQuery(const std::string& sum_column, std::int32_t divisor,
                             std::int16_t low, std::int16_t high);
  // The parts of Referring_Info.
  std::string RankedItemsHeading() const;
  std::string RankedItemRow(db::Recordset& rs, double total, bool pie, int& slices);
  void FinishRankedPie(int slices);
  // The parts of Query_Day.
  std::vector<db::Row> QueryDayRows(double& total);
  DaySerial FirstDayBucket(DaySerial first, const std::vector<db::Row>& rows) const;
  DaySerial NextDayBucket(DaySerial c) const;
  // Runs one step of a daily series; false when it failed and the variant
  // passes failures over (otherwise a failure raises).
  bool DayStep(const std::function<void()>& step);

  PageVariant variant_;
  std::optional<unsigned> read_ahead_threads_;
  std::unique_ptr<QueryPrefetch> prefetch_;
  ReadAheadUse read_ahead_use_;
};

// The value of a text as a 16-bit integer, as the run converts counts and
// sizes; raises on anything else.
std::int16_t ToInt16(const com::Variant& value);

// A help page of the installed topics, as the report's help folder and the
// viewer's help window show it.
std::string HelpPageHtml(const std::string& helpname, const std::string& helptext);

// Writes `text` as the whole content of the file (created, or emptied when
// it exists); raises ReportError when it cannot.
void WriteWholeFile(const std::string& path, const std::string& text);

}  // namespace tf::report
