// The ranked sections: the top N items of one category range (with a pie
// chart for some), and the visiting domains.
#include "platform/draw/utf8.h"
#include "report/page_text.h"
#include "report/regional_format.h"
#include "report/report_builder.h"

namespace tf::report {
namespace {

// A name as a ranked table shows it: cut to the limit with "..." after it,
// then escaped, since names come from logs and reverse lookups.
std::string ShownName(const std::string& name, int limit) {
  if (draw::Utf8Length(name) < static_cast<std::size_t>(limit)) return HtmlEscape(name);
  return HtmlEscape(draw::Utf8CutChars(name, static_cast<std::size_t>(limit))) + "...";
}

constexpr const char* kOptionalCell =
    "</td><td align='right'><font class='text_normal'>&nbsp;&nbsp;&nbsp;&nbsp;";
constexpr const char* kShareCells =
    "</td><td width='1%'><font class='text_normal'>&nbsp;&nbsp;&nbsp;&nbsp;</font></td><td "
    "width='1%' align=right>";

// The sum of a column over every row of the recordset.
double ColumnTotal(db::Recordset& rs, const char* column) {
  double total = 0;
  if (rs.RecordCount() > 0) {
    for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) total += rs.Field(column).ToDouble();
  }
  return total;
}

}  // namespace

// The day rows are summed per item first, and only then given their names:
// grouping the many day rows by item and name moved every name along with
// them. An item has one name, so the groups and their sums are the same.
std::string ReportBuilder::RankedItemsSql(const std::string& from, const std::string& to,
                                          std::int16_t top, const std::string& top_column,
                                          std::int16_t low, std::int16_t high) {
  const std::string n = std::to_string(top);
  const std::string per_item =
      "(select itemid, sum(hits) as hits, sum(bytes) as bytes, "
      "sum(sessioncount) as sessioncount, sum(viewtime) as viewtime, sum(" +
      top_column + ") as other from tblday where" + EntryDaysIn("tblday", from, to, true) +
      " and category >= " + std::to_string(low) + " and category <= " + std::to_string(high) +
      " group by itemid) as items";
  return "select  top " + n + " items.itemid, " + " sum(items.hits) as sumhits, " +
         " sum(items.bytes) as sumbytes, " + " sum(items.sessioncount) as sumsessioncount, " +
         " sum(items.viewtime) as sumsessiontime, " +
         " sum(items.viewtime) / sum(items.sessioncount) as avgsessiontime, " +
         " sum(items.other) as sumother, " + " tbldata.name " + " from " + per_item +
         ", tbldata " + " where tbldata.itemid = items.itemid " +
         " group by items.itemid, tbldata.name " + " order by sum(items.other) desc ";
}

std::string ReportBuilder::RankedItemsHeading() const {
  const std::string n = std::to_string(TopCount);
  std::string table = "<table class='box' width=100% cellspacing=0>";
  table += "<tr bgcolor='#" + StatsHeaderBackgroundColor + "'>";
  table += "<td><font class='stats_header'>Top " + n + "&nbsp;" + SectionTitle + "</font>";
  table += "</td><td align='right'><font class='stats_header'>" + ColumnHeader + "</font></td>";
  auto heading = [&table](const char* title) {
    table += "<td nowrap width='5%' align='right'><font class='stats_header'>&nbsp;&nbsp; ";
    table += title;
    table += " </font></td>";
  };
  if (ShowSessions == 1) heading("Sessions");
  if (ShowViewTime == 1) heading("View Time");
  if (ShowAvgViewTime == 1) heading("Avg View Time");
  table += "<td colspan=4 align=right> ";
  if (ShowBytes == 1) table += "<font class='stats_header'>Bytes ";
  table += "<a href=\"" + HelpLink +
           "\"> <img src='images/question1.gif' border='0' alt='Click here for more "
           "information'></a></td></tr>";
  return table;
}

// The row of the recordset's current item; its slice of the pie when the
// section has one and the item is among the first four.
std::string ReportBuilder::RankedItemRow(db::Recordset& rs, double total, bool pie, int& slices) {
  const int p = rs.AbsolutePosition();
  const std::string name = rs.Field("Name").ToString();
  const double other = rs.Field("sumother").ToDouble();
  const double value = TopColumn == "hits" ? rs.Field("SumHits").ToDouble() : other;
  const std::string percent = FormatNumber(other / total * 100, 0);
  std::string row = "<tr bgcolor='" + (p % 2 == 0 ? RowColor2 : RowColor1) + "'>";
  row += "<td><font class='text_normal'>" + ShownName(name, NameLengthLimit) + "</font>";
  row += "</td><td align=right><font class='text_normal'>" + FormatNumber(value, 0);
  if (pie && p <= 4) {
    Chart("Pie3dSetSliceColor", {ChartColors[p], com::Variant::I4(p)});
    Chart("Pie3dSetSliceValue", {com::Variant(value), com::Variant::I4(p)});
    LegendColours[p] = ChartColors[p].ToString();
    LegendPercents[p] = percent + "%";
    LegendNames[p] = name;
    slices = p + 1;
  }
  row += "</font>";
  double sessions = rs.Field("sumsessioncount").ToDouble();
  if (ShowSessions == 1) row += kOptionalCell + FormatNumber(sessions, 0);
  if (ShowViewTime == 1) {
    row += kOptionalCell + FormatNumber(rs.Field("sumsessiontime").ToDouble(), 0);
  }
  if (ShowAvgViewTime == 1) {
    double average = sessions > 0 ? rs.Field("avgsessiontime").ToDouble() : 0;
    row += kOptionalCell + FormatNumber(average, 0);
  }
  if (ShowPercent == 1) {
    row += std::string(kShareCells) + " <font class='text_normal'>" + percent + "%</font>";
  }
  if (ShowBytes == 1) {
    row += std::string(kShareCells) + "<font class='text_normal'>" +
           FormatNumber(rs.Field("SumBytes").ToDouble(), 0) + "</font>";
  }
  row += "</td></tr>";
  return row;
}

// Finishes the pie with its legend of the first `slices` items.
void ReportBuilder::FinishRankedPie(int slices) {
  auto i2 = [](int value) { return com::Variant::I2(static_cast<std::int16_t>(value)); };
  Chart("Pie3dFinish", {i2(0)});
  Chart("SetFont", {"arial", i2(14), ColorBlack, i2(0), i2(0), i2(0)});
  Chart("LegendBegin", {com::Variant(ChartWidth * 0.55), com::Variant(ChartHeight * 0.75), i2(0),
                        i2(1), i2(3), i2(13)});
  for (int column = 0; column < 3; ++column) {
    Chart("LegendSetColumn", {i2(column), i2(0), i2(0), i2(0)});
  }
  Chart("LegendSetItemTextSpan", {SectionTitle, i2(0), i2(0), i2(3), i2(2)});
  for (int i = 0; i < slices; ++i) {
    Chart("LegendSetItemText", {LegendNames[i], i2(i + 1), i2(1)});
    Chart("LegendSetItemText", {LegendPercents[i], i2(i + 1), i2(2)});
    Chart("LegendSetColorKey", {LegendColours[i], i2(i + 1), i2(0)});
  }
  Chart("LegendFinish", {i2(0)});
  Chart("FinishChart", {i2(0)});
}

void ReportBuilder::Referring_Info() {
  Enter(-2150);
  if (TopCount == 0) return;
  NameLengthLimit = 80;
  const bool pie = !ChartFile.empty();
  if (pie) Chart_Initiate();
  StepDone();

  OpenSiteDatabase();
  const std::string from = sqldate(FromDate);
  const std::string to = sqldate(ToDate);
  db::Recordset& rs = OpenDynaset(
      RankedItemsSql(from, to, TopCount, TopColumn, CategoryLow, CategoryHigh));
  const double total = ColumnTotal(rs, "sumother");
  RowColor1 = StatsBackgroundColor1;
  RowColor2 = StatsBackgroundColor2;
  std::string table = RankedItemsHeading();
  std::string anchor = "<a name='" + SectionKey + "'>";

  int slices = 0;
  if (rs.RecordCount() > 0) rs.MoveFirst();
  StepDone();
  if (total > 0) {
    for (; !rs.IsEof() && rs.AbsolutePosition() <= TopCount; rs.MoveNext()) {
      table += RankedItemRow(rs, total, pie, slices);
    }
  }

  StepDone();
  if (pie) {
    FinishRankedPie(slices);
    anchor += "<tr><td colspan=10><center><img src='" + PictureSource(ChartFile) +
              "'></center></td></tr>";
  }
  PageHtml += anchor + table + "</table>";
  Leave(-2155);
}

std::string ReportBuilder::DomainsSql(const std::string& from, const std::string& to,
                                      std::int16_t top) {
  const std::string n = std::to_string(top);
  // Each address's hits are summed first, from the visitors' address index,
  // so that only one row per address (not per visit) is grouped by name.
  // The addresses are unique in tbldomains: the sums are those of the join.
  // The cross join keeps the addresses outside: on a short range the
  // planner would otherwise walk the visits by date, reading each visit's
  // row and sorting them all by address.
  return "select  top " + n + " sum(addresses.addresshits) as sumhits, " +
                    " addresses.domainname " +
                    " from (select tbldomains.domainname, sum(tblvisitors.hits) as addresshits " +
                    " from tbldomains cross join tblvisitors " +
                    " where entrydate >= #" + from + "# " +
                    " and entrydate <= #" + to + "# " +
                    " and tbldomains.ipaddress = tblvisitors.ipaddress " +
                    " group by tbldomains.ipaddress) as addresses " +
                    " group by addresses.domainname " +
                    " order by sum(addresses.addresshits) desc ";
}

void ReportBuilder::Report_Domains() {
  Enter(-2160);
  if (TopCount == 0) return;
  const std::string n = std::to_string(TopCount);
  db::Recordset& rs = OpenTopQuery(&DomainsSql);
  const double total = ColumnTotal(rs, "SumHits");
  RowColor1 = StatsBackgroundColor1;
  RowColor2 = StatsBackgroundColor2;

  std::string table = "<table class='box' width=100% cellspacing=0>";
  table += "<tr bgcolor='#" + StatsHeaderBackgroundColor + "'><td>";
  if (variant().section_anchors) table += "<a name='" + SectionKey + "'>";
  table += "<font class='stats_header'>Top " + n + "&nbsp;" + SectionTitle + "</font></td>";
  if (variant().section_anchors) {
    table += "<td align='right'><font class='stats_header'>" + ColumnHeader +
             "</font></td><td colspan='2' align='right'>";
  } else {
    table += "<td colspan='3' align='right'>";
  }
  table += "<a href=\"" + HelpLink + "\"><img src='images/question1.gif' border='0' alt='" +
           HelpAlt() + "'></a></td></tr>";

  NameLengthLimit = 80;
  if (rs.RecordCount() > 0) rs.MoveFirst();
  for (; !rs.IsEof() && rs.AbsolutePosition() <= TopCount; rs.MoveNext()) {
    const int p = rs.AbsolutePosition();
    const double hits = rs.Field("SumHits").ToDouble();
    table += "<tr bgcolor='" + (p % 2 == 0 ? RowColor2 : RowColor1) + "'>";
    table += "<td><font class='text_normal'>" +
             ShownName(rs.Field("DomainName").ToString(), NameLengthLimit) + "</font></td>";
    table += "<td align=right><font class='text_normal'>" +
             FormatNumber(hits, variant().whole_domain_hits ? 0 : 2) + "</font>";
    if (ShowPercent == 1) {
      // Rows whose hits add up to 0 have no share of anything.
      double share = total != 0 ? hits / total * 100 : 0;
      table += std::string(kShareCells) + " <font class='text_normal'>" +
               FormatNumber(share, 0) + "%</font>";
    }
    table += "</td></tr>";
  }
  CurrentRecordset.Close();
  PageHtml += table + "</table>";
  Leave(-2165);
}

}  // namespace tf::report
