// CMainDlg: the console's main window, "Tallyfox website log file
// analysis". It shows the sites with their last and next analysis and the
// selected site's status, offers the site and analysis commands, sits in
// the tray when asked to and the desktop has one, and drives the 100 ms
// scheduler tick. The program ends only through its exit path.
#pragma once

#include <wx/frame.h>
#include <wx/timer.h>

#include <array>
#include <memory>

#include "console/console_scheduler.h"
#include "console/site_list_model.h"
#include "console/status_panel.h"

class wxButton;
class wxGauge;
class wxListCtrl;
class wxListEvent;
class wxStaticBox;
class wxTaskBarIcon;
class wxTextCtrl;

namespace tf::desktop {
class SingleInstance;
}

namespace tf::console {

inline constexpr const char* kMainWindowTitle = "Tallyfox website log file analysis";

class CMainDlg : public wxFrame {
 public:
  explicit CMainDlg(desktop::SingleInstance& instance);
  ~CMainDlg() override;

  // Opens the databases and loads the sites under the splash window; false
  // when start-up failed (the failure was shown) and the program ends.
  bool Initialize();

  void AddTrayIcon();
  void RemoveTrayIcon();
  // Shows the window from the tray or from behind others.
  void ShowInFront();

 private:
  void BuildControls();
  void BuildMenu();
  void FillSiteList();
  int AddSiteRow(CSite& site);
  void ShowRows();
  void ShowRow(std::size_t index);
  void SelectRow(int index);
  int SelectedRow() const;
  CSite* SelectedSite() const;
  void UpdateButtons();
  void RefreshStatusPanel();
  bool large_font() const;
  // Pixels per stored unit of a column width.
  double ColumnScale() const;

  void OnAddProject(wxCommandEvent&);
  void OnRemoveProject(wxCommandEvent&);
  void OnProperties(wxCommandEvent&);
  void OnAnalyze(wxCommandEvent&);
  void OnAnalyzeAll(wxCommandEvent&);
  void OnStopAnalysis(wxCommandEvent&);
  void OnSystemSettings(wxCommandEvent&);
  void OnExit(wxCommandEvent&);
  void OnHelp(wxCommandEvent&);
  void OnAbout(wxCommandEvent&);
  void OnListSelect(wxListEvent&);
  void OnListActivate(wxListEvent&);
  void OnTimer(wxTimerEvent&);
  void OnIconize(wxIconizeEvent&);
  void OnClose(wxCloseEvent&);
  void TakeRaiseRequests();
  void CountDownToTray();

  desktop::SingleInstance& instance_;
  ConsoleScheduler scheduler_;
  SiteListModel rows_;
  StatusPanelCache panel_cache_;

  wxListCtrl* list_ = nullptr;
  wxButton* add_ = nullptr;
  wxButton* remove_ = nullptr;
  wxButton* properties_ = nullptr;
  wxButton* analyze_ = nullptr;
  wxButton* stop_ = nullptr;
  wxButton* exit_ = nullptr;
  wxStaticBox* status_box_ = nullptr;
  std::array<wxTextCtrl*, static_cast<std::size_t>(PanelField::kCount)> panel_{};
  wxGauge* progress_ = nullptr;

  wxTimer timer_;
  std::unique_ptr<wxTaskBarIcon> tray_;
  int tray_hide_countdown_ = 0;
  bool start_hidden_ = true;
  bool initialised_ = false;
};

}  // namespace tf::console
