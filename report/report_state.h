// The run state of a report: the members that a report run and every
// section routine share. A run sets each section's settings here and then
// calls the section's routine, which reads its inputs from here and appends
// its HTML to PageHtml. Names are the report's own; the desktop viewer
// keeps the same state under the same names.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/com/unknown.h"
#include "platform/com/variant.h"
#include "platform/db/connection.h"
#include "platform/db/recordset.h"

namespace tf::report {

// One Top-N entry: the settings row that carries the count, and the count
// as text (converted to a 16-bit integer when a section is prepared).
struct TopNEntry {
  std::string name;
  std::string count;
};
inline constexpr int kTopNEntries = 25;

struct ReportState {
  ReportState();

  // Objects of the run.
  com::ComPtr<com::IDispatch> SupportObject;
  com::ComPtr<com::IDispatch> ChartObject;

  // Command line, folders and date range.
  std::string HomeFolder;  // install folder, ending in "/"
  std::string CommandLine;
  std::string ReportName, OutputFolder, ProjectName, RangeFromText, RangeToText;
  std::string CurrentDatabaseName, ChartFilePrefix, ReportFileName;
  double FirstDataDate = 0, LastDataDate = 0;  // automation dates
  // The run's number and day (a day serial), for numbered file names.
  std::int32_t RunNumber = 0;
  long RunDay = 0;
  std::string FromDate, ToDate;  // date texts, M/d/yyyy
  std::int32_t DayCount = 0;

  // The last query: each query opens the site database again.
  std::string DatabasePath;
  std::unique_ptr<db::Connection> CurrentDatabase;
  db::Recordset CurrentRecordset;
  std::string SqlText;
  // The target pages walked while each page's table is written, with the
  // database they were read from.
  std::unique_ptr<db::Connection> TargetDatabase;
  db::Recordset TargetPages;

  // Totals.
  std::int16_t CategoryLow = 0, CategoryHigh = 0;
  std::string TotalColumn, SumResult;
  std::string TotalHits, TotalViewTime, ViewTimePerVisitor, ViewTimePerSession;
  double TotalBytes = 0, TotalVisitors = 0, TotalSessions = 0, HitsPerVisitor = 0;
  double SessionsPerVisitor = 0, VisitorsPerDay = 0, BytesPerDay = 0;

  // The page and the current section.
  std::string PageHtml;
  std::string TimeUnit;
  std::string SectionTitle, SectionKey, HelpLink, ColumnHeader;
  std::string SumColumn, AxisTitle, BucketCount, BarColour;
  std::int32_t Divisor = 1;
  std::string ChartFile, ChartKind;
  std::int16_t ChartWidth = 0, ChartHeight = 0;
  std::string TopColumn;
  std::int16_t TopCount = 0;
  std::int16_t ShowBytes = 0, ShowSessions = 0, ShowViewTime = 0, ShowAvgViewTime = 0;
  std::int16_t ShowPercent = 0, LinkItems = 0;
  int NameLengthLimit = 80;

  // Top-N counts and where they come from.
  std::array<TopNEntry, kTopNEntries> TopNTable;
  std::int16_t GlobalTopSettingsFlag = 0;

  // Fixed tables of the run.
  std::array<std::string, 7> DayNames;
  std::array<com::Variant, 6> ChartColors;
  com::Variant ColorBlack, ColorWhite;
  std::array<std::string, 6> LegendNames, LegendPercents, LegendColours;

  // Display settings of the site (colours are always six hex digits).
  std::string StatsBackgroundColor1, StatsBackgroundColor2, StatsForegroundColor;
  std::string StatsHeaderBackgroundColor, StatsHeaderForegroundColor;
  std::string StatsLinkColor, StatsLinkColorHover, StatsPageBackgroundColor;
  std::int16_t StatsHeaderTextSize = 0, StatsTextSize = 0;
  std::string DomainName;
  std::string RowColor1, RowColor2;

  // Progress code: the step or procedure the run is in.
  std::int32_t CurrentStep = 0;
};

}  // namespace tf::report
