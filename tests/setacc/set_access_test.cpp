// The folder access program's logic: the fields it proposes and the grants
// with their messages, on a temporary folder with test accounts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/accounts/acl_test_util.h"
#include "setacc/set_access.h"
#include "support/message_box_recorder.h"
#include "support/tallyfox_key.h"
#include "support/test_support.h"

namespace tf::setacc {
namespace {

using accounts::test::AccessText;
using accounts::test::UseTestPasswd;
using tf::test::MessageBoxRecorder;
using tf::test::ShownBox;

TEST(ProposedAccounts, ExistingServiceAccountsFillTheFieldsInListOrder) {
  struct Case {
    std::string passwd;
    AccountFields expected;
  };
  const std::vector<Case> cases = {
      {"", {"", "", ""}},
      {"nginx:x:101:101::/:/bin/false\nhttp:x:102:102::/:/bin/false\n", {"nginx", "http", ""}},
      {"http:x:1:1::/:/bin/false\nnginx:x:2:2::/:/bin/false\napache:x:3:3::/:/bin/false\n"
       "www-data:x:33:33::/:/bin/false\n",
       {"www-data", "apache", "nginx"}},
      {"WWW-DATA:x:33:33::/:/bin/false\napache:x:3:3::/:/bin/false\n", {"apache", "", ""}},
  };
  tf::test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.passwd);
    UseTestPasswd(dir.File("passwd"), c.passwd);
    EXPECT_EQ(ProposedAccounts(), c.expected);
  }
}

TEST(InitialFields, FoldersComeFromTheRegistry) {
  tf::test::TempDir dir;
  UseTestPasswd(dir.File("passwd"), "www-data:x:33:33::/:/bin/false\n");
  AccessFields fields = InitialFields();
  EXPECT_EQ(fields.accounts, (AccountFields{"www-data", "", ""}));
  EXPECT_EQ(fields.install_folder, "/opt/tallyfox");
  EXPECT_EQ(fields.web_folder, "");

  ASSERT_TRUE(tf::test::SetTallyfoxString("Path", "/srv/tally fox/  "));
  ASSERT_TRUE(tf::test::SetTallyfoxString("WebPath", "/var/www/tallyfox/"));
  fields = InitialFields();
  EXPECT_EQ(fields.install_folder, "/srv/tally fox");
  EXPECT_EQ(fields.web_folder, "/var/www/tallyfox");
}

TEST(FieldText, KeepsAtMost299BytesAndWholeCharacters) {
  EXPECT_EQ(FieldText(std::string(400, 'a')).size(), 299u);
  EXPECT_EQ(FieldText(std::string(298, 'a') + "\xC3\xA9"), std::string(298, 'a'));
}

class GrantAllTest : public testing::Test {
 protected:
  void SetUp() override {
    UseTestPasswd(dir_.File("passwd"));
    fields_.install_folder = Make("install");
    fields_.web_folder = Make("web");
    for (std::string_view name : kWebSubfolders) Make("web/" + std::string(name));
    if (!accounts::test::SupportsAcls(fields_.install_folder)) {
      GTEST_SKIP() << "the temporary folder's file system keeps no ACLs";
    }
  }
  std::string Make(const std::string& name) {
    const std::string path = dir_.File(name);
    EXPECT_EQ(mkdir(path.c_str(), 0755), 0);
    return path;
  }
  std::vector<std::string> AllFolders() const {
    std::vector<std::string> folders = {fields_.install_folder, fields_.web_folder};
    for (std::string_view name : kWebSubfolders) folders.push_back(fields_.web_folder + "/" + std::string(name));
    return folders;
  }

  tf::test::TempDir dir_;
  AccessFields fields_;
};

TEST_F(GrantAllTest, EveryFolderGetsEveryAccountOnce) {
  fields_.accounts = {"tfweb", "", "tfother"};
  const std::vector<std::string> folders = AllFolders();
  fields_.web_folder += "/";  // a final separator is ignored
  MessageBoxRecorder boxes;
  EXPECT_TRUE(GrantAll(fields_));
  EXPECT_TRUE(GrantAll(fields_));
  EXPECT_TRUE(boxes.boxes().empty());
  for (const std::string& folder : folders) {
    EXPECT_EQ(AccessText(folder),
              "user::rwx,user:61001:rwx,user:61002:rwx,group::r-x,mask::rwx,other::r-x")
        << folder;
  }
}

TEST_F(GrantAllTest, AMissingAccountIsToldPerFolderAndTheOthersStillGetAccess) {
  fields_.accounts = {"ghost", "tfweb", ""};
  MessageBoxRecorder boxes;
  EXPECT_FALSE(GrantAll(fields_));
  const std::vector<std::string> folders = AllFolders();
  ASSERT_EQ(boxes.boxes().size(), folders.size() + 1);
  for (std::size_t i = 0; i < folders.size(); ++i) {
    EXPECT_EQ(boxes.boxes()[i],
              (ShownBox{"Unable to set access for " + folders[i] + "\n\nUnable to get SID for user",
                        "Error allowing access for ghost", kMbIconError}));
    EXPECT_NE(AccessText(folders[i]).find("user:61001:rwx"), std::string::npos);
  }
  EXPECT_EQ(boxes.boxes().back(),
            (ShownBox{std::string(kSummaryText), std::string(kSummaryCaption), kMbIconError}));
}

TEST_F(GrantAllTest, AFolderThatCannotBeReadIsToldAndTheRestIsStillDone) {
  fields_.accounts = {"tfweb", "", ""};
  fields_.install_folder = dir_.File("not-there");
  MessageBoxRecorder boxes;
  EXPECT_FALSE(GrantAll(fields_));
  EXPECT_EQ(boxes.texts(),
            (std::vector<std::string>{"Unable to set access for " + fields_.install_folder +
                                          "\n\nUnable to get security descriptor for file",
                                      std::string(kSummaryText)}));
  EXPECT_EQ(boxes.boxes()[0].caption, "Error allowing access for tfweb");
  EXPECT_NE(AccessText(fields_.web_folder).find("user:61001:rwx"), std::string::npos);
}

TEST_F(GrantAllTest, EmptyAccountFieldsSucceedWithoutChange) {
  MessageBoxRecorder boxes;
  EXPECT_TRUE(GrantAll(fields_));
  EXPECT_TRUE(boxes.boxes().empty());
  for (const std::string& folder : AllFolders()) {
    EXPECT_EQ(AccessText(folder), "user::rwx,group::r-x,other::r-x") << folder;
  }
}

TEST_F(GrantAllTest, AnEmptyWebFolderSkipsItsSubfoldersInsteadOfUsingTheRoot) {
  fields_.accounts = {"tfweb", "", ""};
  fields_.web_folder.clear();
  MessageBoxRecorder boxes;
  EXPECT_TRUE(GrantAll(fields_));
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_NE(AccessText(fields_.install_folder).find("user:61001:rwx"), std::string::npos);
}

}  // namespace
}  // namespace tf::setacc
