// The system data as a program has it after start-up: the reference lists
// and search engines loaded from a system database made from the built
// SystemTemplate.mdb, in a temporary install folder.
#pragma once

#include <stdexcept>

#include "engine/store/system_data.h"
#include "install_folder.h"

namespace tf::test {

struct LoadedSystemData {
  LoadedSystemData() {
    if (!system.OpenSystemDatabase() || !system.LoadReferenceTables()) {
      throw std::runtime_error("the system template does not load");
    }
  }
  InstallFolder install;  // outlives the system data's connection
  CSystemData system;
};

}  // namespace tf::test
