// Per-thread error information: the description a component leaves for its
// caller when a call could not use an argument, read back by the caller after
// the call. Like its model, reading it with TakeErrorInfo clears it.
#pragma once

#include <optional>
#include <string>

namespace tf::com {

void SetErrorInfo(std::string description);
// The description set last on this thread, cleared by the read.
std::optional<std::string> TakeErrorInfo();
// The same without clearing.
std::optional<std::string> PeekErrorInfo();
void ClearErrorInfo();

}  // namespace tf::com
