// The site sheet's "Log file download" page on its own, downloading "*.log"
// from the FTP server on 127.0.0.1 (TALLYFOX_FTP_PORT names its port) into
// FTP_CHECK_DIR/local. Simulated clicks press "Download files now", then
// "Start download" in the progress dialog. Once the download is finished
// and the driver has created FTP_CHECK_DIR/shot-taken (its picture is
// taken), the dialog's lines go to the standard error and "Close" and the
// sheet's "Cancel" end the program. A click that was lost is repeated.
#include <wx/app.h>
#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "console/site_ftp_page.h"
#include "console/site_ftp_page_wx.h"
#include "console/site_sheet.h"
#include "desktop/wx_message_box.h"
#include "desktop/wx_text.h"
#include "engine/site/site.h"

namespace {

using tf::console::PageSheet;
using tf::desktop::FromWx;

constexpr int kTickMilliseconds = 50;
constexpr int kRepeatTicks = 60;  // three seconds before a click is repeated

template <typename Control>
Control* FindChild(wxWindow* parent) {
  for (wxWindow* child : parent->GetChildren()) {
    if (auto* found = dynamic_cast<Control*>(child)) return found;
    if (auto* found = FindChild<Control>(child)) return found;
  }
  return nullptr;
}

wxButton* FindButton(wxWindow* parent, const wxString& label) {
  return dynamic_cast<wxButton*>(wxWindow::FindWindowByLabel(label, parent));
}

wxDialog* ProgressDialog() {
  for (wxWindow* window : wxTopLevelWindows) {
    auto* dialog = dynamic_cast<wxDialog*>(window);
    if (dialog != nullptr && dialog->GetTitle() == "FTP download progress" &&
        dialog->IsShownOnScreen()) {
      return dialog;
    }
  }
  return nullptr;
}

class Clicker : public wxEvtHandler {
 public:
  Clicker(PageSheet& sheet, std::string shot_taken)
      : sheet_(sheet), shot_taken_(std::move(shot_taken)), timer_(this) {
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
    timer_.Start(kTickMilliseconds);
  }

 private:
  void Tick() {
    ++ticks_;
    wxDialog* progress = ProgressDialog();
    if (progress == nullptr) {
      if (!sheet_.IsShownOnScreen()) return;
      ClickOnce(finished_ ? sheet_.FindWindow(wxID_CANCEL)
                          : FindButton(&sheet_, "Download files now"));
      return;
    }
    auto* list = FindChild<wxListCtrl>(progress);
    if (list == nullptr) return;  // not built yet: the next tick looks again
    const int count = list->GetItemCount();
    const bool done = count > 0 && FromWx(list->GetItemText(count - 1)) ==
                                       tf::console::kFinishedLine;
    if (!done) {
      wxButton* start = FindButton(progress, "Start download");
      if (start != nullptr && start->IsEnabled()) ClickOnce(start);
      return;
    }
    if (!std::filesystem::exists(shot_taken_)) return;
    if (!finished_) {
      for (int i = 0; i < count; ++i) {
        std::fprintf(stderr, "%s\n", FromWx(list->GetItemText(i)).c_str());
      }
      finished_ = true;
    }
    ClickOnce(FindButton(progress, "Close"));
  }

  // Clicks the control, unless a click went out lately.
  void ClickOnce(wxWindow* control) {
    if (control == nullptr || ticks_ - last_click_ < kRepeatTicks) return;
    last_click_ = ticks_;
    const wxRect area = control->GetScreenRect();
    simulator_.MouseMove(area.x + area.width / 2, area.y + area.height / 2);
    simulator_.MouseClick();
  }

  PageSheet& sheet_;
  const std::string shot_taken_;
  wxTimer timer_;
  wxUIActionSimulator simulator_;
  int ticks_ = 0;
  int last_click_ = -kRepeatTicks;
  bool finished_ = false;
};

class CheckApp : public wxApp {
 public:
  bool OnInit() override {
    tf::desktop::UseWxMessageBoxes();
    return true;
  }

  int OnRun() override {
    const char* folder = std::getenv("FTP_CHECK_DIR");
    if (folder == nullptr) return 2;
    tf::CSite site;
    site.ProjectName = "Downloads";
    tf::SiteSettings& s = site.settings;
    s.FtpEnable = 1;
    s.FtpPassive = 1;
    s.FtpAddress = "127.0.0.1";
    s.FtpName = "loguser";
    s.FtpPassword = "logpass";
    s.FtpFileName = "*.log";
    s.FtpLocalFolder = std::string(folder) + "/local";

    PageSheet sheet(nullptr, "Downloads properties");
    sheet.AddPage(tf::console::MakeFtpPage(sheet.GetBookCtrl(), site), "Log file download");
    Clicker clicker(sheet, std::string(folder) + "/shot-taken");
    sheet.Run();
    return 0;
  }
};

}  // namespace

wxIMPLEMENT_APP(CheckApp);
