#include "engine/visits/session_file.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine/common/crc32.h"
#include "engine/site/site.h"

namespace tf {

namespace {

// The file's check, or kNoSessionFile when there is no readable file.
double FileCheck(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return kNoSessionFile;
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return kNoSessionFile;
  return static_cast<double>(Crc32(content));
}

}  // namespace

std::string PendingSessionsPath(const CSite& site) {
  std::string path = site.DatabasePathWithExtension();
  return path.empty() ? path : path + ".new";
}

void AdoptCommittedSessionFile(CSite& site) {
  std::string path = site.DatabasePathWithExtension();
  std::string pending = PendingSessionsPath(site);
  if (path.empty()) return;
  double committed = site.history.SavedSessionsCheck;
  if (committed != kUnknownSessionFile) {
    if (FileCheck(pending) == committed) {
      std::rename(pending.c_str(), path.c_str());
    } else if (FileCheck(path) != committed) {
      if (std::remove(path.c_str()) == 0) {
        site.Trace("Discarding saved sessions that belong to no finished run");
      }
    }
  }
  std::remove(pending.c_str());
}

void CheckPendingSessions(CSite& site) {
  std::string pending = PendingSessionsPath(site);
  site.history.SavedSessionsCheck = pending.empty() ? kNoSessionFile : FileCheck(pending);
}

void PublishPendingSessions(CSite& site) {
  std::string path = site.DatabasePathWithExtension();
  if (path.empty()) return;
  std::string pending = PendingSessionsPath(site);
  if (std::rename(pending.c_str(), path.c_str()) != 0) std::remove(path.c_str());
}

}  // namespace tf
