#include "engine/common/message_box.h"

#include <cstdio>
#include <string>
#include <utility>

#include "engine/common/hook_slot.h"

namespace tf {

namespace {

HookSlot<MessageBoxHandler> handler;

int WriteToStandardError(std::string_view text, std::string_view caption, unsigned) {
  std::string line(caption);
  line += ": ";
  line += text;
  line += '\n';
  std::fputs(line.c_str(), stderr);
  return kIdOk;
}

}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler new_handler) {
  return handler.Set(std::move(new_handler));
}

int ShowMessageBox(std::string_view text, std::string_view caption, unsigned flags) {
  // Called outside the slot's lock: a handler may wait for a person or a peer.
  MessageBoxHandler current = handler.Get();
  if (!current) return WriteToStandardError(text, caption, flags);
  return current(text, caption, flags);
}

}  // namespace tf
