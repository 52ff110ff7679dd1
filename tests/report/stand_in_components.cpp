// Stand-ins for the support component and the chart library, registered
// under their programmatic identifiers, for the report tests until the real
// libraries are in the tree.
#include "platform/com/object.h"
#include "platform/com/registration.h"
#include "platform/registry/registry.h"
#include "tests/report/fake_chart.h"

namespace tf::report::test {
namespace {

constexpr com::ClassInfo kSupport{
    com::Guid::Parse("{8AC73BB6-7730-465C-95D4-6F920CD621F2}").value(), "TFcom Class",
    "TFsupport.TFcom.1", "TFsupport.TFcom"};
constexpr com::ClassInfo kChart{
    com::Guid::Parse("{6E460070-7F55-4A05-A493-BB45EFC284B7}").value(), "LoomChart Class",
    "Pictoloom.LoomChart.1", "Pictoloom.LoomChart"};

// GetHomeDirectory gives the registry's Path.
class FakeSupport final : public com::ComObject<com::IDispatch> {
 public:
  com::HRESULT GetIDsOfNames(std::string_view name, com::DISPID* id) override {
    if (name != "GetHomeDirectory") return com::DISP_E_UNKNOWNNAME;
    *id = 1;
    return com::S_OK;
  }
  com::HRESULT Invoke(com::DISPID, std::span<com::Variant>, com::Variant* result) override {
    registry::Key key;
    std::string path;
    if (registry::Key::Open("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tallyfox", registry::KEY_READ, &key) ==
        registry::ERROR_SUCCESS) {
      key.QueryString("Path", &path);
    }
    if (result) *result = com::Variant(path);
    return com::S_OK;
  }
};

}  // namespace
}  // namespace tf::report::test

using namespace tf;
using namespace tf::report::test;

TF_COM_EXPORT com::HRESULT DllGetClassObject(const com::CLSID& clsid, const com::IID& iid,
                                             void** object) {
  if (clsid == kSupport.clsid) return com::GetClassObject<FakeSupport>(clsid, clsid, iid, object);
  return com::GetClassObject<FakeChart>(clsid, kChart.clsid, iid, object);
}
TF_COM_EXPORT com::HRESULT DllCanUnloadNow() { return com::CanUnloadModule(); }
TF_COM_EXPORT com::HRESULT DllRegisterServer() {
  com::HRESULT hr = com::RegisterClass(kSupport);
  return com::Failed(hr) ? hr : com::RegisterClass(kChart);
}
TF_COM_EXPORT com::HRESULT DllUnregisterServer() {
  com::UnregisterClass(kSupport);
  return com::UnregisterClass(kChart);
}
