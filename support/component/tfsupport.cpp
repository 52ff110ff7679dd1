// The component library TFsupport: the class TFcom behind ITFcom, its
// dispatch table and the library's exported entry points.
#include "interfaces/itf_com.h"
#include "platform/com/component_exports.h"
#include "support/home_directory.h"

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

TF_COM_COMPONENT_EXPORTS(tf::support::TFcomObject, tf::support::kTFcomClass);
