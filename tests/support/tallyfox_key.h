// The test process's values of HKEY_LOCAL_MACHINE\SOFTWARE\Tallyfox (its own
// registry file, see test_main.cpp). Users link the registry layer.
#pragma once

#include <string_view>

#include "platform/registry/registry.h"

namespace tf::test {

inline constexpr std::string_view kTallyfoxKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Tallyfox";

// Creates the key when needed; true on success.
inline bool SetTallyfoxString(std::string_view name, std::string_view value) {
  registry::Key key;
  return registry::Key::Create(kTallyfoxKey, registry::KEY_ALL_ACCESS, &key) ==
             registry::ERROR_SUCCESS &&
         key.SetString(name, value) == registry::ERROR_SUCCESS;
}

inline bool DeleteTallyfoxValue(std::string_view name) {
  registry::Key key;
  return registry::Key::Open(kTallyfoxKey, registry::KEY_ALL_ACCESS, &key) ==
             registry::ERROR_SUCCESS &&
         key.DeleteValue(name) == registry::ERROR_SUCCESS;
}

}  // namespace tf::test
