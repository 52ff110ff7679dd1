// Full access for one account to one file or folder through POSIX access
// control lists: an access entry with rwx, and on a folder also a default
// entry, so that files made there later inherit it. Entries the account
// already has are replaced, never doubled, and the mask is recomputed so
// the new entry is effective.
#pragma once

#include <string>
#include <string_view>

namespace tf::accounts {

// Where a grant stopped.
enum class GrantStep {
  kDone,             // no failure
  kFindAccount,      // the account is not known
  kReadAcl,          // the path or its access list cannot be read
  kAddEntry,         // the account's access entry cannot be made
  kAddDefaultEntry,  // the account's default entry cannot be made
  kComputeMask,      // the mask cannot be recomputed or the list is invalid
  kWriteAcl,         // the file system refused the new list
};

struct GrantResult {
  GrantStep failed_step = GrantStep::kDone;
  int error = 0;  // errno of the failing call, 0 when none applies
  bool ok() const { return failed_step == GrantStep::kDone; }
};

// Looks the account up (see accounts.h) and grants it rwx on path.
GrantResult GrantFullAccess(std::string_view account, const std::string& path);

}  // namespace tf::accounts
