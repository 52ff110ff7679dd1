// The small modeless windows the site pages show while a long operation
// runs on the user-interface thread, and the date-format lists of the
// settings pages.
#pragma once

#include <wx/dialog.h>

class wxComboBox;

namespace tf {
class CSite;
}

namespace tf::console {

// "Generating reports for NAME".
class CReportProgressDlg : public wxDialog {
 public:
  CReportProgressDlg(const CSite& site, wxWindow* parent);
};

// "Resetting all statistics for the site...".
class CResetProgressDlg : public wxDialog {
 public:
  explicit CResetProgressDlg(wxWindow* parent);
};

// Fills the combo box with the date layouts and selects the one of value
// (the first when none has it).
void FillDateFormatCombo(wxComboBox& combo, int value);
// The value of the selected layout; fallback when none is selected.
int GetDateFormatCombo(const wxComboBox& combo, int fallback);

}  // namespace tf::console
