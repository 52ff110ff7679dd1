#include "charttest/chart_check.h"

#include <array>
#include <cstdio>
#include <tuple>
#include <utility>

#include "engine/common/message_box.h"
#include "interfaces/itf_com.h"
#include "platform/com/create.h"

namespace tf::charttest {

namespace {

using chart::ILoomChart;
using com::Variant;

std::string HresultText(com::HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

template <class Interface>
com::ComPtr<Interface> Create(const char* prog_id) {
  com::ComPtr<Interface> object;
  const com::HRESULT hr = com::CreateInstanceByProgID(prog_id, &object);
  if (com::Failed(hr) || !object) {
    throw CallError(std::string("Cannot create ") + prog_id + " (error " + HresultText(hr) + ")");
  }
  return object;
}

// Calls one slot with its arguments (16-bit whole numbers, Booleans, texts
// or a colour by reference) and gives its result.
template <class Object, class Method, class... Args>
Variant CallSlot(Object& object, const char* name, Method method, Args... args) {
  Variant result;
  std::array<Variant, sizeof...(Args)> values{Variant(std::move(args))...};
  const com::HRESULT hr =
      std::apply([&](auto&... value) { return (object.*method)(&value..., &result); }, values);
  if (com::Failed(hr)) throw CallError(std::string(name) + " failed (error " + HresultText(hr) + ")");
  return result;
}

Variant I2(int value) { return Variant::I2(static_cast<std::int16_t>(value)); }

// The chart calls of the test, checked by number.
class NumberedCalls {
 public:
  explicit NumberedCalls(ILoomChart& chart) : chart_(chart) {}

  template <class Method, class... Args>
  void Checked(int number, const char* name, Method method, Args... args) {
    if (CallSlot(chart_, name, method, std::move(args)...).ToInt32(-1) == 0) return;
    failed_.push_back(number);
    ShowMessageBox("Error: " + std::to_string(number), kCaption, kMbOk);
  }
  template <class Method, class... Args>
  Variant Unchecked(const char* name, Method method, Args... args) {
    return CallSlot(chart_, name, method, std::move(args)...);
  }
  Variant Colour(int red, int green, int blue) {
    return Unchecked("RGBcolor", &ILoomChart::RGBcolor, I2(red), I2(green), I2(blue));
  }
  std::vector<int> failed() const { return failed_; }

 private:
  ILoomChart& chart_;
  std::vector<int> failed_;
};

}  // namespace

std::string CompletionText(std::string_view chart_file) {
  std::string text = "Test Completed Successfully, please check '";
  text.append(chart_file).append("' for the chart");
  return text;
}

std::vector<int> RunPieChartTest(ILoomChart& chart, const std::string& file) {
  using C = ILoomChart;
  const Variant yes = Variant::Bool(true);
  const Variant no = Variant::Bool(false);
  NumberedCalls calls(chart);
  calls.Unchecked("BeginChart", &C::BeginChart, Variant(file), I2(1), I2(480), I2(260));
  calls.Checked(1, "Pie3dBegin", &C::Pie3dBegin, I2(5), I2(5), I2(350), I2(250), I2(3));
  Variant font_colour = calls.Colour(0, 0, 0);
  calls.Checked(2, "SetFont", &C::SetFont, Variant("Arial"), I2(20), Variant::ByRef(font_colour), yes,
                no, I2(0));
  calls.Checked(3, "SetTitle", &C::SetTitle, Variant("Test Piechart"));
  for (int slice = 0; slice < 3; ++slice) {
    calls.Checked(4 + slice, "Pie3dSetSliceValue", &C::Pie3dSetSliceValue, I2(10 * (slice + 1)),
                  I2(slice));
  }
  const std::array<std::array<int, 3>, 3> slice_colours = {{{200, 0, 0}, {0, 200, 0}, {0, 0, 200}}};
  for (int slice = 0; slice < 3; ++slice) {
    const auto& [red, green, blue] = slice_colours[slice];
    calls.Checked(7 + slice, "Pie3dSetSliceColor", &C::Pie3dSetSliceColor,
                  calls.Colour(red, green, blue), I2(slice));
  }
  calls.Checked(10, "Pie3dFinish", &C::Pie3dFinish, I2(0));
  calls.Checked(11, "LegendBegin", &C::LegendBegin, I2(360), I2(108), I2(0), I2(2), I2(2), I2(12));
  calls.Checked(12, "SetFont", &C::SetFont, Variant("Arial"), I2(14), font_colour, yes, no, I2(0));
  calls.Checked(13, "LegendSetColumn", &C::LegendSetColumn, I2(0), I2(0), I2(2), I2(0));
  calls.Checked(14, "LegendSetColumn", &C::LegendSetColumn, I2(1), I2(0), I2(0), I2(0));
  calls.Checked(15, "LegendSetItemTextSpan", &C::LegendSetItemTextSpan, Variant("Pie Chart Legend"),
                I2(0), I2(0), I2(2), I2(2));
  for (int row = 1; row <= 3; ++row) {
    calls.Checked(15 + row, "LegendSetItemText", &C::LegendSetItemText,
                  Variant("Region " + std::to_string(row)), I2(row), I2(1));
  }
  for (int row = 1; row <= 3; ++row) {
    const auto& [red, green, blue] = slice_colours[row - 1];
    calls.Checked(18 + row, "LegendSetColorKey", &C::LegendSetColorKey,
                  calls.Colour(red, green, blue), I2(row), I2(0));
  }
  calls.Checked(22, "LegendFinish", &C::LegendFinish, I2(0));
  calls.Checked(23, "FinishChart", &C::FinishChart, I2(0));
  return calls.failed();
}

CheckResult RunInstallationCheck() {
  CheckResult result;
  com::ComPtr<support::ITFcom> support = Create<support::ITFcom>(support::kTFcomProgId);
  const std::string home =
      CallSlot(*support.get(), "GetHomeDirectory", &support::ITFcom::GetHomeDirectory, I2(0)).ToString();
  if (home.empty()) {
    result.support_failed = true;
    ShowMessageBox(kSupportError, kCaption, kMbOk);
    return result;
  }
  com::ComPtr<ILoomChart> chart = Create<ILoomChart>(chart::kLoomChartProgId);
  result.chart_file = home + std::string(kChartFileName);
  result.failed_calls = RunPieChartTest(*chart.get(), result.chart_file);
  ShowMessageBox(CompletionText(result.chart_file), kCaption, kMbOk);
  return result;
}

}  // namespace tf::charttest
