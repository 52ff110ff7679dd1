// TFSetAcc: grants the web server's accounts full access to the install
// folder, the web folder and its report subfolders, then ends.
#include <wx/app.h>

#include "desktop/wx_message_box.h"
#include "setacc/set_access_dialog.h"

namespace tf::setacc {

class SetAccessApp : public wxApp {
 public:
  bool OnInit() override {
    desktop::UseWxMessageBoxes();
    return true;
  }
  // The dialog is the whole program; it ends when the dialog closes.
  int OnRun() override {
    SetAccessDialog dialog(InitialFields());
    dialog.ShowModal();
    return 0;
  }
};

}  // namespace tf::setacc

wxIMPLEMENT_APP(tf::setacc::SetAccessApp);
