// Reading the report command line, /p "site" /d "folder" /r "name" /s from-to.
//
// A switch is a slash and one letter standing alone, at the start of the
// line or after a blank, and outside double quotes; so folder names such as
// /srv/reports, and switch letters inside a quoted site name, are values,
// not switches. Switch letters are case-sensitive: "/D" is not "/d".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tf::report {

class CommandLineError : public std::exception {
 public:
  const char* what() const noexcept override { return "A quoted value has no closing quote"; }
};

bool HasSwitch(std::string_view line, char letter);

// The value after the switch: a value that begins with a double quote runs
// to the next double quote (CommandLineError when there is none); any other
// value runs to the next switch. Blanks around it are dropped; letter case
// is kept. Nothing when the line has no such switch.
std::optional<std::string> SwitchValue(std::string_view line, char letter);

}  // namespace tf::report
