// ILoomChart: the chart library's interface, in slot order (after
// IDispatch's), with its class and programmatic identifiers. Every argument
// is a Variant; the last one receives the result. Callers create the class
// by its programmatic identifier and call the slots or invoke by name.
#pragma once

#include "platform/com/dispatch.h"

namespace tf::chart {

using com::HRESULT;
using com::Variant;

inline constexpr com::CLSID kLoomChartClsid =
    com::Guid::Parse("{6E460070-7F55-4A05-A493-BB45EFC284B7}").value();
inline constexpr com::Guid kPictoloomLibid =
    com::Guid::Parse("{D2780A9D-6EF2-412D-ACE8-B3438D59859F}").value();
inline constexpr const char* kLoomChartProgId = "Pictoloom.LoomChart.1";
inline constexpr const char* kLoomChartIndependentProgId = "Pictoloom.LoomChart";

class ILoomChart : public com::IDispatch {
 public:
  static constexpr com::IID kIid =
      com::Guid::Parse("{4556A1BB-EECD-4C42-BD17-D7A5A38ECEC0}").value();
  virtual HRESULT GetVersion(Variant* in_value, Variant* result) = 0;  // 1
  virtual HRESULT Bar3dBegin(Variant* in_xpos, Variant* in_ypos, Variant* in_width, Variant* in_height, Variant* in_num_columns, Variant* in_num_rows, Variant* in_num_bars_per_cell, Variant* in_num_layers, Variant* result) = 0;  // 2
  virtual HRESULT BeginChart(Variant* in_file_name, Variant* in_file_type, Variant* in_width, Variant* in_height, Variant* result) = 0;  // 3
  virtual HRESULT SetBackgroundColor(Variant* in_color, Variant* result) = 0;  // 4
  virtual HRESULT RGBold(Variant* in_red, Variant* in_green, Variant* in_blue, Variant* result) = 0;  // 5
  virtual HRESULT RGBcolor(Variant* in_red, Variant* in_green, Variant* in_blue, Variant* result) = 0;  // 6
  virtual HRESULT SetFont(Variant* in_font_name, Variant* in_height, Variant* in_color, Variant* in_bold, Variant* in_italic, Variant* in_angle, Variant* result) = 0;  // 7
  virtual HRESULT SetTitle(Variant* in_title, Variant* result) = 0;  // 8
  virtual HRESULT MoveTo(Variant* in_xpos, Variant* in_ypos, Variant* result) = 0;  // 9
  virtual HRESULT LineTo(Variant* in_xpos, Variant* in_ypos, Variant* result) = 0;  // 10
  virtual HRESULT TextOut(Variant* in_text, Variant* in_xpos, Variant* in_ypos, Variant* result) = 0;  // 11
  virtual HRESULT FinishChart(Variant* in_dummy, Variant* result) = 0;  // 12
  virtual HRESULT SetPen(Variant* in_color, Variant* in_width, Variant* in_pen_type, Variant* result) = 0;  // 13
  virtual HRESULT SetBrush(Variant* in_color, Variant* in_style, Variant* result) = 0;  // 14
  virtual HRESULT Rectangle(Variant* in_xleft, Variant* in_ytop, Variant* in_xright, Variant* in_ybottom, Variant* result) = 0;  // 15
  virtual HRESULT Bar3dSetBarValue(Variant* in_value, Variant* in_column, Variant* in_row, Variant* in_bar_index, Variant* in_layer, Variant* result) = 0;  // 16
  virtual HRESULT Bar3dSetBarColor(Variant* in_color, Variant* in_column, Variant* in_row, Variant* in_bar_index, Variant* in_layer, Variant* result) = 0;  // 17
  virtual HRESULT Bar3dSetColumnLabel(Variant* in_label, Variant* in_column, Variant* result) = 0;  // 18
  virtual HRESULT Bar3dSetXaxisLabel(Variant* in_label, Variant* in_style, Variant* result) = 0;  // 19
  virtual HRESULT Bar3dSetYaxisLabel(Variant* in_label, Variant* in_style, Variant* result) = 0;  // 20
  virtual HRESULT Bar3dFinish(Variant* in_dummy, Variant* result) = 0;  // 21
  virtual HRESULT GetCopyright(Variant* in_dummy, Variant* result) = 0;  // 22
  virtual HRESULT Bar3dSetRowLabel(Variant* in_label, Variant* in_row, Variant* result) = 0;  // 23
  virtual HRESULT Bar3dSetXaxisLabelType(Variant* in_type, Variant* result) = 0;  // 24
  virtual HRESULT Line3dBegin(Variant* in_chart_type, Variant* in_xpos, Variant* in_ypos, Variant* in_width, Variant* in_height, Variant* in_num_values, Variant* in_num_lines, Variant* result) = 0;  // 25
  virtual HRESULT Line3dSetLineValue(Variant* in_value, Variant* in_xindex, Variant* in_line_index, Variant* result) = 0;  // 26
  virtual HRESULT Line3dSetLineColor(Variant* in_color, Variant* in_line_index, Variant* result) = 0;  // 27
  virtual HRESULT Line3dSetXvalueLabel(Variant* in_label, Variant* in_xindex, Variant* result) = 0;  // 28
  virtual HRESULT Line3dSetXvalueLabelType(Variant* in_label_style, Variant* result) = 0;  // 29
  virtual HRESULT Line3dSetXaxisLabel(Variant* in_label, Variant* in_label_style, Variant* result) = 0;  // 30
  virtual HRESULT Line3dSetYaxisLabel(Variant* in_label, Variant* in_label_style, Variant* result) = 0;  // 31
  virtual HRESULT Line3dFinish(Variant* in_dummy, Variant* result) = 0;  // 32
  virtual HRESULT Pie3dBegin(Variant* in_xpos, Variant* in_ypos, Variant* in_width, Variant* in_height, Variant* in_num_slices, Variant* result) = 0;  // 33
  virtual HRESULT Pie3dSetPieThickness(Variant* in_pie_thickness, Variant* result) = 0;  // 34
  virtual HRESULT Pie3dSetSliceValue(Variant* in_value, Variant* in_slice_index, Variant* result) = 0;  // 35
  virtual HRESULT Pie3dSetSliceColor(Variant* in_color, Variant* in_slice_index, Variant* result) = 0;  // 36
  virtual HRESULT Pie3dSetSlicePosition(Variant* in_pull_out, Variant* in_thickness, Variant* in_lift_base, Variant* in_slice_index, Variant* result) = 0;  // 37
  virtual HRESULT Pie3dSetSliceLabel(Variant* in_label, Variant* in_slice_index, Variant* result) = 0;  // 38
  virtual HRESULT Pie3dFinish(Variant* in_dummy, Variant* result) = 0;  // 39
  virtual HRESULT LegendBegin(Variant* in_xpos, Variant* in_ypos, Variant* in_xpos_loc, Variant* in_ypos_loc, Variant* in_num_columns, Variant* in_options, Variant* result) = 0;  // 40
  virtual HRESULT LegendSetBackgroundColor(Variant* in_color, Variant* result) = 0;  // 41
  virtual HRESULT LegendSetColumn(Variant* in_column_index, Variant* in_min_width, Variant* in_align, Variant* in_options, Variant* result) = 0;  // 42
  virtual HRESULT LegendSetItemBackground(Variant* in_color, Variant* in_row_index, Variant* in_column_index, Variant* result) = 0;  // 43
  virtual HRESULT LegendSetItemTextSpan(Variant* in_text, Variant* in_row_index, Variant* in_column_index, Variant* in_num_span, Variant* in_align, Variant* result) = 0;  // 44
  virtual HRESULT LegendSetItemText(Variant* in_text, Variant* in_row_index, Variant* in_column_index, Variant* result) = 0;  // 45
  virtual HRESULT LegendSetColorKey(Variant* in_color, Variant* in_row_index, Variant* in_column_index, Variant* result) = 0;  // 46
  virtual HRESULT LegendFinish(Variant* in_dummy, Variant* result) = 0;  // 47
  virtual HRESULT LegendSetMinimumWidth(Variant* in_width, Variant* result) = 0;  // 48

  // By-name and by-id calls; defined by the library that implements the class.
  static const com::DispatchTable<ILoomChart>& Members();

 protected:
  ~ILoomChart() = default;
};

}  // namespace tf::chart
