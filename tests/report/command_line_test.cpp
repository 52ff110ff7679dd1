// Reading the values of the report command line.
#include <gtest/gtest.h>

#include "report/command_line.h"

namespace tf::report {
namespace {

TEST(CommandLineTest, SwitchValues) {
  struct Case {
    const char* line;
    char letter;
    const char* value;  // nullptr: no such switch
  };
  const Case cases[] = {
      // The engine's form.
      {"/p \"Site A\" /d \"/srv/reports\" /r \"daily\" /s 01/05/2006-01/31/2006", 'p', "Site A"},
      {"/p \"Site A\" /d \"/srv/reports\" /r \"daily\" /s 01/05/2006-01/31/2006", 'd',
       "/srv/reports"},
      {"/p \"Site A\" /d \"/srv/reports\" /r \"daily\" /s 01/05/2006-01/31/2006", 's',
       "01/05/2006-01/31/2006"},
      // Unquoted values run to the next switch; Linux folders are not switches.
      {"/d /srv/reports /p Site A /s 1/1/2006-1/2/2006", 'd', "/srv/reports"},
      {"/d /srv/reports /p Site A /s 1/1/2006-1/2/2006", 'p', "Site A"},
      {"/d /srv/reports /p Site A /s 1/1/2006-1/2/2006", 'r', nullptr},
      // Switch letters inside a quoted value are text.
      {"/p \"a /d b\" /s x", 'd', nullptr},
      {"/p \"a /d b\" /d \"/out\"", 'd', "/out"},
      {"/p \"a /d b\" /d \"/out\"", 'p', "a /d b"},
      // Switches are case-sensitive; values keep their case.
      {"/D \"/out\" /p \"MySite\"", 'd', nullptr},
      {"/D \"/out\" /p \"MySite\"", 'p', "MySite"},
      {"/r", 'r', ""},
      {"/p \"\" /d x", 'p', ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.line) + " /" + c.letter);
    std::optional<std::string> value = SwitchValue(c.line, c.letter);
    EXPECT_EQ(HasSwitch(c.line, c.letter), c.value != nullptr);
    if (c.value == nullptr) {
      EXPECT_FALSE(value);
    } else {
      EXPECT_EQ(value, c.value);
    }
  }
  EXPECT_THROW(SwitchValue("/p \"Site A /d x", 'p'), CommandLineError);
}

}  // namespace
}  // namespace tf::report
