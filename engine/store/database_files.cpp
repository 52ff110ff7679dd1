#include "engine/store/database_files.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "engine/common/files.h"
#include "engine/common/hook_slot.h"
#include "engine/common/message_box.h"
#include "engine/common/registry_values.h"
#include "engine/common/text.h"

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
                           std::string_view open_caption, bool engine_dialog) {
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
    if (engine_dialog && FindCaseless(error, "procedure could not be found") != std::string::npos) {
      ShowDatabaseEngineDialog();
    } else {
      ShowMessageBox("Connection failure: " + error, open_caption, kMbIconError);
    }
    return false;
  }
  return true;
}

namespace {

HookSlot<DatabaseEngineDialog> engine_dialog_window;

}  // namespace

std::string DatabaseEngineSupportText() {
  return "Please contact the Tallyfox support department (" + std::string(kSupportAddress) +
         ") for help in correcting this problem.";
}

DatabaseEngineDialog SetDatabaseEngineDialog(DatabaseEngineDialog dialog) {
  return engine_dialog_window.Set(std::move(dialog));
}

void ShowDatabaseEngineDialog() {
  if (DatabaseEngineDialog current = engine_dialog_window.Get()) {
    current();
    return;
  }
  ShowMessageBox(std::string(kDatabaseEngineText) + "\n\n" + DatabaseEngineSupportText(), "Tallyfox",
                 kMbIconError);
}

}  // namespace tf
