#include "console/site_sheet.h"

#include <atomic>
#include <thread>

#include <wx/app.h>
#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/weakref.h>

#include "console/sheet_hooks.h"
#include "console/site_collect_pages_wx.h"
#include "console/site_ftp_page_wx.h"
#include "console/site_info_pages_wx.h"
#include "console/site_run_pages_wx.h"
#include "desktop/wx_text.h"
#include "engine/common/message_box.h"

namespace tf::console {

SheetPage::SheetPage(wxWindow* parent, const wxString& name)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, name) {}

wxTextCtrl* SheetPage::AddEdit(wxWindow* parent, wxFlexGridSizer* grid, const wxString& label,
                               long style) {
  grid->Add(new wxStaticText(parent, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
  auto* edit = new wxTextCtrl(parent, wxID_ANY, "", wxDefaultPosition,
                              wxSize(FromDIP(300), -1), style);
  grid->Add(edit, 1, wxEXPAND);
  return edit;
}

PageSheet::PageSheet(wxWindow* parent, const wxString& caption) {
  Create(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize,
         wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
  CreateButtons(wxOK | wxCANCEL);
  GetBookCtrl()->Bind(wxEVT_BOOKCTRL_PAGE_CHANGING, &PageSheet::OnPageChanging, this);
  GetBookCtrl()->Bind(wxEVT_BOOKCTRL_PAGE_CHANGED, &PageSheet::OnPageChanged, this);
  Bind(wxEVT_BUTTON, &PageSheet::OnOk, this, wxID_OK);
  // Ctrl+PageDown and Ctrl+PageUp turn the pages wherever the focus is (a
  // list on a page would keep them for itself).
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    int key = event.GetKeyCode();
    if (event.GetModifiers() == wxMOD_CONTROL && (key == WXK_PAGEDOWN || key == WXK_PAGEUP)) {
      GetBookCtrl()->AdvanceSelection(key == WXK_PAGEDOWN);
      return;
    }
    event.Skip();
  });
}

void PageSheet::AddPage(SheetPage* page, const wxString& caption) {
  GetBookCtrl()->AddPage(page, caption);
}

SheetPage* PageSheet::ActivePage() {
  return static_cast<SheetPage*>(GetBookCtrl()->GetCurrentPage());
}

bool PageSheet::Run() {
  LayoutDialog();
  GetBookCtrl()->SetSelection(0);
  if (SheetPage* page = ActivePage()) {
    page->set_shown();
    page->Enter();
  }
  return ShowModal() == wxID_OK;
}

void PageSheet::OnPageChanging(wxBookCtrlEvent& event) {
  if (event.GetEventObject() != GetBookCtrl()) return event.Skip();
  SheetPage* page = ActivePage();
  if (page == nullptr || !page->shown() || page->Leave()) return;
  event.Veto();
  // A box shown while the page was being left lets the tab strip move on
  // all the same: the refusing page is put back once the change is over.
  const int refusing = event.GetOldSelection();
  CallAfter([this, refusing] {
    if (GetBookCtrl()->GetSelection() != refusing) GetBookCtrl()->ChangeSelection(refusing);
  });
}

void PageSheet::OnPageChanged(wxBookCtrlEvent& event) {
  if (event.GetEventObject() != GetBookCtrl()) return event.Skip();
  if (SheetPage* page = ActivePage()) {
    page->set_shown();
    page->Enter();
  }
}

void PageSheet::OnOk(wxCommandEvent&) {
  SheetPage* page = ActivePage();
  if (page != nullptr && page->shown() && !page->Leave()) return;
  EndModal(wxID_OK);
}

int ShowPageMessage(const PageMessage& message) {
  unsigned flags = 0;
  switch (message.buttons) {
    case MessageButtons::kOk: flags = kMbOk; break;
    case MessageButtons::kOkCancel: flags = kMbOkCancel; break;
    case MessageButtons::kYesNo: flags = kMbYesNo; break;
  }
  switch (message.icon) {
    case MessageIcon::kNone: break;
    case MessageIcon::kError: flags |= kMbIconError; break;
    case MessageIcon::kExclamation: flags |= kMbIconExclamation; break;
    case MessageIcon::kQuestion: flags |= kMbIconQuestion; break;
  }
  return ShowMessageBox(message.text, message.caption, flags);
}

namespace {

// Runs the work on a worker while the windows other than `progress` take no
// input, repainting them meanwhile.
void RunWithoutInput(wxWindow* progress, const std::function<void()>& work) {
  wxWindowDisabler no_input(progress);
  wxBusyCursor wait;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    work();
    done = true;
    wxWakeUpIdle();
  });
  while (!done) {
    wxTheApp->Yield(true);
    wxMilliSleep(20);
  }
  worker.join();
}

}  // namespace

void RunWithProgress(wxWindow* progress, const std::function<void()>& work) {
  // Disabled windows lose the keyboard focus; it goes back where it was.
  wxWeakRef<wxWindow> focus(wxWindow::FindFocus());
  progress->Show();
  progress->Update();
  RunWithoutInput(progress, work);
  progress->Hide();
  if (focus) focus->SetFocus();
}

void AddSitePages(PageSheet& sheet, CSite& site, bool new_site) {
  wxWindow* book = sheet.GetBookCtrl();
  AddSiteInfoPages(sheet, site, new_site);
  sheet.AddPage(MakeFtpPage(book, site), "Log file download");
  sheet.AddPage(MakeProcessingPage(book, site), "Processing");
  sheet.AddPage(MakeReportsPage(book, site), "Reports");
  sheet.AddPage(MakeSchedulePage(book, site,
                                 [&site] {
                                   if (ConsoleSheets().forget_seen_hour) {
                                     ConsoleSheets().forget_seen_hour(site);
                                   }
                                 }),
                "Schedule");
  sheet.AddPage(MakeVisitorsPage(book, site), "Visitors && Paths");
  sheet.AddPage(MakeTargetsPage(book, site), "Target pages");
  sheet.AddPage(MakeErrorsPage(book, site), "Error && Status");
  sheet.AddPage(MakeDatesPage(book, site), "Dates");
  sheet.AddPage(MakeLastRunPage(book, site), "Last run");
}

bool EditSite(wxWindow* parent, CSite& site, const std::string& caption, bool new_site) {
  PageSheet sheet(parent, desktop::ToWx(caption));
  sheet.SetName("CSiteEdit");
  AddSitePages(sheet, site, new_site);
  return sheet.Run();
}

}  // namespace tf::console
