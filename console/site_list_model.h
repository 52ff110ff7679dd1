// The rows of the console's site list: one per site, sorted by name, with
// the texts of the "Last analysis" and "Next analysis" columns. The window
// mirrors this model; it never computes a text itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/host/analysis_host.h"
#include "engine/common/time_value.h"

namespace tf {
class CSite;
}

namespace tf::console {

inline constexpr const char* kNeverAnalysed = "(never)";
inline constexpr const char* kNotScheduled = "(not scheduled)";

// "(never)" for a time not after the minimum date, else the time.
std::string LastAnalysisText(TimeValue last_analysis);
// "(not scheduled)" for 0, else the time.
std::string NextAnalysisText(TimeValue next_run);
// The second column for a site state: the last analysis when idle, else
// "Pending", "Running" or "Stopping".
std::string StateColumnText(std::int32_t state, TimeValue last_analysis);

struct SiteRow {
  CSite* site = nullptr;
  std::string name;
  std::string last_analysis;
  std::string next_analysis;
};

class SiteListModel {
 public:
  // One row per listed site (taken under the site list's lock).
  void Fill(TimeValue now);
  // Adds the site's row in its sorted place and returns its index.
  std::size_t Insert(CSite& site, TimeValue now);
  void Remove(std::size_t index);
  // The site's name changed: its row moves to its new place; returns it.
  std::size_t Rename(std::size_t index);

  // Applies the scheduler's changes; returns the rows whose texts changed.
  std::vector<std::size_t> Apply(const std::vector<AnalysisHost::ShownChange>& changes);
  // The second column shows "Stopping" at once when a stop is asked.
  void ShowStopping(std::size_t index);

  std::size_t size() const { return rows_.size(); }
  const SiteRow& row(std::size_t index) const { return rows_[index]; }
  CSite* site(std::size_t index) const { return index < rows_.size() ? rows_[index].site : nullptr; }
  // -1 when the site has no row.
  int IndexOf(const CSite* site) const;

 private:
  std::size_t SortedPlace(const std::string& name) const;
  std::vector<SiteRow> rows_;
};

// The row to select after removing row `removed`: the same index, or the
// new last row when the last was removed; -1 when none is left.
int RowAfterRemoval(int removed, int remaining);

}  // namespace tf::console
