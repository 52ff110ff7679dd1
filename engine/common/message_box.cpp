#include "engine/common/message_box.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

namespace tf {

namespace {

std::mutex handler_lock;
MessageBoxHandler handler;

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
  std::lock_guard<std::mutex> guard(handler_lock);
  return std::exchange(handler, std::move(new_handler));
}

int ShowMessageBox(std::string_view text, std::string_view caption, unsigned flags) {
  MessageBoxHandler current;
  {
    std::lock_guard<std::mutex> guard(handler_lock);
    current = handler;
  }
  // Called outside the lock: a handler may wait for a person or a peer.
  if (!current) return WriteToStandardError(text, caption, flags);
  return current(text, caption, flags);
}

}  // namespace tf
