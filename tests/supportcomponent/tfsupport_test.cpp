// The support component as its callers meet it, over a registry of the
// test's own.
#include <gtest/gtest.h>

#include "interfaces/itf_com.h"
#include "platform/com/create.h"
#include "platform/registry/registry.h"
#include "support/home_directory.h"
#include "support/test_support.h"

namespace tf::support {
namespace {

using com::Variant;
using namespace tf::registry;

class TFsupportTest : public testing::Test {
 protected:
  void SetUp() override {
    Key root;
    if (Key::Open("HKEY_LOCAL_MACHINE\\SOFTWARE", KEY_ALL_ACCESS, &root) == ERROR_SUCCESS) {
      root.DeleteSubKey("Tallyfox");
    }
    ASSERT_EQ(com::RegisterComDll(TF_TFSUPPORT, true), 1);
    ASSERT_EQ(com::CreateInstanceByProgID(kTFcomProgId, &tfcom_), com::S_OK);
  }
  static void SetPath(const std::string* path) {
    Key key;
    ASSERT_EQ(Key::Create(kTallyfoxKey, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    if (path) {
      ASSERT_EQ(key.SetString(kPathValue, *path), ERROR_SUCCESS);
    }
  }
  std::string Folder() {
    Variant result;
    EXPECT_EQ(tfcom_->GetHomeDirectory(nullptr, &result), com::S_OK);
    return result.bstr().str();
  }
  com::ComPtr<ITFcom> tfcom_;
};

TEST_F(TFsupportTest, FolderGetsATrailingSlash) {
  const std::pair<std::string, std::string> cases[] = {
      {"/opt/tallyfox", "/opt/tallyfox/"},
      {"/opt/tallyfox/", "/opt/tallyfox/"},
      {"/opt/my tool   ", "/opt/my tool/"},
      {"", ""},  // names no folder
      {std::string(399, 'p'), std::string(399, 'p') + "/"},
  };
  for (const auto& [stored, expected] : cases) {
    SetPath(&stored);
    EXPECT_EQ(Folder(), expected) << stored;
    Variant folder, win, own;
    ASSERT_EQ(tfcom_->GetHomeDirectoryStatus(&folder, &win, &own), com::S_OK);
    EXPECT_EQ(folder.bstr().str(), expected);
    EXPECT_EQ(win.i4(), 0);
    EXPECT_EQ(own.i4(), 0);
  }
}

TEST_F(TFsupportTest, MissingKeyAndValue) {
  Variant folder, win, own;
  ASSERT_EQ(tfcom_->GetHomeDirectoryStatus(&folder, &win, &own), com::S_OK);
  EXPECT_EQ(folder.bstr().str(), "");
  EXPECT_EQ(win.i4(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(own.i4(), kKeyMissing);
  ASSERT_EQ(tfcom_->GetStatus2(&folder, &win), com::S_OK);
  EXPECT_EQ(win.i4(), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(tfcom_->GetStatus1(&folder, &own), com::S_OK);
  EXPECT_EQ(own.i4(), kKeyMissing);

  SetPath(nullptr);  // the key without the value
  ASSERT_EQ(tfcom_->GetStatus(&win, &folder, &own), com::S_OK);
  EXPECT_EQ(folder.bstr().str(), "");
  EXPECT_EQ(win.i4(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(own.i4(), kValueMissing);

  const std::string too_long(400, 'p');
  SetPath(&too_long);
  ASSERT_EQ(tfcom_->GetStatus(&win, &folder, &own), com::S_OK);
  EXPECT_EQ(folder.bstr().str(), "");
  EXPECT_EQ(win.i4(), ERROR_MORE_DATA);
  EXPECT_EQ(own.i4(), kValueMissing);
}

TEST_F(TFsupportTest, LateBoundWithOutArguments) {
  const std::string path = "/opt/tallyfox";
  SetPath(&path);
  Variant result;
  ASSERT_EQ(tfcom_->InvokeByName("GetHomeDirectory", {Variant::I2(0)}, &result), com::S_OK);
  EXPECT_EQ(result.bstr().str(), "/opt/tallyfox/");
  Variant folder, win;
  ASSERT_EQ(tfcom_->InvokeByName("GetHomeDirectoryStatus",
                                 {Variant::ByRef(folder), Variant::ByRef(win)}, &result),
            com::S_OK);
  EXPECT_EQ(folder.bstr().str(), "/opt/tallyfox/");
  EXPECT_EQ(win.i4(), 0);
  EXPECT_EQ(result.i4(), 0);
}

}  // namespace
}  // namespace tf::support
