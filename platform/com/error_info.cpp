#include "platform/com/error_info.h"

#include <dlfcn.h>

// A component library sets the error information and its caller, in another
// module, reads it; yet every module links its own copy of this file. So the
// thread's slot is reached through one exported function, found by name in
// the process: programs export theirs (see CMakeLists.txt), and a library
// loaded later uses the program's slot rather than its own.
extern "C" __attribute__((visibility("default"))) void* tf_com_thread_error_slot() {
  thread_local std::optional<std::string> slot;
  return &slot;
}

namespace tf::com {
namespace {

std::optional<std::string>& Slot() {
  using SlotFunction = void* (*)();
  static const SlotFunction process_slot = [] {
    auto found = reinterpret_cast<SlotFunction>(dlsym(RTLD_DEFAULT, "tf_com_thread_error_slot"));
    return found ? found : &tf_com_thread_error_slot;
  }();
  return *static_cast<std::optional<std::string>*>(process_slot());
}

}  // namespace

void SetErrorInfo(std::string description) { Slot() = std::move(description); }

std::optional<std::string> TakeErrorInfo() {
  std::optional<std::string> taken = std::move(Slot());
  Slot().reset();
  return taken;
}

std::optional<std::string> PeekErrorInfo() { return Slot(); }

void ClearErrorInfo() { Slot().reset(); }

}  // namespace tf::com
