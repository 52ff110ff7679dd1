#include "engine/ftp/ftp_session.h"

#include "engine/common/path.h"
#include "engine/common/text.h"
#include "engine/ftp/file_macros.h"
#include "engine/ftp/remote_names.h"
#include "engine/site/site.h"
#include "platform/shell/shell.h"

namespace tf {
namespace {

constexpr std::size_t kMessageSize = 200;
constexpr std::size_t kErrorSize = 200;
constexpr std::size_t kReplySize = 200;

std::string DateText(TimeValue date) { return FormatTime("%Z", date); }

}  // namespace

CFtpSession::~CFtpSession() { connection_.Reset(); }

bool CFtpSession::Message(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
    text.remove_suffix(1);
  }
  if (!callback_) return true;
  return callback_(CutUtf8(text, kMessageSize), 0, context_);
}

void CFtpSession::ReportGreeting(std::string_view greeting) {
  std::size_t pos = 0;
  while (pos < greeting.size()) {
    while (pos < greeting.size() && (greeting[pos] == '\r' || greeting[pos] == '\n')) ++pos;
    std::size_t end = greeting.find('\n', pos);
    if (end == std::string_view::npos) end = greeting.size();
    std::string_view line = greeting.substr(pos, end - pos);
    if (!line.empty()) Message(CutUtf8(line, 499));
    pos = end;
  }
}

bool CFtpSession::ConnectToServer(const SiteSettings& settings) {
  Message("Connecting to " + settings.FtpAddress);
  std::string greeting, error;
  int status = connection_.Connect(settings.FtpAddress, settings.FtpName, settings.FtpPassword,
                                   settings.FtpPassive != 0, &greeting, {&error, kErrorSize});
  if (status != kFtpOk) {
    Message("Error connecting: " + FtpErrorText(status, 101));
    if (!error.empty()) Message("Error: " + error);
    return false;
  }
  Message("Tallyfox FTP has connected to " + settings.FtpAddress);
  ReportGreeting(greeting);
  return true;
}

bool CFtpSession::ChangeToFolders(const SiteSettings& settings) {
  if (!settings.FtpRemoteFolder.empty()) {
    Message("Setting remote directory to " + settings.FtpRemoteFolder);
    std::string reply;
    int status = connection_.ChangeDir(settings.FtpRemoteFolder, {&reply, kReplySize});
    if (status != kFtpOk) {
      Message("Error: " + FtpErrorText(status));
      if (!reply.empty()) Message("Error: " + reply);
      return false;
    }
  }
  // The files go to this folder by their paths; the process's current
  // folder, which every thread shares, stays as it is.
  if (!settings.FtpLocalFolder.empty()) {
    Message("Setting local directory to " + settings.FtpLocalFolder);
  }
  return true;
}

std::unique_ptr<CRemoteFileList> CFtpSession::ListRemoteFiles(const SiteSettings& settings) {
  Message("Collecting list of files");
  std::unique_ptr<CRemoteFileList> list = connection_.List("", {});
  Message("There are a total of " + std::to_string(list->count()) + " files in the directory");
  Message("Determining which files should be downloaded");
  if (!settings.FtpFileName.empty()) {
    Message("FTP log file wildcard pattern: \"" + settings.FtpFileName + "\"");
  }
  if (settings.FtpOnlyGetNew != 0 && settings.FtpLastDate != 0) {
    Message("Getting new files since " + DateText(settings.FtpLastDate));
  }
  list->SortByDate();
  return list;
}

// One entry of the listing: skipped, or fetched. The callback's answer.
bool CFtpSession::ConsiderFile(const RemoteFileEntry& entry, DownloadCounts& counts) {
  const SiteSettings& settings = site_->settings;
  const std::string& name = entry.name;
  const bool only_new = settings.FtpOnlyGetNew != 0;
  if (entry.is_directory || !MatchWildcard(settings.FtpFileName, name)) {
    ++counts.not_matching;
    return Message("Skipping file that does not match wildcard: " + name);
  }
  if (!IsSafeRemoteName(name)) {
    // A name with a path in it would be written outside the local folder.
    ++counts.not_matching;
    return Message("Skipping file with an unsafe name: " + name);
  }
  if (only_new && !(entry.date > settings.FtpLastDate)) {
    ++counts.old;
    return Message("Skipping old file: " + name + " (" + DateText(entry.date) + ")");
  }
  if (!Message(only_new ? "Downloading " + name + " (" + DateText(entry.date) + ")"
                        : "Downloading " + name)) {
    return false;
  }
  return FetchFile(entry, counts);
}

// Fetches one file, then deletes it on the server and runs the command
// after it when the settings ask for them. The callback's answer.
bool CFtpSession::FetchFile(const RemoteFileEntry& entry, DownloadCounts& counts) {
  CSite& site = *site_;
  SiteSettings& settings = site.settings;
  const std::string& name = entry.name;
  const std::string local_path = JoinPath(settings.FtpLocalFolder, name);
  std::string reply;
  int status = connection_.RetrieveFile(local_path, name, "I", {&reply, kReplySize});
  if (status != kFtpOk) {
    bool go_on = Message("Error downloading file: " + FtpErrorText(status, 301));
    if (!reply.empty()) Message("Error: " + reply);
    return go_on;
  }
  bool go_on = Message("Successfully downloaded " + name + " (" + DateText(entry.date) + ")");
  ++counts.downloaded;
  counts.last_downloaded = entry.date;
  if (entry.date > settings.FtpLastDate) {
    settings.FtpLastDate = entry.date;
    site.settings_changed = true;
  }
  if (settings.FtpDelete != 0) DeleteOnServer(name);
  if (!settings.FtpCommand.empty()) RunAfterDownload(site, settings.FtpCommand, local_path);
  return go_on;
}

void CFtpSession::DeleteOnServer(const std::string& name) {
  Message("Deleting " + name + " on FTP server");
  std::string reply;
  int status = connection_.DeleteRemoteFile(name, {&reply, kReplySize});
  if (status != kFtpOk) {
    Message("Error deleting file: " + FtpErrorText(status));
    if (!reply.empty()) Message("Error: " + reply);
  } else {
    Message("Successfully deleted " + name);
  }
}

void CFtpSession::ReportCounts(const DownloadCounts& counts) {
  Message("FTP log file download has completed");
  Message(std::to_string(counts.downloaded) + " files were downloaded");
  Message(std::to_string(counts.not_matching) + " files did not match the file name pattern");
  Message(std::to_string(counts.old) + " old files were skipped");
  if (counts.downloaded > 0) {
    Message("Date of last file downloaded: " + DateText(counts.last_downloaded));
  }
}

bool CFtpSession::DownloadLogFiles(CSite& site, FtpMessageCallback callback, void* context,
                                   bool detailed) {
  site_ = &site;
  callback_ = std::move(callback);
  context_ = context;
  const SiteSettings& settings = site.settings;
  if (detailed && callback_) connection_.SetLogCallback(callback_, context_, true);

  if (!ConnectToServer(settings) || !ChangeToFolders(settings)) return false;
  std::unique_ptr<CRemoteFileList> list = ListRemoteFiles(settings);
  DownloadCounts counts;
  for (const auto& entry : list->entries()) {
    if (!ConsiderFile(*entry, counts)) break;
  }
  ReportCounts(counts);
  Message("Disconnecting from FTP server");
  connection_.Quit();
  return true;
}

bool CFtpSession::RunAfterDownload(CSite& site, std::string_view command,
                                   const std::string& full_path) {
  Message("Execute: " + ExpandFileMacros(full_path, command));
  std::vector<std::string> words = SplitCommandArguments(full_path, command);
  if (words.empty()) return true;
  const std::string program = words.front();
  words.erase(words.begin());
  shell::StartOptions options;
  options.working_folder = site.settings.FtpLocalFolder;
  options.search_path = true;
  shell::StartProgram(program, words, options);
  return true;
}

}  // namespace tf
