#include "acl_test_util.h"

#include <acl/libacl.h>
#include <sys/acl.h>
#include <stdlib.h>

#include <memory>

#include "platform/accounts/acl_ptr.h"
#include "support/test_support.h"

namespace tf::accounts::test {

namespace {

std::string ListText(const std::string& path, acl_type_t type) {
  AclPtr acl(acl_get_file(path.c_str(), type));
  if (!acl) return "";
  std::unique_ptr<char, AclFree> text(acl_to_any_text(acl.get(), nullptr, ',', TEXT_NUMERIC_IDS));
  return text ? text.get() : "";
}

}  // namespace

void UseTestPasswd(const std::string& file, const std::string& first_lines) {
  tf::test::WriteFile(file, first_lines +
                                "tfweb:x:61001:61001::/nonexistent:/usr/sbin/nologin\n"
                                "tfother:x:61002:61002::/nonexistent:/usr/sbin/nologin\n");
  setenv("TALLYFOX_PASSWD", file.c_str(), 1);
}

std::string AccessText(const std::string& path) { return ListText(path, ACL_TYPE_ACCESS); }
std::string DefaultText(const std::string& path) { return ListText(path, ACL_TYPE_DEFAULT); }

bool SetAccessText(const std::string& path, const std::string& text) {
  AclPtr acl(acl_from_text(text.c_str()));
  return acl && acl_set_file(path.c_str(), ACL_TYPE_ACCESS, acl.get()) == 0;
}

bool SupportsAcls(const std::string& folder) {
  return SetAccessText(folder, "u::rwx,u:61009:r,g::rx,m::rx,o::rx") &&
         SetAccessText(folder, "u::rwx,g::rx,o::rx");
}

}  // namespace tf::accounts::test
