// ITFcom: the support component's interface, in slot order (after
// IDispatch's), with its class and programmatic identifiers. Out-arguments
// are Variants the call fills in; the last one is the result.
#pragma once

#include "platform/com/dispatch.h"

namespace tf::support {

using com::HRESULT;
using com::Variant;

inline constexpr com::CLSID kTFcomClsid =
    com::Guid::Parse("{8AC73BB6-7730-465C-95D4-6F920CD621F2}").value();
inline constexpr com::Guid kTFsupportLibid =
    com::Guid::Parse("{FD449088-0EEF-4282-B331-5FCBD47230AC}").value();
inline constexpr const char* kTFcomProgId = "TFsupport.TFcom.1";
inline constexpr const char* kTFcomIndependentProgId = "TFsupport.TFcom";

class ITFcom : public com::IDispatch {
 public:
  static constexpr com::IID kIid =
      com::Guid::Parse("{12CB08B6-F629-4C31-98CB-266EC662E8F0}").value();

  // 1: the install folder.
  virtual HRESULT GetHomeDirectory(Variant* in_dummy, Variant* result) = 0;
  // 2: folder, registry status, and the own status as the result.
  virtual HRESULT GetHomeDirectoryStatus(Variant* out_directory, Variant* out_win_status,
                                         Variant* result) = 0;
  // 3: the same with the registry status first.
  virtual HRESULT GetStatus(Variant* out_win_status, Variant* out_directory, Variant* result) = 0;
  // 4: folder and the own status.
  virtual HRESULT GetStatus1(Variant* out_directory, Variant* result) = 0;
  // 5: folder and the registry status.
  virtual HRESULT GetStatus2(Variant* out_directory, Variant* result) = 0;

  // By-name and by-id calls; defined by the library that implements the class.
  static const com::DispatchTable<ITFcom>& Members();

 protected:
  ~ITFcom() = default;
};

}  // namespace tf::support
