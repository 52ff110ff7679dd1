#include "viewer/test_steps.h"

#include <wx/timer.h>
#include <wx/webview.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "desktop/wx_text.h"
#include "engine/common/path.h"
#include "viewer/main_frame.h"

namespace tf::viewer {
namespace {

// Short ticks, so that a step follows the load before it closely enough to
// be timed.
constexpr int kTickMs = 50;

class StepRunner : public wxTimer {
 public:
  StepRunner(MainFrame& frame, std::deque<std::string> steps, std::string marks)
      : frame_(frame), steps_(std::move(steps)), marks_(std::move(marks)) {}

  void Notify() override {
    if (busy_) return;
    // A jump inside a page may leave the browser busy for good: a load
    // gets a few seconds.
    if (frame_.browser()->IsBusy() && ++busy_ticks_ < kBusyTicks) return;
    busy_ticks_ = 0;
    if (!waiting_for_.empty()) {
      if (!std::filesystem::exists(waiting_for_)) return;
      waiting_for_.clear();
    }
    if (steps_.empty()) {
      Stop();
      return;
    }
    const std::string step = steps_.front();
    steps_.pop_front();
    busy_ = true;
    Run(step);
    busy_ = false;
  }

 private:
  void Run(const std::string& line) {
    std::istringstream in(line);
    std::string verb, rest;
    in >> verb;
    std::getline(in >> std::ws, rest);
    if (verb == "quick") frame_.ApplyQuickRange(std::stoi(rest));
    else if (verb == "generate") frame_.Generate(false);
    else if (verb == "summary") frame_.Generate(true);
    else if (verb == "section") frame_.JumpToSection(rest);
    else if (verb == "helplink") {
      // A click on the page's own help link of that topic.
      frame_.browser()->RunScriptAsync(
          "document.querySelector(\"a[href='javascript:helppageopen(" + desktop::ToWx(rest) +
          ")']\").click();");
    } else if (verb == "save") frame_.SaveReportAs(rest);
    else if (verb == "options") frame_.OpenOptions();
    else if (verb == "about") frame_.OpenAbout();
    else if (verb == "mark") {
      std::ofstream(JoinPath(marks_, rest)) << "\n";
      waiting_for_ = JoinPath(marks_, rest + ".done");
    } else if (verb == "exit") frame_.Close();
  }

  static constexpr int kBusyTicks = 5000 / kTickMs;

  MainFrame& frame_;
  std::deque<std::string> steps_;
  std::string marks_;
  std::string waiting_for_;
  bool busy_ = false;
  int busy_ticks_ = 0;
};

}  // namespace

void StartTestSteps(MainFrame& frame) {
  const char* file = std::getenv("TALLYFOX_VIEWER_STEPS");
  if (!file || !*file) return;
  const char* marks = std::getenv("TALLYFOX_VIEWER_MARKS");
  std::ifstream in(file);
  std::deque<std::string> steps;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) steps.push_back(line);
  }
  auto* runner = new StepRunner(frame, std::move(steps), marks ? marks : "");
  // The runner lives as long as the window.
  frame.Bind(wxEVT_DESTROY, [runner, &frame](wxWindowDestroyEvent& event) {
    if (event.GetWindow() == &frame) {
      runner->Stop();
      delete runner;
    }
    event.Skip();
  });
  runner->Start(kTickMs);
}

}  // namespace tf::viewer
