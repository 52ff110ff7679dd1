// A frame with the owner-drawn grid, driven by simulated clicks and keys:
// every notification the grid sends its owner is written to standard error
// ("notify CODE VALUE"), then the title becomes "Grid window check" and
// Return ends the program. The grid has no place in the console itself.
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <functional>
#include <vector>

#include <cstdio>

#include "console/grid_window.h"
#include "desktop/wx_message_box.h"

namespace {

using tf::console::CGridWnd;

wxBitmap Square(const wxColour& colour) {
  wxBitmap bitmap(12, 12);
  wxMemoryDC dc(bitmap);
  dc.SetBackground(wxBrush(colour));
  dc.Clear();
  return bitmap;
}

class CheckFrame : public wxFrame {
 public:
  CheckFrame() : wxFrame(nullptr, wxID_ANY, "Grid window check (working)") {
    grid_ = new CGridWnd(this, 77, CGridWnd::kRightClickSelects);
    auto icons = std::make_shared<wxImageList>(12, 12);
    icons->Add(Square(*wxRED));
    icons->Add(Square(*wxBLUE));
    grid_->SetColumns({{"Name", 220, tf::console::kColumnExpandMark, nullptr},
                       {"Kind", 90, tf::console::kColumnIconClickable, icons},
                       {"Hits", 90, 0, nullptr}});
    for (int parent = 0; parent < 3; ++parent) {
      grid_->AddRow(0, {"Site " + std::to_string(parent + 1), "site", "100"}, {-1, 0});
      for (int child = 0; child < 3; ++child) {
        grid_->AddRow(1, {"  page " + std::to_string(child + 1), "page", "10"}, {-1, 1});
      }
    }
    Bind(tf::console::wxEVT_GRID_NOTIFY, [this](wxCommandEvent& event) {
      ++notifications_;
      std::fprintf(stderr, "notify %#x %ld from %d\n", event.GetInt(), event.GetExtraLong(),
                   event.GetId());
    });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
      if (event.GetKeyCode() == WXK_RETURN) Close();
      else event.Skip();
    });
    SetClientSize(420, 260);
  }

  // Waits until the frame is on the screen, then sends one click or key at a
  // time, each when the grid told the notification of the one before.
  void Start() {
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
    timer_.SetOwner(this);
    timer_.Start(50);
  }

 private:
  void Tick() {
    if (steps_.empty()) {
      if (!IsShownOnScreen() || grid_->GetClientSize().y < grid_->row_height()) return;
      MakeSteps();
    }
    const bool answered = notifications_ >= next_;
    if (!answered && ++waited_ < 200) return;  // ten seconds for the slowest machine
    if (!answered) std::fprintf(stderr, "step %zu had no answer\n", next_);
    waited_ = 0;
    if (next_ == steps_.size()) {
      timer_.Stop();
      SetTitle("Grid window check");
      return;
    }
    steps_[next_++]();
  }

  void MakeSteps() {
    const int row = grid_->row_height();
    const wxPoint origin = grid_->GetScreenPosition();
    int header = 0;
    for (wxWindow* child : grid_->GetChildren()) header = child->GetSize().y;
    const int x = origin.x;
    const int first = origin.y + header + row / 2;
    steps_ = {
        [=, this] { Click(x + 5 + 6, first, wxMOUSE_BTN_LEFT); },            // expand Site 1
        [=, this] { Click(x + 60, first + row, wxMOUSE_BTN_LEFT); },         // select page 1
        [=, this] { simulator_.Char(WXK_DOWN); },                            // on to page 2
        [=, this] { Click(x + 220 + 4 + 6, first + 2 * row, wxMOUSE_BTN_LEFT); },  // its icon
        [=, this] { Click(x + 60, first + 3 * row, wxMOUSE_BTN_RIGHT); },    // right click page 3
    };
  }

  void Click(int x, int y, int button) {
    simulator_.MouseMove(x, y);
    simulator_.MouseClick(button);
  }

  CGridWnd* grid_;
  wxUIActionSimulator simulator_;
  wxTimer timer_;
  std::vector<std::function<void()>> steps_;
  std::size_t next_ = 0;
  std::size_t notifications_ = 0;
  int waited_ = 0;
};

class CheckApp : public wxApp {
 public:
  bool OnInit() override {
    tf::desktop::UseWxMessageBoxes();
    auto* frame = new CheckFrame;
    frame->Show();
    frame->Start();
    return true;
  }
};

}  // namespace

wxIMPLEMENT_APP(CheckApp);
