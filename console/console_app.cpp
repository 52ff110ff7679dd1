// Tallyfox: the analyzer console. One per install folder: a second start
// brings the first one's window to the front and ends.
#include <wx/app.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/stdpaths.h>

#include <memory>

#include "console/main_window.h"
#include "desktop/jet_error_dialog.h"
#include "desktop/message_pump.h"
#include "desktop/single_instance.h"
#include "desktop/wx_message_box.h"
#include "desktop/wx_text.h"
#include "engine/common/registry_values.h"

namespace tf::console {

class CAnalyzerApp : public wxApp {
 public:
  bool OnInit() override {
    // The program's own folder, also when it was found through PATH.
    wxFileName program(wxStandardPaths::Get().GetExecutablePath());
    WriteInstallPath(desktop::FromWx(program.GetPath()));
    // The icons are PNG files.
    wxImage::AddHandler(new wxPNGHandler);
    desktop::UseWxMessageBoxes();
    desktop::UseJetErrorDialog();
    desktop::UseWxMessagePump();
    instance_ = std::make_unique<desktop::SingleInstance>(GetInstallFolder());
    return true;
  }

  int OnRun() override {
    if (!instance_->first()) {
      instance_->AskFirstToRaise();
      return 0;
    }
    auto* window = new CMainDlg(*instance_);
    SetTopWindow(window);
    // Start-up runs inside the event loop, so that the splash window and
    // the message boxes of a failure are drawn.
    CallAfter([this, window] {
      if (window->Initialize()) {
        window->Show();
        return;
      }
      start_failed_ = true;
      window->Destroy();
      ExitMainLoop();
    });
    int status = wxApp::OnRun();
    return start_failed_ ? 1 : status;
  }

  int OnExit() override {
    instance_.reset();
    return wxApp::OnExit();
  }

 private:
  std::unique_ptr<desktop::SingleInstance> instance_;
  bool start_failed_ = false;
};

}  // namespace tf::console

wxIMPLEMENT_APP(tf::console::CAnalyzerApp);
