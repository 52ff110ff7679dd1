#include "console/sheet_hooks.h"

#include <wx/dialog.h>
#include <wx/sizer.h>

#include "console/site_sheet.h"

namespace tf::console {

CSite* EditedSite = nullptr;
bool EditedSiteIsNew = false;

namespace {

bool RunSiteSheet(wxWindow* parent, CSite& site, const std::string& caption) {
  return EditSite(parent, site, caption, EditedSiteIsNew);
}

void RunSystemSheet(wxWindow* parent) {
  wxDialog dialog(parent, wxID_ANY, "System Properties");
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(dialog.CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxEXPAND, dialog.FromDIP(12));
  dialog.SetSizerAndFit(column);
  dialog.ShowModal();
}

}  // namespace

SheetHooks& ConsoleSheets() {
  static SheetHooks hooks{RunSiteSheet, RunSystemSheet, nullptr};
  return hooks;
}

}  // namespace tf::console
