// Steps for driving the window in display tests: with the environment
// variable TALLYFOX_VIEWER_STEPS naming a file, the window works through its
// lines one by one, each once the browser has finished loading:
//   quick N | generate | summary | section KEY | helplink N | save PATH |
//   options | about | mark NAME | exit
// "mark NAME" writes NAME into the folder TALLYFOX_VIEWER_MARKS and waits
// until NAME.done appears there, so the test can look at the window first.
#pragma once

namespace tf::viewer {

class MainFrame;

// Starts the steps when the variable is set; otherwise does nothing.
void StartTestSteps(MainFrame& frame);

}  // namespace tf::viewer
