#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tf::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tftest-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(const std::string& name) const { return path_ + "/" + name; }

std::string FixturePath(const std::string& relative) {
  return std::string(TF_SOURCE_DIR) + "/tests/fixtures/" + relative;
}

std::string BuildPath(const std::string& relative) {
  return std::string(TF_BINARY_DIR) + "/" + relative;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

void WriteFile(const std::string& path, const std::string& contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out << contents;
}

std::string RegistryFile() {
  const char* value = std::getenv("TALLYFOX_REGISTRY");
  return value ? value : "";
}

}  // namespace tf::test
