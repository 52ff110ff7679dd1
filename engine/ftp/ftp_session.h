// CFtpSession: one download of a site's new log files from the FTP server
// named in its settings into its local folder, with the optional delete on
// the server and the optional command after each file. Every step is
// reported as a one-line message to a callback that can stop the download.
#pragma once

#include <string>
#include <string_view>

#include "engine/ftp/ftp_connection.h"

namespace tf {

class CSite;
struct SiteSettings;

class CFtpSession {
 public:
  CFtpSession() = default;
  // Resets the connection.
  ~CFtpSession();
  CFtpSession(const CFtpSession&) = delete;
  CFtpSession& operator=(const CFtpSession&) = delete;

  // True when the download reached the file list; false when connecting or
  // changing to the remote folder failed. Moves the site's FtpLastDate to
  // the newest file fetched and marks its settings changed when it does.
  // detailed: also pass the connection's command log to the callback.
  bool DownloadLogFiles(CSite& site, FtpMessageCallback callback, void* context, bool detailed);

  // Starts the site's command for one fetched file, without a shell, in the
  // site's local folder; the outcome is not waited for. Always true.
  bool RunAfterDownload(CSite& site, std::string_view command, const std::string& full_path);

  // For tests: the server's port and the time-outs.
  CFtpConnection& connection() { return connection_; }

 private:
  // Trailing line ends and blanks removed, cut at 200 bytes; the callback's
  // answer (true without a callback).
  bool Message(std::string_view text);
  void ReportGreeting(std::string_view greeting);

  // The phases of DownloadLogFiles.
  struct DownloadCounts {
    int downloaded = 0, not_matching = 0, old = 0;
    TimeValue last_downloaded = 0;
  };
  bool ConnectToServer(const SiteSettings& settings);
  bool ChangeToFolders(const SiteSettings& settings);
  std::unique_ptr<CRemoteFileList> ListRemoteFiles(const SiteSettings& settings);
  bool ConsiderFile(const RemoteFileEntry& entry, DownloadCounts& counts);
  bool FetchFile(const RemoteFileEntry& entry, DownloadCounts& counts);
  void DeleteOnServer(const std::string& name);
  void ReportCounts(const DownloadCounts& counts);

  CSite* site_ = nullptr;
  FtpMessageCallback callback_;
  CFtpConnection connection_;
  void* context_ = nullptr;
};

}  // namespace tf
