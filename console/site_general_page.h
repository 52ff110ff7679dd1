// The "General info." page of a site without its window: the texts of its
// controls, filled from the site and written back after the checks.
#pragma once

#include <string>
#include <string_view>

#include "console/site_page_text.h"

namespace tf {
class CSite;
}

namespace tf::console {

struct SiteGeneralFields {
  std::string project_name;
  std::string domain_name;
  std::string ip_address;
  std::string home_page;
  std::string user_name;
  std::string user_password;
  std::string person_name;
  std::string email_address;
  std::string notes;
  std::string remove_string;
  std::string database_path;  // shown only
  std::string session_limit;
  bool auto_timezone = true;
  std::string machine_offset;  // shown only: "(offset)"
  std::string fixed_offset;
};

// Fills the site's missing identity first, so that a new site shows where
// its database will be.
SiteGeneralFields FillSiteGeneral(CSite& site);

enum class GeneralCheck {
  kAccept,
  kMissingName,     // the name is empty: keep the page
  kAskWebLogon,     // a new site without logon and password: ask
};
GeneralCheck CheckSiteGeneral(const SiteGeneralFields& fields, bool new_site);
PageMessage GeneralCheckMessage(GeneralCheck check);
// After "Yes" to the web-logon question, the edit to focus: true for the
// password (a logon was given), false for the logon.
bool FocusPasswordForWebLogon(const SiteGeneralFields& fields);

// Writes the fields into the site. Texts are stored as typed (trimmed where
// the page trims) and cut to their fields; the database binds them.
void StoreSiteGeneral(const SiteGeneralFields& fields, CSite& site);

// "Translate domain name": the host part the lookup takes (after "://" when
// there is one), trimmed; empty when there is nothing to look up.
std::string DomainForLookup(std::string_view text);
PageMessage MissingDomainMessage();
PageMessage LookupFailedMessage(std::string_view domain);

}  // namespace tf::console
