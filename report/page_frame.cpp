// The frame of the page: display settings, fixed tables, the style sheet
// and generated rules, the page head, the file, and the two text formatters.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/common/path.h"
#include "report/page_text.h"
#include "report/regional_format.h"
#include "report/report_builder.h"

namespace tf::report {

void WriteWholeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw ReportError("Cannot write " + path);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) throw ReportError("Cannot write " + path);
}

void ReportBuilder::GetProjectInfo() {
  Enter(-2080);
  OpenSiteDatabase();
  struct ColourSetting {
    const char* name;
    std::string* member;
  };
  const ColourSetting colours[] = {
      {"StatsBackgroundColor1", &StatsBackgroundColor1},
      {"StatsBackgroundColor2", &StatsBackgroundColor2},
      {"StatsForegroundColor", &StatsForegroundColor},
      {"StatsHeaderBackgroundColor", &StatsHeaderBackgroundColor},
      {"StatsHeaderForegroundColor", &StatsHeaderForegroundColor},
      {"StatsLinkColor", &StatsLinkColor},
      {"StatsLinkColorHover", &StatsLinkColorHover},
      {"StatsPageBackgroundColor", &StatsPageBackgroundColor},
  };

  db::Recordset& texts = OpenDynaset(
      "select name, stringvalue from tblsettingsstring where name = 'domainname' or name like "
      "'Stats*'");
  texts.MoveLast();
  int count = texts.RecordCount();
  texts.MoveFirst();
  for (int i = 0; i < count; ++i, texts.MoveNext()) {
    std::string name = texts.Field("name").ToString();
    std::string value = texts.Field("stringvalue").ToString();
    if (name == "DomainName") {
      DomainName = value;
      continue;
    }
    for (const ColourSetting& colour : colours) {
      if (name != colour.name) continue;
      // Colours reach style rules and attributes only as six hex digits.
      *colour.member = SafeColour(value, *colour.member);
    }
  }
  RowColor1 = StatsBackgroundColor1;
  RowColor2 = StatsBackgroundColor2;

  db::Recordset& sizes = OpenDynaset(
      "select name, integervalue from tblsettingsinteger where name like 'Stats*'");
  sizes.MoveLast();
  count = sizes.RecordCount();
  sizes.MoveFirst();
  for (int i = 0; i < count; ++i, sizes.MoveNext()) {
    std::string name = sizes.Field("name").ToString();
    if (name == "StatsHeaderTextSize") StatsHeaderTextSize = ToInt16(sizes.Field("integervalue"));
    if (name == "StatsTextSize") StatsTextSize = ToInt16(sizes.Field("integervalue"));
  }
  CurrentRecordset.Close();
  CurrentDatabase.reset();
  Leave(-2085);
}

void ReportBuilder::DeclareGlobalVars() {
  Enter(-2060);
  DayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  auto rgb = [this](int red, int green, int blue) {
    return Chart("RGBcolor", {com::Variant::I2(static_cast<std::int16_t>(red)),
                              com::Variant::I2(static_cast<std::int16_t>(green)),
                              com::Variant::I2(static_cast<std::int16_t>(blue))});
  };
  ColorBlack = rgb(0, 0, 0);
  ColorWhite = rgb(255, 255, 255);
  constexpr int kPalette[6][3] = {{10, 160, 10}, {160, 160, 10}, {5, 104, 167},
                                  {160, 2, 212}, {167, 28, 5},   {204, 129, 0}};
  for (int i = 0; i < 6; ++i) ChartColors[i] = rgb(kPalette[i][0], kPalette[i][1], kPalette[i][2]);
  LegendNames = {};
  LegendPercents = {};
  LegendColours = {};
  ChartKind.clear();
  Leave(-2065);
}

void ReportBuilder::IncludeStyleSheet() {
  Enter(-2050);
  // The install folder's style.css opens the document (head and an open
  // style element); the generated rules continue it. A missing file is
  // created empty, so the page then begins with the first rule.
  std::string path = JoinPath(HomeFolder, "style.css");
  if (!std::filesystem::exists(path)) WriteWholeFile(path, "");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ReportError("Cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  PageHtml = text.str();

  std::string s = std::to_string(StatsHeaderTextSize);
  std::string t = std::to_string(StatsTextSize);
  PageHtml += "font.stats_header { font-weight: bold; font-family : arial; font-size : " + s +
              "px; color : #" + StatsHeaderForegroundColor + "; }";
  PageHtml += "font.text_normal_bold { font-weight: bold; font-family : arial; font-size : " + t +
              "px; color : #" + StatsForegroundColor + "; }";
  PageHtml += "font.text_normal { font-family : arial; font-size : " + t + "px; color : #" +
              StatsForegroundColor + "; }";
  PageHtml +=
      "a.normal:link, a.normal:active, a.normal:visited { text-decoration : none; font-weight: "
      "normal; font-family : arial; font-size : " +
      t + "px; color : #" + StatsLinkColor + "; }";
  PageHtml +=
      "a.normal:hover { text-decoration : underline; font-family : arial; font-size: " + t +
      "px; font-weight: normal; color : #" + StatsLinkColorHover + "; }";
  PageHtml +=
      "a.normal_bold:link, a.normal_bold:active, a.normal_bold:visited { text-decoration : "
      "none; font-weight: bold; font-family : arial; font-size : " +
      t + "px; color : #" + StatsLinkColor + "; }";
  PageHtml +=
      "a.normal_bold:hover { text-decoration : underline; font-family : arial; font-size: " + t +
      "px; font-weight: bold; color : #" + StatsLinkColorHover + "; }";
  PageHtml += "table.box_normal { font-family : arial; font-size : " + t + "px; color : #" +
              StatsForegroundColor +
              "; border-style : solid; border-width : 1px; border-bottom-color : #304273; "
              "border-left-color : #304273; border-top-color : #304273; border-right-color : "
              "#304273; font-family : arial,sans-serif; font-size: 10px;}";
  PageHtml += "</style></head>";
  PageHtml += "<body leftmargin=7 topmargin=7 bgcolor=\"" + StatsPageBackgroundColor + "\">";
  Leave(-2055);
}

void ReportBuilder::BeginningHTML() {
  Enter(-2510);
  std::string title = HtmlEscape(DomainName.empty() ? ProjectName : DomainName);
  std::string& page = PageHtml;
  // A box of the page head, opened with its heading row.
  auto box = [this, &page](const std::string& heading) {
    page += "<table class='box_normal' width=100% cellspacing=0>";
    page += "<tr bgcolor=" + StatsHeaderBackgroundColor + ">";
    page += "<td colspan=10>";
    page += "<center><font class='stats_header'>" + heading + "</font></center>";
    page += "</td>";
    page += "</tr>";
  };
  page += variant_.help_script;

  page += "<table width='100%'>";
  page += "<tr><td>";
  box(title);
  page += "</table>";
  page += "<p>";

  page += "<center>";
  page += variant_.credit_text;
  page += "</center>";
  page += "<br><br>";

  // The range the report covers: the dates of the command line, or the
  // days the run fell back to when those were not dates.
  std::string from = Friendly_Date(FromDate);
  std::string to = Friendly_Date(ToDate);
  box("Date Range");
  page += "<tr bgcolor=" + StatsBackgroundColor1 + ">";
  page += "<td colspan=10>";
  page += "<center>";
  page += from + "-" + to + "<br>" + std::to_string(DayCount) + " Day";
  if (DayCount > 1) page += "s";
  page += "</center>";
  page += "</td>";
  page += "</tr>";
  page += "</table>";
  page += "<p>";
  Leave(-2515);
}

void ReportBuilder::WriteHTMLFile() {
  Enter(-2500);
  WriteWholeFile(JoinPath(OutputFolder, ReportFileName), PageHtml + "\r\n");
  Leave(-2505);
}

std::string ReportBuilder::Friendly_Time(std::string& seconds) {
  Enter(-2010);
  std::optional<double> number = ReadNumberText(seconds);
  if (!number || !std::isfinite(*number)) throw ReportError("'" + seconds + "' is not a number");
  double s = *number;
  auto two_digits = [](long long value) {
    std::string text = std::to_string(value);
    return text.size() == 1 ? "0" + text : text;
  };
  std::string out;
  if (s > 86400) {
    long long d = static_cast<long long>(s / 86400);
    out = std::to_string(d) + " day(s) ";
    s -= static_cast<double>(d) * 86400;
  }
  if (s > 3600) {
    long long h = static_cast<long long>(s / 3600);
    out += std::to_string(h) + ":";
    s -= static_cast<double>(h) * 3600;
  }
  if (s > 60) {
    long long m = static_cast<long long>(s / 60);
    out += two_digits(m) + ":";
    s -= static_cast<double>(m) * 60;
  }
  out += two_digits(std::llround(s));
  seconds = NumberText(s);
  Leave(-2015);
  return out;
}

std::string ReportBuilder::Friendly_Date(const std::string& date) {
  Enter(-2020);
  std::optional<DaySerial> day = ReadDateText(date);
  if (!day) throw ReportError("'" + date + "' is not a date");
  int year, month, d;
  SplitDaySerial(*day, year, month, d);
  const char* suffix = "th";
  if (d % 10 == 1 && d != 11) suffix = "st";
  if (d % 10 == 2 && d != 12) suffix = "nd";
  if (d % 10 == 3 && d != 13) suffix = "rd";
  std::string out = DayNames[Weekday(*day) - 1].substr(0, 3) + ", " +
                    std::string(MonthName(month).substr(0, 3)) + " " + std::to_string(d) + suffix +
                    ", " + std::to_string(year);
  Leave(-2025);
  return out;
}

}  // namespace tf::report
