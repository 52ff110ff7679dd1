// The system property pages without their windows: the fields of
// "General options" and "Remote access" over the system settings, with the
// limits applied when a page is left, and the product's addresses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "console/site_page_text.h"

namespace tf {
class CSystemData;
}

namespace tf::console {

// The project's own addresses, shown and opened by the Support and About pages.
inline constexpr std::string_view kMainWebPage = "https://tallyfox.example.org/";
inline constexpr std::string_view kSupportWebPage = "https://tallyfox.example.org/support/";
inline constexpr std::string_view kSupportEmail = "support@tallyfox.example.org";

// "Tallyfox version 2.3".
std::string SystemVersionLine();

inline constexpr std::size_t kSystemTextSize = 100;     // logon name and password
inline constexpr std::size_t kHomePageTextSize = 200;

struct SysGeneralFields {
  std::string max_analyses;
  std::string max_domain_threads;
  std::string session_minutes;
  std::string home_page;
  int date_format = 0;
  // 3 "Normal", 2 "Low", 1 "Very low"; 0 none checked.
  int priority = 0;
};
SysGeneralFields FillSysGeneral(const CSystemData& system);
// Limits: analyses at least 1; threads 1 .. 1000; minutes 5 .. 1440; the
// priority "Low" when neither "Normal" nor "Very low" is checked.
void StoreSysGeneral(const SysGeneralFields& fields, CSystemData& system);

struct SysAccessFields {
  bool allow = false;
  std::string name;
  std::string password;
};
SysAccessFields FillSysAccess(const CSystemData& system);
void StoreSysAccess(const SysAccessFields& fields, CSystemData& system);

PageMessage BrowserFailedMessage(std::string_view url);
PageMessage MailFailedMessage();

}  // namespace tf::console
