#include "console/site_list_model.h"

#include <algorithm>
#include <mutex>

#include "engine/common/ascii.h"
#include "engine/common/display.h"
#include "engine/common/shared_figure.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"

namespace tf::console {

namespace {

// The list sorts as the desktop's list controls do: without regard to
// case, then by bytes so the order is total.
bool NameBefore(const std::string& a, const std::string& b) {
  auto lower = [](char c) { return ToLowerAscii(c); };
  auto caseless = std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) < lower(y); });
  if (caseless) return true;
  if (EqualsCaseless(a, b)) return a < b;
  return false;
}

SiteRow MakeRow(CSite& site, TimeValue now) {
  return {&site, site.ProjectName,
          StateColumnText(site.state, ReadFigure(site.history.LastScanDate)),
          NextAnalysisText(NextScheduledRun(site, now))};
}

}  // namespace

std::string LastAnalysisText(TimeValue last_analysis) {
  return last_analysis > MinimumDate() ? FormatDateOrEmpty(last_analysis) : kNeverAnalysed;
}

std::string NextAnalysisText(TimeValue next_run) {
  return next_run == 0 ? kNotScheduled : FormatDateOrEmpty(next_run);
}

std::string StateColumnText(std::int32_t state, TimeValue last_analysis) {
  switch (state) {
    case kSitePending: return "Pending";
    case kSiteRunning: return "Running";
    case kSiteStopping: return "Stopping";
    default: return LastAnalysisText(last_analysis);
  }
}

void SiteListModel::Fill(TimeValue now) {
  rows_.clear();
  std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
  for (const auto& site : SiteList.sites()) Insert(*site, now);
}

std::size_t SiteListModel::SortedPlace(const std::string& name) const {
  auto place = std::upper_bound(rows_.begin(), rows_.end(), name,
                                [](const std::string& n, const SiteRow& row) { return NameBefore(n, row.name); });
  return static_cast<std::size_t>(place - rows_.begin());
}

std::size_t SiteListModel::Insert(CSite& site, TimeValue now) {
  SiteRow row = MakeRow(site, now);
  std::size_t place = SortedPlace(row.name);
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(place), std::move(row));
  return place;
}

void SiteListModel::Remove(std::size_t index) {
  if (index < rows_.size()) rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::size_t SiteListModel::Rename(std::size_t index) {
  SiteRow row = std::move(rows_.at(index));
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  row.name = row.site->ProjectName;
  std::size_t place = SortedPlace(row.name);
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(place), std::move(row));
  return place;
}

std::vector<std::size_t> SiteListModel::Apply(
    const std::vector<AnalysisHost::ShownChange>& changes) {
  std::vector<std::size_t> changed;
  for (const AnalysisHost::ShownChange& change : changes) {
    int index = IndexOf(change.site);
    if (index < 0) continue;
    SiteRow& row = rows_[static_cast<std::size_t>(index)];
    std::string last = StateColumnText(change.state, ReadFigure(change.site->history.LastScanDate));
    std::string next = NextAnalysisText(change.next_run);
    if (last == row.last_analysis && next == row.next_analysis) continue;
    row.last_analysis = std::move(last);
    row.next_analysis = std::move(next);
    changed.push_back(static_cast<std::size_t>(index));
  }
  return changed;
}

void SiteListModel::ShowStopping(std::size_t index) {
  if (index < rows_.size()) rows_[index].last_analysis = StateColumnText(kSiteStopping, 0);
}

int SiteListModel::IndexOf(const CSite* site) const {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].site == site) return static_cast<int>(i);
  }
  return -1;
}

int RowAfterRemoval(int removed, int remaining) {
  if (remaining <= 0) return -1;
  return std::min(removed, remaining - 1);
}

}  // namespace tf::console
