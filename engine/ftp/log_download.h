// The FTP download of a site's new log files, as a run starts it: one
// session with the site's FTP server, its messages passed to a callback
// that answers false to stop.
//
// The client lives in this folder; until the download is joined to it the
// run's step does nothing and the run goes on with the files on disk.
#pragma once

#include <string_view>

namespace tf {

class CSite;

// Downloads the site's new log files; false when connecting or changing to
// the remote folder failed. Each message goes to callback(text, 0, context).
bool DownloadLogFiles(CSite& site, bool (*callback)(std::string_view text, int value, void* context),
                      void* context, bool detailed);

}  // namespace tf
