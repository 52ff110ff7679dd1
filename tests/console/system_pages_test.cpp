// The system property pages without windows: every limit of the general
// options and the remote logon fields.
#include <gtest/gtest.h>

#include "console/system_pages.h"
#include "engine/store/system_data.h"

namespace tf::console {
namespace {

TEST(SystemGeneralPage, EveryNumberIsBroughtIntoItsRange) {
  struct Case {
    const char* analyses;
    const char* threads;
    const char* minutes;
    std::int32_t want_analyses, want_threads, want_minutes;
  };
  const Case cases[] = {
      {"0", "5000", "3", 1, 1000, 5},
      {"250", "", "2000", 250, 1, 1440},
      {" 7x", "-4", "60", 7, 1, 60},
      {"", "1000", "1440", 1, 1000, 1440},
  };
  for (const Case& c : cases) {
    CSystemData system;
    SysGeneralFields fields = FillSysGeneral(system);
    fields.max_analyses = c.analyses;
    fields.max_domain_threads = c.threads;
    fields.session_minutes = c.minutes;
    StoreSysGeneral(fields, system);
    EXPECT_EQ(system.MaxAnalyses, c.want_analyses) << c.analyses;
    EXPECT_EQ(system.MaxDomainThreads, c.want_threads) << c.threads;
    EXPECT_EQ(system.DefaultSessionTimelimit, c.want_minutes) << c.minutes;
  }
}

TEST(SystemGeneralPage, AnUnknownPriorityShowsNoneAndIsStoredAsLow) {
  CSystemData system;
  system.RunPriority = 0;
  SysGeneralFields fields = FillSysGeneral(system);
  EXPECT_EQ(fields.priority, 0);
  StoreSysGeneral(fields, system);
  EXPECT_EQ(system.RunPriority, 2);
  fields.priority = 1;
  fields.home_page = std::string(250, 'h');
  StoreSysGeneral(fields, system);
  EXPECT_EQ(system.RunPriority, 1);
  EXPECT_EQ(system.DefaultHomePage.size(), 199u);
}

TEST(SystemAccessPage, TextsAreKeptWhenAccessIsNotAllowed) {
  CSystemData system;
  StoreSysAccess({false, "admin", std::string(120, 'p')}, system);
  EXPECT_FALSE(system.AllowRemoteAccess);
  EXPECT_EQ(system.RemoteLogonName, "admin");
  EXPECT_EQ(system.RemotePassword.size(), 99u);
  EXPECT_EQ(FillSysAccess(system).name, "admin");
  EXPECT_EQ(SystemVersionLine(), "Tallyfox version 2.3");
  EXPECT_EQ(MailFailedMessage().caption, "Error starting e-mail program");
}

}  // namespace
}  // namespace tf::console
