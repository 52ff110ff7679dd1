// The install folder as the registry value Path under
// HKEY_LOCAL_MACHINE\SOFTWARE\Tallyfox gives it, with a trailing "/", and
// the status codes of the lookup.
#pragma once

#include <string>

namespace tf::support {

constexpr const char* kTallyfoxKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Tallyfox";
constexpr const char* kPathValue = "Path";

enum LookupStatus {
  kFolderRead = 0,
  kKeyMissing = 10,    // the key could not be opened
  kValueMissing = 20,  // the value could not be read, or is 400 bytes or longer
};

struct HomeDirectory {
  std::string folder;   // empty unless the lookup succeeded
  long win_status = 0;  // the registry's status number of the failing step
  int own_status = kFolderRead;
};

// Trailing blanks are dropped; an empty value gives the empty folder.
HomeDirectory LookUpHomeDirectory();

}  // namespace tf::support
