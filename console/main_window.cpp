#include "console/main_window.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/taskbar.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/wupdlock.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

#include "console/about_dialog.h"
#include "console/exit_sequence.h"
#include "console/list_columns.h"
#include "console/program_icons.h"
#include "console/sheet_hooks.h"
#include "console/site_commands.h"
#include "console/splash_window.h"
#include "desktop/single_instance.h"
#include "desktop/wx_text.h"
#include "engine/names/domain_translation.h"
#include "engine/common/busy.h"
#include "engine/common/desktop.h"
#include "engine/common/files.h"
#include "engine/common/message_box.h"
#include "engine/common/registry_values.h"
#include "engine/site/projects_database.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/store/system_data.h"

namespace tf::console {

namespace {

using desktop::ToWx;

constexpr int kTickMilliseconds = 100;
constexpr int kTrayHideTicks = 10;
constexpr int kLargeFontPixels = 18;
constexpr int kAboutCommand = wxID_ABOUT;
// The stored column widths count pixels of a 6-pixel-wide average
// character, the font they were chosen for; wider fonts widen them alike.
constexpr double kStoredCharWidth = 6.0;
// The longest date the panel shows, to size its fields.
constexpr const char* kWidestDate = "Wed, 30-Sep-2026 12:00:00 PM";

class ConsoleTrayIcon : public wxTaskBarIcon {
 public:
  explicit ConsoleTrayIcon(CMainDlg& window) : window_(window) {
    Bind(wxEVT_TASKBAR_LEFT_DOWN, [this](wxTaskBarIconEvent&) { window_.ShowInFront(); });
  }

 private:
  CMainDlg& window_;
};

struct PanelRow {
  PanelField field;
  const char* label;
};

// Laid out in two columns of label and value pairs below the full-width
// activity and error lines.
constexpr PanelRow kWideFields[] = {{PanelField::kActivity, "Activity:"},
                                    {PanelField::kError, "Error:"}};
constexpr PanelRow kFigureFields[] = {
    {PanelField::kRunTime, "Run time:"},
    {PanelField::kRecords, "Records processed:"},
    {PanelField::kLastDate, "Last date:"},
    {PanelField::kPendingTranslations, "Pending IP translations:"},
    {PanelField::kTranslationThreads, "IP translation threads:"}};

}  // namespace

CMainDlg::CMainDlg(desktop::SingleInstance& instance)
    : wxFrame(nullptr, wxID_ANY, kMainWindowTitle), instance_(instance), timer_(this) {
  SetIcons(ProgramIcons());
  BuildMenu();
  BuildControls();
  Bind(wxEVT_TIMER, &CMainDlg::OnTimer, this);
  Bind(wxEVT_ICONIZE, &CMainDlg::OnIconize, this);
  Bind(wxEVT_CLOSE_WINDOW, &CMainDlg::OnClose, this);
  ConsoleSheets().forget_seen_hour = [this](const CSite& site) {
    scheduler_.host().ForgetSeenHour(site);
  };
}

CMainDlg::~CMainDlg() {
  timer_.Stop();
  ConsoleSheets().forget_seen_hour = nullptr;
}

void CMainDlg::BuildMenu() {
  auto* help = new wxMenu;
  help->Append(wxID_HELP, "&Manual\tF1");
  help->Append(kAboutCommand, "&About Tallyfox...");
  auto* bar = new wxMenuBar;
  bar->Append(help, "&Help");
  SetMenuBar(bar);
  Bind(wxEVT_MENU, &CMainDlg::OnHelp, this, wxID_HELP);
  Bind(wxEVT_MENU, &CMainDlg::OnAbout, this, kAboutCommand);
}

void CMainDlg::BuildControls() {
  auto* panel = new wxPanel(this);
  const int gap = FromDIP(6);

  auto* projects = new wxStaticBoxSizer(wxVERTICAL, panel, "Tallyfox Projects");
  list_ = new wxListCtrl(projects->GetStaticBox(), wxID_ANY, wxDefaultPosition,
                         FromDIP(wxSize(470, 220)),
                         wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_NO_SORT_HEADER);
  projects->Add(list_, 1, wxEXPAND | wxALL, gap);

  auto* buttons = new wxBoxSizer(wxVERTICAL);
  auto add_button = [&](const char* label, void (CMainDlg::*handler)(wxCommandEvent&)) {
    auto* button = new wxButton(panel, wxID_ANY, label);
    button->Bind(wxEVT_BUTTON, handler, this);
    buttons->Add(button, 0, wxEXPAND | wxBOTTOM, gap);
    return button;
  };
  add_ = add_button("A&dd project", &CMainDlg::OnAddProject);
  remove_ = add_button("&Remove project", &CMainDlg::OnRemoveProject);
  properties_ = add_button("&Properties", &CMainDlg::OnProperties);
  analyze_ = add_button("&Analyze", &CMainDlg::OnAnalyze);
  stop_ = add_button("&Stop analysis", &CMainDlg::OnStopAnalysis);
  add_button("Analyze a&ll sites", &CMainDlg::OnAnalyzeAll);
  add_button("S&ystem Settings", &CMainDlg::OnSystemSettings);
  buttons->AddStretchSpacer();
  exit_ = add_button("E&xit", &CMainDlg::OnExit);

  auto* top = new wxBoxSizer(wxHORIZONTAL);
  top->Add(projects, 1, wxEXPAND | wxRIGHT, gap);
  top->Add(buttons, 0, wxEXPAND | wxTOP, FromDIP(14));

  auto* status = new wxStaticBoxSizer(wxVERTICAL, panel, "Project status");
  status_box_ = status->GetStaticBox();
  auto add_field = [&](wxFlexGridSizer* grid, const PanelRow& row) {
    grid->Add(new wxStaticText(status_box_, wxID_ANY, row.label), 0, wxALIGN_CENTER_VERTICAL);
    auto* value = new wxTextCtrl(status_box_, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                 wxTE_READONLY);
    value->SetMinSize(value->GetSizeFromTextSize(value->GetTextExtent(kWidestDate)));
    grid->Add(value, 1, wxEXPAND);
    panel_[static_cast<std::size_t>(row.field)] = value;
  };
  auto* wide = new wxFlexGridSizer(2, gap, gap);
  wide->AddGrowableCol(1);
  for (const PanelRow& row : kWideFields) add_field(wide, row);
  auto* figures = new wxFlexGridSizer(4, gap, gap);
  figures->AddGrowableCol(1);
  figures->AddGrowableCol(3);
  for (const PanelRow& row : kFigureFields) add_field(figures, row);
  figures->Add(new wxStaticText(status_box_, wxID_ANY, "Progress:"), 0, wxALIGN_CENTER_VERTICAL);
  progress_ = new wxGauge(status_box_, wxID_ANY, 100);
  figures->Add(progress_, 1, wxEXPAND | wxALIGN_CENTER_VERTICAL);
  status->Add(wide, 0, wxEXPAND | wxALL, gap);
  status->Add(figures, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, gap);
  panel_[static_cast<std::size_t>(PanelField::kGroup)] = nullptr;

  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(top, 1, wxEXPAND | wxALL, gap);
  column->Add(status, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, gap);
  panel->SetSizer(column);
  auto* frame_sizer = new wxBoxSizer(wxVERTICAL);
  frame_sizer->Add(panel, 1, wxEXPAND);
  SetSizerAndFit(frame_sizer);

  list_->Bind(wxEVT_LIST_ITEM_SELECTED, &CMainDlg::OnListSelect, this);
  list_->Bind(wxEVT_LIST_ITEM_DESELECTED, &CMainDlg::OnListSelect, this);
  list_->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CMainDlg::OnListActivate, this);
}

double CMainDlg::ColumnScale() const {
  return std::max(1.0, list_->GetCharWidth() / kStoredCharWidth);
}

bool CMainDlg::large_font() const {
  return wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).GetPixelSize().GetHeight() >=
         kLargeFontPixels;
}

bool CMainDlg::Initialize() {
  CSplashWnd splash;
  splash.Create();
  bool opened = SystemData.OpenSystemDatabase();
  if (opened && !SystemData.LoadReferenceTables()) {
    ShowMessageBox("Unable to read system information from Tallyfox.mdb", "Initialization error",
                   kMbIconError);
    opened = false;
  }
  opened = opened && ProjectsDatabase.Open();
  if (!opened) {
    splash.Hide();
    return false;
  }
  ProjectsDatabase.LoadSystemSettings();
  FillSiteList();
  RefreshStatusPanel();
  timer_.Start(kTickMilliseconds);
  StartDomainThreads();
  splash.Hide();
  list_->SetFocus();
  if (SystemData.RunInSysTray) {
    AddTrayIcon();
    if (tray_) tray_hide_countdown_ = kTrayHideTicks;
  }
  initialised_ = true;
  return true;
}

// --- The site list ------------------------------------------------------------

void CMainDlg::FillSiteList() {
  ListColumnWidths widths = LoadListColumnWidths(large_font());
  int column_widths[] = {widths.project, widths.last_analysis, widths.next_analysis};
  for (int i = 0; i < 3; ++i) {
    list_->InsertColumn(i, ToWx(kColumnCaptions[i]), wxLIST_FORMAT_LEFT,
                        static_cast<int>(std::lround(column_widths[i] * ColumnScale())));
  }
  ProjectsDatabase.LoadProjects();
  rows_.Fill(scheduler_.Now());
  ShowRows();
  if (rows_.size() > 0) SelectRow(0);
  UpdateButtons();
  list_->SetFocus();
}

int CMainDlg::AddSiteRow(CSite& site) {
  int index = static_cast<int>(rows_.Insert(site, scheduler_.Now()));
  ShowRows();
  return index;
}

void CMainDlg::ShowRows() {
  wxWindowUpdateLocker no_flicker(list_);
  while (list_->GetItemCount() > static_cast<int>(rows_.size())) {
    list_->DeleteItem(list_->GetItemCount() - 1);
  }
  while (list_->GetItemCount() < static_cast<int>(rows_.size())) {
    list_->InsertItem(list_->GetItemCount(), "");
  }
  for (std::size_t i = 0; i < rows_.size(); ++i) ShowRow(i);
}

void CMainDlg::ShowRow(std::size_t index) {
  const SiteRow& row = rows_.row(index);
  long item = static_cast<long>(index);
  list_->SetItem(item, 0, ToWx(row.name));
  list_->SetItem(item, 1, ToWx(row.last_analysis));
  list_->SetItem(item, 2, ToWx(row.next_analysis));
}

void CMainDlg::SelectRow(int index) {
  if (index < 0 || index >= list_->GetItemCount()) return;
  list_->SetItemState(index, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                      wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
  list_->EnsureVisible(index);
}

int CMainDlg::SelectedRow() const {
  return static_cast<int>(list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
}

CSite* CMainDlg::SelectedSite() const {
  int row = SelectedRow();
  return row < 0 ? nullptr : rows_.site(static_cast<std::size_t>(row));
}

void CMainDlg::UpdateButtons() {
  CSite* site = SelectedSite();
  std::int32_t state = site != nullptr ? site->state.load() : kSiteIdle;
  properties_->Enable(site != nullptr);
  remove_->Enable(site != nullptr && state == kSiteIdle);
  analyze_->Enable(site != nullptr && state == kSiteIdle);
  stop_->Enable(site != nullptr && (state == kSitePending || state == kSiteRunning));
}

// --- The status panel ---------------------------------------------------------

void CMainDlg::RefreshStatusPanel() {
  StatusPanelTexts texts = StatusPanelFor(SelectedSite(), scheduler_.Now(), BusyDomainThreads());
  for (const auto& [field, text] : panel_cache_.Update(texts)) {
    if (field == PanelField::kGroup) {
      status_box_->SetLabel(ToWx(text));
    } else {
      panel_[static_cast<std::size_t>(field)]->ChangeValue(ToWx(text));
    }
  }
  progress_->SetValue(texts.progress);
}

// --- Commands -------------------------------------------------------------------

void CMainDlg::OnAddProject(wxCommandEvent&) {
  auto site = std::make_unique<CSite>();
  EditedSite = site.get();
  EditedSiteIsNew = true;
  site->settings_changed = true;
  site->SetIdentityDefaults();
  exit_->Disable();
  int added = -1;
  for (;;) {
    if (!ConsoleSheets().edit_site(this, *site, "New Project") || site->ProjectName.empty()) break;
    NameCheck check = CheckNewSiteName(site->ProjectName);
    if (check == NameCheck::kChooseAnother) continue;
    if (check == NameCheck::kUnique) {
      EditedSiteIsNew = false;
      CSite& listed = *site.release();
      AddNewSite(&listed);
      added = AddSiteRow(listed);
    }
    break;
  }
  EditedSite = nullptr;
  EditedSiteIsNew = false;
  site.reset();
  ProjectsDatabase.UpdateProjects();
  SelectRow(added);
  UpdateButtons();
  RefreshStatusPanel();
  list_->SetFocus();
  exit_->Enable();
}

void CMainDlg::OnRemoveProject(wxCommandEvent&) {
  int row = SelectedRow();
  CSite* site = SelectedSite();
  if (site == nullptr) return;
  exit_->Disable();
  if (RemoveSite(site) == RemoveResult::kRemoved) {
    rows_.Remove(static_cast<std::size_t>(row));
    ShowRows();
    SelectRow(RowAfterRemoval(row, static_cast<int>(rows_.size())));
    RefreshStatusPanel();
  }
  UpdateButtons();
  exit_->Enable();
  list_->SetFocus();
}

void CMainDlg::OnProperties(wxCommandEvent&) {
  BusyScope no_ticks;
  exit_->Disable();
  int row = SelectedRow();
  CSite* site = SelectedSite();
  if (site != nullptr) {
    EditedSite = site;
    std::string old_name = site->ProjectName;
    site->OpenSiteDatabase();
    site->ReloadIfChanged();
    bool ok = ConsoleSheets().edit_site(this, *site, site->ProjectName + " properties");
    if (ok) {
      site->settings_changed = true;
      wxBusyCursor wait;
      ProjectsDatabase.UpdateProjects();
    }
    site->CloseSiteDatabase();
    if (ok && site->ProjectName != old_name) {
      int moved = static_cast<int>(rows_.Rename(static_cast<std::size_t>(row)));
      ShowRows();
      SelectRow(moved);
    }
    EditedSite = nullptr;
  }
  list_->SetFocus();
  exit_->Enable();
}

void CMainDlg::OnAnalyze(wxCommandEvent&) {
  scheduler_.Analyze(SelectedSite());
  UpdateButtons();
  list_->SetFocus();
}

void CMainDlg::OnAnalyzeAll(wxCommandEvent&) {
  scheduler_.AnalyzeAll();
  UpdateButtons();
}

void CMainDlg::OnStopAnalysis(wxCommandEvent&) {
  int row = SelectedRow();
  CSite* site = SelectedSite();
  if (site == nullptr) return;
  if (site->state == kSiteRunning) {
    rows_.ShowStopping(static_cast<std::size_t>(row));
    ShowRow(static_cast<std::size_t>(row));
  }
  scheduler_.Stop(site);
  UpdateButtons();
}

void CMainDlg::OnSystemSettings(wxCommandEvent&) {
  ConsoleSheets().system_settings(this);
  ProjectsDatabase.StoreSystemSettings();
}

void CMainDlg::OnExit(wxCommandEvent&) { Close(); }

void CMainDlg::OnHelp(wxCommandEvent&) {
  std::string manual = InstallFolderPath("Tallyfox.pdf");
  if (IsFileReadable(manual)) {
    OpenDocument(manual);
  } else {
    ShowMessageBox("The Tallyfox manual (" + manual + ") is missing.", "Missing help file",
                   kMbIconError);
  }
}

void CMainDlg::OnAbout(wxCommandEvent&) {
  CAboutDlg about(this);
  about.ShowModal();
}

void CMainDlg::OnListSelect(wxListEvent&) {
  UpdateButtons();
  RefreshStatusPanel();
}

void CMainDlg::OnListActivate(wxListEvent& event) {
  OnListSelect(event);
  wxCommandEvent command;
  OnProperties(command);
}

// --- The tick -------------------------------------------------------------------

void CMainDlg::OnTimer(wxTimerEvent&) {
  TakeRaiseRequests();
  auto changes = scheduler_.Tick();
  if (!changes) return;
  bool state_changed = false;
  for (const AnalysisHost::ShownChange& change : *changes) state_changed |= change.state_changed;
  for (std::size_t row : rows_.Apply(*changes)) ShowRow(row);
  if (state_changed) UpdateButtons();
  RefreshStatusPanel();
  CountDownToTray();
}

void CMainDlg::TakeRaiseRequests() {
  if (instance_.TakeRaiseRequest()) ShowInFront();
}

void CMainDlg::CountDownToTray() {
  if (tray_hide_countdown_ <= 0) return;
  if (--tray_hide_countdown_ == 0) Iconize(true);
}

// --- Tray and closing -------------------------------------------------------------

void CMainDlg::AddTrayIcon() {
  if (tray_ || !wxTaskBarIcon::IsAvailable()) return;
  tray_ = std::make_unique<ConsoleTrayIcon>(*this);
  wxIconBundle icons = ProgramIcons();
  tray_->SetIcon(icons.GetIcon(wxSize(32, 32), wxIconBundle::FALLBACK_NEAREST_LARGER), "Tallyfox");
}

void CMainDlg::RemoveTrayIcon() {
  if (!tray_) return;
  tray_->RemoveIcon();
  tray_.reset();
}

void CMainDlg::ShowInFront() {
  start_hidden_ = false;
  if (IsIconized()) Iconize(false);
  Show(true);
  Raise();
}

void CMainDlg::OnIconize(wxIconizeEvent& event) {
  event.Skip();
  // Without a tray host the window would be lost: it only ever minimises.
  if (tray_hide_countdown_ > 0 || !tray_ || !SystemData.RunInSysTray) return;
  if (event.IsIconized()) Hide();
}

void CMainDlg::OnClose(wxCloseEvent& event) {
  if (event.CanVeto() && !ConfirmStop(scheduler_)) {
    event.Veto();
    return;
  }
  // The desktop session ends: no question can stop it.
  if (!scheduler_.suspended()) ShutDown(scheduler_);
  timer_.Stop();
  if (initialised_) {
    auto stored = [this](int column) {
      return static_cast<int>(std::lround(list_->GetColumnWidth(column) / ColumnScale()));
    };
    StoreListColumnWidths({stored(0), stored(1), stored(2)});
  }
  RemoveTrayIcon();
  Destroy();
}

}  // namespace tf::console
