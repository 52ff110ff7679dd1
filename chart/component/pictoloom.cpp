// The component library Pictoloom: the class LoomChart behind ILoomChart,
// its dispatch table and the library's exported entry points.
#include "chart/loom_chart.h"
#include "interfaces/iloom_chart.h"
#include "platform/com/component_exports.h"

namespace tf::chart {
namespace {

constexpr com::ClassInfo kLoomChartClass{kLoomChartClsid, "LoomChart Class", kLoomChartProgId,
                                         kLoomChartIndependentProgId, "Apartment",
                                         kPictoloomLibid};

// Every call answers S_OK; what happened is in the result.
class LoomChartObject final : public com::DispatchObject<ILoomChart> {
 public:
  HRESULT GetVersion(Variant* in_value, Variant* result) override {
    *result = chart_.GetVersion(*in_value);
    return com::S_OK;
  }
  HRESULT Bar3dBegin(Variant* in_xpos, Variant* in_ypos, Variant* in_width, Variant* in_height, Variant* in_num_columns, Variant* in_num_rows, Variant* in_num_bars_per_cell, Variant* in_num_layers, Variant* result) override {
    *result = chart_.Bar3dBegin(*in_xpos, *in_ypos, *in_width, *in_height, *in_num_columns, *in_num_rows, *in_num_bars_per_cell, *in_num_layers);
    return com::S_OK;
  }
  HRESULT BeginChart(Variant* in_file_name, Variant* in_file_type, Variant* in_width, Variant* in_height, Variant* result) override {
    *result = chart_.BeginChart(*in_file_name, *in_file_type, *in_width, *in_height);
    return com::S_OK;
  }
  HRESULT SetBackgroundColor(Variant* in_color, Variant* result) override {
    *result = chart_.SetBackgroundColor(*in_color);
    return com::S_OK;
  }
  HRESULT RGBold(Variant* in_red, Variant* in_green, Variant* in_blue, Variant* result) override {
    *result = chart_.RGBold(*in_red, *in_green, *in_blue);
    return com::S_OK;
  }
  HRESULT RGBcolor(Variant* in_red, Variant* in_green, Variant* in_blue, Variant* result) override {
    *result = chart_.RGBcolor(*in_red, *in_green, *in_blue);
    return com::S_OK;
  }
  HRESULT SetFont(Variant* in_font_name, Variant* in_height, Variant* in_color, Variant* in_bold, Variant* in_italic, Variant* in_angle, Variant* result) override {
    *result = chart_.SetFont(*in_font_name, *in_height, *in_color, *in_bold, *in_italic, *in_angle);
    return com::S_OK;
  }
  HRESULT SetTitle(Variant* in_title, Variant* result) override {
    *result = chart_.SetTitle(*in_title);
    return com::S_OK;
  }
  HRESULT MoveTo(Variant* in_xpos, Variant* in_ypos, Variant* result) override {
    *result = chart_.MoveTo(*in_xpos, *in_ypos);
    return com::S_OK;
  }
  HRESULT LineTo(Variant* in_xpos, Variant* in_ypos, Variant* result) override {
    *result = chart_.LineTo(*in_xpos, *in_ypos);
    return com::S_OK;
  }
  HRESULT TextOut(Variant* in_text, Variant* in_xpos, Variant* in_ypos, Variant* result) override {
    *result = chart_.TextOut(*in_text, *in_xpos, *in_ypos);
    return com::S_OK;
  }
  HRESULT FinishChart(Variant* in_dummy, Variant* result) override {
    *result = chart_.FinishChart(*in_dummy);
    return com::S_OK;
  }
  HRESULT SetPen(Variant* in_color, Variant* in_width, Variant* in_pen_type, Variant* result) override {
    *result = chart_.SetPen(*in_color, *in_width, *in_pen_type);
    return com::S_OK;
  }
  HRESULT SetBrush(Variant* in_color, Variant* in_style, Variant* result) override {
    *result = chart_.SetBrush(*in_color, *in_style);
    return com::S_OK;
  }
  HRESULT Rectangle(Variant* in_xleft, Variant* in_ytop, Variant* in_xright, Variant* in_ybottom, Variant* result) override {
    *result = chart_.Rectangle(*in_xleft, *in_ytop, *in_xright, *in_ybottom);
    return com::S_OK;
  }
  HRESULT Bar3dSetBarValue(Variant* in_value, Variant* in_column, Variant* in_row, Variant* in_bar_index, Variant* in_layer, Variant* result) override {
    *result = chart_.Bar3dSetBarValue(*in_value, *in_column, *in_row, *in_bar_index, *in_layer);
    return com::S_OK;
  }
  HRESULT Bar3dSetBarColor(Variant* in_color, Variant* in_column, Variant* in_row, Variant* in_bar_index, Variant* in_layer, Variant* result) override {
    *result = chart_.Bar3dSetBarColor(*in_color, *in_column, *in_row, *in_bar_index, *in_layer);
    return com::S_OK;
  }
  HRESULT Bar3dSetColumnLabel(Variant* in_label, Variant* in_column, Variant* result) override {
    *result = chart_.Bar3dSetColumnLabel(*in_label, *in_column);
    return com::S_OK;
  }
  HRESULT Bar3dSetXaxisLabel(Variant* in_label, Variant* in_style, Variant* result) override {
    *result = chart_.Bar3dSetXaxisLabel(*in_label, *in_style);
    return com::S_OK;
  }
  HRESULT Bar3dSetYaxisLabel(Variant* in_label, Variant* in_style, Variant* result) override {
    *result = chart_.Bar3dSetYaxisLabel(*in_label, *in_style);
    return com::S_OK;
  }
  HRESULT Bar3dFinish(Variant* in_dummy, Variant* result) override {
    *result = chart_.Bar3dFinish(*in_dummy);
    return com::S_OK;
  }
  HRESULT GetCopyright(Variant* in_dummy, Variant* result) override {
    *result = chart_.GetCopyright(*in_dummy);
    return com::S_OK;
  }
  HRESULT Bar3dSetRowLabel(Variant* in_label, Variant* in_row, Variant* result) override {
    *result = chart_.Bar3dSetRowLabel(*in_label, *in_row);
    return com::S_OK;
  }
  HRESULT Bar3dSetXaxisLabelType(Variant* in_type, Variant* result) override {
    *result = chart_.Bar3dSetXaxisLabelType(*in_type);
    return com::S_OK;
  }
  HRESULT Line3dBegin(Variant* in_chart_type, Variant* in_xpos, Variant* in_ypos, Variant* in_width, Variant* in_height, Variant* in_num_values, Variant* in_num_lines, Variant* result) override {
    *result = chart_.Line3dBegin(*in_chart_type, *in_xpos, *in_ypos, *in_width, *in_height, *in_num_values, *in_num_lines);
    return com::S_OK;
  }
  HRESULT Line3dSetLineValue(Variant* in_value, Variant* in_xindex, Variant* in_line_index, Variant* result) override {
    *result = chart_.Line3dSetLineValue(*in_value, *in_xindex, *in_line_index);
    return com::S_OK;
  }
  HRESULT Line3dSetLineColor(Variant* in_color, Variant* in_line_index, Variant* result) override {
    *result = chart_.Line3dSetLineColor(*in_color, *in_line_index);
    return com::S_OK;
  }
  HRESULT Line3dSetXvalueLabel(Variant* in_label, Variant* in_xindex, Variant* result) override {
    *result = chart_.Line3dSetXvalueLabel(*in_label, *in_xindex);
    return com::S_OK;
  }
  HRESULT Line3dSetXvalueLabelType(Variant* in_label_style, Variant* result) override {
    *result = chart_.Line3dSetXvalueLabelType(*in_label_style);
    return com::S_OK;
  }
  HRESULT Line3dSetXaxisLabel(Variant* in_label, Variant* in_label_style, Variant* result) override {
    *result = chart_.Line3dSetXaxisLabel(*in_label, *in_label_style);
    return com::S_OK;
  }
  HRESULT Line3dSetYaxisLabel(Variant* in_label, Variant* in_label_style, Variant* result) override {
    *result = chart_.Line3dSetYaxisLabel(*in_label, *in_label_style);
    return com::S_OK;
  }
  HRESULT Line3dFinish(Variant* in_dummy, Variant* result) override {
    *result = chart_.Line3dFinish(*in_dummy);
    return com::S_OK;
  }
  HRESULT Pie3dBegin(Variant* in_xpos, Variant* in_ypos, Variant* in_width, Variant* in_height, Variant* in_num_slices, Variant* result) override {
    *result = chart_.Pie3dBegin(*in_xpos, *in_ypos, *in_width, *in_height, *in_num_slices);
    return com::S_OK;
  }
  HRESULT Pie3dSetPieThickness(Variant* in_pie_thickness, Variant* result) override {
    *result = chart_.Pie3dSetPieThickness(*in_pie_thickness);
    return com::S_OK;
  }
  HRESULT Pie3dSetSliceValue(Variant* in_value, Variant* in_slice_index, Variant* result) override {
    *result = chart_.Pie3dSetSliceValue(*in_value, *in_slice_index);
    return com::S_OK;
  }
  HRESULT Pie3dSetSliceColor(Variant* in_color, Variant* in_slice_index, Variant* result) override {
    *result = chart_.Pie3dSetSliceColor(*in_color, *in_slice_index);
    return com::S_OK;
  }
  HRESULT Pie3dSetSlicePosition(Variant* in_pull_out, Variant* in_thickness, Variant* in_lift_base, Variant* in_slice_index, Variant* result) override {
    *result = chart_.Pie3dSetSlicePosition(*in_pull_out, *in_thickness, *in_lift_base, *in_slice_index);
    return com::S_OK;
  }
  HRESULT Pie3dSetSliceLabel(Variant* in_label, Variant* in_slice_index, Variant* result) override {
    *result = chart_.Pie3dSetSliceLabel(*in_label, *in_slice_index);
    return com::S_OK;
  }
  HRESULT Pie3dFinish(Variant* in_dummy, Variant* result) override {
    *result = chart_.Pie3dFinish(*in_dummy);
    return com::S_OK;
  }
  HRESULT LegendBegin(Variant* in_xpos, Variant* in_ypos, Variant* in_xpos_loc, Variant* in_ypos_loc, Variant* in_num_columns, Variant* in_options, Variant* result) override {
    *result = chart_.LegendBegin(*in_xpos, *in_ypos, *in_xpos_loc, *in_ypos_loc, *in_num_columns, *in_options);
    return com::S_OK;
  }
  HRESULT LegendSetBackgroundColor(Variant* in_color, Variant* result) override {
    *result = chart_.LegendSetBackgroundColor(*in_color);
    return com::S_OK;
  }
  HRESULT LegendSetColumn(Variant* in_column_index, Variant* in_min_width, Variant* in_align, Variant* in_options, Variant* result) override {
    *result = chart_.LegendSetColumn(*in_column_index, *in_min_width, *in_align, *in_options);
    return com::S_OK;
  }
  HRESULT LegendSetItemBackground(Variant* in_color, Variant* in_row_index, Variant* in_column_index, Variant* result) override {
    *result = chart_.LegendSetItemBackground(*in_color, *in_row_index, *in_column_index);
    return com::S_OK;
  }
  HRESULT LegendSetItemTextSpan(Variant* in_text, Variant* in_row_index, Variant* in_column_index, Variant* in_num_span, Variant* in_align, Variant* result) override {
    *result = chart_.LegendSetItemTextSpan(*in_text, *in_row_index, *in_column_index, *in_num_span, *in_align);
    return com::S_OK;
  }
  HRESULT LegendSetItemText(Variant* in_text, Variant* in_row_index, Variant* in_column_index, Variant* result) override {
    *result = chart_.LegendSetItemText(*in_text, *in_row_index, *in_column_index);
    return com::S_OK;
  }
  HRESULT LegendSetColorKey(Variant* in_color, Variant* in_row_index, Variant* in_column_index, Variant* result) override {
    *result = chart_.LegendSetColorKey(*in_color, *in_row_index, *in_column_index);
    return com::S_OK;
  }
  HRESULT LegendFinish(Variant* in_dummy, Variant* result) override {
    *result = chart_.LegendFinish(*in_dummy);
    return com::S_OK;
  }
  HRESULT LegendSetMinimumWidth(Variant* in_width, Variant* result) override {
    *result = chart_.LegendSetMinimumWidth(*in_width);
    return com::S_OK;
  }

 private:
  LoomChart chart_;
};

}  // namespace

const com::DispatchTable<ILoomChart>& ILoomChart::Members() {
  static const com::DispatchTable<ILoomChart> table{
      com::DispatchMember<&ILoomChart::GetVersion>(1, "GetVersion"),
      com::DispatchMember<&ILoomChart::Bar3dBegin>(2, "Bar3dBegin"),
      com::DispatchMember<&ILoomChart::BeginChart>(3, "BeginChart"),
      com::DispatchMember<&ILoomChart::SetBackgroundColor>(4, "SetBackgroundColor"),
      com::DispatchMember<&ILoomChart::RGBold>(5, "RGBold"),
      com::DispatchMember<&ILoomChart::RGBcolor>(6, "RGBcolor"),
      com::DispatchMember<&ILoomChart::SetFont>(7, "SetFont"),
      com::DispatchMember<&ILoomChart::SetTitle>(8, "SetTitle"),
      com::DispatchMember<&ILoomChart::MoveTo>(9, "MoveTo"),
      com::DispatchMember<&ILoomChart::LineTo>(10, "LineTo"),
      com::DispatchMember<&ILoomChart::TextOut>(11, "TextOut"),
      com::DispatchMember<&ILoomChart::FinishChart>(12, "FinishChart"),
      com::DispatchMember<&ILoomChart::SetPen>(13, "SetPen"),
      com::DispatchMember<&ILoomChart::SetBrush>(14, "SetBrush"),
      com::DispatchMember<&ILoomChart::Rectangle>(15, "Rectangle"),
      com::DispatchMember<&ILoomChart::Bar3dSetBarValue>(16, "Bar3dSetBarValue"),
      com::DispatchMember<&ILoomChart::Bar3dSetBarColor>(17, "Bar3dSetBarColor"),
      com::DispatchMember<&ILoomChart::Bar3dSetColumnLabel>(18, "Bar3dSetColumnLabel"),
      com::DispatchMember<&ILoomChart::Bar3dSetXaxisLabel>(19, "Bar3dSetXaxisLabel"),
      com::DispatchMember<&ILoomChart::Bar3dSetYaxisLabel>(20, "Bar3dSetYaxisLabel"),
      com::DispatchMember<&ILoomChart::Bar3dFinish>(21, "Bar3dFinish"),
      com::DispatchMember<&ILoomChart::GetCopyright>(22, "GetCopyright"),
      com::DispatchMember<&ILoomChart::Bar3dSetRowLabel>(23, "Bar3dSetRowLabel"),
      com::DispatchMember<&ILoomChart::Bar3dSetXaxisLabelType>(24, "Bar3dSetXaxisLabelType"),
      com::DispatchMember<&ILoomChart::Line3dBegin>(25, "Line3dBegin"),
      com::DispatchMember<&ILoomChart::Line3dSetLineValue>(26, "Line3dSetLineValue"),
      com::DispatchMember<&ILoomChart::Line3dSetLineColor>(27, "Line3dSetLineColor"),
      com::DispatchMember<&ILoomChart::Line3dSetXvalueLabel>(28, "Line3dSetXvalueLabel"),
      com::DispatchMember<&ILoomChart::Line3dSetXvalueLabelType>(29, "Line3dSetXvalueLabelType"),
      com::DispatchMember<&ILoomChart::Line3dSetXaxisLabel>(30, "Line3dSetXaxisLabel"),
      com::DispatchMember<&ILoomChart::Line3dSetYaxisLabel>(31, "Line3dSetYaxisLabel"),
      com::DispatchMember<&ILoomChart::Line3dFinish>(32, "Line3dFinish"),
      com::DispatchMember<&ILoomChart::Pie3dBegin>(33, "Pie3dBegin"),
      com::DispatchMember<&ILoomChart::Pie3dSetPieThickness>(34, "Pie3dSetPieThickness"),
      com::DispatchMember<&ILoomChart::Pie3dSetSliceValue>(35, "Pie3dSetSliceValue"),
      com::DispatchMember<&ILoomChart::Pie3dSetSliceColor>(36, "Pie3dSetSliceColor"),
      com::DispatchMember<&ILoomChart::Pie3dSetSlicePosition>(37, "Pie3dSetSlicePosition"),
      com::DispatchMember<&ILoomChart::Pie3dSetSliceLabel>(38, "Pie3dSetSliceLabel"),
      com::DispatchMember<&ILoomChart::Pie3dFinish>(39, "Pie3dFinish"),
      com::DispatchMember<&ILoomChart::LegendBegin>(40, "LegendBegin"),
      com::DispatchMember<&ILoomChart::LegendSetBackgroundColor>(41, "LegendSetBackgroundColor"),
      com::DispatchMember<&ILoomChart::LegendSetColumn>(42, "LegendSetColumn"),
      com::DispatchMember<&ILoomChart::LegendSetItemBackground>(43, "LegendSetItemBackground"),
      com::DispatchMember<&ILoomChart::LegendSetItemTextSpan>(44, "LegendSetItemTextSpan"),
      com::DispatchMember<&ILoomChart::LegendSetItemText>(45, "LegendSetItemText"),
      com::DispatchMember<&ILoomChart::LegendSetColorKey>(46, "LegendSetColorKey"),
      com::DispatchMember<&ILoomChart::LegendFinish>(47, "LegendFinish"),
      com::DispatchMember<&ILoomChart::LegendSetMinimumWidth>(48, "LegendSetMinimumWidth"),
  };
  return table;
}

}  // namespace tf::chart

TF_COM_COMPONENT_EXPORTS(tf::chart::LoomChartObject, tf::chart::kLoomChartClass);
