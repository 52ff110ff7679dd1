// The "Log file download" page and "FTP download progress".
#include "console/site_ftp_page_wx.h"

#include <atomic>
#include <thread>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "console/site_ftp_page.h"
#include "console/site_sheet.h"
#include "desktop/wx_text.h"
#include "engine/common/display.h"
#include "engine/ftp/ftp_session.h"
#include "engine/site/site.h"

namespace tf::console {

using desktop::FromWx;
using desktop::ToWx;

namespace {

// Runs one download on a worker; the window cannot close while it runs:
// closing asks the worker to stop and ends the dialog once the finished
// line is shown.
class CFtpProgressDlg : public wxDialog {
 public:
  CFtpProgressDlg(wxWindow* parent, CSite& site)
      : wxDialog(parent, wxID_ANY, "FTP download progress", wxDefaultPosition, wxDefaultSize,
                 wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
        site_(site), timer_(this) {
    SetName("CFtpProgressDlg");
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new wxStaticText(this, wxID_ANY, ToWx(DownloadHeader(site_))), 0, wxALL, Gap(this));
    list_ = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(560, 260)),
                           wxLC_REPORT | wxLC_SINGLE_SEL);
    list_->AppendColumn("Events", wxLIST_FORMAT_LEFT, FromDIP(550));
    column->Add(list_, 1, wxALL | wxEXPAND, Gap(this));
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    start_ = new wxButton(this, wxID_ANY, "Start download");
    stop_ = new wxButton(this, wxID_ANY, "Stop download");
    close_ = new wxButton(this, wxID_CANCEL, "Close");
    for (wxButton* button : {start_, stop_, close_}) buttons->Add(button, 0, wxRIGHT, Gap(this));
    column->Add(buttons, 0, wxALL | wxALIGN_RIGHT, Gap(this));
    SetSizerAndFit(column);
    stop_->Disable();
    start_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Start(); });
    stop_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Stop(); });
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { ShowQueued(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) { OnClose(event); });
    close_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
    queue_.Push(kStartLine);
    timer_.Start(100);
  }

  ~CFtpProgressDlg() override {
    timer_.Stop();
    run_ = false;
    if (worker_.joinable()) worker_.join();
  }

 private:
  void Start() {
    if (worker_.joinable()) worker_.join();
    start_->Disable();
    close_->Disable();
    stop_->Enable();
    list_->DeleteAllItems();
    shown_.clear();
    run_ = true;
    running_ = true;
    worker_ = std::thread([this] {
      CFtpSession session;
      session.DownloadLogFiles(
          site_,
          [this](std::string_view text, int, void*) {
            queue_.Push(text);
            return run_.load();
          },
          this, site_.settings.FtpLogDetails != 0);
      queue_.Push(kFinishedLine, true);
    });
  }

  void Stop() {
    run_ = false;
    queue_.Push(kStopLine);
    stop_->Disable();
  }

  void OnClose(wxCloseEvent& event) {
    if (!running_) {
      EndModal(wxID_CANCEL);
      return;
    }
    if (event.CanVeto()) event.Veto();
    close_when_done_ = true;
    if (run_) Stop();
  }

  void ShowQueued() {
    bool finished = false;
    auto lines = queue_.TakeAll();
    for (auto& line : lines) {
      AppendVisible(shown_, line.text, VisibleLines());
      finished = finished || line.last;
    }
    if (!lines.empty()) ShowLines();
    if (!finished) return;
    running_ = false;
    if (worker_.joinable()) worker_.join();
    start_->Enable();
    stop_->Disable();
    close_->Enable();
    if (close_when_done_) EndModal(wxID_CANCEL);
  }

  std::size_t VisibleLines() const {
    int per_page = list_->GetCountPerPage();
    return per_page > 0 ? static_cast<std::size_t>(per_page) : 1;
  }

  void ShowLines() {
    list_->Freeze();
    list_->DeleteAllItems();
    for (const std::string& line : shown_) list_->InsertItem(list_->GetItemCount(), ToWx(line));
    list_->Thaw();
  }

  CSite& site_;
  wxTimer timer_;
  wxListCtrl* list_;
  wxButton *start_, *stop_, *close_;
  FtpMessageQueue queue_;
  std::vector<std::string> shown_;
  std::atomic<bool> run_{true};
  bool running_ = false;
  bool close_when_done_ = false;
  std::thread worker_;
};

class CSiteFTP : public SheetPage {
 public:
  CSiteFTP(wxWindow* parent, CSite& site) : SheetPage(parent, "CSiteFTP"), site_(site) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* top = new wxStaticBoxSizer(wxVERTICAL, this, "Automatic log file downloads using FTP");
    wxWindow* top_box = top->GetStaticBox();
    auto* intro = new wxStaticText(top_box, wxID_ANY,
                                   "If the log files for this site are stored at a remote location, "
                                   "you can configure Tallyfox to download them using FTP before "
                                   "each analysis run.");
    intro->Wrap(FromDIP(520));
    top->Add(intro, 0, wxALL, Gap(this));
    auto* flags = new wxFlexGridSizer(2, Gap(this), Gap(this) * 3);
    enable_ = new wxCheckBox(top_box, wxID_ANY, "Enable log file downloads using FTP");
    download_ = new wxButton(top_box, wxID_ANY, "Download files now");
    passive_ = new wxCheckBox(top_box, wxID_ANY, "Use passive mode FTP transfers");
    details_ = new wxCheckBox(top_box, wxID_ANY, "Do detailed logging of FTP commands");
    flags->Add(enable_, 0, wxALIGN_CENTER_VERTICAL);
    flags->Add(download_);
    flags->Add(passive_);
    flags->AddSpacer(0);
    flags->Add(details_);
    top->Add(flags, 0, wxALL, Gap(this));
    column->Add(top, 0, wxALL | wxEXPAND, Gap(this));

    auto* remote = new wxStaticBoxSizer(wxVERTICAL, this, "Site where the log files are stored");
    auto* remote_grid = Grid();
    wxWindow* rbox = remote->GetStaticBox();
    address_ = AddEdit(rbox, remote_grid, "Address of the remote site:");
    name_ = AddEdit(rbox, remote_grid, "Logon account name:");
    password_ = AddEdit(rbox, remote_grid, "Logon password:", wxTE_PASSWORD);
    folder_ = AddEdit(rbox, remote_grid, "Folder containing log files:");
    pattern_ = AddEdit(rbox, remote_grid, "Log file wildcard pattern:");
    remote->Add(remote_grid, 0, wxALL | wxEXPAND, Gap(this));
    delete_ = new wxCheckBox(rbox, wxID_ANY, "Delete files from remote site after downloading");
    remote->Add(delete_, 0, wxALL, Gap(this));
    column->Add(remote, 0, wxALL | wxEXPAND, Gap(this));

    auto* dates = new wxStaticBoxSizer(wxHORIZONTAL, this, "File download date control");
    wxWindow* dbox = dates->GetStaticBox();
    dates->Add(new wxStaticText(dbox, wxID_ANY, "Date of last file downloaded:"), 0,
               wxALL | wxALIGN_CENTER_VERTICAL, Gap(this));
    date_ = new wxTextCtrl(dbox, wxID_ANY, "", wxDefaultPosition, FromDIP(wxSize(170, -1)), wxTE_READONLY);
    auto* reset = new wxButton(dbox, wxID_ANY, "Reset");
    only_new_ = new wxCheckBox(dbox, wxID_ANY, "Only download new files");
    dates->Add(date_, 0, wxALL, Gap(this));
    dates->Add(reset, 0, wxALL, Gap(this));
    dates->Add(only_new_, 0, wxALL | wxALIGN_CENTER_VERTICAL, Gap(this));
    column->Add(dates, 0, wxALL | wxEXPAND, Gap(this));

    auto* local = new wxStaticBoxSizer(wxVERTICAL, this, "File storage and processing on local computer");
    auto* local_grid = Grid();
    local_folder_ = AddEdit(local->GetStaticBox(), local_grid, "Local folder for files:");
    command_ = AddEdit(local->GetStaticBox(), local_grid, "Processing command:");
    local->Add(local_grid, 0, wxALL | wxEXPAND, Gap(this));
    column->Add(local, 0, wxALL | wxEXPAND, Gap(this));
    SetSizer(column);

    reset->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      ResetFtpDate(site_);
      date_->ChangeValue("");
    });
    download_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { DownloadNow(); });
  }

  void Enter() override {
    FtpFields f = FillFtp(site_);
    enable_->SetValue(f.enable);
    passive_->SetValue(f.passive);
    details_->SetValue(f.log_details);
    delete_->SetValue(f.delete_remote);
    only_new_->SetValue(f.only_new);
    address_->ChangeValue(ToWx(f.address));
    name_->ChangeValue(ToWx(f.name));
    password_->ChangeValue(ToWx(f.password));
    folder_->ChangeValue(ToWx(f.remote_folder));
    pattern_->ChangeValue(ToWx(f.file_name));
    local_folder_->ChangeValue(ToWx(f.local_folder));
    command_->ChangeValue(ToWx(f.command));
    date_->ChangeValue(ToWx(f.last_date));
  }

  bool Leave() override {
    Store();
    return site_.settings.FtpEnable == 0 || Validate();
  }

 private:
  wxFlexGridSizer* Grid() {
    auto* grid = new wxFlexGridSizer(2, Gap(this), Gap(this));
    grid->AddGrowableCol(1);
    return grid;
  }

  void Store() {
    FtpFields f;
    f.enable = enable_->GetValue();
    f.passive = passive_->GetValue();
    f.log_details = details_->GetValue();
    f.delete_remote = delete_->GetValue();
    f.only_new = only_new_->GetValue();
    f.address = FromWx(address_->GetValue());
    f.name = FromWx(name_->GetValue());
    f.password = FromWx(password_->GetValue());
    f.remote_folder = FromWx(folder_->GetValue());
    f.file_name = FromWx(pattern_->GetValue());
    f.local_folder = FromWx(local_folder_->GetValue());
    f.command = FromWx(command_->GetValue());
    StoreFtp(f, site_);
  }

  bool Validate() {
    FtpField missing = MissingFtpValue(site_);
    if (missing == FtpField::kNone) return true;
    ShowPageMessage(MissingFtpMessage(missing));
    wxTextCtrl* edit = missing == FtpField::kAddress    ? address_
                       : missing == FtpField::kFileName ? pattern_
                                                        : local_folder_;
    edit->SetFocus();
    return false;
  }

  void DownloadNow() {
    Store();
    if (!Validate()) return;
    {
      CFtpProgressDlg dialog(this, site_);
      dialog.ShowModal();
    }
    date_->ChangeValue(ToWx(FormatDateOrEmpty(site_.settings.FtpLastDate)));
  }

  CSite& site_;
  wxCheckBox *enable_, *passive_, *details_, *delete_, *only_new_;
  wxButton* download_;
  wxTextCtrl *address_, *name_, *password_, *folder_, *pattern_, *date_, *local_folder_, *command_;
};

}  // namespace

SheetPage* MakeFtpPage(wxWindow* book, CSite& site) { return new CSiteFTP(book, site); }

}  // namespace tf::console
