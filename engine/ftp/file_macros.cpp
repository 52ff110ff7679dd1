#include "engine/ftp/file_macros.h"

#include "engine/common/path.h"
#include "engine/common/text.h"

namespace tf {
namespace {

// The value of a known macro; false for any other name.
bool MacroValue(std::string_view name, std::string_view full_path, std::string_view& value) {
  std::string_view file_name = FileNameOf(full_path);
  std::size_t dot = file_name.rfind('.');
  auto is = [&](std::string_view macro) {
    return name.size() == macro.size() && FindCaseless(name, macro) == 0;
  };
  if (is("fullname")) {
    value = full_path;
  } else if (is("filename")) {
    value = file_name;
  } else if (is("directory") || is("folder")) {
    value = full_path.substr(0, full_path.size() - file_name.size());
  } else if (is("basename")) {
    value = dot == std::string_view::npos ? std::string_view() : file_name.substr(0, dot);
  } else if (is("filetype")) {
    value = dot == std::string_view::npos ? std::string_view() : file_name.substr(dot + 1);
  } else {
    return false;
  }
  return true;
}

// Walks the command: plain text (unknown macros included, with their '@')
// goes to on_text, each known macro's value to on_value.
template <typename OnText, typename OnValue>
void WalkCommand(std::string_view full_path, std::string_view command, OnText on_text,
                 OnValue on_value) {
  std::size_t pos = 0;
  while (pos < command.size()) {
    std::size_t open = command.find('@', pos);
    if (open == std::string_view::npos) {
      on_text(command.substr(pos));
      return;
    }
    on_text(command.substr(pos, open - pos));
    std::size_t close = command.find('@', open + 1);
    if (close == std::string_view::npos) return;
    std::string_view value;
    if (MacroValue(command.substr(open + 1, close - open - 1), full_path, value)) {
      on_value(value);
    } else {
      on_text(command.substr(open, close - open + 1));
    }
    pos = close + 1;
  }
}

}  // namespace

std::string ExpandFileMacros(std::string_view full_path, std::string_view command) {
  std::string out;
  auto append = [&](std::string_view text) { out.append(text); };
  WalkCommand(full_path, command, append, append);
  return out;
}

std::vector<std::string> SplitCommandArguments(std::string_view full_path, std::string_view command) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false, quoted = false;
  auto on_text = [&](std::string_view text) {
    for (char c : text) {
      if (c == '"') {
        quoted = !quoted;
        in_word = true;
      } else if ((c == ' ' || c == '\t') && !quoted) {
        if (in_word) words.push_back(std::move(word));
        word.clear();
        in_word = false;
      } else {
        word += c;
        in_word = true;
      }
    }
  };
  auto on_value = [&](std::string_view value) {
    word.append(value);
    in_word = true;
  };
  WalkCommand(full_path, command, on_text, on_value);
  if (in_word) words.push_back(std::move(word));
  return words;
}

}  // namespace tf
