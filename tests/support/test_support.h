// Helpers shared by all test programs.
#pragma once

#include <string>

namespace tf::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

// Path of a file below tests/fixtures in the source tree.
std::string FixturePath(const std::string& relative);
// Path of a file below the build tree (component libraries, tools).
std::string BuildPath(const std::string& relative);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);

// The registry file this test process was given (see test_main.cpp).
std::string RegistryFile();

}  // namespace tf::test
