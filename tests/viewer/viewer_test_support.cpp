#include "tests/viewer/viewer_test_support.h"

#include <stdexcept>

namespace tf::viewer::test {

ScriptedBoxes::ScriptedBoxes(std::vector<int> answers) : answers_(std::move(answers)) {
  previous_ = SetMessageBoxHandler([this](std::string_view text, std::string_view caption,
                                          unsigned flags) {
    boxes_.push_back({std::string(text), std::string(caption), flags});
    if (answers_.empty()) return kIdOk;
    const int answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  });
}

ScriptedBoxes::~ScriptedBoxes() { SetMessageBoxHandler(previous_); }

std::vector<std::string> ScriptedBoxes::texts() const {
  std::vector<std::string> texts;
  for (const Box& box : boxes_) texts.push_back(box.text);
  return texts;
}

report::DaySerial Day(const std::string& text) {
  std::optional<report::DaySerial> day = report::ReadDateText(text);
  if (!day) throw std::invalid_argument("not a date: " + text);
  return *day;
}

}  // namespace tf::viewer::test

#if defined(__SANITIZE_ADDRESS__)
// The report's charts take their fonts from fontconfig, which keeps its data
// for the whole process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
