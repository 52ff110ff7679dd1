// What the folder access program does, without its window: the accounts and
// folders it proposes, and granting each account full access to the install
// folder, the web folder and the web folder's report subfolders, with the
// program's messages.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/accounts/access_grant.h"

namespace tf::setacc {

inline constexpr std::string_view kDialogCaption = "Enable Directory Access for Tallyfox";
inline constexpr std::string_view kIntroText =
    "The Tallyfox installation will now set access privileges for the following directories so "
    "that ASP scripts can access them:";
inline constexpr std::string_view kAccountsFrame = "User accounts that are used to run ASP scripts";
inline constexpr std::string_view kFoldersFrame = "Directories that are accessed by Tallyfox ASP scripts";
inline constexpr std::string_view kNoteText =
    "Note: You must run this while logged into a Windows account that has Control access "
    "privilege to these directories.";
inline constexpr std::string_view kDoneText1 = "Directory access has been successfully set.";
inline constexpr std::string_view kDoneText2 = "This completes the Tallyfox file installation.";
inline constexpr std::string_view kDoneText3 =
    "Please configure your IIS web server to create a virtual site to access the Tallyfox files "
    "that were installed in the following directory:";
inline constexpr std::string_view kSummaryText =
    "Unable to set access privilege for the directories.\n\nThis problem is usually caused by "
    "running this program while logged into an account that does not have privilege to set "
    "access rights for the directories.";
inline constexpr std::string_view kSummaryCaption = "Unable to set privilege";

// The accounts a web server runs scripts under, most likely first.
inline constexpr std::array<std::string_view, 4> kServiceAccounts = {"www-data", "apache", "nginx",
                                                                      "http"};
inline constexpr std::array<std::string_view, 3> kWebSubfolders = {"help", "images", "TempCharts"};
// Text fields and registry values hold at most this many bytes.
inline constexpr std::size_t kFieldBytes = 299;

using AccountFields = std::array<std::string, 3>;

struct AccessFields {
  AccountFields accounts;
  std::string install_folder;  // without a final separator
  std::string web_folder;
};

// The first three existing service accounts, in list order; fields without
// one stay empty.
AccountFields ProposedAccounts();

// The fields the window starts with: the proposed accounts, the registry's
// "Path" (or the default install folder) and "WebPath" (or nothing).
AccessFields InitialFields();

// A field's text as the program takes it: at most kFieldBytes bytes.
std::string FieldText(std::string_view text);

// The reason a failed grant is reported with.
std::string_view FailureReason(accounts::GrantStep step);

// Grants each non-empty account full access to folder, telling each failure
// in a message box and going on with the next account. An empty folder
// succeeds at once; a final separator is ignored. True when all succeeded.
bool GrantAccessToAccounts(const AccountFields& accounts, std::string_view folder);

// Every folder of the fields, each attempted even after a failure; the web
// subfolders are skipped when the web folder is empty, as they would
// otherwise name folders at the root. When anything failed the summary box
// is shown. True when all succeeded.
bool GrantAll(const AccessFields& fields);

}  // namespace tf::setacc
