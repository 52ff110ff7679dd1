#include "platform/com/object.h"

namespace tf::com {

std::atomic<long>& ModuleObjectCount() {
  // The library is built with hidden symbols, so every module that links it
  // has a count of its own.
  static std::atomic<long> count{0};
  return count;
}

HRESULT CanUnloadModule() { return ModuleObjectCount().load() == 0 ? S_OK : S_FALSE; }

}  // namespace tf::com
