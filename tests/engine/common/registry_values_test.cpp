#include "engine/common/registry_values.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/registry/registry.h"
#include "support/test_support.h"

namespace tf {
namespace {

// Each test gets a registry file of its own.
class RegistryValuesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* previous = std::getenv("TALLYFOX_REGISTRY");
    previous_ = previous ? previous : "";
    setenv("TALLYFOX_REGISTRY", dir_.File("registry").c_str(), 1);
  }
  void TearDown() override { setenv("TALLYFOX_REGISTRY", previous_.c_str(), 1); }

  void SetPath(const std::string& value) {
    registry::Key key;
    ASSERT_EQ(registry::Key::Create("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tallyfox",
                                    registry::KEY_ALL_ACCESS, &key),
              registry::ERROR_SUCCESS);
    ASSERT_EQ(key.SetString("Path", value), registry::ERROR_SUCCESS);
  }

  test::TempDir dir_;
  std::string previous_;
};

TEST_F(RegistryValuesTest, InstallFolder) {
  EXPECT_EQ(GetInstallFolder(), "/opt/tallyfox/");  // no key at all
  EXPECT_EQ(InstallFolderPath("Tallyfox.mdb"), "/opt/tallyfox/Tallyfox.mdb");
  struct Case {
    std::string path, folder;
  };
  const Case cases[] = {
      {"/srv/apps/tf  ", "/srv/apps/tf/"},
      {"/srv/apps/tf/", "/srv/apps/tf/"},
      {"", "/opt/tallyfox/"},
      {"   ", "/opt/tallyfox/"},
      {"/" + std::string(299, 'x'), "/opt/tallyfox/"},  // longer than a path field
  };
  for (const Case& c : cases) {
    SetPath(c.path);
    EXPECT_EQ(GetInstallFolder(), c.folder) << "[" << c.path << "]";
  }
  SetPath("/srv/tf");
  EXPECT_EQ(InstallFolderPath("SPLASH.BMP"), "/srv/tf/SPLASH.BMP");
}

TEST_F(RegistryValuesTest, WriteInstallPathKeepsAReadableValue) {
  WriteInstallPath("/first");
  std::string value;
  EXPECT_EQ(GetRegistryString("Path", value, 200), 1);
  EXPECT_EQ(value, "/first");
  WriteInstallPath("/second");
  EXPECT_EQ(GetRegistryString("Path", value, 200), 1);
  EXPECT_EQ(value, "/first");

  SetPath(std::string(250, 'p'));  // cannot be read into 200 bytes: replaced
  WriteInstallPath("/third");
  EXPECT_EQ(GetRegistryString("Path", value, 0), 1);
  EXPECT_EQ(value, "/third");
}

TEST_F(RegistryValuesTest, ValuesMustFitTheirField) {
  std::string value = "stale";
  EXPECT_EQ(SetRegistryString("WebPath", "/var/www"), 0);  // no key yet
  EXPECT_EQ(GetRegistryString("WebPath", value, 100), 0);
  EXPECT_EQ(value, "");

  WriteInstallPath("/opt/tf");
  EXPECT_EQ(SetRegistryString("WebPath", "/var/www"), 1);
  EXPECT_EQ(GetRegistryString("WebPath", value, 9), 1);
  EXPECT_EQ(value, "/var/www");
  EXPECT_EQ(GetRegistryString("WebPath", value, 8), 0);  // no room for the terminator
  EXPECT_EQ(value, "");
  EXPECT_EQ(GetRegistryValue(registry::HKEY_CURRENT_USER, "WebPath", value, 100), 0);
}

}  // namespace
}  // namespace tf
