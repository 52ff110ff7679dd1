#include "engine/common/path.h"

namespace tf {

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string path = WithTrailingSeparator(folder);
  while (!name.empty() && name.front() == kPathSeparator) name.remove_prefix(1);
  path.append(name);
  return path;
}

std::string WithTrailingSeparator(std::string_view folder) {
  std::string result(folder);
  if (!result.empty() && result.back() != kPathSeparator) result.push_back(kPathSeparator);
  return result;
}

std::string_view FolderOf(std::string_view path) {
  std::size_t last = path.rfind(kPathSeparator);
  if (last == std::string_view::npos) return {};
  return path.substr(0, last == 0 ? 1 : last);
}

std::string_view FileNameOf(std::string_view path) {
  std::size_t last = path.rfind(kPathSeparator);
  return last == std::string_view::npos ? path : path.substr(last + 1);
}

bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::string ChangeExtension(std::string_view path, std::string_view extension) {
  std::size_t name_start = path.size() - FileNameOf(path).size();
  std::size_t dot = path.rfind('.');
  std::string result(path.substr(0, dot != std::string_view::npos && dot > name_start ? dot
                                                                                      : path.size()));
  result.push_back('.');
  result.append(extension);
  return result;
}

}  // namespace tf
