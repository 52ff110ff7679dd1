// The site-list commands "Add project" and "Remove project" without their
// windows: the duplicate-name question, the new site's set-up, and removal
// after a confirmation that checks again that the site is still idle.
#pragma once

#include <string>
#include <string_view>

namespace tf {
class CSite;
}

namespace tf::console {

inline constexpr std::string_view kDuplicateNameCaption = "Duplicate project name";
inline constexpr std::string_view kConfirmDeletionCaption = "Confirm deletion";

// True when another listed site has the name, without regard to case.
bool NameInUse(std::string_view name, const CSite* except);

enum class NameCheck { kUnique, kChooseAnother, kGiveUp };
// Unique names pass; a name in use asks the duplicate question, whose OK
// lets the user choose another name and whose Cancel gives up the new site.
NameCheck CheckNewSiteName(std::string_view name);

// Links the new site into the site list and makes its row and database;
// the list owns the site from here even when the database fails.
bool AddNewSite(CSite* site);

enum class RemoveResult { kCancelled, kRemoved, kBusy };
// Asks "Delete NAME\nAre you sure?". After OK the site is removed only
// when it is still listed and idle: one that started meanwhile stays.
RemoveResult RemoveSite(CSite* site);

}  // namespace tf::console
