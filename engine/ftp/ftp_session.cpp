#include "engine/ftp/ftp_session.h"

#include "engine/common/path.h"
#include "engine/common/text.h"
#include "engine/ftp/file_macros.h"
#include "engine/ftp/remote_names.h"
#include "engine/store/site.h"
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

bool CFtpSession::DownloadLogFiles(CSite& site, FtpMessageCallback callback, void* context,
                                   bool detailed) {
  site_ = &site;
  callback_ = std::move(callback);
  context_ = context;
  SiteSettings& settings = site.settings;
  if (detailed && callback_) connection_.SetLogCallback(callback_, context_, true);

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

  std::string reply;
  if (!settings.FtpRemoteFolder.empty()) {
    Message("Setting remote directory to " + settings.FtpRemoteFolder);
    status = connection_.ChangeDir(settings.FtpRemoteFolder, {&reply, kReplySize});
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

  Message("Collecting list of files");
  std::unique_ptr<CRemoteFileList> list = connection_.List("", {});
  Message("There are a total of " + std::to_string(list->count()) + " files in the directory");
  Message("Determining which files should be downloaded");
  const bool only_new = settings.FtpOnlyGetNew != 0;
  if (!settings.FtpFileName.empty()) {
    Message("FTP log file wildcard pattern: \"" + settings.FtpFileName + "\"");
  }
  if (only_new && settings.FtpLastDate != 0) {
    Message("Getting new files since " + DateText(settings.FtpLastDate));
  }

  list->SortByDate();
  int downloaded = 0, not_matching = 0, old = 0;
  TimeValue last_downloaded = 0;
  for (const auto& entry : list->entries()) {
    const std::string& name = entry->name;
    bool go_on;
    if (entry->is_directory || !MatchWildcard(settings.FtpFileName, name)) {
      ++not_matching;
      go_on = Message("Skipping file that does not match wildcard: " + name);
    } else if (!IsSafeRemoteName(name)) {
      // A name with a path in it would be written outside the local folder.
      ++not_matching;
      go_on = Message("Skipping file with an unsafe name: " + name);
    } else if (only_new && !(entry->date > settings.FtpLastDate)) {
      ++old;
      go_on = Message("Skipping old file: " + name + " (" + DateText(entry->date) + ")");
    } else {
      go_on = Message(only_new ? "Downloading " + name + " (" + DateText(entry->date) + ")"
                               : "Downloading " + name);
      if (!go_on) break;
      const std::string local_path = JoinPath(settings.FtpLocalFolder, name);
      reply.clear();
      status = connection_.RetrieveFile(local_path, name, "I", {&reply, kReplySize});
      if (status != kFtpOk) {
        go_on = Message("Error downloading file: " + FtpErrorText(status, 301));
        if (!reply.empty()) Message("Error: " + reply);
      } else {
        go_on = Message("Successfully downloaded " + name + " (" + DateText(entry->date) + ")");
        ++downloaded;
        last_downloaded = entry->date;
        if (entry->date > settings.FtpLastDate) {
          settings.FtpLastDate = entry->date;
          site.settings_changed = true;
        }
        if (settings.FtpDelete != 0) {
          Message("Deleting " + name + " on FTP server");
          reply.clear();
          status = connection_.DeleteRemoteFile(name, {&reply, kReplySize});
          if (status != kFtpOk) {
            Message("Error deleting file: " + FtpErrorText(status));
            if (!reply.empty()) Message("Error: " + reply);
          } else {
            Message("Successfully deleted " + name);
          }
        }
        if (!settings.FtpCommand.empty()) RunAfterDownload(site, settings.FtpCommand, local_path);
      }
    }
    if (!go_on) break;
  }

  Message("FTP log file download has completed");
  Message(std::to_string(downloaded) + " files were downloaded");
  Message(std::to_string(not_matching) + " files did not match the file name pattern");
  Message(std::to_string(old) + " old files were skipped");
  if (downloaded > 0) Message("Date of last file downloaded: " + DateText(last_downloaded));
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
