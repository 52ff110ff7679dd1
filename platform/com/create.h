// Creating component objects: by class id or programmatic identifier,
// through the registry and the component library named there, which is
// loaded on first use and stays loaded. Also the registration of a
// component library by its own entry points.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/com/unknown.h"

namespace tf::com {

// The class of a programmatic identifier: HKEY_CLASSES_ROOT\<ProgID>\CurVer
// when present (a version-independent identifier names its current version
// there), else HKEY_CLASSES_ROOT\<ProgID>\CLSID. CO_E_CLASSSTRING when the
// identifier is not registered.
HRESULT CLSIDFromProgID(std::string_view prog_id, CLSID* clsid);

// Creates an object of the class in-process and asks it for `iid`.
//   REGDB_E_CLASSNOTREG        the class, or its InprocServer32 library, is not registered
//   CO_E_DLLNOTFOUND           the library cannot be loaded
//   CO_E_ERRORINDLL            the library does not export DllGetClassObject
//   CLASS_E_CLASSNOTAVAILABLE  the library does not provide the class
//   E_NOINTERFACE              the object does not implement iid
HRESULT CoCreateInstance(const CLSID& clsid, const IID& iid, void** object);
// The same by programmatic identifier; REGDB_E_CLASSNOTREG when it is not
// registered.
HRESULT CreateInstanceByProgID(std::string_view prog_id, const IID& iid, void** object);

template <class T>
HRESULT CoCreateInstance(const CLSID& clsid, ComPtr<T>* object) {
  return CoCreateInstance(clsid, T::kIid, object->PutVoid());
}
template <class T>
HRESULT CreateInstanceByProgID(std::string_view prog_id, ComPtr<T>* object) {
  return CreateInstanceByProgID(prog_id, T::kIid, object->PutVoid());
}

// Loads the library, calls its DllRegisterServer (register_server set) or
// DllUnregisterServer, and unloads it again. 1 when the call returns S_OK;
// 0 when the library cannot be loaded, lacks the entry point or fails.
int RegisterComDll(const std::string& path, bool register_server);

}  // namespace tf::com
