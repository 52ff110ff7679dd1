#include "viewer/project_list.h"

#include "engine/common/ascii.h"
#include "platform/db/connection.h"
#include "platform/db/recordset.h"

namespace tf::viewer {
void ProjectList::Load(const std::string& path) {
  projects_.clear();
  db::Connection database;
  database.Open(path);
  db::Recordset rs = database.OpenRecordset(
      "select projectname, projectid, databasename from tblprojects order by projectname");
  if (rs.RecordCount() == 0) return;
  for (rs.MoveFirst(); !rs.IsEof() && count() < kMaxProjects; rs.MoveNext()) {
    projects_.push_back({rs.Field("projectname").ToString(), rs.Field("DatabaseName").ToString()});
  }
}

std::string ProjectList::StatusText() const {
  return "Loaded " + std::to_string(count()) + " project" + (count() == 1 ? "" : "s");
}

std::optional<int> ProjectList::Search(std::string_view text) const {
  for (int i = 0; i < count(); ++i) {
    if (StartsWithCaseless(projects_[i].name, text)) return i;
  }
  return std::nullopt;
}

std::optional<int> ProjectList::FindByName(std::string_view name) const {
  std::optional<int> found;
  for (int i = 0; i < count(); ++i) {
    if (EqualsCaseless(projects_[i].name, name)) found = i;
  }
  return found;
}

}  // namespace tf::viewer
