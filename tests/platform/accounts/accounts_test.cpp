// Accounts from a passwd source and full access through access lists, on
// folders and files of a temporary folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <pwd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "acl_test_util.h"
#include "platform/accounts/access_grant.h"
#include "platform/accounts/accounts.h"
#include "support/test_support.h"

namespace tf::accounts {
namespace {

using namespace tf::accounts::test;

TEST(Accounts, TheOverrideFileIsTheSource) {
  tf::test::TempDir dir;
  UseTestPasswd(dir.File("passwd"), "root:x:0:0:root:/root:/bin/sh\n");
  EXPECT_EQ(ListAccounts(), (std::vector<std::string>{"root", "tfweb", "tfother"}));
  EXPECT_EQ(FindAccount("tfother"), kOtherUid);
  EXPECT_FALSE(AccountExists("TFWEB"));  // names are case-sensitive
  EXPECT_FALSE(AccountExists(""));
  setenv("TALLYFOX_PASSWD", dir.File("missing").c_str(), 1);
  EXPECT_TRUE(ListAccounts().empty());
}

TEST(Accounts, TheSystemSourceKnowsTheRunningUser) {
  unsetenv("TALLYFOX_PASSWD");
  const passwd* self = getpwuid(getuid());
  ASSERT_NE(self, nullptr);
  const std::string name = self->pw_name;
  EXPECT_EQ(FindAccount(name), getuid());
  const std::vector<std::string> names = ListAccounts();
  EXPECT_NE(std::find(names.begin(), names.end(), name), names.end());
}

class AccessGrantTest : public testing::Test {
 protected:
  void SetUp() override {
    UseTestPasswd(dir_.File("passwd"));
    folder_ = dir_.File("web");
    ASSERT_EQ(mkdir(folder_.c_str(), 0755), 0);
    if (!SupportsAcls(folder_)) GTEST_SKIP() << "the temporary folder's file system keeps no ACLs";
  }
  tf::test::TempDir dir_;
  std::string folder_;
};

TEST_F(AccessGrantTest, AFolderGetsOneAccessAndOneDefaultEntryHoweverOftenGranted) {
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(GrantFullAccess("tfweb", folder_).ok());
    EXPECT_EQ(AccessText(folder_), "user::rwx,user:61001:rwx,group::r-x,mask::rwx,other::r-x");
    EXPECT_EQ(DefaultText(folder_), "user::rwx,user:61001:rwx,group::r-x,mask::rwx,other::r-x");
  }
  // A file made later inherits the entry.
  const std::string later = folder_ + "/later.txt";
  tf::test::WriteFile(later, "x");
  EXPECT_NE(AccessText(later).find("user:61001:rwx"), std::string::npos);
}

TEST_F(AccessGrantTest, OtherEntriesStayAndTheAccountsOldEntryIsReplaced) {
  ASSERT_TRUE(SetAccessText(folder_, "u::rwx,u:100:r,u:61001:r,u:70000:rw,g::r-x,g:50:r,m::rwx,o::-"));
  ASSERT_TRUE(GrantFullAccess("tfweb", folder_).ok());
  // The file system keeps named entries ordered by id, so the new entry
  // stands between the existing ones.
  EXPECT_EQ(AccessText(folder_),
            "user::rwx,user:100:r--,user:61001:rwx,user:70000:rw-,group::r-x,group:50:r--,"
            "mask::rwx,other::---");
  EXPECT_EQ(DefaultText(folder_), "user::rwx,user:61001:rwx,group::r-x,mask::rwx,other::---");
}

TEST_F(AccessGrantTest, TheMaskIsRecomputedSoTheEntryTakesEffect) {
  ASSERT_TRUE(SetAccessText(folder_, "u::rwx,u:100:r,g::r-x,m::r,o::r-x"));
  ASSERT_TRUE(GrantFullAccess("tfweb", folder_).ok());
  EXPECT_NE(AccessText(folder_).find("mask::rwx"), std::string::npos);
}

TEST_F(AccessGrantTest, AFileGetsAnAccessEntryOnly) {
  const std::string file = folder_ + "/page.html";
  tf::test::WriteFile(file, "x");
  chmod(file.c_str(), 0644);
  ASSERT_TRUE(GrantFullAccess("tfother", file).ok());
  EXPECT_EQ(AccessText(file), "user::rw-,user:61002:rwx,group::r--,mask::rwx,other::r--");
  EXPECT_EQ(DefaultText(folder_), "");
}

TEST_F(AccessGrantTest, FailuresNameTheirStep) {
  GrantResult unknown = GrantFullAccess("nobody-here", folder_);
  EXPECT_EQ(unknown.failed_step, GrantStep::kFindAccount);
  GrantResult missing = GrantFullAccess("tfweb", folder_ + "/missing");
  EXPECT_EQ(missing.failed_step, GrantStep::kReadAcl);
  EXPECT_EQ(missing.error, ENOENT);
  EXPECT_EQ(AccessText(folder_), "user::rwx,group::r-x,other::r-x");
}

TEST_F(AccessGrantTest, AnAccountOfTheSystemSourceIsGrantedByItsId) {
  unsetenv("TALLYFOX_PASSWD");
  const passwd* self = getpwuid(getuid());
  ASSERT_NE(self, nullptr);
  ASSERT_TRUE(GrantFullAccess(self->pw_name, folder_).ok());
  EXPECT_NE(AccessText(folder_).find("user:" + std::to_string(getuid()) + ":rwx"), std::string::npos);
}

// procfs keeps no access lists: the grant stops at reading, so nothing there
// is ever changed.
TEST(AccessGrant, AFileSystemWithoutAclsFailsAtReading) {
  if (!std::filesystem::is_directory("/proc/self")) GTEST_SKIP() << "no /proc";
  tf::test::TempDir dir;
  UseTestPasswd(dir.File("passwd"));
  const GrantResult result = GrantFullAccess("tfweb", "/proc/self");
  EXPECT_EQ(result.failed_step, GrantStep::kReadAcl);
  EXPECT_EQ(result.error, EOPNOTSUPP);
}

}  // namespace
}  // namespace tf::accounts
