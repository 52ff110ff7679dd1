#include "viewer/main_frame.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/calctrl.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/display.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/popupwin.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>
#include <wx/webview.h>

#include <algorithm>
#include <functional>

#include "desktop/wx_text.h"
#include "engine/common/desktop.h"
#include "engine/common/message_box.h"
#include "engine/common/path.h"
#include "viewer/analysis_tree.h"
#include "viewer/console_link.h"
#include "viewer/help_topic.h"
#include "viewer/save_report.h"
#include "viewer/viewer_texts.h"
#include "viewer/viewer_windows.h"
#include "viewer/webkit_print.h"
#include "viewer/x11_windows.h"

namespace tf::viewer {

using desktop::FromWx;
using desktop::ToWx;

namespace {

constexpr const char* kHelpHandler = "tfhelp";

// The page's own helppageopen opens a window of a page that does not exist;
// in the viewer it asks the window for the help topic instead.
constexpr const char* kHelpScript =
    "window.helppageopen = function (topic) {"
    "  window.webkit.messageHandlers.tfhelp.postMessage('javascript:helppageopen(' + topic + ')');"
    "};";

// The section key a tree node jumps to.
class SectionKey : public wxTreeItemData {
 public:
  explicit SectionKey(std::string key) : key(std::move(key)) {}
  std::string key;
};

wxString FileUrl(const std::string& path) {
  return wxFileName::FileNameToURL(wxFileName(ToWx(path)));
}

wxStaticBoxSizer* Frame(wxWindow* parent, const char* caption, int orient = wxVERTICAL) {
  return new wxStaticBoxSizer(orient, parent, caption);
}

wxButton* PictureButton(wxWindow* parent, const char* caption, const char* tip, Picture picture) {
  auto* button = new wxButton(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize,
                              wxBU_EXACTFIT);
  button->SetBitmap(DrawPicture(picture, parent->FromDIP(24)), wxTOP);
  button->SetToolTip(tip);
  return button;
}

// A month calendar that gives the day clicked and closes.
class CalendarPopup : public wxPopupTransientWindow {
 public:
  CalendarPopup(wxWindow* parent, const wxDateTime& shown, std::function<void(wxDateTime)> take)
      : wxPopupTransientWindow(parent), take_(std::move(take)) {
    auto* calendar = new wxCalendarCtrl(this, wxID_ANY, shown);
    calendar->SetDateRange(wxDefaultDateTime, wxDateTime::Today());
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(calendar);
    SetSizerAndFit(sizer);
    calendar->Bind(wxEVT_CALENDAR_SEL_CHANGED, [this](wxCalendarEvent& event) {
      take_(event.GetDate());
      Dismiss();
    });
  }

 private:
  std::function<void(wxDateTime)> take_;
};

wxDateTime ToWxDate(DaySerial day) {
  int year, month, d;
  report::SplitDaySerial(day, year, month, d);
  return wxDateTime(static_cast<wxDateTime::wxDateTime_t>(d),
                    static_cast<wxDateTime::Month>(month - 1), year);
}

DaySerial FromWxDate(const wxDateTime& date) {
  return report::MakeDaySerial(date.GetYear(), date.GetMonth() + 1, date.GetDay());
}

}  // namespace

MainFrame::MainFrame(std::unique_ptr<ViewerSession> session)
    : wxFrame(nullptr, wxID_ANY, kMainCaption), session_(std::move(session)) {
  BuildMenus();
  auto* splitter = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                        wxSP_LIVE_UPDATE | wxSP_3DSASH);
  splitter->SetMinimumPaneSize(FromDIP(120));
  wxWindow* left = BuildLeftPane(splitter);
  wxWindow* right = BuildRightPane(splitter);
  // Wide enough for the tree's longest caption at the window's font.
  const int left_width = std::max({Twips(this, 2640), left->GetBestSize().x, FromDIP(220)});
  splitter->SplitVertically(left, right, left_width);
  CreateStatusBar();
  // As the band needs, but never beyond the screen.
  const wxRect screen = wxGetClientDisplayRect();
  SetClientSize(std::min(std::max(Twips(this, 11760), left_width + right->GetBestSize().x + 10),
                         screen.GetWidth()),
                std::min(std::max(Twips(this, 7635), 560), screen.GetHeight() - 60));

  for (int i = 0; i < session_->projects().count(); ++i) {
    projects_->Append(ToWx(session_->projects().projects()[i].name));
  }
  if (session_->selected() >= 0) projects_->SetSelection(session_->selected());
  ShowProjectInfo();
  ShowDates();
  ShowStatus(session_->status_text);
  Bind(wxEVT_CLOSE_WINDOW, &MainFrame::OnClose, this);
}

void MainFrame::OnClose(wxCloseEvent& event) {
  // The window would be deleted while a run, yielding for its progress,
  // still works in it.
  if (running_ && event.CanVeto()) {
    close_after_run_ = true;
    event.Veto();
    return;
  }
  event.Skip();
}

void MainFrame::BuildMenus() {
  auto* file = new wxMenu;
  const int save = wxNewId(), preview = wxNewId(), print = wxNewId(), options = wxNewId();
  file->Append(save, "Save Report");
  file->AppendSeparator();
  file->Append(preview, "Print Preview");
  file->Append(print, "Print Report");
  file->AppendSeparator();
  file->Append(wxID_EXIT, "E&xit");
  auto* tools = new wxMenu;
  tools->Append(options, "Options");
  auto* help = new wxMenu;
  help->Append(wxID_ABOUT, "A&bout");
  auto* bar = new wxMenuBar;
  bar->Append(file, "&File");
  bar->Append(tools, "&Tools");
  bar->Append(help, "&Help");
  SetMenuBar(bar);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) {
    if (!RequireGeneratedReport(std::string(kSaveNeedsReport) + kHowToGenerate)) return;
    wxFileDialog dialog(this, kSaveCaption, "", "*.html", "HTML Page (*.html)|*.html", wxFD_SAVE);
    if (dialog.ShowModal() != wxID_OK) return;
    std::string path = FromWx(dialog.GetPath());
    if (wxFileName(dialog.GetPath()).GetExt().empty()) path += ".html";
    SaveReportAs(path);
  }, save);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { PrintPreview(); }, preview);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { PrintReport(); }, print);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, wxID_EXIT);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OpenOptions(); }, options);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OpenAbout(); }, wxID_ABOUT);
}

wxWindow* MainFrame::BuildLeftPane(wxWindow* parent) {
  auto* pane = new wxPanel(parent);
  auto* sizer = new wxBoxSizer(wxVERTICAL);

  auto* list = Frame(pane, "Project List");
  auto* search_row = new wxBoxSizer(wxHORIZONTAL);
  search_row->Add(new wxStaticText(list->GetStaticBox(), wxID_ANY, "Search:"), 0,
                  wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
  search_ = new wxTextCtrl(list->GetStaticBox(), wxID_ANY);
  search_row->Add(search_, 1);
  list->Add(search_row, 0, wxEXPAND | wxALL, 4);
  projects_ = new wxListBox(list->GetStaticBox(), wxID_ANY, wxDefaultPosition,
                            wxSize(-1, FromDIP(90)));
  list->Add(projects_, 1, wxEXPAND | wxALL, 4);
  sizer->Add(list, 0, wxEXPAND | wxALL, 4);

  auto* info = Frame(pane, "Project Info");
  auto* grid = new wxFlexGridSizer(2, wxSize(6, 2));
  grid->AddGrowableCol(1);
  auto label = [&](wxSizer* into, wxWindow* box, const char* caption) {
    into->Add(new wxStaticText(box, wxID_ANY, caption), 0, wxALIGN_CENTER_VERTICAL);
    auto* value = new wxStaticText(box, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                   wxST_ELLIPSIZE_END);
    into->Add(value, 1, wxEXPAND);
    return value;
  };
  name_ = label(grid, info->GetStaticBox(), "Name:");
  domain_ = label(grid, info->GetStaticBox(), "Domain:");
  info->Add(grid, 0, wxEXPAND | wxALL, 4);
  auto* logs = new wxStaticBoxSizer(wxVERTICAL, info->GetStaticBox(), "Log Files Available");
  auto* log_grid = new wxFlexGridSizer(2, wxSize(6, 2));
  log_grid->AddGrowableCol(1);
  logs_from_ = label(log_grid, logs->GetStaticBox(), "From:");
  logs_to_ = label(log_grid, logs->GetStaticBox(), "To");
  logs->Add(log_grid, 0, wxEXPAND | wxALL, 4);
  info->Add(logs, 0, wxEXPAND | wxALL, 4);
  sizer->Add(info, 0, wxEXPAND | wxLEFT | wxRIGHT, 4);

  auto* browser = Frame(pane, "Analysis Browser");
  tree_ = new wxTreeCtrl(browser->GetStaticBox(), wxID_ANY, wxDefaultPosition, wxDefaultSize,
                         wxTR_DEFAULT_STYLE | wxTR_HIDE_ROOT | wxTR_LINES_AT_ROOT);
  const wxTreeItemId hidden = tree_->AddRoot("");
  wxTreeItemId parent_node;
  for (const TreeNode& node : AnalysisTreeNodes()) {
    auto* key = new SectionKey(node.key);
    if (node.root) {
      parent_node = tree_->AppendItem(hidden, node.caption, -1, -1, key);
    } else {
      tree_->AppendItem(parent_node, node.caption, -1, -1, key);
    }
  }
  browser->Add(tree_, 1, wxEXPAND | wxALL, 4);
  sizer->Add(browser, 1, wxEXPAND | wxALL, 4);
  pane->SetSizer(sizer);

  projects_->Bind(wxEVT_LISTBOX, [this](wxCommandEvent& event) { SelectProject(event.GetSelection()); });
  search_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
    if (std::optional<int> found = session_->projects().Search(FromWx(search_->GetValue()))) {
      projects_->SetSelection(*found);
      SelectProject(*found);
    }
  });
  tree_->Bind(wxEVT_TREE_SEL_CHANGED, &MainFrame::OnTreeSelection, this);
  return pane;
}

wxWindow* MainFrame::BuildRightPane(wxWindow* parent) {
  auto* pane = new wxPanel(parent);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  auto* band = new wxBoxSizer(wxHORIZONTAL);

  load_ = PictureButton(pane, "Generate Analysis",
                        "Generate a 'full report' (takes longer than the summary report)",
                        Picture::kFullReport);
  load_quick_ = PictureButton(pane, "Generate Summary", "Generate the Summary report (loads fastest)",
                              Picture::kSummary);
  band->Add(load_, 0, wxEXPAND | wxRIGHT, 4);
  band->Add(load_quick_, 0, wxEXPAND | wxRIGHT, 4);

  auto* range = Frame(pane, "Report Range");
  auto* range_grid = new wxFlexGridSizer(2, wxSize(4, 2));
  const char* date_tip = "Enter a mm/dd/yyyy format (i.e. 5/19/2004)";
  const wxSize date_size(FromDIP(96), -1);
  range_start_ = new wxStaticText(range->GetStaticBox(), wxID_ANY, "Start:");
  range_start_->SetToolTip(date_tip);
  date_from_ = new wxTextCtrl(range->GetStaticBox(), wxID_ANY, "", wxDefaultPosition, date_size);
  range_end_ = new wxStaticText(range->GetStaticBox(), wxID_ANY, "End:");
  range_end_->SetToolTip(date_tip);
  date_to_ = new wxTextCtrl(range->GetStaticBox(), wxID_ANY, "", wxDefaultPosition, date_size);
  range_grid->Add(range_start_, 0, wxALIGN_CENTER_VERTICAL);
  range_grid->Add(date_from_);
  range_grid->Add(range_end_, 0, wxALIGN_CENTER_VERTICAL);
  range_grid->Add(date_to_);
  range->Add(range_grid, 0, wxALL, 2);
  band->Add(range, 0, wxEXPAND | wxRIGHT, 4);

  auto* ranges = new wxBoxSizer(wxVERTICAL);
  auto* select = Frame(pane, "Select Range", wxHORIZONTAL);
  auto calendar_button = [&](const char* caption, const char* tip, bool start) {
    auto* text = new wxStaticText(select->GetStaticBox(), wxID_ANY, caption);
    text->SetToolTip(tip);
    auto* icon = new wxBitmapButton(select->GetStaticBox(), wxID_ANY,
                                    DrawPicture(Picture::kCalendar, FromDIP(16)));
    icon->SetToolTip(tip);
    select->Add(text, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 2);
    select->Add(icon, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    icon->Bind(wxEVT_BUTTON, [this, start](wxCommandEvent&) { ShowCalendar(start); });
    // The label "Start:" opens its calendar too; "End:" does not.
    if (start) text->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) { ShowCalendar(true); });
    return icon;
  };
  calendar_start_ = calendar_button("Start:", "Display the 'Start Date' calendar", true);
  calendar_end_ = calendar_button("End:", "Display the 'End Date' calendar", false);
  ranges->Add(select, 0, wxEXPAND);
  auto* quick = Frame(pane, "Quick Range");
  quick_range_ = new wxChoice(quick->GetStaticBox(), wxID_ANY);
  for (const char* entry : kQuickRanges) quick_range_->Append(entry);
  quick_range_->SetSelection(0);
  quick->Add(quick_range_, 1, wxEXPAND | wxALL, 2);
  ranges->Add(quick, 0, wxEXPAND);
  band->Add(ranges, 0, wxEXPAND | wxRIGHT, 4);

  console_ = PictureButton(pane, "Add/Edit Projects", "Launch the Project Editor", Picture::kProjects);
  exit_ = PictureButton(pane, "Exit", "Exit the Desktop Report Viewer", Picture::kExit);
  band->Add(console_, 0, wxEXPAND | wxRIGHT, 4);
  band->Add(exit_, 0, wxEXPAND);
  sizer->Add(band, 0, wxALL, 4);

  progress_ = new wxGauge(pane, wxID_ANY, 38, wxDefaultPosition, wxSize(-1, FromDIP(12)));
  sizer->Add(progress_, 0, wxEXPAND | wxLEFT | wxRIGHT, 4);
  browser_ = wxWebView::New(pane, wxID_ANY);
  browser_->AddScriptMessageHandler(kHelpHandler);
  browser_->AddUserScript(kHelpScript, wxWEBVIEW_INJECT_AT_DOCUMENT_END);
  sizer->Add(browser_, 1, wxEXPAND | wxALL, 4);
  pane->SetSizer(sizer);

  load_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Generate(false); });
  load_quick_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Generate(true); });
  console_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { BringUpConsole(); });
  exit_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
  quick_range_->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) { ApplyQuickRange(event.GetSelection()); });
  browser_->Bind(wxEVT_WEBVIEW_NAVIGATING, &MainFrame::OnNavigating, this);
  browser_->Bind(wxEVT_WEBVIEW_SCRIPT_MESSAGE_RECEIVED, &MainFrame::OnScriptMessage, this);
  browser_->Bind(wxEVT_WEBVIEW_NEWWINDOW, &MainFrame::OnNewWindow, this);
  browser_->LoadURL(FileUrl(JoinPath(session_->HomeFolder(), kStartPage)));
  return pane;
}

void MainFrame::ShowProjectInfo() {
  name_->SetLabel(ToWx(session_->name_label));
  domain_->SetLabel(ToWx(session_->domain_label));
  logs_from_->SetLabel(ToWx(session_->logs.from));
  logs_to_->SetLabel(ToWx(session_->logs.to));
}

void MainFrame::ShowDates() {
  date_from_->ChangeValue(ToWx(session_->dates.from));
  date_to_->ChangeValue(ToWx(session_->dates.to));
}

void MainFrame::ReadDates() {
  session_->dates = {FromWx(date_from_->GetValue()), FromWx(date_to_->GetValue())};
}

void MainFrame::ShowStatus(const std::string& text) { SetStatusText(ToWx(text)); }

void MainFrame::SelectProject(int index) {
  ReadDates();
  session_->SelectProject(index);
  ShowProjectInfo();
  ShowDates();
}

void MainFrame::ApplyQuickRange(int position) {
  quick_range_->SetSelection(position);
  if (std::optional<DayRange> range = QuickRange(position, Today(), session_->logs)) {
    session_->dates = {FieldText(range->from), FieldText(range->to)};
    ShowDates();
  }
}

void MainFrame::EnableRunControls(bool enable) {
  for (wxWindow* control : std::initializer_list<wxWindow*>{load_, load_quick_, projects_, search_,
                                                             quick_range_, date_from_, date_to_}) {
    control->Enable(enable);
  }
  GetMenuBar()->EnableTop(0, enable);
  GetMenuBar()->EnableTop(1, enable);
}

void MainFrame::FlashAttention(const RequestCheck& check) {
  std::vector<wxWindow*> controls;
  for (Attention target : check.flash) {
    switch (target) {
      case Attention::kAddEditProjects: controls.push_back(console_); break;
      case Attention::kDateFrom: controls.push_back(date_from_); break;
      case Attention::kDateTo: controls.push_back(date_to_); break;
      case Attention::kRangeLabels:
        controls.push_back(range_start_);
        controls.push_back(range_end_);
        break;
      case Attention::kGenerateAnalysis: controls.push_back(load_); break;
    }
  }
  if (!controls.empty()) flash_.Start(controls);
  if (check.focus_end_date) date_to_->SetFocus();
}

void MainFrame::Generate(bool summary) {
  // A run keeps the window responsive, but a second run cannot start in it.
  if (running_) return;
  running_ = true;
  EnableRunControls(false);
  ReadDates();
  ShowStatus("Loading...");
  session_->run().on_progress = [this](int value, int maximum) {
    progress_->SetRange(std::max(maximum, 1));
    progress_->SetValue(std::min(value, std::max(maximum, 1)));
    wxYield();
  };
  const RunOutcome outcome = session_->LoadProject(summary, Today());
  session_->run().on_progress = nullptr;
  running_ = false;
  if (close_after_run_) {
    Close();
    return;
  }
  EnableRunControls(true);
  ShowDates();
  if (!outcome.check.ok) {
    ShowStatus(session_->status_text);
    FlashAttention(outcome.check);
    return;
  }
  if (!outcome.written) {
    ShowMessageBox("The report could not be made: " + outcome.error, kReportErrorCaption,
                   kMbOk | kMbIconError);
    return;
  }
  browser_->LoadURL(FileUrl(outcome.page_path));
  ShowStatus(session_->status_text);
}

bool MainFrame::RequireGeneratedReport(const std::string& message) {
  if (session_->report_shown) return true;
  ShowMessageBox(message, kNotGeneratedCaption, kMbOk | kMbIconInformation);
  RequestCheck attention;
  attention.flash = {Attention::kRangeLabels, Attention::kGenerateAnalysis};
  FlashAttention(attention);
  return false;
}

void MainFrame::JumpToSection(const std::string& key) {
  if (!RequireGeneratedReport(std::string(kQuickLinksNeedReport) + kHowToGenerate)) return;
  if (!session_->full_report_shown) {
    ShowMessageBox(kQuickLinksSummaryText, kQuickLinksCaption, kMbOk | kMbIconInformation);
    RequestCheck attention;
    attention.flash = {Attention::kGenerateAnalysis};
    FlashAttention(attention);
    return;
  }
  browser_->LoadURL(FileUrl(JoinPath(session_->OutputFolder(), session_->run().ReportFileName)) +
                    "#" + ToWx(key));
}

void MainFrame::OnTreeSelection(wxTreeEvent& event) {
  auto* key = dynamic_cast<SectionKey*>(tree_->GetItemData(event.GetItem()));
  if (key && !running_) JumpToSection(key->key);
}

void MainFrame::ShowHelpTopic(int topic) {
  if (!help_) {
    help_ = new HelpFrame(this);
  }
  help_->Move(GetPosition() + wxPoint(Twips(this, 1000), Twips(this, 1000)));
  if (help_->ShowTopic(*session_, topic)) {
    help_->Show();
    help_->Raise();
  }
}

void MainFrame::OnNavigating(wxWebViewEvent& event) {
  const HelpLink link = ReadHelpLink(FromWx(event.GetURL()));
  if (!link.cancel) return;
  event.Veto();
  if (link.topic) ShowHelpTopic(*link.topic);
}

void MainFrame::OnScriptMessage(wxWebViewEvent& event) {
  const HelpLink link = ReadHelpLink(FromWx(event.GetString()));
  if (link.topic) ShowHelpTopic(*link.topic);
}

void MainFrame::OnNewWindow(wxWebViewEvent& event) {
  // The report's pages open no windows of their own.
  event.Veto();
}

void MainFrame::SaveReportAs(const std::string& path) {
  if (!RequireGeneratedReport(std::string(kSaveNeedsReport) + kHowToGenerate)) return;
  viewer::SaveReportAs({session_->OutputFolder(), session_->run().ReportFileName,
                        session_->run().ChartFilePrefix},
                       path);
}

void MainFrame::PrintReport() {
  if (!RequireGeneratedReport(std::string(kPrintNeedsReport) + kHowToGenerate)) return;
  browser_->Print();
}

void MainFrame::PrintPreview() {
  if (!RequireGeneratedReport(std::string(kPreviewNeedsReport) + kHowToGenerate)) return;
  std::string page = session_->run().ReportFileName;
  const std::string pdf =
      JoinPath(session_->OutputFolder(), page.substr(0, page.rfind('.')) + ".pdf");
  const bool started = PrintToPdf(*browser_, pdf, [pdf](bool written) {
    if (!written || OpenDocument(pdf) <= 32) {
      ShowMessageBox("The print preview '" + pdf + "' could not be " +
                         (written ? "opened" : "written"),
                     "Print Preview", kMbOk | kMbIconError);
    }
  });
  if (!started) ShowMessageBox("The print preview could not be made", "Print Preview", kMbOk | kMbIconError);
}

void MainFrame::OpenOptions() {
  OptionsDialog dialog(this, *session_);
  dialog.Move(GetPosition() + wxPoint(Twips(this, 500), Twips(this, 500)));
  dialog.ShowModal();
}

void MainFrame::OpenAbout() {
  AboutDialog dialog(this);
  dialog.Move(GetPosition() + wxPoint(Twips(this, 1500), Twips(this, 1500)));
  dialog.ShowModal();
}

void MainFrame::BringUpConsole() {
  X11Windows desktop;
  viewer::BringUpConsole(desktop, session_->HomeFolder());
}

void MainFrame::ShowCalendar(bool start) {
  std::optional<DaySerial> from = FieldDate(FromWx(date_from_->GetValue()));
  std::optional<DaySerial> to = FieldDate(FromWx(date_to_->GetValue()));
  std::optional<DaySerial> shown = start ? (from ? from : to) : to;
  const wxDateTime date = shown ? ToWxDate(*shown) : wxDateTime::Today();
  wxWindow* icon = start ? calendar_start_ : calendar_end_;
  auto* popup = new CalendarPopup(this, date, [this, start](wxDateTime day) {
    (start ? date_from_ : date_to_)->ChangeValue(ToWx(FieldText(FromWxDate(day))));
  });
  popup->Position(icon->GetScreenPosition(), wxSize(0, icon->GetSize().y));
  popup->Popup();
}

}  // namespace tf::viewer
