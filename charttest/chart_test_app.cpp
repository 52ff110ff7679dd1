// TFChartTest: checks an installation by drawing a test pie chart through
// the chart library into the install folder. Its window, Form1, only holds
// the program while the messages are shown. The exit status is 0 when the
// chart was drawn without a failed call, else 1 (2 when a component call
// failed outright), so installation scripts can use it.
#include <wx/app.h>
#include <wx/frame.h>

#include "charttest/chart_check.h"
#include "desktop/wx_message_box.h"
#include "engine/common/message_box.h"

namespace tf::charttest {

class ChartTestApp : public wxApp {
 public:
  bool OnInit() override {
    desktop::UseWxMessageBoxes();
    auto* form = new wxFrame(nullptr, wxID_ANY, "Form1", wxDefaultPosition, wxSize(312, 213));
    form->Centre();
    form->Show();
    // The check runs once the window is up, as a form's load does.
    CallAfter(&ChartTestApp::RunCheck);
    return true;
  }

  int OnRun() override {
    const int loop_status = wxApp::OnRun();
    return exit_status_ != 0 ? exit_status_ : loop_status;
  }

 private:
  void RunCheck() {
    try {
      const CheckResult result = RunInstallationCheck();
      exit_status_ = result.ExitStatus();
      // Without an install folder the empty window stays until it is closed.
      if (result.support_failed) return;
    } catch (const CallError& error) {
      exit_status_ = 2;
      ShowMessageBox(error.what(), kCaption, kMbOk | kMbIconError);
    }
    for (wxWindow* window : wxTopLevelWindows) window->Destroy();
  }

  int exit_status_ = 0;
};

}  // namespace tf::charttest

wxIMPLEMENT_APP(tf::charttest::ChartTestApp);
