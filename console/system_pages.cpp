#include "console/system_pages.h"

#include <algorithm>

#include "engine/store/system_data.h"

namespace tf::console {

std::string SystemVersionLine() { return "Tallyfox version 2.3"; }

SysGeneralFields FillSysGeneral(const CSystemData& s) {
  SysGeneralFields f;
  f.max_analyses = std::to_string(s.MaxAnalyses);
  f.max_domain_threads = std::to_string(s.MaxDomainThreads);
  f.session_minutes = std::to_string(s.DefaultSessionTimelimit);
  f.home_page = s.DefaultHomePage;
  f.date_format = s.DefDateFormat;
  f.priority = (s.RunPriority >= 1 && s.RunPriority <= 3) ? s.RunPriority : 0;
  return f;
}

void StoreSysGeneral(const SysGeneralFields& f, CSystemData& s) {
  s.MaxAnalyses = std::max(ReadDecimal(CutField(f.max_analyses, kSystemTextSize)), 1);
  s.MaxDomainThreads = std::clamp(ReadDecimal(CutField(f.max_domain_threads, kSystemTextSize)), 1, 1000);
  s.DefaultSessionTimelimit =
      std::clamp(ReadDecimal(CutField(f.session_minutes, kSystemTextSize)), 5, 1440);
  s.DefaultHomePage = CutField(f.home_page, kHomePageTextSize);
  s.DefDateFormat = f.date_format;
  s.RunPriority = f.priority == 3 ? 3 : f.priority == 1 ? 1 : 2;
}

SysAccessFields FillSysAccess(const CSystemData& s) {
  return {s.AllowRemoteAccess, s.RemoteLogonName, s.RemotePassword};
}

void StoreSysAccess(const SysAccessFields& f, CSystemData& s) {
  s.AllowRemoteAccess = f.allow;
  s.RemoteLogonName = CutField(f.name, kSystemTextSize);
  s.RemotePassword = CutField(f.password, kSystemTextSize);
}

PageMessage BrowserFailedMessage(std::string_view url) {
  return {"Unable to start your web browser.  The URL of the page is:\n\n" + std::string(url),
          "Error starting browser", MessageIcon::kError, MessageButtons::kOk};
}

PageMessage MailFailedMessage() {
  return {"Unable to start your e-mail program.  Please send your support question to " +
              std::string(kSupportEmail),
          "Error starting e-mail program", MessageIcon::kError, MessageButtons::kOk};
}

}  // namespace tf::console
