// The sections near the end of a report: the target pages with the search
// phrases that led to them, the server errors and the paths.
#include "platform/draw/utf8.h"
#include "report/page_text.h"
#include "report/query_prefetch.h"
#include "report/regional_format.h"
#include "report/report_builder.h"

namespace tf::report {

std::string ReportBuilder::TargetPagesSql(const std::string& from, const std::string& to) {
  return "select distinct targetpage, tbldata.name  from tbltargethits, tbldata  where "
         "entrydate >= #" + from + "#  and entrydate <= #" + to +
         "#  and tbldata.itemid = tbltargethits.targetpage and tbldata.name <> '(none)' ";
}

std::string ReportBuilder::TargetPhrasesSql(const std::string& from, const std::string& to,
                                            std::int16_t top, std::int64_t page) {
  return "select  top " + std::to_string(top) +
         " sum(targethits) as sessions,  keywordphrase,  tbldata.name,  "
         "sum(targethits) / sum(totalsessions) * 100 as sessionhitcount,  sum(totalsessions) as "
         "tsessions  from tbltargethits, tbldata  where entrydate >= #" + from +
         "#  and entrydate <= #" + to + "#  and tbldata.itemid = keywordphrase  and targetpage = " +
         std::to_string(page) +
         "  group by tbldata.name, keywordphrase order by sum(targethits) desc, sum(targethits) / "
         "sum(totalsessions) desc";
}

void ReportBuilder::Report_Target() {
  Enter(-2170);
  std::string from = sqldate(FromDate);
  std::string to = sqldate(ToDate);
  OpenSiteDatabase();
  SqlText = TargetPagesSql(from, to);
  TargetPages = ReadRows(SqlText);
  TargetDatabase = std::move(CurrentDatabase);
  if (TargetPages.RecordCount() > 0) {
    if (prefetch_) {
      // Each page's phrases are read ahead while the pages before it are
      // written.
      std::vector<std::string> phrases;
      for (TargetPages.MoveFirst(); !TargetPages.IsEof(); TargetPages.MoveNext()) {
        phrases.push_back(
            TargetPhrasesSql(from, to, TopCount, TargetPages.Field("targetpage").ToInt64()));
      }
      prefetch_->Add(TargetDatabase->path(), std::move(phrases));
    }
    for (TargetPages.MoveFirst(); !TargetPages.IsEof(); TargetPages.MoveNext()) {
      Report_Target_Sub();
    }
  }
  TargetPages.Close();
  TargetDatabase.reset();
  Leave(-2175);
}

void ReportBuilder::Report_Target_Sub() {
  Enter(-2180);
  const std::int64_t page = TargetPages.Field("targetpage").ToInt64();
  const std::string n = std::to_string(TopCount);
  std::string table = "<table class='box' width=100% border=0 cellspacing=0>";
  table += "<tr bgcolor='#" + StatsHeaderBackgroundColor + "'><td>";
  table += "<font class='stats_header'>Target Page - " +
           HtmlEscape(TargetPages.Field("Name").ToString()) + "</font></td>";
  table += "<td colspan='3' align='right'><a href=\"" + HelpLink +
           "\"><img src='images/question1.gif' border='0' alt='" + HelpAlt() + "'></a></td></tr>";

  std::string from = sqldate(FromDate);
  std::string to = sqldate(ToDate);
  OpenSiteDatabase();
  db::Recordset& rs = OpenDynaset(TargetPhrasesSql(from, to, TopCount, page));
  if (rs.RecordCount() > 0) {
    for (rs.MoveFirst(); !rs.IsEof() && rs.AbsolutePosition() <= TopCount; rs.MoveNext()) {
      const bool even = rs.AbsolutePosition() % 2 == 0;
      table += even ? "<tr bgcolor='" + RowColor2 + "'>" : " <tr bgcolor='" + RowColor1 + "'>";
      table += "<td><font class='text_normal'>" + HtmlEscape(rs.Field("name").ToString()) +
               "</font></td>";
      table += "<td align=right><font class='text_normal'>" +
               FormatNumber(rs.Field("sessions").ToDouble(), 0) + "</font>";
      // A phrase without sessions has no share (the database gives Null).
      table += "</td><td width=1% align=right><font class='text_normal'>&nbsp;&nbsp;&nbsp;&nbsp;" +
               FormatNumber(rs.Field("sessionhitcount").ToDouble(), 0) + "%</font>";
      table += "</td><td width=1% align=right><font class='text_normal'>&nbsp;&nbsp;&nbsp;&nbsp;" +
               FormatNumber(rs.Field("tsessions").ToDouble(), 0) + "</font>";
      table += "</td></tr>";
    }
  }
  table += "</table><p>";
  CurrentRecordset.Close();
  PageHtml += table;
  Leave(-2185);
}

namespace {

// The heading of the errors and paths tables up to the end of the title cell;
// `anchor_lead` goes before the anchor of a page with section anchors.
std::string RankedHeading(const ReportBuilder& b, const std::string& n, const char* anchor_lead) {
  std::string html = "<table class='box' width=100% cellspacing=0>";
  html += "<tr bgcolor='#" + b.StatsHeaderBackgroundColor + "'><td>";
  if (b.variant().section_anchors) html += anchor_lead + ("<a name='" + b.SectionKey + "'>");
  html += "<font class='stats_header'>Top " + n + "&nbsp;" + b.SectionTitle + "</font></td>";
  return html;
}

std::string HelpIcon(const ReportBuilder& b) {
  return "<a href=\"" + b.HelpLink + "\"> <img src='images/question1.gif' " +
         (b.variant().capital_help_alt ? "border='0' alt='Click" : "border=0 alt='click") +
         " here for more information'></a>";
}

}  // namespace

std::string ReportBuilder::ErrorsSql(const std::string& from, const std::string& to,
                                     std::int16_t top) {
  return "select top " + std::to_string(top) +
         " a.itemid, sum(a.hits) as sumhits, a.statuscode, " +
         "tbldata.name from tblhitstatus a, tbldata where tbldata.itemid = a.itemid " +
         "and a.entrydate >= #" + from + "# and a.entrydate <= #" + to + "# " +
         "group by a.itemid, tbldata.name, a.statuscode order by sum(a.hits) desc";
}

// The steps are summed per pair of pages first, so that the names join one
// row per pair rather than one per day; the groups and sums are those of the
// plain join.
std::string ReportBuilder::PathsSql(const std::string& from, const std::string& to,
                                    std::int16_t top) {
  return "select top " + std::to_string(top) +
         " a.itemid, sum(a.hits) as sumhits, tbldata.name, " +
         "(select name from tbldata where itemid = a.itemid2) as pathname " +
         "from (select itemid, itemid2, sum(hits) as hits from tblpaths " +
         "where entrydate >= #" + from + "# and entrydate <= #" + to + "# " +
         "group by itemid, itemid2) as a, tbldata where tbldata.itemid = a.itemid " +
         "group by a.itemid, tbldata.name, a.itemid2 order by sum(a.hits) desc";
}

void ReportBuilder::Report_Errors() {
  Enter(-2190);
  if (TopCount == 0) return;
  const std::string n = std::to_string(TopCount);
  db::Recordset& rs = OpenTopQuery(&ErrorsSql);

  std::string table = RankedHeading(*this, n, " ");
  table += "<td align=right nowrap><font class='stats_header'>Error Code</font></td>";
  table += "<td align=right><font class='stats_header'>&nbsp;&nbsp;</font>" + HelpIcon(*this) +
           "</td></tr>";
  int counter = 0;
  if (rs.RecordCount() > 0) rs.MoveFirst();
  for (; !rs.IsEof() && rs.AbsolutePosition() <= TopCount; rs.MoveNext()) {
    ++counter;
    const std::string& colour = counter % 2 == 0 ? RowColor2 : RowColor1;
    std::string name(draw::Utf8CutChars(rs.Field("Name").ToString(), NameLengthLimit));
    table += "<tr bgcolor=" + colour + "><td><font class='text_normal'>" + HtmlEscape(name) +
             "</font></td>";
    table += "<td align=right><font class='text_normal'>" +
             HtmlEscape(rs.Field("StatusCode").ToString()) + "</font></td>";
    table += "<td align=right><font class='text_normal'>" +
             FormatNumber(rs.Field("SumHits").ToDouble(), 0) + "</font></td></tr>";
  }
  PageHtml += table + "</table>";
  Leave(-2195);
}

void ReportBuilder::Paths_Info() {
  Enter(-2200);
  if (TopCount == 0) return;
  const std::string n = std::to_string(TopCount);
  db::Recordset& rs = OpenTopQuery(&PathsSql);

  std::string table = RankedHeading(*this, n, "");
  if (variant().section_anchors) {
    table += "<td align='right'><font class='stats_header'>" + ColumnHeader + "</font>";
  } else {
    table += "<td align=right>";
  }
  table += HelpIcon(*this) + "</td></tr>";
  int counter = 0;
  if (rs.RecordCount() > 0) {
    for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) {
      ++counter;
      const std::string row = "<tr bgcolor=" + (counter % 2 == 0 ? RowColor2 : RowColor1) + ">";
      table += row + "<td><font class='text_normal_bold'>" +
               HtmlEscape(rs.Field("Name").ToString()) + "</font></td>";
      table += "<td align=right><font class='text_normal'>" +
               FormatNumber(rs.Field("SumHits").ToDouble(), 0) + "</font></td></tr>";
      table += row + "<td><font class='text_normal_bold'>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;" +
               HtmlEscape(rs.Field("pathname").ToString()) + "</font></td>";
      table += "<td align=right><font class='text_normal'>&nbsp;</font></td></tr>";
    }
  }
  PageHtml += table + "</table>";
  Leave(-2205);
}

}  // namespace tf::report
