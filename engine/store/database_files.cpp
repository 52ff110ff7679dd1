#include "engine/store/database_files.h"

#include <filesystem>
#include <system_error>

#include "engine/common/files.h"
#include "engine/common/message_box.h"
#include "engine/common/registry_values.h"

namespace tf {

bool CopyTemplate(std::string_view template_name, const std::string& target) {
  namespace fs = std::filesystem;
  std::error_code error;
  // copy_file without overwrite options fails when the target exists.
  if (fs::copy_file(InstallFolderPath(template_name), target, fs::copy_options::none, error)) {
    return true;
  }
  if (error != std::errc::file_exists) fs::remove(target, error);
  return false;
}

bool OpenInstalledDatabase(ConnectionHolder& holder, std::string_view file,
                           std::string_view template_name, std::string_view missing_caption,
                           std::string_view open_caption) {
  std::string path = InstallFolderPath(file);
  if (!IsFileReadable(path) && !CopyTemplate(template_name, path)) {
    ShowMessageBox("The " + std::string(file) +
                       " database does not exist, and Tallyfox is unable to initialize it from " +
                       std::string(template_name),
                   missing_caption, kMbIconError);
    return false;
  }
  std::string error;
  if (!OpenConnection(holder, path, error)) {
    ShowMessageBox("Connection failure: " + error, open_caption, kMbIconError);
    return false;
  }
  return true;
}

}  // namespace tf
