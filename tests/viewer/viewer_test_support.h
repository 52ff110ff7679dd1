// Helpers of the viewer tests: message boxes answered from a script, and
// day serials from "m/d/yyyy".
#pragma once

#include <string>
#include <vector>

#include "engine/common/message_box.h"
#include "report/regional_format.h"

namespace tf::viewer::test {

// Records every message box and answers each with the next of `answers`
// (OK once they run out); puts the previous handler back at the end.
class ScriptedBoxes {
 public:
  explicit ScriptedBoxes(std::vector<int> answers = {});
  ~ScriptedBoxes();
  ScriptedBoxes(const ScriptedBoxes&) = delete;
  ScriptedBoxes& operator=(const ScriptedBoxes&) = delete;

  struct Box {
    std::string text, caption;
    unsigned flags;
  };
  const std::vector<Box>& boxes() const { return boxes_; }
  std::vector<std::string> texts() const;

 private:
  std::vector<int> answers_;
  std::vector<Box> boxes_;
  MessageBoxHandler previous_;
};

report::DaySerial Day(const std::string& text);

}  // namespace tf::viewer::test
