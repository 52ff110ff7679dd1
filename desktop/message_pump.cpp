#include "desktop/message_pump.h"

#include <wx/app.h>

#include "engine/common/busy.h"

namespace tf::desktop {

namespace {

void DispatchPending() {
  // Inside a pump already (a handler that pumps), wx returns at once
  // instead of nesting.
  if (wxTheApp != nullptr) wxTheApp->Yield(true);
}

}  // namespace

void UseWxMessagePump() { SetMessagePump(DispatchPending); }

}  // namespace tf::desktop
