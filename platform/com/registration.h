// Registration of a component class in the registry, for a component
// library's DllRegisterServer and DllUnregisterServer.
//
// RegisterClass writes, under HKEY_CLASSES_ROOT:
//   <ProgID>                       (default) description, CLSID\(default) {clsid}
//   <VersionIndependentProgID>     (default) description, CLSID\(default) {clsid},
//                                  CurVer\(default) <ProgID>
//   CLSID\{clsid}                  (default) description, ProgID, VersionIndependentProgID,
//                                  Programmable, InprocServer32 (default = this library's
//                                  path, ThreadingModel), TypeLib (when given)
// UnregisterClass removes the class key and both ProgID keys whole; the
// CLSID key above them stays.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"

namespace tf::com {

struct ClassInfo {
  CLSID clsid;
  std::string_view description;                  // e.g. "LoomChart Class"
  std::string_view prog_id;                      // e.g. "Pictoloom.LoomChart.1"
  std::string_view version_independent_prog_id;  // e.g. "Pictoloom.LoomChart"
  std::string_view threading_model = "Apartment";
  Guid type_library{};                           // null: no TypeLib key
};

// S_OK, or SELFREG_E_CLASS when the registry cannot be written.
HRESULT RegisterClass(const ClassInfo& info);
// S_OK (also when nothing was registered), or SELFREG_E_CLASS.
HRESULT UnregisterClass(const ClassInfo& info);

// Absolute path of the module (component library or program) that this
// code is linked into.
std::string ModulePath();

}  // namespace tf::com
