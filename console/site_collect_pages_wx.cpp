// The Processing, Visitors && Paths, Target pages and Error && Status pages.
#include "console/site_collect_pages_wx.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>

#include "console/site_collect_pages.h"
#include "console/site_sheet.h"
#include "console/site_targets_page.h"
#include "desktop/wx_text.h"
#include "engine/common/message_box.h"
#include "engine/site/site.h"

namespace tf::console {

using desktop::FromWx;
using desktop::ToWx;

namespace {

// --- Processing -------------------------------------------------------------

class CSiteProcess : public SheetPage {
 public:
  CSiteProcess(wxWindow* parent, CSite& site) : SheetPage(parent, "CSiteProcess"), site_(site) {
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Information to collect from log files");
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(3, FromDIP(2), FromDIP(16));
    grid->AddSpacer(0);
    grid->Add(new wxStaticText(box, wxID_ANY, "Daily"));
    grid->Add(new wxStaticText(box, wxID_ANY, "Hourly"));
    ProcessingBoxes values = FillProcessing(site_);
    for (std::size_t i = 0; i < kStatsRows; ++i) {
      const StatsRow& row = StatsRows()[i];
      grid->Add(new wxStaticText(box, wxID_ANY, ToWx(row.label)), 0, wxALIGN_CENTER_VERTICAL);
      daily_[i] = new wxCheckBox(box, wxID_ANY, "");
      hourly_[i] = new wxCheckBox(box, wxID_ANY, "");
      daily_[i]->SetValue(values.daily[i]);
      hourly_[i]->SetValue(row.hourly && values.hourly[i]);
      daily_[i]->Enable(!DailyBoxLocked(row));
      hourly_[i]->Enable(row.hourly);
      grid->Add(daily_[i], 0, wxALIGN_CENTER);
      grid->Add(hourly_[i], 0, wxALIGN_CENTER);
    }
    group->Add(grid, 0, wxALL, Gap(this));
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(group, 0, wxALL, Gap(this));
    SetSizer(column);
  }

  bool Leave() override {
    ProcessingBoxes boxes;
    for (std::size_t i = 0; i < kStatsRows; ++i) {
      boxes.daily[i] = daily_[i]->GetValue();
      boxes.hourly[i] = hourly_[i]->GetValue();
    }
    StoreProcessing(boxes, site_);
    return true;
  }

 private:
  CSite& site_;
  std::array<wxCheckBox*, kStatsRows> daily_{}, hourly_{};
};

// --- Error && Status --------------------------------------------------------

class CSiteErrors : public SheetPage {
 public:
  CSiteErrors(wxWindow* parent, CSite& site) : SheetPage(parent, "CSiteErrors"), site_(site) {
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Status and error codes to store");
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(2, FromDIP(4), FromDIP(24));
    StatusBoxes values = FillStatus(site_);
    for (std::size_t i = 0; i < kStatusRows; ++i) {
      count_[i] = new wxCheckBox(box, wxID_ANY, ToWx(StatusRows()[i].label));
      page_[i] = new wxCheckBox(box, wxID_ANY, "Record page");
      count_[i]->SetValue(values.count[i]);
      page_[i]->SetValue(values.record_page[i]);
      page_[i]->Enable(values.count[i]);
      count_[i]->Bind(wxEVT_CHECKBOX, [this, i](wxCommandEvent& event) {
        page_[i]->Enable(event.IsChecked());
      });
      grid->Add(count_[i]);
      grid->Add(page_[i]);
    }
    group->Add(grid, 0, wxALL, Gap(this));
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(group, 0, wxALL, Gap(this));
    SetSizer(column);
  }

  bool Leave() override {
    StatusBoxes boxes;
    for (std::size_t i = 0; i < kStatusRows; ++i) {
      boxes.count[i] = count_[i]->GetValue();
      boxes.record_page[i] = page_[i]->GetValue();
    }
    StoreStatus(boxes, site_);
    return true;
  }

 private:
  CSite& site_;
  std::array<wxCheckBox*, kStatusRows> count_{}, page_{};
};

// --- Visitors && Paths ------------------------------------------------------

// Three storage radios (none, all, top) with the edit of the top count.
struct StorageRadios {
  wxRadioButton* none;
  wxRadioButton* all;
  wxRadioButton* top;
  wxTextCtrl* count;

  void Build(wxWindow* parent, wxSizer* column, const wxString& what, int gap) {
    none = new wxRadioButton(parent, wxID_ANY, "Do not store information about " + what,
                             wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    all = new wxRadioButton(parent, wxID_ANY, "Store information about all " + what);
    top = new wxRadioButton(parent, wxID_ANY, "Store information about top ");
    count = new wxTextCtrl(parent, wxID_ANY, "", wxDefaultPosition, wxSize(parent->FromDIP(70), -1));
    column->Add(none, 0, wxALL, gap);
    column->Add(all, 0, wxALL, gap);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(top, 0, wxALIGN_CENTER_VERTICAL);
    row->Add(count, 0, wxRIGHT, gap);
    row->Add(new wxStaticText(parent, wxID_ANY, what), 0, wxALIGN_CENTER_VERTICAL);
    column->Add(row, 0, wxALL, gap);
  }
  // 0 none, 2 all, 1 top; other values leave the radios as they are.
  void Show(std::int32_t store) {
    if (store == 0) none->SetValue(true);
    if (store == 2) all->SetValue(true);
    if (store == 1) top->SetValue(true);
    count->Enable(store == 1);
  }
  std::int32_t Chosen(std::int32_t fallback) const {
    if (none->GetValue()) return 0;
    if (all->GetValue()) return 2;
    if (top->GetValue()) return 1;
    return fallback;
  }
};

class CSiteVisitors : public SheetPage {
 public:
  CSiteVisitors(wxWindow* parent, CSite& site) : SheetPage(parent, "CSiteVisitors"), site_(site) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    visitors_.Build(this, column, "visitors", Gap(this));
    domains_ = new wxCheckBox(this, wxID_ANY, "Translate IP addresses and store domain names");
    column->Add(domains_, 0, wxALL, Gap(this));
    auto* cache = new wxStaticBoxSizer(wxVERTICAL, this, "Domain name cache for site");
    wxWindow* box = cache->GetStaticBox();
    automatic_ = new wxRadioButton(box, wxID_ANY, "Automatically adjust cache size",
                                   wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    fixed_ = new wxRadioButton(box, wxID_ANY, "Use fixed size cache:");
    size_ = new wxTextCtrl(box, wxID_ANY, "", wxDefaultPosition, wxSize(FromDIP(90), -1));
    cache->Add(automatic_, 0, wxALL, Gap(this));
    auto* fixed_row = new wxBoxSizer(wxHORIZONTAL);
    fixed_row->Add(fixed_, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, Gap(this));
    fixed_row->Add(size_);
    cache->Add(fixed_row, 0, wxALL, Gap(this));
    column->Add(cache, 0, wxALL | wxEXPAND, Gap(this));
    paths_.Build(this, column, "paths", Gap(this));
    SetSizer(column);

    VisitorsFields f = FillVisitors(site_);
    visitors_.count->ChangeValue(ToWx(f.visitors_top));
    paths_.count->ChangeValue(ToWx(f.paths_top));
    size_->ChangeValue(ToWx(f.cache_size));
    domains_->SetValue(f.visitors_domains);
    automatic_->SetValue(f.automatic_cache);
    fixed_->SetValue(!f.automatic_cache);
    size_->Enable(!f.automatic_cache);
    ShowStorage(f);
    for (wxRadioButton* radio : {visitors_.none, visitors_.all, visitors_.top, paths_.none,
                                 paths_.all, paths_.top, automatic_, fixed_}) {
      radio->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { ShowStorage(Read()); });
    }
  }

  bool Leave() override {
    StoreVisitors(Read(), site_);
    size_->ChangeValue(ToWx(std::to_string(site_.settings.DomainCacheSize)));
    return true;
  }

 private:
  VisitorsFields Read() const {
    VisitorsFields f;
    f.visitors_store = visitors_.Chosen(site_.settings.VisitorsStore);
    f.visitors_top = FromWx(visitors_.count->GetValue());
    f.visitors_domains = domains_->GetValue();
    f.automatic_cache = automatic_->GetValue();
    f.cache_size = FromWx(size_->GetValue());
    f.paths_store = paths_.Chosen(site_.settings.PathsStore);
    f.paths_top = FromWx(paths_.count->GetValue());
    return f;
  }

  void ShowStorage(const VisitorsFields& f) {
    visitors_.Show(f.visitors_store);
    paths_.Show(f.paths_store);
    VisitorsEnabling on = EnablingOf(f);
    domains_->Enable(on.visitors_domains);
    size_->Enable(on.cache_size);
  }

  CSite& site_;
  StorageRadios visitors_{}, paths_{};
  wxCheckBox* domains_;
  wxRadioButton *automatic_, *fixed_;
  wxTextCtrl* size_;
};

// --- Target pages -----------------------------------------------------------

class CSiteTargets : public SheetPage {
 public:
  CSiteTargets(wxWindow* parent, CSite& site) : SheetPage(parent, "CSiteTargets"), site_(site) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    log_ = new wxCheckBox(this, wxID_ANY, "Log target pages reached from keyword searches");
    engines_ = new wxCheckBox(this, wxID_ANY, "Break down keyword searches by search engines");
    column->Add(log_, 0, wxALL, Gap(this));
    column->Add(engines_, 0, wxALL, Gap(this));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    list_ = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(FromDIP(360), FromDIP(220)),
                           wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_SORT_ASCENDING);
    list_->AppendColumn("Target Page", wxLIST_FORMAT_LEFT, FromDIP(350));
    row->Add(list_, 1, wxEXPAND | wxRIGHT, Gap(this));
    auto* buttons = new wxBoxSizer(wxVERTICAL);
    add_ = new wxButton(this, wxID_ANY, "Add target");
    remove_ = new wxButton(this, wxID_ANY, "Remove target");
    edit_ = new wxButton(this, wxID_ANY, "Edit target");
    for (wxButton* button : {add_, remove_, edit_}) buttons->Add(button, 0, wxBOTTOM | wxEXPAND, Gap(this));
    row->Add(buttons);
    column->Add(row, 1, wxALL | wxEXPAND, Gap(this));
    SetSizer(column);

    TargetOptions options = FillTargetOptions(site_);
    log_->SetValue(options.log_from_searches);
    engines_->SetValue(options.by_search_engine);
    for (const std::string& name : TargetRows(site_)) list_->InsertItem(list_->GetItemCount(), ToWx(name));
    if (list_->GetItemCount() > 0) list_->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    UpdateButtons();

    add_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Add(); });
    remove_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Remove(); });
    edit_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Edit(); });
    list_->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { Edit(); });
    list_->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent&) { UpdateButtons(); });
    list_->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent&) { UpdateButtons(); });
  }

  bool Leave() override {
    std::vector<std::string> rows;
    for (long row = 0; row < list_->GetItemCount(); ++row) rows.push_back(FromWx(list_->GetItemText(row)));
    StoreTargets({log_->GetValue(), engines_->GetValue()}, rows, site_, NowLocalSeconds());
    return true;
  }

 private:
  long Selected() const { return list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); }

  void UpdateButtons() {
    bool selected = Selected() >= 0;
    edit_->Enable(selected);
    remove_->Enable(selected);
  }

  bool Refused() {
    if (!TargetsLocked(site_)) return false;
    ShowPageMessage(TargetsLockedMessage());
    return true;
  }

  // The normalised page typed into the dialog; empty when none.
  std::string AskPage(const std::string& text) {
    wxTextEntryDialog dialog(this, "", "Target Page", ToWx(text));
    dialog.SetMaxLength(kTargetNameSize - 1);
    if (dialog.ShowModal() != wxID_OK) return {};
    return NormalizeTargetPage(FromWx(dialog.GetValue()));
  }

  void Select(long row) {
    if (row >= 0) list_->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    UpdateButtons();
    list_->SetFocus();
  }

  void Add() {
    if (Refused()) return;
    std::string page = AskPage("");
    if (!page.empty()) {
      Select(list_->InsertItem(list_->GetItemCount(), ToWx(page)));
      site_.target_pages_changed = true;
    }
    UpdateButtons();
  }

  void Remove() {
    if (Refused()) return;
    long row = Selected();
    if (row < 0) return;
    if (ShowPageMessage(ConfirmTargetRemoval(FromWx(list_->GetItemText(row)))) != kIdOk) return;
    list_->DeleteItem(row);
    site_.target_pages_changed = true;
    Select(std::min(row, static_cast<long>(list_->GetItemCount()) - 1));
  }

  void Edit() {
    if (Refused()) return;
    long row = Selected();
    if (row < 0) return;
    std::string page = AskPage(FromWx(list_->GetItemText(row)));
    if (!page.empty()) {
      list_->SetItemText(row, ToWx(page));
      site_.target_pages_changed = true;
    }
    Select(row);
  }

  CSite& site_;
  wxCheckBox *log_, *engines_;
  wxListCtrl* list_;
  wxButton *add_, *remove_, *edit_;
};

}  // namespace

SheetPage* MakeProcessingPage(wxWindow* book, CSite& site) { return new CSiteProcess(book, site); }
SheetPage* MakeVisitorsPage(wxWindow* book, CSite& site) { return new CSiteVisitors(book, site); }
SheetPage* MakeTargetsPage(wxWindow* book, CSite& site) { return new CSiteTargets(book, site); }
SheetPage* MakeErrorsPage(wxWindow* book, CSite& site) { return new CSiteErrors(book, site); }

}  // namespace tf::console
