#include "platform/com/create.h"

#include <dlfcn.h>

#include "platform/com/object.h"
#include "platform/registry/registry.h"

namespace tf::com {
namespace {

using namespace tf::registry;

// The default value of HKEY_CLASSES_ROOT\<path>, or empty.
std::string ClassesDefaultValue(const std::string& path) {
  Key key;
  std::string text;
  if (Key::Open(JoinKeyPath(HKEY_CLASSES_ROOT, path), KEY_READ, &key) != ERROR_SUCCESS ||
      key.QueryString("", &text) != ERROR_SUCCESS) {
    return "";
  }
  return text;
}

// A ProgID names one key right below the root.
bool IsProgIdText(std::string_view prog_id) {
  return !prog_id.empty() && prog_id.find('\\') == std::string_view::npos;
}

}  // namespace

HRESULT CLSIDFromProgID(std::string_view prog_id, CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  std::string name(prog_id);
  // A few steps of CurVer at most, so that a loop in the registry ends.
  for (int step = 0; step < 4 && IsProgIdText(name); ++step) {
    std::string current = ClassesDefaultValue(name + "\\CurVer");
    if (current.empty() || current == name || !IsProgIdText(current)) break;
    name = current;
  }
  if (!IsProgIdText(name)) return CO_E_CLASSSTRING;
  std::optional<Guid> parsed = Guid::Parse(ClassesDefaultValue(name + "\\CLSID"));
  if (!parsed) return CO_E_CLASSSTRING;
  *clsid = *parsed;
  return S_OK;
}

HRESULT CoCreateInstance(const CLSID& clsid, const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  std::string library = ClassesDefaultValue("CLSID\\" + clsid.ToString() + "\\InprocServer32");
  if (library.empty()) return REGDB_E_CLASSNOTREG;
  // Component libraries stay loaded: their objects may outlive any one
  // caller's interest in them.
  void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return CO_E_DLLNOTFOUND;
  auto get_class_object =
      reinterpret_cast<DllGetClassObjectFunction>(dlsym(handle, "DllGetClassObject"));
  if (get_class_object == nullptr) return CO_E_ERRORINDLL;

  IClassFactory* factory = nullptr;
  HRESULT hr = get_class_object(clsid, IClassFactory::kIid, reinterpret_cast<void**>(&factory));
  if (Failed(hr)) return hr;
  if (factory == nullptr) return CO_E_ERRORINDLL;
  hr = factory->CreateInstance(nullptr, iid, object);
  factory->Release();
  return hr;
}

HRESULT CreateInstanceByProgID(std::string_view prog_id, const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  CLSID clsid;
  if (Failed(CLSIDFromProgID(prog_id, &clsid))) return REGDB_E_CLASSNOTREG;
  return CoCreateInstance(clsid, iid, object);
}

int RegisterComDll(const std::string& path, bool register_server) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return 0;
  auto entry = reinterpret_cast<DllRegisterServerFunction>(
      dlsym(handle, register_server ? "DllRegisterServer" : "DllUnregisterServer"));
  int result = entry != nullptr && entry() == S_OK ? 1 : 0;
  dlclose(handle);
  return result;
}

}  // namespace tf::com
