#include "viewer/options_model.h"

#include <charconv>
#include <stdexcept>

#include "engine/common/path.h"
#include "platform/db/connection.h"
#include "report/page_text.h"
#include "viewer/viewer_texts.h"

namespace tf::viewer {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A transaction that rolls back unless committed.
class Transaction {
 public:
  explicit Transaction(db::Connection& database) : database_(database) { database_.BeginTrans(); }
  ~Transaction() {
    if (committed_) return;
    try {
      database_.RollbackTrans();
    } catch (...) {
      // Closing the connection rolls back what is left.
    }
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit() {
    database_.CommitTrans();
    committed_ = true;
  }

 private:
  db::Connection& database_;
  bool committed_ = false;
};

}  // namespace

std::optional<int> ReadTopCount(std::string_view text) {
  text = Trimmed(text);
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || ptr != end || value < 0 || value >= 30000) {
    return std::nullopt;
  }
  return value;
}

void SaveTopCounts(report::ReportState& state, const std::string& home_folder,
                   const std::string& site_database, const TopNBoxes& boxes, bool all_projects) {
  const std::string projects_path = JoinPath(home_folder, kProjectsDatabase);
  if (!all_projects && !report::IsPlainFileName(site_database)) {
    throw std::runtime_error("No project is selected");
  }
  std::array<std::optional<int>, report::kTopNEntries> counts;
  for (int i = 0; i < report::kTopNEntries; ++i) counts[i] = ReadTopCount(boxes[i]);

  db::Connection counts_database;
  counts_database.Open(all_projects ? projects_path : JoinPath(home_folder, site_database));
  db::Connection projects;
  db::Connection& flag_database = all_projects ? counts_database : projects;
  if (!all_projects) projects.Open(projects_path);
  {
    Transaction counts_change(counts_database);
    counts_database.Execute("delete from tblsettingsinteger where [name] like 'Top*'");
    for (int i = 0; i < report::kTopNEntries; ++i) {
      if (!counts[i]) continue;
      counts_database.Execute(
          "insert into tblsettingsinteger ([name], integervalue)  values (?, ?)",
          {com::Variant(state.TopNTable[i].name), com::Variant(*counts[i])});
    }
    std::optional<Transaction> flag_change;
    if (&flag_database != &counts_database) flag_change.emplace(flag_database);
    flag_database.Execute("delete from tblsettingsinteger where [name] = 'GlobalTopSettings'");
    flag_database.Execute(
        "insert into tblsettingsinteger ([name], integervalue) values ('GlobalTopSettings', ?)",
        {com::Variant(all_projects ? 1 : 0)});
    if (flag_change) flag_change->Commit();
    counts_change.Commit();
  }
  for (int i = 0; i < report::kTopNEntries; ++i) {
    if (counts[i]) state.TopNTable[i].count = std::to_string(*counts[i]);
  }
  state.GlobalTopSettingsFlag = all_projects ? 1 : 0;
}

}  // namespace tf::viewer
