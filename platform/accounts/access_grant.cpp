#include "platform/accounts/access_grant.h"

#include <acl/libacl.h>
#include <sys/acl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <optional>

#include "platform/accounts/accounts.h"
#include "platform/accounts/acl_ptr.h"

namespace tf::accounts {

namespace {

GrantResult Failed(GrantStep step) { return GrantResult{step, errno}; }

bool IsEntryOf(acl_entry_t entry, uid_t uid) {
  acl_tag_t tag;
  if (acl_get_tag_type(entry, &tag) != 0 || tag != ACL_USER) return false;
  std::unique_ptr<uid_t, AclFree> qualifier(static_cast<uid_t*>(acl_get_qualifier(entry)));
  return qualifier && *qualifier == uid;
}

// The first entry of the account, if any.
std::optional<acl_entry_t> FindEntryOf(acl_t acl, uid_t uid) {
  acl_entry_t entry;
  for (int which = ACL_FIRST_ENTRY; acl_get_entry(acl, which, &entry) == 1; which = ACL_NEXT_ENTRY) {
    if (IsEntryOf(entry, uid)) return entry;
  }
  return std::nullopt;
}

// Drops every entry of the account (a list may hold several when written by
// other tools), then adds one with rwx. The scan restarts after each
// deletion because a deletion invalidates the list's cursor.
bool ReplaceEntryOf(AclPtr& acl, uid_t uid) {
  while (std::optional<acl_entry_t> old = FindEntryOf(acl.get(), uid)) {
    if (acl_delete_entry(acl.get(), *old) != 0) return false;
  }
  acl_t raw = acl.release();
  acl_entry_t entry;
  const bool created = acl_create_entry(&raw, &entry) == 0;
  acl.reset(raw);
  if (!created) return false;
  acl_permset_t permissions;
  return acl_set_tag_type(entry, ACL_USER) == 0 && acl_set_qualifier(entry, &uid) == 0 &&
         acl_get_permset(entry, &permissions) == 0 && acl_clear_perms(permissions) == 0 &&
         acl_add_perm(permissions, ACL_READ) == 0 && acl_add_perm(permissions, ACL_WRITE) == 0 &&
         acl_add_perm(permissions, ACL_EXECUTE) == 0 && acl_set_permset(entry, permissions) == 0;
}

bool RecomputeMask(AclPtr& acl) {
  acl_t raw = acl.release();
  const bool computed = acl_calc_mask(&raw) == 0;
  acl.reset(raw);
  return computed && acl_valid(acl.get()) == 0;
}

// A folder without a default list starts one from the owner, group and
// others entries of its access list, as the kernel requires them.
AclPtr DefaultListToExtend(const std::string& folder, acl_t access) {
  AclPtr current(acl_get_file(folder.c_str(), ACL_TYPE_DEFAULT));
  if (!current || acl_entries(current.get()) > 0) return current;
  AclPtr base(acl_init(3));
  if (!base) return base;
  acl_entry_t entry;
  for (int which = ACL_FIRST_ENTRY; acl_get_entry(access, which, &entry) == 1; which = ACL_NEXT_ENTRY) {
    acl_tag_t tag;
    if (acl_get_tag_type(entry, &tag) != 0) return nullptr;
    if (tag != ACL_USER_OBJ && tag != ACL_GROUP_OBJ && tag != ACL_OTHER) continue;
    acl_t raw = base.release();
    acl_entry_t copy;
    const bool created = acl_create_entry(&raw, &copy) == 0;
    base.reset(raw);
    if (!created || acl_copy_entry(copy, entry) != 0) return nullptr;
  }
  return base;
}

}  // namespace

GrantResult GrantFullAccess(std::string_view account, const std::string& path) {
  const std::optional<uid_t> uid = FindAccount(account);
  if (!uid) return GrantResult{GrantStep::kFindAccount, 0};

  struct stat status;
  if (stat(path.c_str(), &status) != 0) return Failed(GrantStep::kReadAcl);
  AclPtr access(acl_get_file(path.c_str(), ACL_TYPE_ACCESS));
  if (!access) return Failed(GrantStep::kReadAcl);

  AclPtr defaults;
  if (S_ISDIR(status.st_mode)) {
    defaults = DefaultListToExtend(path, access.get());
    if (!defaults) return Failed(GrantStep::kReadAcl);
    if (!ReplaceEntryOf(defaults, *uid)) return Failed(GrantStep::kAddDefaultEntry);
    if (!RecomputeMask(defaults)) return Failed(GrantStep::kComputeMask);
  }
  if (!ReplaceEntryOf(access, *uid)) return Failed(GrantStep::kAddEntry);
  if (!RecomputeMask(access)) return Failed(GrantStep::kComputeMask);

  if (acl_set_file(path.c_str(), ACL_TYPE_ACCESS, access.get()) != 0) {
    return Failed(GrantStep::kWriteAcl);
  }
  if (defaults && acl_set_file(path.c_str(), ACL_TYPE_DEFAULT, defaults.get()) != 0) {
    return Failed(GrantStep::kWriteAcl);
  }
  return GrantResult{};
}

}  // namespace tf::accounts
