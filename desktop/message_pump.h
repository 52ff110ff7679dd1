// The engine's PumpMessages for a wx program: pending events are handled
// on the user-interface thread during long work there.
#pragma once

namespace tf::desktop {

// Call on the user-interface thread; PumpMessages works only there.
void UseWxMessagePump();

}  // namespace tf::desktop
