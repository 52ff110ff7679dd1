#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ftp/file_macros.h"
#include "engine/ftp/remote_names.h"

namespace tf {
namespace {

TEST(RemoteNamesTest, WildcardPatterns) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Case cases[] = {
      {"", "anything", true},
      {"*", "anything", true},
      {"ex*.log", "ex070115.log", true},
      {"ex*.log", "EX070115.LOG", true},
      {"ex*.log", "ex070115.log.gz", false},
      {"ex*.log", "in070115.log", false},
      {"a**b", "axxb", true},
      {"*.log", ".log", true},
      {"*x*y", "axbxcy", true},
      {"ex??????.log", "ex070115.log", true},
      {"ex070115.log?", "ex070115.log", true},  // '?' may match nothing at the end
      {"ex07011?.log", "ex07011.log", false},   // but not in the middle
      {"ex%.log", "ex1.log", true},
      {"ex%.log", "ex.log", false},
      {"log%", "log", false},
      {"[a].log", "[A].LOG", true},
      {"abc", "abcd", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchWildcard(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
  }
  // Many stars against a long name that fails late stay fast (no recursion).
  EXPECT_FALSE(MatchWildcard("*a*a*a*a*a*a*a*a*a*a*b", std::string(5000, 'a')));
}

TEST(RemoteNamesTest, OnlyPlainFileNamesAreSafe) {
  for (const char* name : {"ex070115.log", "a..b.log", "name with blanks", "..log"}) {
    EXPECT_TRUE(IsSafeRemoteName(name)) << name;
  }
  for (const char* name : {"", ".", "..", "../evil.log", "sub/ex.log", "..\\evil.log", "/etc/passwd",
                           "a\rb", "a\nDELE b"}) {
    EXPECT_FALSE(IsSafeRemoteName(name)) << name;
  }
  EXPECT_FALSE(IsSafeRemoteName(std::string("a\0b", 3)));
}

TEST(FileMacrosTest, ExpandsEachMacro) {
  const std::string path = "/var/logs/ex070115.log";
  struct Case {
    const char* command;
    const char* expanded;
  };
  const Case cases[] = {
      {"zip @FullName@", "zip /var/logs/ex070115.log"},
      {"@filename@|@directory@|@folder@", "ex070115.log|/var/logs/|/var/logs/"},
      {"@basename@.@filetype@", "ex070115.log"},
      // A plain '@' pairs with the next one: "@host.com @" stays as written
      // and the last '@' has no partner, so the rest is dropped.
      {"mail me@host.com @fullname@", "mail me@host.com @fullname"},
      {"@@ @unknown@ x", "@@ @unknown@ x"},
      {"run @fullname@ and @rest", "run /var/logs/ex070115.log and "},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandFileMacros(path, c.command), c.expanded) << c.command;
  EXPECT_EQ(ExpandFileMacros("/logs/README", "[@basename@][@filetype@]"), "[][]");
}

TEST(FileMacrosTest, MacroValuesStayWholeArguments) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(SplitCommandArguments("/logs/ex070115.log", "process  @fullname@ @basename@"),
            (Words{"process", "/logs/ex070115.log", "ex070115"}));
  // A name with blanks, quotes or ';' is one argument and never a command.
  EXPECT_EQ(SplitCommandArguments("/logs/a b\";rm x.log", "p @filename@ --in=@folder@"),
            (Words{"p", "a b\";rm x.log", "--in=/logs/"}));
  // Quotes in the command itself group a program path with blanks.
  EXPECT_EQ(SplitCommandArguments("/l/f.log", "\"/opt/my tools/p\" -x \"two words\""),
            (Words{"/opt/my tools/p", "-x", "two words"}));
  EXPECT_EQ(SplitCommandArguments("/l/noext", "p @filetype@"), (Words{"p", ""}));
  EXPECT_TRUE(SplitCommandArguments("/l/f.log", "   ").empty());
}

}  // namespace
}  // namespace tf
