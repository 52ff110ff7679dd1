// Shared main of every test program. Each process gets its own registry
// file, so no test reads or writes the machine's registry.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "test_support.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  auto registry_dir = std::make_unique<tf::test::TempDir>();
  setenv("TALLYFOX_REGISTRY", registry_dir->File("registry").c_str(), 1);
  int result = RUN_ALL_TESTS();
  registry_dir.reset();
  return result;
}
