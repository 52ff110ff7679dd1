// The database files of the install folder: new ones are copies of the
// templates that ship there, and a copy never replaces an existing file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "engine/store/database.h"

namespace tf {

// Copies the template of the install folder to target; false when the
// target exists already or the copy fails (a partial copy is removed).
bool CopyTemplate(std::string_view template_name, const std::string& target);

// Opens the install folder's database `file`, made from `template_name`
// when missing. Failures are shown to the user: a missing template under
// missing_caption, a failed open as "Connection failure: ..." under
// open_caption, or, with engine_dialog, a failure that says a procedure of
// the database engine could not be found as the database engine dialog.
bool OpenInstalledDatabase(ConnectionHolder& holder, std::string_view file,
                           std::string_view template_name, std::string_view missing_caption,
                           std::string_view open_caption, bool engine_dialog = false);

// The dialog that says the database engine itself cannot be reached. The
// desktop programs install a window; without one its texts become a
// message box.
inline constexpr std::string_view kDatabaseEngineText =
    "Tallyfox is unable to connect to the Microsoft JET database engine.  Usually this is caused "
    "by a mismatch of the OLE/MDAC system DLL files.";
inline constexpr std::string_view kSupportAddress = "support@tallyfox.example";
std::string DatabaseEngineSupportText();
using DatabaseEngineDialog = std::function<void()>;
DatabaseEngineDialog SetDatabaseEngineDialog(DatabaseEngineDialog dialog);
void ShowDatabaseEngineDialog();

}  // namespace tf
