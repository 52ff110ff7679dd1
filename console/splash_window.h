// CSplashWnd: the picture "SPLASH.BMP" of the install folder in a
// borderless window centred on the screen while the console starts. Without
// the picture nothing is shown.
#pragma once

#include <wx/bitmap.h>
#include <wx/frame.h>

namespace tf::console {

class CSplashWnd {
 public:
  CSplashWnd() = default;
  ~CSplashWnd() { Hide(); }
  CSplashWnd(const CSplashWnd&) = delete;
  CSplashWnd& operator=(const CSplashWnd&) = delete;

  // Loads the picture and shows it at once when it was loaded.
  void Create();
  // Hides and destroys the window when it is shown.
  void Hide();
  bool visible() const { return window_ != nullptr; }

 private:
  void PaintNow();

  wxFrame* window_ = nullptr;
  bool painted_ = false;
  wxBitmap bitmap_;
};

// Where a picture of that size stands centred on a screen of that size:
// half of what is left on each axis, counted from the screen's corner.
wxPoint SplashPosition(const wxRect& work_area, const wxSize& picture);

}  // namespace tf::console
