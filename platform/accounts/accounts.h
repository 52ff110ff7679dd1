// The machine's local accounts, read through the passwd database.
//
// The passwd source is the system's (getpwent, so NSS modules count) unless
// the environment variable TALLYFOX_PASSWD names a passwd-format file, which
// is then read instead; tests use it to fix the accounts they see. The
// variable is read at every call.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tf::accounts {

// The passwd file in use: $TALLYFOX_PASSWD when set and not empty, else
// empty (the system's source).
std::string PasswdOverride();

// Account names in the order the source lists them.
std::vector<std::string> ListAccounts();

// The account's user id; nothing when the source does not list the name.
std::optional<uid_t> FindAccount(std::string_view name);

inline bool AccountExists(std::string_view name) { return FindAccount(name).has_value(); }

}  // namespace tf::accounts
