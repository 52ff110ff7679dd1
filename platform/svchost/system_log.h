// The system log the service writes its event entries to (syslog), with an
// optional mirror file that receives the same lines, one per entry, for
// tests and for users who want them in one place.
#pragma once

#include <string>
#include <string_view>

namespace tf::svchost {

enum class Severity { kInformation, kWarning, kError };

// Opens the log under `identity`; with a non-empty mirror path every entry
// is also appended there as "<severity letter> <text>". Reopening replaces
// the earlier identity and mirror.
void OpenSystemLog(std::string_view identity, const std::string& mirror_path = {});
void CloseSystemLog();
// One entry. Usable without OpenSystemLog (syslog then names the program).
void WriteSystemLog(Severity severity, std::string_view text);

// The account the program runs under, and the machine's name; empty when
// unknown.
std::string CurrentAccountName();
std::string HostName();

}  // namespace tf::svchost
