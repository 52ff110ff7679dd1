#include "chart/loom_chart.h"

#include <string>

#include "chart/variant_args.h"

namespace tf::chart {
namespace {

using Arg = LoomChart::Arg;
using Result = LoomChart::Result;

constexpr const char* kNotice = "Pictoloom Graphics Library 1.00";

// Refused arguments take 0 or the empty text.
std::int32_t Long(Arg v) {
  std::int32_t out = 0;
  VariantToLong(v, out);
  return out;
}
double Double(Arg v) {
  double out = 0;
  VariantToDouble(v, out);
  return out;
}
std::string Text(Arg v, std::size_t buffer_size) {
  std::string out;
  VariantToString(v, buffer_size, out);
  return out;
}
Color Colour(Arg v) { return static_cast<Color>(Long(v)); }
Result Answer(int status) { return VariantFromLong(status); }

Result MakeColour(Arg red, Arg green, Arg blue) {
  return VariantFromLong(static_cast<std::int32_t>(draw::Rgb(Long(red), Long(green), Long(blue))));
}

}  // namespace

#define TF_NEED_CHART() \
  if (!engine_) return Answer(kNotBegun)

LoomChart::LoomChart() = default;
LoomChart::~LoomChart() = default;

Result LoomChart::GetVersion(Arg) { return VariantFromLong(kVersion); }

Result LoomChart::BeginChart(Arg file_name, Arg file_type, Arg width, Arg height) {
  std::string name = Text(file_name, 400);
  std::int32_t type = Long(file_type), w = Long(width), h = Long(height);
  // The new engine is live whatever its creation says, so a failed begin
  // is replaced by the next one.
  engine_ = std::make_unique<ChartCanvas>();
  begin_status_ = engine_->Create(name, type, w, h);
  return Answer(begin_status_);
}

Result LoomChart::FinishChart(Arg) {
  TF_NEED_CHART();
  int status = engine_->created() ? engine_->WritePicture() : begin_status_;
  engine_.reset();
  return Answer(status);
}

Result LoomChart::SetBackgroundColor(Arg colour) {
  TF_NEED_CHART();
  engine_->SetBackgroundColor(Colour(colour));
  return Answer(kOk);
}

Result LoomChart::RGBold(Arg red, Arg green, Arg blue) { return MakeColour(red, green, blue); }
Result LoomChart::RGBcolor(Arg red, Arg green, Arg blue) { return MakeColour(red, green, blue); }

Result LoomChart::SetFont(Arg face, Arg height, Arg colour, Arg bold, Arg italic, Arg angle) {
  TF_NEED_CHART();
  std::string name = Text(face, 100);
  return Answer(engine_->SetFont(name, Long(height), Colour(colour), Long(bold) != 0,
                                 Long(italic) != 0, Double(angle)));
}

Result LoomChart::SetTitle(Arg title) {
  TF_NEED_CHART();
  return Answer(engine_->SetTitle(Text(title, 200)));
}

Result LoomChart::Pen(bool draw, Arg x, Arg y) {
  TF_NEED_CHART();
  std::int32_t px = Long(x), py = Long(y);
  if (px < 0 || px > engine_->width() || py < 0 || py > engine_->height()) return Answer(kOutOfRange);
  if (draw) engine_->LineTo(px, py);
  else engine_->MoveTo(px, py);
  return Answer(kOk);
}

Result LoomChart::MoveTo(Arg x, Arg y) { return Pen(false, x, y); }
Result LoomChart::LineTo(Arg x, Arg y) { return Pen(true, x, y); }

Result LoomChart::TextOut(Arg text, Arg x, Arg y) {
  TF_NEED_CHART();
  std::string line = Text(text, 500);
  engine_->TextOut(line, Long(x), Long(y));
  return Answer(kOk);
}

Result LoomChart::SetPen(Arg colour, Arg width, Arg pen_type) {
  TF_NEED_CHART();
  engine_->SetPen(Colour(colour), Long(width), Long(pen_type));
  return Answer(kOk);
}

Result LoomChart::SetBrush(Arg colour, Arg style) {
  TF_NEED_CHART();
  engine_->SetBrush(Colour(colour), Long(style));
  return Answer(kOk);
}

Result LoomChart::Rectangle(Arg left, Arg top, Arg right, Arg bottom) {
  TF_NEED_CHART();
  engine_->Rectangle(Long(left), Long(top), Long(right), Long(bottom));
  return Answer(kOk);
}

Result LoomChart::Bar3dBegin(Arg x, Arg y, Arg width, Arg height, Arg columns, Arg rows,
                             Arg bars_per_cell, Arg layers) {
  TF_NEED_CHART();
  return Answer(engine_->bar().Begin(*engine_, Long(x), Long(y), Long(width), Long(height),
                                     Long(columns), Long(rows), Long(bars_per_cell), Long(layers)));
}

Result LoomChart::Bar3dSetBarValue(Arg value, Arg column, Arg row, Arg bar, Arg layer) {
  TF_NEED_CHART();
  return Answer(engine_->bar().SetValue(Double(value), Long(column), Long(row), Long(bar), Long(layer)));
}

Result LoomChart::Bar3dSetBarColor(Arg colour, Arg column, Arg row, Arg bar, Arg layer) {
  TF_NEED_CHART();
  return Answer(engine_->bar().SetColor(Colour(colour), Long(column), Long(row), Long(bar), Long(layer)));
}

Result LoomChart::Bar3dSetColumnLabel(Arg label, Arg column) {
  TF_NEED_CHART();
  std::string text = Text(label, 100);
  return Answer(engine_->bar().SetColumnLabel(*engine_, text, Long(column)));
}

Result LoomChart::Bar3dSetRowLabel(Arg label, Arg row) {
  TF_NEED_CHART();
  std::string text = Text(label, 100);
  return Answer(engine_->bar().SetRowLabel(*engine_, text, Long(row)));
}

Result LoomChart::SetAxisTitle(bool x_axis, Arg label, Arg style) {
  TF_NEED_CHART();
  std::string text = Text(label, kMaxAxisTitle + 1);
  std::int32_t title_style = Long(style);
  AxisSettings& axis = engine_->axis();
  (x_axis ? axis.x_title : axis.y_title) = text;
  (x_axis ? axis.x_title_style : axis.y_title_style) = title_style;
  (x_axis ? axis.x_title_font : axis.y_title_font) = engine_->font();
  return Answer(kOk);
}

Result LoomChart::Bar3dSetXaxisLabel(Arg label, Arg style) { return SetAxisTitle(true, label, style); }
Result LoomChart::Bar3dSetYaxisLabel(Arg label, Arg style) { return SetAxisTitle(false, label, style); }
Result LoomChart::Line3dSetXaxisLabel(Arg label, Arg style) { return SetAxisTitle(true, label, style); }
Result LoomChart::Line3dSetYaxisLabel(Arg label, Arg style) { return SetAxisTitle(false, label, style); }

Result LoomChart::Bar3dSetXaxisLabelType(Arg type) {
  TF_NEED_CHART();
  std::int32_t style = Long(type);
  if (style != 0 && style != 1) return Answer(kOutOfRange);
  engine_->axis().x_label_style = style;
  return Answer(kOk);
}

Result LoomChart::Line3dSetXvalueLabelType(Arg style) { return Bar3dSetXaxisLabelType(style); }

Result LoomChart::Bar3dFinish(Arg) {
  TF_NEED_CHART();
  return Answer(engine_->bar().Finish(*engine_));
}

Result LoomChart::GetCopyright(Arg) { return VariantFromString(kNotice); }

Result LoomChart::Line3dBegin(Arg chart_type, Arg x, Arg y, Arg width, Arg height, Arg values,
                              Arg lines) {
  TF_NEED_CHART();
  return Answer(engine_->line().Begin(*engine_, Long(chart_type), Long(x), Long(y), Long(width),
                                      Long(height), Long(values), Long(lines)));
}

Result LoomChart::Line3dSetLineValue(Arg value, Arg x_index, Arg line) {
  TF_NEED_CHART();
  return Answer(engine_->line().SetValue(Double(value), Long(x_index), Long(line)));
}

Result LoomChart::Line3dSetLineColor(Arg colour, Arg line) {
  TF_NEED_CHART();
  return Answer(engine_->line().SetColor(Colour(colour), Long(line)));
}

Result LoomChart::Line3dSetXvalueLabel(Arg label, Arg x_index) {
  TF_NEED_CHART();
  std::string text = Text(label, 100);
  return Answer(engine_->line().SetLabel(*engine_, text, Long(x_index)));
}

Result LoomChart::Line3dFinish(Arg) {
  TF_NEED_CHART();
  return Answer(engine_->line().Finish(*engine_));
}

Result LoomChart::Pie3dBegin(Arg x, Arg y, Arg width, Arg height, Arg slices) {
  TF_NEED_CHART();
  return Answer(engine_->pie().Begin(*engine_, Long(x), Long(y), Long(width), Long(height),
                                     Long(slices)));
}

Result LoomChart::Pie3dSetPieThickness(Arg thickness) {
  TF_NEED_CHART();
  return Answer(engine_->pie().SetThickness(Double(thickness)));
}

Result LoomChart::Pie3dSetSliceValue(Arg value, Arg slice) {
  TF_NEED_CHART();
  return Answer(engine_->pie().SetValue(Double(value), Long(slice)));
}

Result LoomChart::Pie3dSetSliceColor(Arg colour, Arg slice) {
  TF_NEED_CHART();
  return Answer(engine_->pie().SetColor(Colour(colour), Long(slice)));
}

Result LoomChart::Pie3dSetSlicePosition(Arg pull_out, Arg thickness, Arg lift, Arg slice) {
  TF_NEED_CHART();
  return Answer(engine_->pie().SetPosition(Double(pull_out), Double(thickness), Double(lift),
                                           Long(slice)));
}

Result LoomChart::Pie3dSetSliceLabel(Arg label, Arg slice) {
  TF_NEED_CHART();
  std::string text = Text(label, 100);
  return Answer(engine_->pie().SetLabel(*engine_, text, Long(slice)));
}

Result LoomChart::Pie3dFinish(Arg) {
  TF_NEED_CHART();
  return Answer(engine_->pie().Finish(*engine_));
}

Result LoomChart::LegendBegin(Arg x, Arg y, Arg x_anchor, Arg y_anchor, Arg columns, Arg options) {
  TF_NEED_CHART();
  return Answer(engine_->legend().Begin(*engine_, Long(x), Long(y), Long(x_anchor), Long(y_anchor),
                                        Long(columns), Long(options)));
}

Result LoomChart::LegendSetBackgroundColor(Arg colour) {
  TF_NEED_CHART();
  return Answer(engine_->legend().SetBackground(Colour(colour)));
}

Result LoomChart::LegendSetColumn(Arg column, Arg min_width, Arg align, Arg options) {
  TF_NEED_CHART();
  return Answer(engine_->legend().SetColumn(Long(column), Long(min_width), Long(align), Long(options)));
}

Result LoomChart::LegendSetItemBackground(Arg colour, Arg row, Arg column) {
  TF_NEED_CHART();
  return Answer(engine_->legend().SetItemBackground(Long(colour), Long(row), Long(column)));
}

Result LoomChart::LegendSetItemTextSpan(Arg text, Arg row, Arg column, Arg span, Arg align) {
  TF_NEED_CHART();
  std::string cell = Text(text, 600);
  return Answer(engine_->legend().SetItemTextSpan(*engine_, cell, Long(row), Long(column),
                                                  Long(span), Long(align)));
}

Result LoomChart::LegendSetItemText(Arg text, Arg row, Arg column) {
  TF_NEED_CHART();
  std::string cell = Text(text, 600);
  return Answer(engine_->legend().SetItemText(*engine_, cell, Long(row), Long(column)));
}

Result LoomChart::LegendSetColorKey(Arg colour, Arg row, Arg column) {
  TF_NEED_CHART();
  return Answer(engine_->legend().SetColorKey(Colour(colour), Long(row), Long(column)));
}

Result LoomChart::LegendFinish(Arg) {
  TF_NEED_CHART();
  return Answer(engine_->legend().Finish(*engine_));
}

Result LoomChart::LegendSetMinimumWidth(Arg width) {
  TF_NEED_CHART();
  return Answer(engine_->legend().SetMinimumWidth(Long(width)));
}

}  // namespace tf::chart
