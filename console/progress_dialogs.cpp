#include "console/progress_dialogs.h"

#include <wx/combobox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <string>

#include "console/date_formats.h"
#include "desktop/wx_text.h"
#include "engine/site/site.h"

namespace tf::console {

namespace {

void ShowOneLine(wxDialog& dialog, const std::string& text) {
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(new wxStaticText(&dialog, wxID_ANY, desktop::ToWx(text)), 0, wxALL,
              dialog.FromDIP(16));
  dialog.SetSizerAndFit(column);
  dialog.CentreOnParent();
}

}  // namespace

CReportProgressDlg::CReportProgressDlg(const CSite& site, wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "Tallyfox") {
  ShowOneLine(*this, "Generating reports for " + site.ProjectName);
}

CResetProgressDlg::CResetProgressDlg(wxWindow* parent) : wxDialog(parent, wxID_ANY, "Tallyfox") {
  ShowOneLine(*this, "Resetting all statistics for the site...");
}

void FillDateFormatCombo(wxComboBox& combo, int value) {
  combo.Clear();
  for (const DateFormatName& name : DateFormatNames) combo.Append(desktop::ToWx(name.text));
  combo.SetSelection(DateFormatIndex(value));
}

int GetDateFormatCombo(const wxComboBox& combo, int fallback) {
  int selected = combo.GetSelection();
  if (selected < 0 || selected >= static_cast<int>(std::size(DateFormatNames))) return fallback;
  return DateFormatNames[selected].value;
}

}  // namespace tf::console
