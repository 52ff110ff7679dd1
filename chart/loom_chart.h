// LoomChart: the chart object behind the chart interface. For each picture
// a caller runs BeginChart ... FinishChart; every method takes its
// arguments as variants and answers with a variant: a status code (0 on
// success), or the version, a colour or the notice text.
#pragma once

#include <memory>

#include "chart/chart_canvas.h"
#include "platform/com/variant.h"

namespace tf::chart {

class LoomChart {
 public:
  using Arg = const com::Variant&;
  using Result = com::Variant;

  static constexpr int kVersion = 100;

  LoomChart();
  ~LoomChart();

  Result GetVersion(Arg value);
  Result Bar3dBegin(Arg x, Arg y, Arg width, Arg height, Arg columns, Arg rows, Arg bars_per_cell,
                    Arg layers);
  Result BeginChart(Arg file_name, Arg file_type, Arg width, Arg height);
  Result SetBackgroundColor(Arg colour);
  Result RGBold(Arg red, Arg green, Arg blue);
  Result RGBcolor(Arg red, Arg green, Arg blue);
  Result SetFont(Arg face, Arg height, Arg colour, Arg bold, Arg italic, Arg angle);
  Result SetTitle(Arg title);
  Result MoveTo(Arg x, Arg y);
  Result LineTo(Arg x, Arg y);
  Result TextOut(Arg text, Arg x, Arg y);
  Result FinishChart(Arg dummy);
  Result SetPen(Arg colour, Arg width, Arg pen_type);
  Result SetBrush(Arg colour, Arg style);
  Result Rectangle(Arg left, Arg top, Arg right, Arg bottom);
  Result Bar3dSetBarValue(Arg value, Arg column, Arg row, Arg bar, Arg layer);
  Result Bar3dSetBarColor(Arg colour, Arg column, Arg row, Arg bar, Arg layer);
  Result Bar3dSetColumnLabel(Arg label, Arg column);
  Result Bar3dSetXaxisLabel(Arg label, Arg style);
  Result Bar3dSetYaxisLabel(Arg label, Arg style);
  Result Bar3dFinish(Arg dummy);
  Result GetCopyright(Arg dummy);
  Result Bar3dSetRowLabel(Arg label, Arg row);
  Result Bar3dSetXaxisLabelType(Arg type);
  Result Line3dBegin(Arg chart_type, Arg x, Arg y, Arg width, Arg height, Arg values, Arg lines);
  Result Line3dSetLineValue(Arg value, Arg x_index, Arg line);
  Result Line3dSetLineColor(Arg colour, Arg line);
  Result Line3dSetXvalueLabel(Arg label, Arg x_index);
  Result Line3dSetXvalueLabelType(Arg style);
  Result Line3dSetXaxisLabel(Arg label, Arg style);
  Result Line3dSetYaxisLabel(Arg label, Arg style);
  Result Line3dFinish(Arg dummy);
  Result Pie3dBegin(Arg x, Arg y, Arg width, Arg height, Arg slices);
  Result Pie3dSetPieThickness(Arg thickness);
  Result Pie3dSetSliceValue(Arg value, Arg slice);
  Result Pie3dSetSliceColor(Arg colour, Arg slice);
  Result Pie3dSetSlicePosition(Arg pull_out, Arg thickness, Arg lift, Arg slice);
  Result Pie3dSetSliceLabel(Arg label, Arg slice);
  Result Pie3dFinish(Arg dummy);
  Result LegendBegin(Arg x, Arg y, Arg x_anchor, Arg y_anchor, Arg columns, Arg options);
  Result LegendSetBackgroundColor(Arg colour);
  Result LegendSetColumn(Arg column, Arg min_width, Arg align, Arg options);
  Result LegendSetItemBackground(Arg colour, Arg row, Arg column);
  Result LegendSetItemTextSpan(Arg text, Arg row, Arg column, Arg span, Arg align);
  Result LegendSetItemText(Arg text, Arg row, Arg column);
  Result LegendSetColorKey(Arg colour, Arg row, Arg column);
  Result LegendFinish(Arg dummy);
  Result LegendSetMinimumWidth(Arg width);

  // The live engine, or null between charts.
  ChartCanvas* engine() { return engine_.get(); }

 private:
  Result SetAxisTitle(bool x_axis, Arg label, Arg style);
  // MoveTo or LineTo, within the picture.
  Result Pen(bool draw, Arg x, Arg y);

  std::unique_ptr<ChartCanvas> engine_;
  int begin_status_ = kOk;  // what BeginChart returned for the live engine
};

}  // namespace tf::chart
