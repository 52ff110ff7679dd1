#include "engine/common/desktop.h"

#include "platform/shell/shell.h"

namespace tf {

namespace {
constexpr int kOpened = 33;
constexpr int kNoProgram = 31;
}  // namespace

bool OpenUrlInBrowser(const std::string& url) { return shell::OpenWithDefault(url); }

int OpenDocument(const std::string& path) {
  return shell::OpenWithDefault(path) ? kOpened : kNoProgram;
}

}  // namespace tf
