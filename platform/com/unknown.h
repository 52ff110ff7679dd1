// IUnknown, the base of every component interface; IDispatch, the base of
// interfaces that can also be called by name (see dispatch.h); the class
// factory interface through which a component library creates its objects;
// and ComPtr, the owning pointer that callers hold interfaces in.
//
// An interface is an abstract class whose virtual methods stand in the
// interface's slot order; every interface names its identifier as kIid.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/com/variant.h"

namespace tf::com {

class IUnknown {
 public:
  static constexpr IID kIid = Guid::Parse("{00000000-0000-0000-C000-000000000046}").value();

  // On success *object holds the interface with one reference added; on
  // failure it is null.
  virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;  // objects go away through Release only
};

class IClassFactory : public IUnknown {
 public:
  static constexpr IID kIid = Guid::Parse("{00000001-0000-0000-C000-000000000046}").value();

  // `outer` must be null: objects are never aggregated.
  virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
  virtual HRESULT LockServer(bool lock) = 0;

 protected:
  ~IClassFactory() = default;
};

class IDispatch : public IUnknown {
 public:
  static constexpr IID kIid = Guid::Parse("{00020400-0000-0000-C000-000000000046}").value();

  // The dispatch id of a member; names are compared without regard to case.
  // DISP_E_UNKNOWNNAME when there is none.
  virtual HRESULT GetIDsOfNames(std::string_view name, DISPID* id) = 0;
  // Calls a member with its in-arguments in call order, first argument
  // first. A by-reference argument reaches the member as the Variant it
  // refers to, so a member that writes an out-argument writes the caller's
  // Variant. `result` may be null when the caller does not want it.
  // DISP_E_MEMBERNOTFOUND for an unknown id, DISP_E_BADPARAMCOUNT when the
  // count of arguments is not the member's.
  virtual HRESULT Invoke(DISPID id, std::span<Variant> args, Variant* result) = 0;

  // GetIDsOfNames, then Invoke.
  HRESULT InvokeByName(std::string_view name, std::vector<Variant> args, Variant* result);

 protected:
  ~IDispatch() = default;
};

// Holds one reference to an interface and releases it when it goes away.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Adds a reference of its own; use Attach to take over the caller's.
  explicit ComPtr(T* pointer) : pointer_(pointer) {
    if (pointer_) pointer_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.pointer_) {}
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  void Reset() {
    if (pointer_) std::exchange(pointer_, nullptr)->Release();
  }
  // Takes over a reference the caller already owns.
  void Attach(T* pointer) {
    Reset();
    pointer_ = pointer;
  }
  // Gives up the reference without releasing it.
  T* Detach() { return std::exchange(pointer_, nullptr); }
  // For out-arguments that deliver a new reference: releases the one held.
  T** Put() {
    Reset();
    return &pointer_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  // QueryInterface for U::kIid.
  template <class U>
  HRESULT As(ComPtr<U>* other) const {
    if (!pointer_) return E_POINTER;
    return pointer_->QueryInterface(U::kIid, other->PutVoid());
  }

 private:
  T* pointer_ = nullptr;
};

}  // namespace tf::com
