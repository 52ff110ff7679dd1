// Records every message box shown while it lives, answering each with OK,
// and puts the previous handler back at the end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/common/message_box.h"

namespace tf::test {

struct ShownBox {
  std::string text;
  std::string caption;
  unsigned flags = 0;
  bool operator==(const ShownBox&) const = default;
};

class MessageBoxRecorder {
 public:
  MessageBoxRecorder()
      : previous_(SetMessageBoxHandler([this](std::string_view text, std::string_view caption,
                                              unsigned flags) {
          boxes_.push_back({std::string(text), std::string(caption), flags});
          return kIdOk;
        })) {}
  ~MessageBoxRecorder() { SetMessageBoxHandler(previous_); }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  const std::vector<ShownBox>& boxes() const { return boxes_; }
  std::vector<std::string> texts() const {
    std::vector<std::string> result;
    for (const ShownBox& box : boxes_) result.push_back(box.text);
    return result;
  }

 private:
  std::vector<ShownBox> boxes_;
  MessageBoxHandler previous_;
};

}  // namespace tf::test
