// The desktop programs' message boxes: the handler of ShowMessageBox that
// puts each box on the screen as a wx dialog.
#pragma once

namespace tf::desktop {

// Installs the handler. Each box is also written to the standard error as
// "caption: text", so a program started by an installation script leaves
// its messages in the script's log.
void UseWxMessageBoxes();

}  // namespace tf::desktop
