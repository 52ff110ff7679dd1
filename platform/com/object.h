// What a component library builds its objects and exports from: ComObject
// (reference counting and QueryInterface), ClassFactory, and the helpers
// behind the exported entry points.
//
// A component library exports, with C linkage:
//   TF_COM_EXPORT HRESULT DllGetClassObject(const Guid& clsid, const IID& iid, void** object);
//   TF_COM_EXPORT HRESULT DllCanUnloadNow();
//   TF_COM_EXPORT HRESULT DllRegisterServer();
//   TF_COM_EXPORT HRESULT DllUnregisterServer();
// which TF_COM_COMPONENT_EXPORTS (component_exports.h) defines in one line
// for a library with one class.
#pragma once

#include <atomic>
#include <new>
#include <type_traits>

#include "platform/com/unknown.h"

#define TF_COM_EXPORT extern "C" __attribute__((visibility("default")))

namespace tf::com {

using DllGetClassObjectFunction = HRESULT (*)(const CLSID& clsid, const IID& iid, void** object);
using DllCanUnloadNowFunction = HRESULT (*)();
using DllRegisterServerFunction = HRESULT (*)();

// Live objects and server locks of the module (library or program) this is
// linked into; each module has its own count.
std::atomic<long>& ModuleObjectCount();
// S_OK when the module has no live object and no lock, else S_FALSE.
HRESULT CanUnloadModule();

// Implements IUnknown for a class that implements interface I, answering
// IUnknown, IDispatch (when I derives from it) and I::kIid. Objects start
// with no reference; the first QueryInterface or AddRef gives the first.
template <class I>
class ComObject : public I {
 public:
  ComObject() { ++ModuleObjectCount(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    bool known = iid == IUnknown::kIid || iid == I::kIid;
    if constexpr (std::is_base_of_v<IDispatch, I>) known = known || iid == IDispatch::kIid;
    if (!known) return E_NOINTERFACE;
    *object = static_cast<I*>(this);
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~ComObject() { --ModuleObjectCount(); }

 private:
  std::atomic<ULONG> references_{0};
};

// Gives a newly made object (null when it could not be made) to the caller
// as `iid`; the object goes away again when it does not know iid.
template <class T>
HRESULT HandOut(T* created, const IID& iid, void** object) {
  if (created == nullptr) return E_OUTOFMEMORY;
  created->AddRef();
  HRESULT hr = created->QueryInterface(iid, object);
  created->Release();
  return hr;
}

// The class factory of a class T that is default-constructible.
template <class T>
class ClassFactory final : public ComObject<IClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return HandOut(new (std::nothrow) T(), iid, object);
  }
  HRESULT LockServer(bool lock) override {
    if (lock) {
      ++ModuleObjectCount();
    } else {
      --ModuleObjectCount();
    }
    return S_OK;
  }
};

// The body of DllGetClassObject for a library with the one class T.
template <class T>
HRESULT GetClassObject(const CLSID& requested, const CLSID& provided, const IID& iid,
                       void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (requested != provided) return CLASS_E_CLASSNOTAVAILABLE;
  return HandOut(new (std::nothrow) ClassFactory<T>(), iid, object);
}

}  // namespace tf::com
