// The interface of the probe component, a small component library built for
// the tests of class creation, registration and late binding.
#pragma once

#include "platform/com/dispatch.h"

namespace tf::com::test {

inline constexpr CLSID kProbeClsid = Guid::Parse("{3F2A9C71-58E4-4B0D-A6C3-91D7E20B4F58}").value();
inline constexpr Guid kProbeLibid = Guid::Parse("{A81D3E40-6C2B-4F97-8E15-2B7C09D6F3A1}").value();
inline constexpr const char* kProbeProgId = "TallyfoxTest.Probe.1";
inline constexpr const char* kProbeIndependentProgId = "TallyfoxTest.Probe";

class IProbe : public IDispatch {
 public:
  static constexpr IID kIid = Guid::Parse("{C6E0B2D4-1A7F-4E38-B5C9-04F8A3D7E612}").value();

  // 1: the sum of two whole numbers.
  virtual HRESULT Add(Variant* in_a, Variant* in_b, Variant* result) = 0;
  // 2: the text itself.
  virtual HRESULT Echo(Variant* in_text, Variant* result) = 0;
  // 3: the quotient, with the remainder in an out-argument; E_INVALIDARG
  // for a zero divisor.
  virtual HRESULT Divide(Variant* in_a, Variant* in_b, Variant* out_remainder, Variant* result) = 0;

  static const DispatchTable<IProbe>& Members();
};

}  // namespace tf::com::test
