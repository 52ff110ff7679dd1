#include "console/site_general_page.h"

#include "engine/common/address.h"
#include "engine/common/time_value.h"
#include "engine/site/site.h"

namespace tf::console {

namespace {
constexpr std::size_t kPersonNameSize = 100;
constexpr std::size_t kEmailSize = 100;
constexpr std::size_t kNotesSize = 250;
constexpr std::size_t kDomainSize = 100;
constexpr std::size_t kHomePageSize = 200;
constexpr std::size_t kRemoveStringSize = 200;
}  // namespace

SiteGeneralFields FillSiteGeneral(CSite& site) {
  site.SetIdentityDefaults();
  const SiteSettings& s = site.settings;
  SiteGeneralFields f;
  f.project_name = site.ProjectName;
  f.domain_name = s.DomainName;
  f.ip_address = AddressToText(site.site_address);
  f.home_page = s.HomePage;
  f.user_name = site.UserName;
  f.user_password = site.UserPassword;
  f.person_name = s.PersonName;
  f.email_address = s.EmailAddress;
  f.notes = s.Notes;
  f.remove_string = s.RemoveString;
  f.database_path = site.DatabasePath();
  f.session_limit = std::to_string(s.SessionTimelimit);
  f.auto_timezone = s.AutoTimezone != 0;
  f.machine_offset = "(" + FormatTimeOffset(LocalZoneOffsetSeconds()) + ")";
  f.fixed_offset = FormatTimeOffset(s.Timezone);
  return f;
}

GeneralCheck CheckSiteGeneral(const SiteGeneralFields& fields, bool new_site) {
  if (TrimmedField(fields.project_name, CSite::kProjectNameSize).empty()) {
    return GeneralCheck::kMissingName;
  }
  bool has_logon = !TrimmedField(fields.user_name, CSite::kUserNameSize).empty() &&
                   !TrimmedField(fields.user_password, CSite::kUserPasswordSize).empty();
  if (new_site && !has_logon) return GeneralCheck::kAskWebLogon;
  return GeneralCheck::kAccept;
}

PageMessage GeneralCheckMessage(GeneralCheck check) {
  switch (check) {
    case GeneralCheck::kMissingName:
      return {"You must specify a project name", "Missing project name",
              MessageIcon::kExclamation, MessageButtons::kOk};
    case GeneralCheck::kAskWebLogon:
      return {"If you want web access to this project, you must specify a web logon and "
              "password.\n\nDo you want web access to this project?",
              "No web logon information", MessageIcon::kQuestion, MessageButtons::kYesNo};
    case GeneralCheck::kAccept:
      break;
  }
  return {};
}

bool FocusPasswordForWebLogon(const SiteGeneralFields& fields) {
  return !TrimmedField(fields.user_name, CSite::kUserNameSize).empty();
}

void StoreSiteGeneral(const SiteGeneralFields& f, CSite& site) {
  SiteSettings& s = site.settings;
  site.ProjectName = TrimmedField(f.project_name, CSite::kProjectNameSize);
  site.UserName = TrimmedField(f.user_name, CSite::kUserNameSize);
  site.UserPassword = TrimmedField(f.user_password, CSite::kUserPasswordSize);
  s.PersonName = TrimmedField(f.person_name, kPersonNameSize);
  s.EmailAddress = TrimmedField(f.email_address, kEmailSize);
  s.Notes = CutField(f.notes, kNotesSize);
  s.DomainName = TrimmedField(f.domain_name, kDomainSize);
  NormalizeDomainName(site, s.DomainName);
  s.HomePage = TrimmedField(f.home_page, kHomePageSize);
  s.RemoveString = TrimmedField(f.remove_string, kRemoveStringSize);
  std::string address = TrimmedField(f.ip_address, kDomainSize);
  site.site_address = address.empty() ? 0 : HostToAddress(address);
  s.SessionTimelimit = ReadDecimal(f.session_limit);
  s.Timezone = ParseTimeOffset(f.fixed_offset);
  s.AutoTimezone = f.auto_timezone ? 1 : 0;
}

std::string DomainForLookup(std::string_view text) {
  std::string domain = TrimmedField(text, kDomainSize);
  std::size_t scheme = domain.find("://");
  if (scheme != std::string::npos) domain = TrimmedField(domain.substr(scheme + 3), kDomainSize);
  return domain;
}

PageMessage MissingDomainMessage() {
  return {"You must specify a domain name before you can use this function.",
          "Missing Domain Name", MessageIcon::kError, MessageButtons::kOk};
}

PageMessage LookupFailedMessage(std::string_view domain) {
  return {"Unable to convert \"" + std::string(domain) + "\" to an IP address.",
          "IP Address lookup failure", MessageIcon::kError, MessageButtons::kOk};
}

}  // namespace tf::console
