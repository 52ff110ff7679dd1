// The component library TFsupport: the class TFcom behind ITFcom, its
// dispatch table and the library's exported entry points.
#include "platform/com/registration.h"
#include "support/home_directory.h"
#include "support/itf_com.h"

namespace tf::support {
namespace {

constexpr com::ClassInfo kTFcomClass{kTFcomClsid, "TFcom Class", kTFcomProgId,
                                     kTFcomIndependentProgId, "Apartment", kTFsupportLibid};

void Put(Variant* out, Variant value) { out->Deref() = std::move(value); }
Variant Folder(const HomeDirectory& home) { return Variant(com::Bstr(home.folder)); }

// Each call does its own lookup; every call answers S_OK.
class TFcomObject final : public com::DispatchObject<ITFcom> {
 public:
  HRESULT GetHomeDirectory(Variant*, Variant* result) override {
    Put(result, Folder(LookUpHomeDirectory()));
    return com::S_OK;
  }
  HRESULT GetHomeDirectoryStatus(Variant* out_directory, Variant* out_win_status,
                                 Variant* result) override {
    HomeDirectory home = LookUpHomeDirectory();
    Put(out_directory, Folder(home));
    Put(out_win_status, Variant::I4(static_cast<std::int32_t>(home.win_status)));
    Put(result, Variant::I4(home.own_status));
    return com::S_OK;
  }
  HRESULT GetStatus(Variant* out_win_status, Variant* out_directory, Variant* result) override {
    return GetHomeDirectoryStatus(out_directory, out_win_status, result);
  }
  HRESULT GetStatus1(Variant* out_directory, Variant* result) override {
    HomeDirectory home = LookUpHomeDirectory();
    Put(out_directory, Folder(home));
    Put(result, Variant::I4(home.own_status));
    return com::S_OK;
  }
  HRESULT GetStatus2(Variant* out_directory, Variant* result) override {
    HomeDirectory home = LookUpHomeDirectory();
    Put(out_directory, Folder(home));
    Put(result, Variant::I4(static_cast<std::int32_t>(home.win_status)));
    return com::S_OK;
  }
};

}  // namespace

const com::DispatchTable<ITFcom>& ITFcom::Members() {
  static const com::DispatchTable<ITFcom> table{
      com::DispatchMember<&ITFcom::GetHomeDirectory>(1, "GetHomeDirectory"),
      com::DispatchMember<&ITFcom::GetHomeDirectoryStatus>(2, "GetHomeDirectoryStatus"),
      com::DispatchMember<&ITFcom::GetStatus>(3, "GetStatus"),
      com::DispatchMember<&ITFcom::GetStatus1>(4, "GetStatus1"),
      com::DispatchMember<&ITFcom::GetStatus2>(5, "GetStatus2"),
  };
  return table;
}

}  // namespace tf::support

using tf::com::CLSID;
using tf::com::HRESULT;
using tf::com::IID;

TF_COM_EXPORT HRESULT DllGetClassObject(const CLSID& clsid, const IID& iid, void** object) {
  return tf::com::GetClassObject<tf::support::TFcomObject>(clsid, tf::support::kTFcomClsid, iid,
                                                            object);
}
TF_COM_EXPORT HRESULT DllCanUnloadNow() { return tf::com::CanUnloadModule(); }
TF_COM_EXPORT HRESULT DllRegisterServer() {
  return tf::com::RegisterClass(tf::support::kTFcomClass);
}
TF_COM_EXPORT HRESULT DllUnregisterServer() {
  return tf::com::UnregisterClass(tf::support::kTFcomClass);
}
