// What the viewer's windows share: twips as pixels, the button pictures
// (drawn, so they scale with the window), and the yellow attention flash.
#pragma once

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/timer.h>
#include <wx/window.h>

#include <vector>

namespace tf::viewer {

// Twips (1/1440 inch) as pixels at the window's resolution.
int Twips(const wxWindow* window, int twips);

enum class Picture { kFullReport, kSummary, kProjects, kExit, kCalendar };
wxBitmap DrawPicture(Picture picture, int size);

// Controls flash yellow five times in 1.5 seconds and end in their own
// colours; a new flash puts the colours of the previous one back first.
class AttentionFlash : public wxEvtHandler {
 public:
  AttentionFlash();
  void Start(const std::vector<wxWindow*>& controls);

 private:
  void OnTick(wxTimerEvent& event);
  void Restore();

  struct Entry {
    wxWindow* control;
    wxColour colour;
    bool own_colour;
  };
  wxTimer timer_;
  std::vector<Entry> entries_;
  int countdown_ = 0;
};

}  // namespace tf::viewer
