// The viewer's work folder: clearing out the old files of earlier runs.
#pragma once

#include <ctime>
#include <string>

namespace tf::viewer {

// Deletes each regular file directly in `folder` whose last change lies
// more than two calendar days (local time) before `now`. Subfolders,
// links and everything they lead to stay; a folder that is itself a link
// is left alone. Returns the number of files deleted.
int CleanUpWorkFolder(const std::string& folder, std::time_t now);

}  // namespace tf::viewer
