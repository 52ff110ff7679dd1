// CJetErrorDlg: tells the user that the database engine itself cannot be
// reached, and whom to ask. Shown modally when the system database cannot
// open for that reason.
#pragma once

#include <wx/dialog.h>

namespace tf::desktop {

class CJetErrorDlg : public wxDialog {
 public:
  explicit CJetErrorDlg(wxWindow* parent);
};

// Makes the engine show this dialog over the program's top window.
void UseJetErrorDialog();

}  // namespace tf::desktop
