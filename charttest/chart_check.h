// What the chart test program does, without its window: asks the support
// component for the install folder, draws a three-slice test pie chart with
// a legend into "PieTest.jpg" there through the chart library's interface
// slots, and tells each numbered call that returned a non-zero status.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "interfaces/iloom_chart.h"

namespace tf::charttest {

inline constexpr std::string_view kCaption = "TFChartTest";
inline constexpr std::string_view kSupportError = "There was an error with TFSupport";
inline constexpr std::string_view kChartFileName = "PieTest.jpg";

// A component call that failed as a call (the class cannot be created, or a
// method returned an error code); it ends the check.
class CallError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Test Completed Successfully, please check '<file>' for the chart".
std::string CompletionText(std::string_view chart_file);

// The numbered calls of the test chart into file, in order; each non-zero
// status shows "Error: k" and the next call follows. Returns the numbers of
// the failed calls.
std::vector<int> RunPieChartTest(chart::ILoomChart& chart, const std::string& file);

struct CheckResult {
  bool support_failed = false;  // the install folder was not found
  std::string chart_file;       // when it was drawn
  std::vector<int> failed_calls;
  // The process's exit status: 0 only when the chart was drawn without a
  // failed call, so a script can tell.
  int ExitStatus() const { return support_failed || !failed_calls.empty() ? 1 : 0; }
};

// The whole check with its messages: the support error, or the test chart
// followed by the completion message. Throws CallError.
CheckResult RunInstallationCheck();

}  // namespace tf::charttest
