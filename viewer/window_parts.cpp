#include "viewer/window_parts.h"

#include <wx/dcmemory.h>

namespace tf::viewer {

int Twips(const wxWindow* window, int twips) {
  const int dpi = window ? window->GetDPI().x : 96;
  return twips * (dpi > 0 ? dpi : 96) / 1440;
}

wxBitmap DrawPicture(Picture picture, int size) {
  wxBitmap bitmap(size, size, 24);
  wxMemoryDC dc(bitmap);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  const int u = size / 8;
  dc.SetPen(wxPen(wxColour(48, 66, 115), std::max(1, u / 2)));
  switch (picture) {
    case Picture::kFullReport:
    case Picture::kSummary: {
      // Bars of a chart: many for the full report, one for the summary.
      const wxColour colours[] = {{10, 160, 10}, {5, 104, 167}, {167, 28, 5}};
      const int heights[] = {3, 6, 4};
      const int bars = picture == Picture::kFullReport ? 3 : 1;
      for (int i = 0; i < bars; ++i) {
        dc.SetBrush(wxBrush(colours[i]));
        const int left = bars == 1 ? 3 * u : u + i * 2 * u;
        dc.DrawRectangle(left, size - u - heights[i] * u, 2 * u, heights[i] * u);
      }
      dc.DrawLine(u / 2, size - u, size - u / 2, size - u);
      break;
    }
    case Picture::kProjects:
      dc.SetBrush(wxBrush(wxColour(243, 245, 250)));
      dc.DrawRectangle(u, u, 6 * u, 6 * u);
      for (int row = 2; row <= 5; ++row) dc.DrawLine(2 * u, row * u + u / 2, 6 * u, row * u + u / 2);
      break;
    case Picture::kExit:
      dc.SetPen(wxPen(wxColour(167, 28, 5), std::max(2, u)));
      dc.DrawLine(2 * u, 2 * u, 6 * u, 6 * u);
      dc.DrawLine(6 * u, 2 * u, 2 * u, 6 * u);
      break;
    case Picture::kCalendar:
      dc.SetBrush(*wxWHITE_BRUSH);
      dc.DrawRectangle(u, 2 * u, 6 * u, 5 * u);
      dc.SetBrush(wxBrush(wxColour(167, 28, 5)));
      dc.DrawRectangle(u, 2 * u, 6 * u, u + u / 2);
      for (int x = 2; x <= 5; ++x) {
        for (int y = 4; y <= 5; ++y) dc.DrawPoint(x * u, y * u + u / 2);
      }
      break;
  }
  dc.SelectObject(wxNullBitmap);
  return bitmap;
}

AttentionFlash::AttentionFlash() : timer_(this) {
  Bind(wxEVT_TIMER, &AttentionFlash::OnTick, this);
}

void AttentionFlash::Start(const std::vector<wxWindow*>& controls) {
  Restore();
  entries_.clear();
  for (wxWindow* control : controls) {
    entries_.push_back({control, control->GetBackgroundColour(), control->InheritsBackgroundColour() || !control->UseBgCol()});
  }
  countdown_ = 10;
  if (!timer_.IsRunning()) timer_.Start(150);
}

void AttentionFlash::Restore() {
  for (const Entry& entry : entries_) {
    entry.control->SetBackgroundColour(entry.own_colour ? wxNullColour : entry.colour);
    entry.control->Refresh();
  }
}

void AttentionFlash::OnTick(wxTimerEvent&) {
  if (countdown_ < 1) {
    timer_.Stop();
    return;
  }
  --countdown_;
  for (const Entry& entry : entries_) {
    if (countdown_ % 2 == 1) {
      entry.control->SetBackgroundColour(wxColour(255, 255, 0));
      entry.control->Refresh();
    }
  }
  if (countdown_ % 2 == 0) Restore();
}

}  // namespace tf::viewer
