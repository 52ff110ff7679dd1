#include "platform/com/registration.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include "platform/registry/registry.h"

namespace tf::com {
namespace {

using namespace tf::registry;

// Sets the default value (or `value_name`) of HKEY_CLASSES_ROOT\<path>,
// creating the key.
bool SetClassesValue(const std::string& path, std::string_view text,
                     std::string_view value_name = "") {
  Key key;
  return Key::Create(JoinKeyPath(HKEY_CLASSES_ROOT, path), KEY_ALL_ACCESS, &key) == ERROR_SUCCESS &&
         key.SetString(value_name, text) == ERROR_SUCCESS;
}

bool RegisterProgId(std::string_view prog_id, const ClassInfo& info, std::string_view current) {
  std::string key(prog_id);
  return SetClassesValue(key, info.description) &&
         SetClassesValue(key + "\\CLSID", info.clsid.ToString()) &&
         (current.empty() || SetClassesValue(key + "\\CurVer", current));
}

}  // namespace

std::string ModulePath() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) == 0 || info.dli_fname == nullptr) {
    return "";
  }
  char resolved[PATH_MAX];
  return realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
}

HRESULT RegisterClass(const ClassInfo& info) {
  std::string module = ModulePath();
  if (module.empty()) return SELFREG_E_CLASS;
  const std::string clsid_key = "CLSID\\" + info.clsid.ToString();
  Key programmable;
  bool ok = SetClassesValue(clsid_key, info.description) &&
            SetClassesValue(clsid_key + "\\ProgID", info.prog_id) &&
            SetClassesValue(clsid_key + "\\VersionIndependentProgID",
                            info.version_independent_prog_id) &&
            Key::Create(JoinKeyPath(HKEY_CLASSES_ROOT, clsid_key + "\\Programmable"),
                        KEY_ALL_ACCESS, &programmable) == ERROR_SUCCESS &&
            SetClassesValue(clsid_key + "\\InprocServer32", module) &&
            SetClassesValue(clsid_key + "\\InprocServer32", info.threading_model,
                            "ThreadingModel") &&
            (info.type_library.is_null() ||
             SetClassesValue(clsid_key + "\\TypeLib", info.type_library.ToString())) &&
            RegisterProgId(info.prog_id, info, "") &&
            (info.version_independent_prog_id.empty() ||
             RegisterProgId(info.version_independent_prog_id, info, info.prog_id));
  return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterClass(const ClassInfo& info) {
  Key root;
  if (Key::Open(HKEY_CLASSES_ROOT, KEY_ALL_ACCESS, &root) != ERROR_SUCCESS) return SELFREG_E_CLASS;
  for (const std::string& key : {"CLSID\\" + info.clsid.ToString(), std::string(info.prog_id),
                                 std::string(info.version_independent_prog_id)}) {
    if (key.empty()) continue;
    Status status = root.DeleteSubKey(key);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return SELFREG_E_CLASS;
  }
  return S_OK;
}

}  // namespace tf::com
