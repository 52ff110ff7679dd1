// The probe component library: one class, registered and created like the
// system's components.
#include "platform/com/error_info.h"
#include "platform/com/registration.h"
#include "tests/platform/com/probe.h"

namespace tf::com::test {
namespace {

constexpr ClassInfo kProbeClass{kProbeClsid,  "Probe Class", kProbeProgId,
                                kProbeIndependentProgId, "Apartment", kProbeLibid};

bool ToLong(const Variant* in, std::int32_t* out) {
  switch (in->base_type()) {
    case VT_I2: *out = in->i2(); return true;
    case VT_I4: *out = in->i4(); return true;
    default:
      SetErrorInfo("Invalid data type passed where long integer expected");
      return false;
  }
}

class Probe final : public DispatchObject<IProbe> {
 public:
  HRESULT Add(Variant* in_a, Variant* in_b, Variant* result) override {
    std::int32_t a = 0, b = 0;
    ToLong(in_a, &a);
    ToLong(in_b, &b);
    result->SetI4(a + b);
    return S_OK;
  }

  HRESULT Echo(Variant* in_text, Variant* result) override {
    if (in_text->base_type() != VT_BSTR) {
      SetErrorInfo("Invalid data type passed where string expected");
      result->SetBstr(Bstr(""));
    } else {
      result->SetBstr(in_text->bstr());
    }
    return S_OK;
  }

  HRESULT Divide(Variant* in_a, Variant* in_b, Variant* out_remainder, Variant* result) override {
    std::int32_t a = 0, b = 0;
    if (!ToLong(in_a, &a) || !ToLong(in_b, &b) || b == 0) return E_INVALIDARG;
    out_remainder->SetI4(a % b);
    result->SetI4(a / b);
    return S_OK;
  }
};

}  // namespace

const DispatchTable<IProbe>& IProbe::Members() {
  static const DispatchTable<IProbe> table{
      DispatchMember<&IProbe::Add>(1, "Add"),
      DispatchMember<&IProbe::Echo>(2, "Echo"),
      DispatchMember<&IProbe::Divide>(3, "Divide"),
  };
  return table;
}

}  // namespace tf::com::test

using tf::com::CLSID;
using tf::com::HRESULT;
using tf::com::IID;

TF_COM_EXPORT HRESULT DllGetClassObject(const CLSID& clsid, const IID& iid, void** object) {
  return tf::com::GetClassObject<tf::com::test::Probe>(clsid, tf::com::test::kProbeClsid, iid,
                                                        object);
}
TF_COM_EXPORT HRESULT DllCanUnloadNow() { return tf::com::CanUnloadModule(); }
TF_COM_EXPORT HRESULT DllRegisterServer() {
  return tf::com::RegisterClass(tf::com::test::kProbeClass);
}
TF_COM_EXPORT HRESULT DllUnregisterServer() {
  return tf::com::UnregisterClass(tf::com::test::kProbeClass);
}
