// The desktop's windows on X11: a top-level window found by its exact
// title (also while it is hidden) and raised, and programs started.
#pragma once

#include "viewer/console_link.h"

namespace tf::viewer {

class X11Windows : public DesktopWindows {
 public:
  bool RaiseWindowTitled(const std::string& title) override;
  bool StartProgram(const std::string& path) override;
};

}  // namespace tf::viewer
