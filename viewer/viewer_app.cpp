// TallyfoxGUI: the desktop report viewer. With a command line it writes one
// report without a window (and needs no display); without one it opens
// its window on the install folder's projects.
#include <wx/app.h>

#include <ctime>
#include <string>
#include <vector>

#include "desktop/wx_message_box.h"
#include "engine/common/message_box.h"
#include "engine/common/path.h"
#include "viewer/batch_mode.h"
#include "viewer/main_frame.h"
#include "viewer/test_steps.h"
#include "viewer/viewer_texts.h"
#include "viewer/work_folder.h"
#include "viewer/x11_windows.h"

namespace tf::viewer {

class ViewerApp : public wxApp {
 public:
  bool OnInit() override {
    desktop::UseWxMessageBoxes();
    std::optional<std::string> home = FindHomeFolder();
    if (!home) {
      ShowMessageBox(kSupportMissing, "", kMbOk);
      return false;
    }
    auto session = std::make_unique<ViewerSession>(*home);
    session->LoadProjectCombo();
    if (session->projects().count() == 0) {
      if (ShowMessageBox(kNoProjectsQuestion, kNoProjectsCaption, kMbYesNo | kMbIconQuestion) ==
          kIdYes) {
        X11Windows desktop;
        BringUpConsole(desktop, *home);
      } else {
        ShowMessageBox(kClosingText, kClosingCaption, kMbOk);
      }
      return false;
    }
    const DaySerial today = Today();
    session->dates = {FieldText(report::AddMonths(today, -1)), FieldText(today)};
    CleanUpWorkFolder(JoinPath(*home, kWorkFolder), std::time(nullptr));
    auto* frame = new MainFrame(std::move(session));
    frame->Show();
    StartTestSteps(*frame);
    return true;
  }
};

}  // namespace tf::viewer

wxIMPLEMENT_APP_NO_MAIN(tf::viewer::ViewerApp);

int main(int argc, char** argv) {
  // Batch mode is decided before any window toolkit starts.
  if (argc > 1) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::optional<std::string> home = tf::viewer::FindHomeFolder();
    return tf::viewer::RunBatch(tf::viewer::JoinArguments(args), home.value_or(""));
  }
  return wxEntry(argc, argv);
}
