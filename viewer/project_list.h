// The projects (sites) of the projects database, in name order, with the
// status text of the load and the incremental search of the list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tf::viewer {

struct Project {
  std::string name;
  std::string database;  // file name of its statistics database
};

class ProjectList {
 public:
  // The projects of the projects database at `path`; database errors raise.
  void Load(const std::string& path);

  const std::vector<Project>& projects() const { return projects_; }
  int count() const { return static_cast<int>(projects_.size()); }
  // "Loaded 1 project", "Loaded 0 projects".
  std::string StatusText() const;
  // The first project whose name begins with `text`, without regard to
  // case; nothing when none does.
  std::optional<int> Search(std::string_view text) const;
  // The last project whose name equals `name` without regard to case.
  std::optional<int> FindByName(std::string_view name) const;

  // At most this many projects are listed.
  static constexpr int kMaxProjects = 32766;

 private:
  std::vector<Project> projects_;
};

}  // namespace tf::viewer
