// The time-series sections: one statistic per time bucket as a 3-D bar
// chart above a table, every bucket of the range shown, with or without
// rows.
#include <cmath>

#include "platform/db/jet_date.h"
#include "engine/common/path.h"
#include "report/page_text.h"
#include "report/regional_format.h"
#include "report/report_builder.h"

namespace tf::report {
namespace {

// The cells of a bucket row after its label: a matched row (N and P stand
// between the three parts), a row that waits for a later bucket, and a
// bucket after the last row.
struct BucketCells {
  const char* matched_before_value;
  const char* matched_before_share;
  const char* matched_after_share;
  const char* waiting;
  const char* exhausted;
};

constexpr BucketCells kHourlyCells = {
    " ",
    "</td><td width='1%'><font class='text_normal'>&nbsp;&nbsp;&nbsp;&nbsp;</font></td> <td "
    "width='1%' align=right><font class='text_normal'>",
    "%</font>",
    "<font class='text_normal'>0</td><td width='1%'><font "
    "class='text_normal'>&nbsp;&nbsp;&nbsp;&nbsp;</font></td><td align=right> <font "
    "class='text_normal'>0",
    " <font class='text_normal'>0</td><td width='1%'><font "
    "class='text_normal'>&nbsp;&nbsp;&nbsp;&nbsp;</font></td><td align=right>  <font "
    "class='text_normal'>0",
};

constexpr BucketCells kDailyCells = {
    " ",
    " </td> <td width='1%'><font class='text_normal'>&nbsp;&nbsp;&nbsp;&nbsp;</font></td> <td "
    "width='1%' align=right><font class='text_normal'> ",
    "%</font>",
    " <font class='text_normal'>0</td><td width='1%'><font "
    "class='text_normal'>&nbsp;&nbsp;&nbsp;&nbsp;</font></td><td align=right>  <font "
    "class='text_normal'>0 ",
    "<font class='text_normal'>0</td><td width='1%'><font "
    "class='text_normal'>&nbsp;&nbsp;&nbsp;&nbsp;</font></td><td align=right> <font "
    "class='text_normal'>0 ",
};

// The day of a bucket value that holds a date (a date value or its text).
DaySerial BucketDay(const com::Variant& value) {
  if (value.base_type() == com::VT_DATE) return static_cast<DaySerial>(std::floor(value.date()));
  if (value.base_type() == com::VT_BSTR) {
    const std::string& text = value.bstr().str();
    std::optional<db::DateParts> parts = db::ParseStoredDate(text);
    if (!parts) parts = db::ParseJetDate(text);
    if (parts) return MakeDaySerial(parts->year, parts->month, parts->day);
  }
  throw ReportError("'" + value.ToString() + "' is not a date");
}

long BucketNumber(const com::Variant& value) {
  if (!value.IsNumeric()) throw ReportError("'" + value.ToString() + "' is not a number");
  return static_cast<long>(value.ToInt64());
}

DaySerial DayOf(const std::string& date_text) {
  std::optional<DaySerial> day = ReadDateText(date_text);
  if (!day) throw ReportError("'" + date_text + "' is not a date");
  return *day;
}

// Appends the cells of a bucket after its label: its row's value and share
// when the row matched (r then moves past it), else 0. Returns the value.
double AppendBucketCells(std::string& html, const BucketCells& cells,
                         const std::vector<db::Row>& rows, std::size_t& r, bool matched,
                         double total) {
  if (!matched) {
    html += r < rows.size() ? cells.waiting : cells.exhausted;
    return 0;
  }
  double value = rows[r++][1].ToDouble();
  double share = total != 0 ? value / total * 100 : 0;
  html += cells.matched_before_value + FormatNumber(value, 0) + cells.matched_before_share +
          (value == 0 ? "0" : FormatNumber(share, 0)) + cells.matched_after_share;
  return value;
}

// The bar colour of bucket i (from 1): the section's, or the rotation's.
com::Variant BucketColour(const ReportBuilder& b, long i) {
  return b.BarColour == "rotate" ? b.ChartColors[i % 6] : com::Variant(b.BarColour);
}

// A bucket row up to its label; odd buckets take the first row colour.
std::string BucketRowStart(const ReportBuilder& b, long i) {
  return " <tr bgcolor='" + (i % 2 == 1 ? b.RowColor1 : b.RowColor2) +
         "'> <td>  <font class='text_normal'>";
}

// Rounds halves to the even neighbour.
long RoundHalfEven(double value) { return static_cast<long>(std::nearbyint(value)); }

}  // namespace

void ReportBuilder::Chart_Initiate() {
  Enter(-2130);
  bool pie = ChartKind == "pie";
  ChartWidth = 500;
  ChartHeight = pie ? 220 : 400;
  auto i2 = [](int value) { return com::Variant::I2(static_cast<std::int16_t>(value)); };
  std::string folder = JoinPath(OutputFolder, variant().chart_folder);
  Chart("BeginChart", {JoinPath(folder, ChartFile), i2(1), i2(ChartWidth), i2(ChartHeight)});
  Chart("SetBackgroundColor", {ColorWhite});
  Chart("SetFont", {"arial", i2(20), ColorBlack, i2(0), i2(0), i2(0)});
  Chart("SetTitle", {SectionTitle});
  if (!pie) {
    Chart("SetFont", {"Arial", i2(14), ColorBlack, i2(0), i2(0), i2(0)});
    Chart("Bar3dBegin",
          {i2(0), i2(0), i2(ChartWidth), i2(ChartHeight), BucketCount, i2(1), i2(1), i2(1)});
    Chart("Bar3dSetXaxisLabel", {TimeUnit, i2(0)});
    Chart("Bar3dSetYaxisLabel", {AxisTitle, i2(0)});
  } else {
    Chart("Pie3dBegin", {i2(0), i2(0), com::Variant(ChartWidth * 0.5), i2(ChartHeight), i2(5)});
  }
  Chart("SetFont", {"Arial", i2(14), ColorBlack, com::Variant::Bool(false),
                    com::Variant::Bool(true), i2(0)});
  Leave(-2135);
}

namespace {

// The section HTML around the bucket rows.
std::string SeriesSectionHtml(const ReportBuilder& b, const std::string& picture,
                              const std::string& help_alt, bool hourly,
                              const std::string& bucket_rows) {
  std::string html = "<table width=100% cellspacing=0 border=0><tr><td colspan=10><center>";
  if (b.variant().section_anchors) html += "<a name='" + b.SectionKey + "'>";
  html += "<img src='" + picture + "'></center></td></tr><tr><td>";
  html += hourly ? "<table class='box' width=100% border=0 cellspacing=0 bordercolor='red'>"
                 : "<table class='box' width=100% border=0 cellspacing=0>";
  html += "<tr bgcolor='#" + b.StatsHeaderBackgroundColor + "'>";
  html += "<td><font class='stats_header'>" + b.SectionTitle + "</font>";
  html += "</td><td align='right'><font class='stats_header'>" + b.ColumnHeader + "</font></td>";
  html += "<td colspan='2' align='right'><a href='" + b.HelpLink +
          "'><img src='images/question1.gif' border='0' alt='" + help_alt + "'></a></td>";
  html += "</tr><tr><td colspan=10>";
  html += bucket_rows;
  html += "</td></tr></table></td></tr></table>";
  return html;
}

}  // namespace

void ReportBuilder::SetBar(double value, long column, const com::Variant& colour) {
  com::Variant at = com::Variant::I4(static_cast<std::int32_t>(column));
  com::Variant zero = com::Variant::I2(0);
  Chart("Bar3dSetBarValue", {com::Variant(value), at, zero, zero, zero});
  Chart("Bar3dSetBarColor", {colour, at, zero, zero, zero});
}

void ReportBuilder::Query_Hourly() {
  Enter(-2120);
  const bool by_hour = TimeUnit == "Hour";
  const std::string bucket = by_hour ? " hour(entrydate) " : " datepart('w', entrydate) ";
  std::string from = sqldate(FromDate);
  std::string to = sqldate(ShortDate(DayOf(ToDate) + 1));
  OpenSiteDatabase();
  db::Recordset& rs = OpenDynaset(
      "select " + bucket + " as hourentry, " + " sum(" + SumColumn + ") as sumhits " +
      " from tblhour" + " where category >= " + std::to_string(CategoryLow) +
      " and category <= " + std::to_string(CategoryHigh) + " and entrydate >= #" + from + "# " +
      " and entrydate < #" + to + "# " + " group by " + bucket);
  double total = 1;
  std::vector<db::Row> rows;
  if (rs.RecordCount() > 0) {
    total = 0;
    for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) total += rs.Field("SumHits").ToDouble();
    int count = rs.RecordCount();
    rs.MoveFirst();
    rows = rs.GetRows(count);
  }
  CurrentRecordset.Close();
  CurrentDatabase.reset();

  Chart_Initiate();
  const int buckets = by_hour ? 24 : 7;
  std::string html;
  std::size_t r = 0;
  for (int i = 1; i <= buckets; ++i) {
    const int c = i - 1;
    com::Variant colour = BucketColour(*this, i);
    html += BucketRowStart(*this, i);
    std::string label;
    long bucket_value;
    if (by_hour) {
      // "3:00:00 PM" gives "3 PM".
      std::string time = LongTime(c, 0, 0);
      label = time.substr(0, time.find(':')) + " " + time.substr(time.size() - 2);
      html += " " + label + " ";
      if (i % 4 == 0) Chart("Bar3dSetColumnLabel", {label, com::Variant::I4(c)});
      bucket_value = c;
    } else {
      label = DayNames[c].substr(0, 3);
      html += " " + label;
      Chart("Bar3dSetColumnLabel", {label, com::Variant::I4(c)});
      bucket_value = i;
    }
    html += " </td><td align=right><font class='text_normal'>";
    bool matched = r < rows.size() && BucketNumber(rows[r][0]) == bucket_value;
    double value = AppendBucketCells(html, kHourlyCells, rows, r, matched, total);
    html += " </td></tr>";
    SetBar(value, c, colour);
  }
  Chart("Bar3dFinish", {com::Variant::I2(0)});
  Chart("FinishChart", {com::Variant::I2(0)});
  PageHtml += SeriesSectionHtml(*this, PictureSource(ChartFile), HelpAlt(), true, html);
  Leave(-2125);
}

namespace {

// How the rows of one time unit are grouped: the SQL expression of a row's
// bucket and the unit of the walk from bucket to bucket.
struct DayBucket {
  std::string expression;
  const char* unit;
};

DayBucket DayBucketOf(const std::string& time_unit) {
  if (time_unit == "Year") return {" datepart('yyyy', entrydate) ", "yyyy"};
  if (time_unit == "Month") {
    return {" dateserial(datepart('yyyy', entrydate),datepart('m', entrydate),1) ", "m"};
  }
  if (time_unit == "Week") {
    // Weeks are keyed by their Sunday, so a range across New Year keeps
    // its weeks in order and the week that spans it whole.
    return {" dateserial(datepart('yyyy', entrydate),datepart('m', entrydate),datepart('d', "
            "entrydate) - datepart('w', entrydate) + 1) ",
            "ww"};
  }
  return {" entrydate ", "d"};
}

}  // namespace

// The rows are summed per day first, in the order the day-by-day read gives
// them, so that the bucket expression runs once per day rather than once
// per item row.
std::string ReportBuilder::DaySeriesQuery(const std::string& sum_column, std::int32_t divisor,
                                          std::int16_t low, std::int16_t high) {
  const std::string bucket = DayBucketOf(TimeUnit).expression;
  const std::string from = sqldate(FromDate);
  const std::string to = sqldate(ShortDate(DayOf(ToDate) + 1));
  const std::string per_day = "(select entrydate, sum(" + sum_column +
                              ") as daytotal, sum(bytes) as daybytes from tblday" +
                              " where category >= " + std::to_string(low) +
                              " and category <= " + std::to_string(high) + " and" +
                              EntryDaysIn("tblday", from, to, false) + " group by entrydate) as days";
  return "select " + bucket + " as hourentry, " + " sum(days.daytotal) / " +
         std::to_string(divisor) + " as sumhits, " + " sum(days.daybytes) as sumbytes " +
         " from " + per_day + " group by " + bucket;
}

// The section's rows, one per bucket with data, and the total of their
// values (1 when there are none).
std::vector<db::Row> ReportBuilder::QueryDayRows(double& total) {
  const std::string sql = DaySeriesQuery(SumColumn, Divisor, CategoryLow, CategoryHigh);
  OpenSiteDatabase();
  db::Recordset& rs = OpenDynaset(sql);
  total = 1;
  std::vector<db::Row> rows;
  if (rs.RecordCount() > 0) {
    rs.MoveLast();
    int count = rs.RecordCount();
    rs.MoveFirst();
    rows = rs.GetRows(count);
    total = 0;
    for (const db::Row& row : rows) total += row[1].ToDouble();
  }
  return rows;
}

// The walk starts at the bucket of the first row; without rows at the
// bucket of the first day, so an empty range still shows its buckets.
DaySerial ReportBuilder::FirstDayBucket(DaySerial first, const std::vector<db::Row>& rows) const {
  int first_year, first_month, first_day;
  SplitDaySerial(first, first_year, first_month, first_day);
  if (TimeUnit == "Week") return rows.empty() ? first - (Weekday(first) - 1) : BucketDay(rows[0][0]);
  if (TimeUnit == "Month") {
    return rows.empty() ? MakeDaySerial(first_year, first_month, 1) : BucketDay(rows[0][0]);
  }
  if (TimeUnit == "Year") {
    long year = rows.empty() ? first_year : BucketNumber(rows[0][0]);
    return MakeDaySerial(static_cast<int>(year), 1, 1);
  }
  return first;
}

DaySerial ReportBuilder::NextDayBucket(DaySerial c) const {
  if (TimeUnit == "Week") return c + 7;
  if (TimeUnit == "Month") return AddMonths(c, 1);
  if (TimeUnit == "Year") return AddMonths(c, 12);
  return c + 1;
}

bool ReportBuilder::DayStep(const std::function<void()>& step) {
  if (!variant_.tolerant_day_series) {
    step();
    return true;
  }
  try {
    step();
    return true;
  } catch (...) {
    return false;
  }
}

void ReportBuilder::Query_Day() {
  Enter(-2140);
  if (Divisor == 0) Divisor = 1;
  const DayBucket bucket = DayBucketOf(TimeUnit);
  const DaySerial first = DayOf(FromDate);
  const DaySerial last = DayOf(ToDate);
  double total = 1;
  std::vector<db::Row> rows;
  if (!DayStep([&] { rows = QueryDayRows(total); })) {
    rows.clear();
    total = 1;
  }

  DaySerial c = first;
  if (!DayStep([&] { c = FirstDayBucket(first, rows); })) c = FirstDayBucket(first, {});
  const long buckets = UnitsBetween(bucket.unit, first, last) + 1;
  BucketCount = std::to_string(buckets);
  long label_step = RoundHalfEven(static_cast<double>(buckets) / 6 + 0.5);
  if (label_step < 1) label_step = 1;

  DayStep([&] { Chart_Initiate(); });
  std::string html;
  std::size_t r = 0;
  for (long i = 1; i <= buckets; ++i) {
    const long col = i - 1;
    com::Variant colour = BucketColour(*this, i);
    html += BucketRowStart(*this, i);
    int year, month, day;
    SplitDaySerial(c, year, month, day);
    std::string label = TimeUnit == "Month"
                            ? std::string(MonthName(month).substr(0, 3)) + " " + std::to_string(year)
                            : ShortDate(c);
    html += " " + label;
    if (i % label_step == 0) {
      DayStep([&] { Chart("Bar3dSetColumnLabel", {label, com::Variant::I4(col)}); });
    }
    html += " </td><td align=right><font class='text_normal'>";

    bool matched = false;
    if (r < rows.size()) {
      const com::Variant& b = rows[r][0];
      DayStep([&] { matched = TimeUnit == "Year" ? BucketNumber(b) == year : BucketDay(b) == c; });
    }
    double value = 0;
    if (!DayStep([&] { value = AppendBucketCells(html, kDailyCells, rows, r, matched, total); })) {
      // A row whose value cannot be read shows as a bucket without one.
      html += kDailyCells.waiting;
    }
    html += " </td></tr>";
    DayStep([&] { SetBar(value, col, colour); });
    c = NextDayBucket(c);
  }
  DayStep([&] { Chart("Bar3dFinish", {com::Variant::I2(0)}); });
  DayStep([&] { Chart("FinishChart", {com::Variant::I2(0)}); });
  PageHtml += SeriesSectionHtml(*this, PictureSource(ChartFile), HelpAlt(), false, html);
  Leave(-2145);
}

}  // namespace tf::report
