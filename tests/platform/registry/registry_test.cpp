#include "platform/registry/registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace tf::registry {
namespace {

using tf::test::ReadFile;
using tf::test::TempDir;
using tf::test::WriteFile;

constexpr std::string_view kTallyfox = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Tallyfox";

// Each test gets its own registry file, so tests may run in one process.
class RegistryTest : public testing::Test {
 protected:
  void SetUp() override { UseFile(dir_.File("etc/registry")); }
  void TearDown() override { setenv("TALLYFOX_REGISTRY", saved_.c_str(), 1); }

  void UseFile(const std::string& path) {
    file_ = path;
    setenv("TALLYFOX_REGISTRY", path.c_str(), 1);
  }

  Key CreateKey(std::string_view path) {
    Key key;
    EXPECT_EQ(Key::Create(path, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    return key;
  }

  TempDir dir_;
  std::string file_;
  std::string saved_ = RegistryFilePath();
};

TEST_F(RegistryTest, ValuesOfEachTypeRoundTripThroughTheFile) {
  // Missing folders of the file are created by the first write.
  Key key = CreateKey(kTallyfox);
  const std::string awkward("quote\" back\\slash\nline\ttab \x01 nul\0 caf\xc3\xa9", 32);
  const std::string blob("\x00\x7f\xff", 3);
  ASSERT_EQ(key.SetString("Path", "/opt/tallyfox"), ERROR_SUCCESS);
  ASSERT_EQ(key.SetString("", "default"), ERROR_SUCCESS);
  ASSERT_EQ(key.SetString("Awkward \"name\"", awkward), ERROR_SUCCESS);
  ASSERT_EQ(key.SetDword("TallyfoxPort", 5579), ERROR_SUCCESS);
  ASSERT_EQ(key.SetValue("Blob", REG_BINARY, blob), ERROR_SUCCESS);
  ASSERT_EQ(key.SetValue("Empty", REG_BINARY, ""), ERROR_SUCCESS);

  // Read back through a fresh key, with other spellings of the names.
  Key again;
  ASSERT_EQ(Key::Open("hklm\\software\\TALLYFOX", KEY_READ, &again), ERROR_SUCCESS);
  EXPECT_EQ(again.path(), kTallyfox);
  std::string text;
  ValueType type = REG_NONE;
  EXPECT_EQ(again.QueryString("PATH", &text), ERROR_SUCCESS);
  EXPECT_EQ(text, "/opt/tallyfox");
  EXPECT_EQ(again.QueryString("", &text), ERROR_SUCCESS);
  EXPECT_EQ(text, "default");
  EXPECT_EQ(again.QueryValue("awkward \"NAME\"", &type, &text), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(text, awkward);
  std::uint32_t port = 0;
  EXPECT_EQ(again.QueryDword("tallyfoxport", &port), ERROR_SUCCESS);
  EXPECT_EQ(port, 5579u);
  EXPECT_EQ(again.QueryValue("Blob", &type, &text), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(text, blob);
  EXPECT_EQ(again.QueryValue("Empty", &type, &text), ERROR_SUCCESS);
  EXPECT_EQ(text, "");
  // A typeless reader sees a number's raw bytes; a typed one refuses text.
  EXPECT_EQ(again.QueryString("TallyfoxPort", &text), ERROR_SUCCESS);
  EXPECT_EQ(text, std::string("\xcb\x15\0\0", 4));
  EXPECT_EQ(again.QueryDword("Path", &port), ERROR_UNSUPPORTED_TYPE);

  // Setting a value again replaces it and keeps the name as first written.
  ASSERT_EQ(key.SetString("path", "/srv/tallyfox"), ERROR_SUCCESS);
  std::vector<std::string> names;
  ASSERT_EQ(again.EnumValues(&names), ERROR_SUCCESS);
  EXPECT_EQ(names, (std::vector<std::string>{"Path", "", "Awkward \"name\"", "TallyfoxPort", "Blob",
                                             "Empty"}));

  // The file stays readable by a person.
  std::string file = ReadFile(file_);
  EXPECT_NE(file.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tallyfox]\n"), std::string::npos);
  EXPECT_NE(file.find("\"Path\"=sz:\"/srv/tallyfox\"\n"), std::string::npos);
  EXPECT_NE(file.find("\"TallyfoxPort\"=dword:000015cb\n"), std::string::npos);
}

TEST_F(RegistryTest, QueryHonoursTheCallersSize) {
  Key key = CreateKey(kTallyfox);
  ASSERT_EQ(key.SetString("Path", "12345"), ERROR_SUCCESS);
  std::string text = "stale";
  ValueType type = REG_NONE;
  EXPECT_EQ(key.QueryValue("Path", &type, &text, 5), ERROR_SUCCESS);
  EXPECT_EQ(text, "12345");
  EXPECT_EQ(key.QueryValue("Path", &type, &text, 4), ERROR_MORE_DATA);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(text, "");
}

TEST_F(RegistryTest, MissingKeysValuesAndBadPathsAreReported) {
  Key key;
  EXPECT_EQ(Key::Open(kTallyfox, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(key.is_open());
  const char* bad_paths[] = {"", "SOFTWARE\\Tallyfox", "HKEY_NOWHERE\\X", "HKLM\\", "HKLM\\a\\\\b",
                             "HKLM\\tab\there"};
  for (const char* path : bad_paths) {
    EXPECT_EQ(Key::Create(path, KEY_ALL_ACCESS, &key), ERROR_INVALID_PARAMETER) << path;
  }

  key = CreateKey(kTallyfox);
  std::string text;
  EXPECT_EQ(key.QueryString("Path", &text), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key.DeleteValue("Path"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key.DeleteSubKey("Nothing"), ERROR_FILE_NOT_FOUND);

  // A key opened for reading cannot change anything.
  Key reader;
  ASSERT_EQ(Key::Open(kTallyfox, KEY_READ, &reader), ERROR_SUCCESS);
  EXPECT_EQ(reader.SetString("Path", "x"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reader.DeleteSubKey("x"), ERROR_ACCESS_DENIED);

  // A key deleted behind an open handle.
  Key software;
  ASSERT_EQ(Key::Open("HKEY_LOCAL_MACHINE\\SOFTWARE", KEY_ALL_ACCESS, &software), ERROR_SUCCESS);
  ASSERT_EQ(software.DeleteSubKey("tallyfox"), ERROR_SUCCESS);
  EXPECT_EQ(reader.QueryString("Path", &text), ERROR_KEY_DELETED);
  EXPECT_EQ(key.SetString("Path", "x"), ERROR_KEY_DELETED);
}

TEST_F(RegistryTest, UnwritableFileDeniesChangesButNotReads) {
  // The registry file's folder cannot exist: its parent is a plain file.
  WriteFile(dir_.File("plain"), "");
  UseFile(dir_.File("plain/tallyfox/registry"));
  Key key;
  EXPECT_EQ(Key::Create(kTallyfox, KEY_ALL_ACCESS, &key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Key::Open("HKEY_LOCAL_MACHINE", KEY_ALL_ACCESS, &key), ERROR_ACCESS_DENIED);
  ASSERT_EQ(Key::Open("HKEY_LOCAL_MACHINE", KEY_READ | KEY_SET_VALUE, &key), ERROR_ACCESS_DENIED);
  ASSERT_EQ(Key::Open("HKEY_LOCAL_MACHINE", KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(key.OpenSubKey("SOFTWARE", KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, DeleteSubKeyRemovesTheWholeTreeOnly) {
  const std::string clsid = "HKEY_CLASSES_ROOT\\CLSID";
  CreateKey(clsid + "\\{A}\\InprocServer32").SetString("ThreadingModel", "Apartment");
  CreateKey(clsid + "\\{A}\\Programmable");
  CreateKey(clsid + "\\{A}x");
  CreateKey(clsid + "\\{A}-2\\Sub");
  Key parent = CreateKey(clsid);
  ASSERT_EQ(parent.DeleteSubKey("{a}"), ERROR_SUCCESS);

  std::vector<std::string> names;
  ASSERT_EQ(parent.EnumSubKeys(&names), ERROR_SUCCESS);
  EXPECT_EQ(names, (std::vector<std::string>{"{A}-2", "{A}x"}));
  Key gone;
  EXPECT_EQ(Key::Open(clsid + "\\{A}\\InprocServer32", KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(parent.OpenSubKey("{A}-2\\Sub", KEY_READ, &gone), ERROR_SUCCESS);
}

TEST_F(RegistryTest, SubkeysEnumerateByNameWithoutRegardToCase) {
  Key root = CreateKey("HKEY_CURRENT_USER\\Order");
  for (const char* name : {"beta", "Alpha", "gamma\\deep", "Delta"}) {
    Key ignored;
    ASSERT_EQ(root.CreateSubKey(name, KEY_READ, &ignored), ERROR_SUCCESS);
  }
  bool created = true;
  Key existing;
  ASSERT_EQ(root.CreateSubKey("ALPHA", KEY_READ, &existing, &created), ERROR_SUCCESS);
  EXPECT_FALSE(created);
  EXPECT_EQ(existing.path(), "HKEY_CURRENT_USER\\Order\\Alpha");
  std::vector<std::string> names;
  ASSERT_EQ(root.EnumSubKeys(&names), ERROR_SUCCESS);
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "Delta", "gamma"}));
}

TEST_F(RegistryTest, HandWrittenFileIsReadAndABrokenOneIsLeftAlone) {
  std::filesystem::create_directories(dir_.File("etc"));
  WriteFile(file_,
            "; written by hand\r\n"
            "[HKLM\\Software\\Tallyfox\\Deep]\r\n"
            "\"Path\"=sz:\"C:\\\\Tools \"\r\n"
            "@=hex(7):61,00\n");
  Key key;
  ASSERT_EQ(Key::Open(std::string(kTallyfox) + "\\deep", KEY_READ, &key), ERROR_SUCCESS);
  std::string text;
  ValueType type = REG_NONE;
  EXPECT_EQ(key.QueryString("path", &text), ERROR_SUCCESS);
  EXPECT_EQ(text, "C:\\Tools ");
  EXPECT_EQ(key.QueryValue("", &type, &text), ERROR_SUCCESS);
  EXPECT_EQ(type, 7u);
  EXPECT_EQ(text, std::string("a\0", 2));
  // The parent that the file leaves out exists all the same.
  ASSERT_EQ(Key::Open(kTallyfox, KEY_READ, &key), ERROR_SUCCESS);

  const std::string broken = "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\"Path\"=sz:\"unterminated\n";
  WriteFile(file_, broken);
  Key writer;
  EXPECT_EQ(Key::Open("HKLM\\SOFTWARE", KEY_READ, &key), ERROR_BADDB);
  EXPECT_EQ(Key::Create("HKLM\\SOFTWARE\\New", KEY_ALL_ACCESS, &writer), ERROR_BADDB);
  EXPECT_EQ(ReadFile(file_), broken);
}

TEST_F(RegistryTest, ConcurrentWritersFromSeveralProcessesLoseNothing) {
  CreateKey(kTallyfox);
  constexpr int kProcesses = 4;
  constexpr int kValuesEach = 40;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Key key;
      int failures = Key::Open(kTallyfox, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS;
      for (int i = 0; i < kValuesEach; ++i) {
        std::string name = "p" + std::to_string(p) + "v" + std::to_string(i);
        failures += key.SetString(name, name + "-data") != ERROR_SUCCESS;
        // Readers run between the writers and always see a whole file.
        std::string text;
        failures += key.QueryString(name, &text) != ERROR_SUCCESS;
      }
      _exit(failures == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  Key key;
  ASSERT_EQ(Key::Open(kTallyfox, KEY_READ, &key), ERROR_SUCCESS);
  std::vector<std::string> names;
  ASSERT_EQ(key.EnumValues(&names), ERROR_SUCCESS);
  EXPECT_EQ(names.size(), static_cast<std::size_t>(kProcesses * kValuesEach));
  for (int p = 0; p < kProcesses; ++p) {
    for (int i = 0; i < kValuesEach; ++i) {
      std::string name = "p" + std::to_string(p) + "v" + std::to_string(i);
      std::string text;
      EXPECT_EQ(key.QueryString(name, &text), ERROR_SUCCESS) << name;
      EXPECT_EQ(text, name + "-data");
    }
  }
}

}  // namespace
}  // namespace tf::registry
