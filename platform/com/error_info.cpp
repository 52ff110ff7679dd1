#include "platform/com/error_info.h"

namespace tf::com {
namespace {
thread_local std::optional<std::string> current_error;
}

void SetErrorInfo(std::string description) { current_error = std::move(description); }

std::optional<std::string> TakeErrorInfo() {
  std::optional<std::string> taken = std::move(current_error);
  current_error.reset();
  return taken;
}

std::optional<std::string> PeekErrorInfo() { return current_error; }

void ClearErrorInfo() { current_error.reset(); }

}  // namespace tf::com
