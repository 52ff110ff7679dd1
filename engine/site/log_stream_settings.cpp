// The site's log file patterns as the settings keys LogStream1 to
// LogStream19, and the migration of the older LogFileDirectory and
// LogFileMask pair.
#include <algorithm>
#include <string>

#include "engine/common/path.h"
#include "engine/logs/log_stream.h"
#include "engine/logs/log_stream_value.h"
#include "engine/site/site.h"
#include "engine/store/transaction.h"

namespace tf {

namespace {

constexpr int kStoredStreams = 19;
constexpr std::size_t kStreamValueSize = 500;
constexpr std::size_t kLegacyValueSize = 300;
constexpr std::size_t kErrorSize = 500;

std::string StreamKey(int number) { return "LogStream" + std::to_string(number); }

}  // namespace

bool CSite::LoadLogFiles() {
  // A run owns the stream list.
  if (state == kSiteRunning || state == kSiteStopping) return true;
  log_streams.clear();
  for (int n = 1; n <= kStoredStreams; ++n) {
    std::string value;
    if (GetStringParameter(StreamKey(n), value, kStreamValueSize)) {
      log_streams.insert(log_streams.begin(), ParseLogStreamValue(value));
    }
  }
  if (!log_streams.empty()) return true;

  std::string folder, mask;
  GetStringParameter("LogFileDirectory", folder, kLegacyValueSize);
  GetStringParameter("LogFileMask", mask, kLegacyValueSize);
  if (folder.empty() || mask.empty()) return true;

  TimeValue last_file = 0, last_record = 0;
  GetDateParameter("LastFileDate", last_file);
  GetDateParameter("LastRecordDate", last_record);
  for (const char* key : {"LogFileDirectory", "LogFileMask"}) {
    DatabaseLockGuard lock(database_, "DeleteStringParameter");
    std::string error;
    if (!ExecuteSql(connection(), "Delete from tblSettingsString where Name = ?",
                    {com::Variant(key)}, &error, kErrorSize)) {
      Trace("Error deleting parameter: " + error);
    }
  }
  auto stream = std::make_unique<CLogStream>(JoinPath(folder, mask));
  stream->SetProgress(last_file, last_record, LogPosition{});
  log_streams.push_back(std::move(stream));
  settings_changed = true;
  log_migration_pending_ = true;
  return true;
}

bool CSite::StoreLogFiles() {
  SiteLockGuard site_lock(*this, "StoreLogFiles");
  DatabaseLockGuard database_lock(database_, "StoreLogFiles");
  // The old rows go only together with the writing of the new ones.
  Transaction transaction(connection());
  // Numbers past 19 too, so that a list that once had more streams never
  // finds its own old rows in the way.
  int numbers = std::max<int>(kStoredStreams, static_cast<int>(log_streams.size()));
  for (int n = 1; n <= numbers; ++n) {
    if (!ExecuteSql(connection(), "Delete from tblSettingsString where Name = ?",
                    {com::Variant(StreamKey(n))})) {
      break;
    }
  }
  int number = 1;
  for (const auto& stream : log_streams) {
    std::string error;
    if (!ExecuteSql(
            connection(), "Insert into tblSettingsString (Name, StringValue) VALUES (?, ?)",
            {com::Variant(StreamKey(number++)), com::Variant(FormatLogStreamValue(*stream))},
            &error, kErrorSize)) {
      Trace("Error adding log file entry: " + error);
      return false;
    }
  }
  return transaction.Commit();
}

}  // namespace tf
