#include "setacc/set_access.h"

#include "engine/common/message_box.h"
#include "engine/common/path.h"
#include "engine/common/registry_values.h"
#include "engine/common/text.h"
#include "platform/accounts/accounts.h"

namespace tf::setacc {

namespace {

std::string WithoutFinalSeparator(std::string_view folder) {
  // The root keeps its only separator.
  if (folder.size() > 1 && folder.back() == kPathSeparator) folder.remove_suffix(1);
  return std::string(folder);
}

std::string ReadWebFolder() {
  std::string value;
  GetRegistryString("WebPath", value, kFieldBytes + 1);
  return WithoutFinalSeparator(value);
}

void TellGrantFailure(std::string_view account, std::string_view folder, std::string_view reason) {
  std::string text = "Unable to set access for ";
  text.append(folder).append("\n\n").append(reason);
  std::string caption = "Error allowing access for ";
  caption.append(account);
  ShowMessageBox(text, caption, kMbOk | kMbIconError);
}

}  // namespace

AccountFields ProposedAccounts() {
  AccountFields fields;
  std::size_t next = 0;
  for (std::string_view name : kServiceAccounts) {
    if (next == fields.size()) break;
    if (accounts::AccountExists(name)) fields[next++] = name;
  }
  return fields;
}

AccessFields InitialFields() {
  AccessFields fields;
  fields.accounts = ProposedAccounts();
  fields.install_folder = WithoutFinalSeparator(GetInstallFolder());
  fields.web_folder = ReadWebFolder();
  return fields;
}

std::string FieldText(std::string_view text) { return std::string(CutUtf8(text, kFieldBytes)); }

std::string_view FailureReason(accounts::GrantStep step) {
  using accounts::GrantStep;
  switch (step) {
    case GrantStep::kDone: return "";
    case GrantStep::kFindAccount: return "Unable to get SID for user";
    case GrantStep::kReadAcl: return "Unable to get security descriptor for file";
    case GrantStep::kAddEntry: return "Unable to add new ACE for user";
    case GrantStep::kAddDefaultEntry: return "Unable to add ACL for files";
    case GrantStep::kComputeMask: return "Unable to initialize new ACL";
    case GrantStep::kWriteAcl: return "Unable to set new security descriptor for file";
  }
  return "";
}

bool GrantAccessToAccounts(const AccountFields& accounts, std::string_view folder) {
  if (folder.empty()) return true;
  const std::string path = WithoutFinalSeparator(folder);
  bool ok = true;
  for (const std::string& account : accounts) {
    if (account.empty()) continue;
    const accounts::GrantResult result = accounts::GrantFullAccess(account, path);
    if (result.ok()) continue;
    TellGrantFailure(account, path, FailureReason(result.failed_step));
    ok = false;
  }
  return ok;
}

bool GrantAll(const AccessFields& fields) {
  bool ok = GrantAccessToAccounts(fields.accounts, fields.install_folder);
  ok = GrantAccessToAccounts(fields.accounts, fields.web_folder) && ok;
  if (!fields.web_folder.empty()) {
    const std::string web_folder = WithoutFinalSeparator(fields.web_folder);
    for (std::string_view subfolder : kWebSubfolders) {
      ok = GrantAccessToAccounts(fields.accounts, JoinPath(web_folder, subfolder)) && ok;
    }
  }
  if (!ok) ShowMessageBox(kSummaryText, kSummaryCaption, kMbOk | kMbIconError);
  return ok;
}

}  // namespace tf::setacc
