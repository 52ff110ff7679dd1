#include "support/home_directory.h"

#include "platform/registry/registry.h"

namespace tf::support {

namespace {
// The value is read into room for this many bytes.
constexpr std::size_t kMaxPathBytes = 399;
}  // namespace

HomeDirectory LookUpHomeDirectory() {
  using namespace tf::registry;
  HomeDirectory result;
  Key key;
  if (Status status = Key::Open(kTallyfoxKey, KEY_READ, &key); status != ERROR_SUCCESS) {
    result.win_status = status;
    result.own_status = kKeyMissing;
    return result;
  }
  std::string text;
  if (Status status = key.QueryString(kPathValue, &text, kMaxPathBytes); status != ERROR_SUCCESS) {
    result.win_status = status;
    result.own_status = kValueMissing;
    return result;
  }
  // The text ends at its first zero byte, as a stored string would.
  text = text.substr(0, text.find('\0'));
  while (!text.empty() && text.back() == ' ') text.pop_back();
  // An empty value names no folder; "/" would send callers to the root.
  if (!text.empty() && text.back() != '/') text += '/';
  result.folder = text;
  return result;
}

}  // namespace tf::support
