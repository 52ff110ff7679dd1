// The General Statistics table: fourteen key figures of the range.
#include "report/regional_format.h"
#include "report/report_builder.h"

namespace tf::report {

void ReportBuilder::HTMLQuickStats() {
  CurrentStep = -2203;
  std::optional<double> total_hits = ReadNumberText(TotalHits);
  if (!total_hits) throw ReportError("'" + TotalHits + "' is not a number");
  double hits = *total_hits;
  double days = DayCount > 0 ? DayCount : 1;

  std::string table = "<table class='box_normal' width=100% cellspacing=0>";
  table += "<tr bgcolor=" + StatsHeaderBackgroundColor + ">";
  table += "<td align='left'><font class='stats_header'>General Statistics</font></td>";
  table +=
      "<td colspan='3' align='right'><a href=\"javascript:helppageopen(1)\"><img "
      "src='images/question1.gif' border='0' alt='Click here for more information'></a></td>";
  table += "</tr>";

  auto row = [&](const char* label, const std::string& value, const std::string& colour) {
    table += "<tr bgcolor=" + colour + ">";
    table += label;
    table += "<td align=right>" + value + "</td>";
    table += "</tr>";
  };
  // Copies: the formatter leaves the remainder in its argument.
  std::string total_view_time = TotalViewTime;
  std::string per_visitor = ViewTimePerVisitor;
  std::string per_session = ViewTimePerSession;

  row("<td>Total Hits:</font></td>", FormatWholePattern(hits), RowColor1);
  row("<td>Average Hits Per Day:</td>", FormatWholePattern(hits / days), RowColor1);
  row("<td>Average Hits Per User:</td>", FormatDecimalPattern(HitsPerVisitor), RowColor1);
  row("<td>Total Data Transferred:</td>", FormatWholePattern(TotalBytes), RowColor2);
  table += "\r\n";
  row("<td>Average Data Transferred Per Day:</td>", FormatWholePattern(BytesPerDay), RowColor2);
  row("<td>Average Data Transferred Per Hit:</td>",
      FormatDecimalPattern(hits != 0 ? TotalBytes / hits : 0), RowColor2);
  row("<td>Total Users:</td>", FormatWholePattern(TotalVisitors), RowColor1);
  table += "\r\n";
  row("<td>Average Users Per Day:</td>", FormatDecimalPattern(VisitorsPerDay), RowColor1);
  row("<td>Total Sessions:</td>", FormatWholePattern(TotalSessions), RowColor2);
  row("<td>Average Sessions Per Day:</td>", FormatWholePattern(TotalSessions / days), RowColor2);
  row("<td>Average Sessions per User:</td>", FormatWholePattern(SessionsPerVisitor), RowColor2);
  row("<td>Total Time Users Spent on Site:</td>", Friendly_Time(total_view_time), RowColor1);
  row("<td>Average Time Spent Per User:</td>", Friendly_Time(per_visitor), RowColor1);
  row("<td>Average Time Spent Per Sessions:</td>", Friendly_Time(per_session), RowColor1);
  table += "</table>";
  PageHtml += table;
  CurrentStep = -2204;
}

}  // namespace tf::report
