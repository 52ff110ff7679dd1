// The property sheets of the console: the pages' common frame (fill when
// shown, check and write back when left) and the site sheet that the main
// window runs through its hooks.
#pragma once

#include <functional>
#include <string>

#include <wx/panel.h>
#include <wx/propdlg.h>

#include "console/site_page_text.h"

class wxFlexGridSizer;
class wxTextCtrl;
class wxBookCtrlEvent;

namespace tf {
class CSite;
}

namespace tf::console {

// The space between the controls of a page, in the window's pixels.
inline int Gap(wxWindow* window) { return window->FromDIP(6); }

// A page of a sheet. Enter fills it when it becomes the active page; Leave
// checks it and writes it back, false keeping it active.
class SheetPage : public wxPanel {
 public:
  SheetPage(wxWindow* parent, const wxString& name);
  virtual void Enter() {}
  virtual bool Leave() { return true; }
  bool shown() const { return shown_; }
  void set_shown() { shown_ = true; }

 protected:
  // A label and a one-line edit in a two-column grid.
  wxTextCtrl* AddEdit(wxWindow* parent, wxFlexGridSizer* grid, const wxString& label,
                      long style = 0);

 private:
  bool shown_ = false;
};

// A notebook dialog of pages: leaving a page that refuses keeps it active,
// and OK ends the sheet only when the active page lets go.
class PageSheet : public wxPropertySheetDialog {
 public:
  PageSheet(wxWindow* parent, const wxString& caption);
  void AddPage(SheetPage* page, const wxString& caption);
  // Lays out, shows page 0 and runs modally; true for OK.
  bool Run();

 private:
  SheetPage* ActivePage();
  void OnPageChanging(wxBookCtrlEvent& event);
  void OnPageChanged(wxBookCtrlEvent& event);
  void OnOk(wxCommandEvent& event);
};

// The message through the program's message box; the button chosen.
int ShowPageMessage(const PageMessage& message);

// Runs work on a worker thread while the progress window shows; the
// windows are repainted but take no input until it ends.
void RunWithProgress(wxWindow* progress, const std::function<void()>& work);

// Adds every page of the site sheet in its tab order.
void AddSitePages(PageSheet& sheet, CSite& site, bool new_site);

// The site sheet ("New Project" or "NAME properties").
bool EditSite(wxWindow* parent, CSite& site, const std::string& caption, bool new_site);

}  // namespace tf::console
