// Late binding: the dispatch table through which a
// component's interface makes its methods reachable by name and dispatch id.
//
// An interface deriving from IDispatch declares its methods as virtual
// members in slot order, each taking its in-arguments as Variant pointers
// and the result Variant pointer last, and names its table:
//
//   class IProbe : public IDispatch {
//    public:
//     static constexpr IID kIid = Guid::Parse("{...}").value();
//     virtual HRESULT Add(Variant* a, Variant* b, Variant* result) = 0;
//     static const DispatchTable<IProbe>& Members();
//   };
//   const DispatchTable<IProbe>& IProbe::Members() {
//     static const DispatchTable<IProbe> table{DispatchMember<&IProbe::Add>(1, "Add")};
//     return table;
//   }
//
// The implementation derives from DispatchObject<IProbe>; early-bound
// callers call the slots, late-bound ones Invoke or InvokeByName, and both
// reach the same virtual method.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/com/object.h"
#include "platform/com/variant.h"

namespace tf::com {

// One entry of a dispatch table.
template <class I>
struct DispatchEntry {
  DISPID id;
  std::string_view name;
  std::size_t arg_count;  // in-arguments, the result not counted
  HRESULT (*call)(I& object, Variant* const* args, Variant* result);
};

namespace detail {

template <class Method>
struct MemberTraits;
template <class C, class... Args>
struct MemberTraits<HRESULT (C::*)(Args...)> {
  static_assert(sizeof...(Args) >= 1, "a member takes at least its result Variant");
  static_assert((std::is_same_v<Args, Variant*> && ...), "every argument is a Variant pointer");
  using Interface = C;
  static constexpr std::size_t kArgCount = sizeof...(Args) - 1;
};

template <auto Method, class I, std::size_t... N>
HRESULT CallMember(I& object, Variant* const* args, Variant* result, std::index_sequence<N...>) {
  return (object.*Method)(args[N]..., result);
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace detail

// The table entry of a member function with its dispatch id and name.
template <auto Method>
constexpr auto DispatchMember(DISPID id, std::string_view name) {
  using Traits = detail::MemberTraits<decltype(Method)>;
  using I = typename Traits::Interface;
  return DispatchEntry<I>{id, name, Traits::kArgCount,
                          [](I& object, Variant* const* args, Variant* result) {
                            return detail::CallMember<Method>(
                                object, args, result, std::make_index_sequence<Traits::kArgCount>());
                          }};
}

template <class I>
class DispatchTable {
 public:
  DispatchTable(std::initializer_list<DispatchEntry<I>> entries) : entries_(entries) {}

  HRESULT FindId(std::string_view name, DISPID* id) const {
    if (id == nullptr) return E_POINTER;
    for (const DispatchEntry<I>& entry : entries_) {
      if (detail::SameNameIgnoringCase(entry.name, name)) {
        *id = entry.id;
        return S_OK;
      }
    }
    return DISP_E_UNKNOWNNAME;
  }

  HRESULT Invoke(I& object, DISPID id, std::span<Variant> args, Variant* result) const {
    for (const DispatchEntry<I>& entry : entries_) {
      if (entry.id != id) continue;
      if (args.size() != entry.arg_count) return DISP_E_BADPARAMCOUNT;
      std::vector<Variant*> pointers;
      pointers.reserve(args.size());
      for (Variant& arg : args) pointers.push_back(&arg.Deref());
      Variant ignored;
      return entry.call(object, pointers.data(), result ? result : &ignored);
    }
    return DISP_E_MEMBERNOTFOUND;
  }

  const std::vector<DispatchEntry<I>>& entries() const { return entries_; }

 private:
  std::vector<DispatchEntry<I>> entries_;
};

// ComObject plus IDispatch through I::Members().
template <class I>
class DispatchObject : public ComObject<I> {
 public:
  HRESULT GetIDsOfNames(std::string_view name, DISPID* id) override {
    return I::Members().FindId(name, id);
  }
  HRESULT Invoke(DISPID id, std::span<Variant> args, Variant* result) override {
    return I::Members().Invoke(*this, id, args, result);
  }
};

}  // namespace tf::com
