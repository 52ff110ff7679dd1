// Helpers of the access-list tests: a passwd file of test accounts, the
// lists read back as text, and a check that the file system keeps them.
#pragma once

#include <sys/types.h>

#include <string>

namespace tf::accounts::test {

// Test accounts; their ids need no account of the machine.
inline constexpr uid_t kWebUid = 61001;
inline constexpr uid_t kOtherUid = 61002;

// Writes a passwd file listing "tfweb" (kWebUid) and "tfother" (kOtherUid)
// after `first_lines`, and points TALLYFOX_PASSWD at it.
void UseTestPasswd(const std::string& file, const std::string& first_lines = "");

// The access (or default) list of path with numeric ids, e.g.
// "user::rwx,user:61001:rwx,group::r-x,mask::rwx,other::r-x"; empty when
// the list cannot be read.
std::string AccessText(const std::string& path);
std::string DefaultText(const std::string& path);

// Replaces the access list of path by the text form; true on success.
bool SetAccessText(const std::string& path, const std::string& text);

// True when the folder's file system stores extended access lists.
bool SupportsAcls(const std::string& folder);

}  // namespace tf::accounts::test
