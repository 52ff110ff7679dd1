// Writes one picture of each kind of chart into a folder, as PNG files, so
// that a person can look at them: chart_gallery FOLDER.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "chart/loom_chart.h"

namespace {

using tf::chart::LoomChart;
using V = tf::com::Variant;

V I(int v) { return V::I4(v); }
V D(double v) { return V::R8(v); }
V S(const char* v) { return V(v); }

int failures = 0;

void Check(const V& result, const char* what) {
  if (result.i4() != 0) {
    std::fprintf(stderr, "%s returned %d\n", what, result.i4());
    ++failures;
  }
}

int Colour(LoomChart& chart, int r, int g, int b) { return chart.RGBcolor(I(r), I(g), I(b)).i4(); }

// The report's palette for slices and rotating bars.
const int kPalette[][3] = {{51, 102, 204}, {220, 57, 18}, {255, 153, 0},
                           {16, 150, 24},  {153, 0, 153}, {0, 153, 198}};

void TimeSeriesBar(LoomChart& c, const std::string& file, const char* title, int columns,
                   const std::vector<double>& values, const std::vector<std::string>& labels,
                   int label_step, const char* unit, const char* axis_title) {
  Check(c.BeginChart(S(file.c_str()), I(3), I(500), I(400)), "BeginChart");
  int white = Colour(c, 255, 255, 255), black = Colour(c, 0, 0, 0);
  c.SetBackgroundColor(I(white));
  c.SetFont(S("arial"), I(20), I(black), I(0), I(0), I(0));
  c.SetTitle(S(title));
  c.SetFont(S("Arial"), I(14), I(black), I(0), I(0), I(0));
  Check(c.Bar3dBegin(I(0), I(0), I(500), I(400), I(columns), I(1), I(1), I(1)), "Bar3dBegin");
  c.Bar3dSetXaxisLabel(S(unit), I(0));
  c.Bar3dSetYaxisLabel(S(axis_title), I(0));
  c.SetFont(S("Arial"), I(14), I(black), V::Bool(false), V::Bool(true), I(0));
  int bar = Colour(c, 51, 102, 204);
  for (int i = 0; i < columns; ++i) {
    if ((i + 1) % label_step == 0) Check(c.Bar3dSetColumnLabel(S(labels[i].c_str()), I(i)), "label");
    c.Bar3dSetBarValue(D(values[i]), I(i), I(0), I(0), I(0));
    c.Bar3dSetBarColor(I(bar), I(i), I(0), I(0), I(0));
  }
  Check(c.Bar3dFinish(I(0)), "Bar3dFinish");
  Check(c.FinishChart(I(0)), "FinishChart");
}

void DailyHits(LoomChart& c, const std::string& folder) {
  std::vector<double> values;
  std::vector<std::string> labels;
  for (int d = 0; d < 30; ++d) {
    values.push_back(1200 + (d * 397) % 900 + (d % 7 == 0 || d % 7 == 6 ? -600 : 0));
    labels.push_back("6/" + std::to_string(d + 1) + "/2007");
  }
  TimeSeriesBar(c, folder + "/bar_daily_hits.png", "Total Hits Per Day", 30, values, labels, 6,
                "Day", "Hits");
}

void HourOfDay(LoomChart& c, const std::string& folder) {
  std::vector<double> values;
  std::vector<std::string> labels;
  const char* hours[] = {"12 AM", "1 AM", "2 AM", "3 AM", "4 AM", "5 AM", "6 AM", "7 AM",
                         "8 AM", "9 AM", "10 AM", "11 AM", "12 PM", "1 PM", "2 PM", "3 PM",
                         "4 PM", "5 PM", "6 PM", "7 PM", "8 PM", "9 PM", "10 PM", "11 PM"};
  for (int h = 0; h < 24; ++h) {
    values.push_back(h < 7 ? 20 + h * 3 : 40 + (h * 37) % 60);
    labels.push_back(hours[h]);
  }
  TimeSeriesBar(c, folder + "/bar_hour_of_day.png", "Usage By Hour of the Day (Hits)", 24, values,
                labels, 4, "Hour", "Hits");
}

void WeekdayBars(LoomChart& c, const std::string& folder) {
  Check(c.BeginChart(S((folder + "/bar_rows_layers.png").c_str()), I(3), I(500), I(400)), "Begin");
  int black = Colour(c, 0, 0, 0);
  c.SetFont(S("Arial"), I(20), I(black), V::Bool(true), I(0), I(0));
  c.SetTitle(S("Stacked bars in two rows"));
  c.SetFont(S("Arial"), I(13), I(black), I(0), I(0), I(0));
  Check(c.Bar3dBegin(I(0), I(0), I(500), I(400), I(3), I(2), I(2), I(2)), "Bar3dBegin");
  c.Bar3dSetXaxisLabel(S("Weekday"), I(0));
  c.Bar3dSetYaxisLabel(S("Visitors"), I(1));
  const char* days[] = {"Mon", "Tue", "Wed"};
  for (int col = 0; col < 3; ++col) {
    c.Bar3dSetColumnLabel(S(days[col]), I(col));
    for (int row = 0; row < 2; ++row)
      for (int b = 0; b < 2; ++b)
        for (int l = 0; l < 2; ++l) {
          c.Bar3dSetBarValue(D(10 + ((col + 1) * (row + 2) * (b + 3) * (l + 1)) % 23), I(col),
                             I(row), I(b), I(l));
          const int* p = kPalette[(b * 2 + l) % 6];
          c.Bar3dSetBarColor(I(Colour(c, p[0], p[1], p[2])), I(col), I(row), I(b), I(l));
        }
  }
  c.SetFont(S("Arial"), I(11), I(black), I(0), I(0), I(0));
  c.Bar3dSetRowLabel(S("2006"), I(0));
  c.Bar3dSetRowLabel(S("2007"), I(1));
  Check(c.Bar3dFinish(I(0)), "Bar3dFinish");
  Check(c.FinishChart(I(0)), "FinishChart");
}

void TopPagesPie(LoomChart& c, const std::string& folder) {
  Check(c.BeginChart(S((folder + "/pie_top_pages.png").c_str()), I(3), I(500), I(220)), "Begin");
  int white = Colour(c, 255, 255, 255), black = Colour(c, 0, 0, 0);
  c.SetBackgroundColor(I(white));
  c.SetFont(S("arial"), I(20), I(black), I(0), I(0), I(0));
  c.SetTitle(S("Top Pages"));
  Check(c.Pie3dBegin(I(0), I(0), D(250.0), I(220), I(5)), "Pie3dBegin");
  c.SetFont(S("Arial"), I(14), I(black), V::Bool(false), V::Bool(true), I(0));
  const char* names[] = {"/index.html", "/products/catalog.html", "/contact.html",
                         "/about/company.html", "/news/2007/june.html"};
  const double values[] = {4210, 2380, 1290, 870, 410};
  const char* percents[] = {"46%", "26%", "14%", "10%", "4%"};
  for (int i = 0; i < 5; ++i) {
    const int* p = kPalette[i];
    c.Pie3dSetSliceColor(I(Colour(c, p[0], p[1], p[2])), I(i));
    c.Pie3dSetSliceValue(D(values[i]), I(i));
  }
  Check(c.Pie3dFinish(I(0)), "Pie3dFinish");
  c.SetFont(S("arial"), I(14), I(black), I(0), I(0), I(0));
  Check(c.LegendBegin(D(275.0), D(165.0), I(0), I(1), I(3), I(13)), "LegendBegin");
  for (int col = 0; col < 3; ++col) c.LegendSetColumn(I(col), I(0), I(0), I(0));
  c.LegendSetItemTextSpan(S("Top Pages"), I(0), I(0), I(3), I(2));
  for (int i = 0; i < 5; ++i) {
    const int* p = kPalette[i];
    c.LegendSetItemText(S(names[i]), I(i + 1), I(1));
    c.LegendSetItemText(S(percents[i]), I(i + 1), I(2));
    c.LegendSetColorKey(S(std::to_string(Colour(c, p[0], p[1], p[2])).c_str()), I(i + 1), I(0));
  }
  Check(c.LegendFinish(I(0)), "LegendFinish");
  Check(c.FinishChart(I(0)), "FinishChart");
}

void TestPie(LoomChart& c, const std::string& folder) {
  Check(c.BeginChart(S((folder + "/pie_test_legend.png").c_str()), I(3), I(480), I(260)), "Begin");
  Check(c.Pie3dBegin(V::I2(5), V::I2(5), V::I2(350), V::I2(250), V::I2(3)), "Pie3dBegin");
  V black = V::I4(Colour(c, 0, 0, 0));
  Check(c.SetFont(S("Arial"), V::I2(20), V::ByRef(black), V::Bool(true), V::Bool(false), V::I2(0)),
        "SetFont");
  Check(c.SetTitle(S("Test Piechart")), "SetTitle");
  const int rgb[3][3] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}};
  for (int i = 0; i < 3; ++i) {
    Check(c.Pie3dSetSliceValue(V::I2(10 * (i + 1)), V::I2(i)), "value");
    Check(c.Pie3dSetSliceColor(I(Colour(c, rgb[i][0], rgb[i][1], rgb[i][2])), V::I2(i)), "colour");
  }
  Check(c.Pie3dFinish(V::I2(0)), "Pie3dFinish");
  Check(c.LegendBegin(V::I2(360), V::I2(108), V::I2(0), V::I2(2), V::I2(2), V::I2(12)), "Legend");
  Check(c.SetFont(S("Arial"), V::I2(14), black, V::Bool(true), V::Bool(false), V::I2(0)), "font");
  c.LegendSetColumn(V::I2(0), V::I2(0), V::I2(2), V::I2(0));
  c.LegendSetColumn(V::I2(1), V::I2(0), V::I2(0), V::I2(0));
  c.LegendSetItemTextSpan(S("Pie Chart Legend"), V::I2(0), V::I2(0), V::I2(2), V::I2(2));
  for (int i = 0; i < 3; ++i) {
    std::string region = "Region " + std::to_string(i + 1);
    c.LegendSetItemText(S(region.c_str()), V::I2(i + 1), V::I2(1));
    c.LegendSetColorKey(I(Colour(c, rgb[i][0], rgb[i][1], rgb[i][2])), V::I2(i + 1), V::I2(0));
  }
  Check(c.LegendFinish(V::I2(0)), "LegendFinish");
  Check(c.FinishChart(V::I2(0)), "FinishChart");
}

void LabelledPie(LoomChart& c, const std::string& folder) {
  Check(c.BeginChart(S((folder + "/pie_labels_pullout.png").c_str()), I(3), I(500), I(300)), "Begin");
  int black = Colour(c, 0, 0, 0);
  c.SetFont(S("Arial"), I(18), I(black), V::Bool(true), I(0), I(0));
  c.SetTitle(S("Browsers"));
  Check(c.Pie3dBegin(I(0), I(0), I(500), I(300), I(5)), "Pie3dBegin");
  c.Pie3dSetPieThickness(D(0.25));
  c.SetFont(S("Arial"), I(13), I(black), I(0), I(0), I(0));
  const char* names[] = {"Explorer 6", "Firefox 2", "Explorer 7", "Safari", "Opera"};
  const double values[] = {41, 23, 19, 9, 4};
  for (int i = 0; i < 5; ++i) {
    const int* p = kPalette[i];
    c.Pie3dSetSliceValue(D(values[i]), I(i));
    c.Pie3dSetSliceColor(I(Colour(c, p[0], p[1], p[2])), I(i));
    c.Pie3dSetSliceLabel(S(names[i]), I(i));
  }
  c.Pie3dSetSlicePosition(D(0.15), D(1.0), D(0.0), I(1));
  Check(c.Pie3dFinish(I(0)), "Pie3dFinish");
  Check(c.FinishChart(I(0)), "FinishChart");
}

void LineChart(LoomChart& c, const std::string& folder, int type) {
  const char* names[] = {"line_ribbons.png", "line_areas.png", "line_stacked.png"};
  const char* titles[] = {"Hits by Kind (ribbons)", "Hits by Kind (areas)", "Hits by Kind (stacked)"};
  Check(c.BeginChart(S((folder + "/" + names[type]).c_str()), I(3), I(500), I(400)), "Begin");
  int black = Colour(c, 0, 0, 0);
  c.SetFont(S("Arial"), I(20), I(black), I(0), I(0), I(0));
  c.SetTitle(S(titles[type]));
  c.SetFont(S("Arial"), I(14), I(black), I(0), I(0), I(0));
  Check(c.Line3dBegin(I(type), I(0), I(0), I(500), I(400), I(12), I(3)), "Line3dBegin");
  c.Line3dSetXaxisLabel(S("Month"), I(0));
  c.Line3dSetYaxisLabel(S("Hits"), I(0));
  const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int j = 0; j < 12; ++j) {
    c.Line3dSetXvalueLabel(S(months[j]), I(j));
    for (int i = 0; i < 3; ++i) {
      double base = type == 1 ? 200 + i * 280 : 300 - i * 60;
      c.Line3dSetLineValue(D(base + ((j + 2) * (i + 3) * 53) % 160), I(j), I(i));
    }
  }
  for (int i = 0; i < 3; ++i) {
    const int* p = kPalette[i];
    c.Line3dSetLineColor(I(Colour(c, p[0], p[1], p[2])), I(i));
  }
  Check(c.Line3dFinish(I(0)), "Line3dFinish");
  Check(c.FinishChart(I(0)), "FinishChart");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: chart_gallery FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::filesystem::create_directories(folder);
  LoomChart chart;
  DailyHits(chart, folder);
  HourOfDay(chart, folder);
  WeekdayBars(chart, folder);
  TopPagesPie(chart, folder);
  TestPie(chart, folder);
  LabelledPie(chart, folder);
  for (int type = 0; type < 3; ++type) LineChart(chart, folder, type);
  return failures == 0 ? 0 : 1;
}
