#include "console/splash_window.h"

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include "desktop/bitmaps.h"
#include "engine/common/registry_values.h"

namespace tf::console {

namespace {

constexpr long kLongestPaintWait = 1000;  // milliseconds

}  // namespace

wxPoint SplashPosition(const wxRect& work_area, const wxSize& picture) {
  int right = work_area.GetX() + work_area.GetWidth();
  int bottom = work_area.GetY() + work_area.GetHeight();
  return {(right - picture.GetWidth() - work_area.GetX()) / 2,
          (bottom - picture.GetHeight() - work_area.GetY()) / 2};
}

void CSplashWnd::Create() {
  bitmap_ = desktop::LoadBitmapFile(InstallFolderPath("SPLASH.BMP"));
  if (!bitmap_.IsOk()) return;
  wxSize size(bitmap_.GetWidth(), bitmap_.GetHeight());
  wxRect work_area = wxDisplay(0u).GetClientArea();
  // Titled for the window list only; the frame has no border to show it.
  window_ = new wxFrame(nullptr, wxID_ANY, "Tallyfox", SplashPosition(work_area, size), size,
                        wxBORDER_NONE | wxFRAME_NO_TASKBAR);
  window_->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
    wxPaintDC dc(window_);
    desktop::DrawBitmap(dc, bitmap_, 0, 0);
    // The desktop may paint the window once before it has its size.
    painted_ = window_->GetClientSize() == bitmap_.GetSize();
  });
  window_->Show();
  // A borderless frame on the desktop keeps a size given before it was
  // shown only as a hint; set it again on the shown window.
  window_->SetSize(wxRect(SplashPosition(work_area, size), size));
  PaintNow();
}

void CSplashWnd::PaintNow() {
  // Start-up keeps the event loop busy until it hides the window, and the
  // desktop paints a window only after it was mapped: wait for that first
  // paint, briefly.
  if (wxTheApp == nullptr) return;
  wxStopWatch waited;
  while (!painted_ && waited.Time() < kLongestPaintWait) {
    wxTheApp->Yield(true);
    if (!painted_) wxMilliSleep(5);
  }
}

void CSplashWnd::Hide() {
  if (window_ == nullptr) return;
  window_->Hide();
  window_->Destroy();
  window_ = nullptr;
}

}  // namespace tf::console
