#include "platform/com/dispatch.h"

namespace tf::com {

HRESULT IDispatch::InvokeByName(std::string_view name, std::vector<Variant> args, Variant* result) {
  DISPID id = 0;
  HRESULT hr = GetIDsOfNames(name, &id);
  if (Failed(hr)) return hr;
  return Invoke(id, args, result);
}

namespace detail {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace detail
}  // namespace tf::com
