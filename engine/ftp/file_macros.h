// The command run after each downloaded file and its macros: text between
// two '@' names a part of the file's path, without regard to case:
//   @fullname@  the full path          @filename@  the name after the last '/'
//   @directory@ and @folder@  the path up to and including the last '/'
//   @basename@  the name before its last '.'   @filetype@  the name after it
// (both empty when the name has no '.'). Other text between two '@' stays as
// written; an '@' without a closing '@' ends the command.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tf {

// The command with its macros replaced, as it is shown.
std::string ExpandFileMacros(std::string_view full_path, std::string_view command);

// The command as a program and its arguments: words are separated by
// blanks, double quotes group blanks into a word (a program path with
// blanks), and each macro's value becomes part of its word as it is, never
// split or read for quotes, so a file name can neither add arguments nor
// become a command.
std::vector<std::string> SplitCommandArguments(std::string_view full_path, std::string_view command);

}  // namespace tf
