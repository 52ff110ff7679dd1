#include "console/sheet_hooks.h"

#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/textdlg.h>

#include "desktop/wx_text.h"
#include "engine/site/site.h"

namespace tf::console {

CSite* EditedSite = nullptr;

namespace {

bool AskSiteName(wxWindow* parent, CSite& site, const std::string& caption) {
  wxTextEntryDialog dialog(parent, "Project name:", desktop::ToWx(caption),
                           desktop::ToWx(site.ProjectName));
  if (dialog.ShowModal() != wxID_OK) return false;
  site.ProjectName = desktop::FromWx(dialog.GetValue().Strip(wxString::both));
  return true;
}

void EmptySystemSheet(wxWindow* parent) {
  wxDialog dialog(parent, wxID_ANY, "System Properties");
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(dialog.CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxEXPAND, dialog.FromDIP(12));
  dialog.SetSizerAndFit(column);
  dialog.ShowModal();
}

}  // namespace

SheetHooks& ConsoleSheets() {
  static SheetHooks hooks{AskSiteName, EmptySystemSheet};
  return hooks;
}

}  // namespace tf::console
