// The database files of the install folder: new ones are copies of the
// templates that ship there, and a copy never replaces an existing file.
#pragma once

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
// open_caption.
bool OpenInstalledDatabase(ConnectionHolder& holder, std::string_view file,
                           std::string_view template_name, std::string_view missing_caption,
                           std::string_view open_caption);

}  // namespace tf
