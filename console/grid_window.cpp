#include "console/grid_window.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include <algorithm>

#include "desktop/wx_text.h"

namespace tf::console {

wxDEFINE_EVENT(wxEVT_GRID_NOTIFY, wxCommandEvent);

namespace {

// The model's colours are 0xBBGGRR.
wxColour FromBgr(std::uint32_t bgr) {
  return wxColour(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

constexpr int kExpandMarkSize = 12;

}  // namespace

CGridWnd::CGridWnd(wxWindow* parent, wxWindowID id, long grid_style)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize,
               wxVSCROLL | wxHSCROLL | wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE),
      grid_style_(grid_style),
      header_(new Header(this)) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  row_height_ = std::max(GetCharHeight() + 4, kExpandMarkSize + 4);
  Bind(wxEVT_PAINT, &CGridWnd::OnPaint, this);
  Bind(wxEVT_SIZE, &CGridWnd::OnSize, this);
  Bind(wxEVT_SCROLLWIN_TOP, &CGridWnd::OnScroll, this);
  Bind(wxEVT_SCROLLWIN_BOTTOM, &CGridWnd::OnScroll, this);
  Bind(wxEVT_SCROLLWIN_LINEUP, &CGridWnd::OnScroll, this);
  Bind(wxEVT_SCROLLWIN_LINEDOWN, &CGridWnd::OnScroll, this);
  Bind(wxEVT_SCROLLWIN_PAGEUP, &CGridWnd::OnScroll, this);
  Bind(wxEVT_SCROLLWIN_PAGEDOWN, &CGridWnd::OnScroll, this);
  Bind(wxEVT_SCROLLWIN_THUMBTRACK, &CGridWnd::OnScroll, this);
  Bind(wxEVT_SCROLLWIN_THUMBRELEASE, &CGridWnd::OnScroll, this);
  Bind(wxEVT_LEFT_DOWN, &CGridWnd::OnLeftDown, this);
  Bind(wxEVT_LEFT_DCLICK, &CGridWnd::OnLeftDoubleClick, this);
  Bind(wxEVT_RIGHT_DOWN, &CGridWnd::OnRightDown, this);
  Bind(wxEVT_KEY_DOWN, &CGridWnd::OnKeyDown, this);
  Bind(wxEVT_MOUSEWHEEL, &CGridWnd::OnWheel, this);
  header_->Bind(wxEVT_HEADER_RESIZING, &CGridWnd::OnHeaderResizing, this);
  header_->Bind(wxEVT_HEADER_END_RESIZE, &CGridWnd::OnHeaderEndResize, this);
  header_->Bind(wxEVT_HEADER_CLICK, &CGridWnd::OnHeaderClick, this);
}

void CGridWnd::SetColumns(std::vector<Column> columns) {
  columns_ = std::move(columns);
  header_->columns.clear();
  for (const Column& column : columns_) {
    header_->columns.emplace_back(desktop::ToWx(column.title), column.width);
  }
  header_->SetColumnCount(static_cast<unsigned>(columns_.size()));
  TakeColumnWidths();
  ArrangeView();
}

void CGridWnd::AddRow(int level, std::vector<std::string> texts, std::vector<int> icons) {
  model_.AddRow(level, std::move(icons));
  texts_.push_back(std::move(texts));
  UpdateScrollBars();
  Refresh();
}

void CGridWnd::TakeColumnWidths() {
  std::vector<GridColumn> widths;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    int icon_width = 0;
    if (columns_[c].icons) {
      int height = 0;
      columns_[c].icons->GetSize(0, icon_width, height);
    } else if ((columns_[c].flags & kColumnExpandMark) != 0) {
      icon_width = kExpandMarkSize;
    }
    widths.push_back({header_->columns[c].GetWidth(), columns_[c].flags, icon_width});
  }
  model_.SetColumns(std::move(widths));
}

int CGridWnd::HeaderHeight() const { return header_->GetBestSize().y; }

int CGridWnd::RowsThatFit() const {
  return std::max(1, (GetClientSize().y - HeaderHeight()) / row_height_);
}

void CGridWnd::ArrangeView() {
  const wxSize client = GetClientSize();
  model_.SetViewSize(RowsThatFit(), client.x);
  model_.ScrollHorizontally(0);  // keeps the offset within the new width
  // The header moves with the horizontal offset, as the rows do.
  header_->SetSize(-model_.x_offset(), 0,
                   std::max(client.x + model_.x_offset(), model_.total_width()), HeaderHeight());
  UpdateScrollBars();
}

void CGridWnd::UpdateScrollBars() {
  const int scale = model_.ScrollScale();
  const int range = (model_.shown_count() + scale - 1) / scale;
  SetScrollbar(wxVERTICAL, model_.ScrollPosition(), std::max(1, RowsThatFit() / scale), range);
  SetScrollbar(wxHORIZONTAL, model_.x_offset(), GetClientSize().x, model_.total_width());
}

void CGridWnd::ScrollRowsBy(int delta) {
  const int moved = model_.ScrollRows(delta);
  if (moved == 0) return;
  const int header = HeaderHeight();
  const wxSize client = GetClientSize();
  if (std::abs(moved) < RowsThatFit()) {
    // A short move shifts the image and paints only the uncovered band.
    wxRect rows(0, header, client.x, client.y - header);
    ScrollWindow(0, -moved * row_height_, &rows);
    header_->Move(-model_.x_offset(), 0);  // ScrollWindow must not take the header along
  } else {
    Refresh();
  }
  UpdateScrollBars();
}

void CGridWnd::ScrollSideways(int delta) {
  const int before = model_.x_offset();
  model_.ScrollHorizontally(delta);
  if (model_.x_offset() == before) return;
  ArrangeView();
  Refresh();
}

void CGridWnd::OnSize(wxSizeEvent& event) {
  ArrangeView();
  event.Skip();
}

void CGridWnd::OnScroll(wxScrollWinEvent& event) {
  const wxEventType type = event.GetEventType();
  const bool vertical = event.GetOrientation() == wxVERTICAL;
  if (type == wxEVT_SCROLLWIN_THUMBTRACK || type == wxEVT_SCROLLWIN_THUMBRELEASE) {
    if (vertical) {
      ScrollRowsBy(event.GetPosition() * model_.ScrollScale() - model_.first_shown());
    } else {
      ScrollSideways(event.GetPosition() - model_.x_offset());
    }
    return;
  }
  const bool line = type == wxEVT_SCROLLWIN_LINEUP || type == wxEVT_SCROLLWIN_LINEDOWN;
  const bool back = type == wxEVT_SCROLLWIN_LINEUP || type == wxEVT_SCROLLWIN_PAGEUP ||
                    type == wxEVT_SCROLLWIN_TOP;
  const bool end = type == wxEVT_SCROLLWIN_TOP || type == wxEVT_SCROLLWIN_BOTTOM;
  int step;
  if (vertical) {
    step = end ? model_.shown_count() : line ? 1 : RowsThatFit();
    ScrollRowsBy(back ? -step : step);
  } else {
    step = end ? model_.total_width() : line ? GridModel::kHorizontalLine
                                             : GridModel::kHorizontalPage;
    ScrollSideways(back ? -step : step);
  }
}

int CGridWnd::RowAt(const wxPoint& point) const {
  return model_.RowAtY(point.y, HeaderHeight(), row_height_);
}

void CGridWnd::Notify(const std::optional<GridNotification>& notification) {
  Refresh();
  if (!notification) return;
  wxCommandEvent event(wxEVT_GRID_NOTIFY, GetId());
  event.SetEventObject(this);
  event.SetInt(notification->code);
  event.SetExtraLong(static_cast<long>(notification->value));
  if (wxWindow* parent = GetParent()) parent->GetEventHandler()->AddPendingEvent(event);
}

void CGridWnd::OnLeftDown(wxMouseEvent& event) {
  SetFocus();
  const int row = RowAt(event.GetPosition());
  if (row < 0) return;
  const bool expand_click =
      model_.IconColumnAt(event.GetX() + model_.x_offset()) >= 0;
  Notify(model_.LeftClick(row, event.GetX() + model_.x_offset(), event.ControlDown(),
                          event.ShiftDown()));
  if (expand_click) UpdateScrollBars();
}

void CGridWnd::OnLeftDoubleClick(wxMouseEvent& event) {
  const int row = RowAt(event.GetPosition());
  if (row >= 0) Notify(model_.DoubleClick(row));
}

void CGridWnd::OnRightDown(wxMouseEvent& event) {
  SetFocus();
  const int row = RowAt(event.GetPosition());
  if (row < 0) return;
  Notify(model_.RightClick(row, event.GetX() + model_.x_offset(),
                           (grid_style_ & kRightClickSelects) != 0));
}

void CGridWnd::OnKeyDown(wxKeyEvent& event) {
  std::optional<GridKey> key;
  switch (event.GetKeyCode()) {
    case WXK_PAGEUP: key = GridKey::kPageUp; break;
    case WXK_PAGEDOWN: key = GridKey::kPageDown; break;
    case WXK_HOME: key = GridKey::kHome; break;
    case WXK_END: key = GridKey::kEnd; break;
    case WXK_UP: key = GridKey::kUp; break;
    case WXK_DOWN: key = GridKey::kDown; break;
    case WXK_LEFT:
    case WXK_RIGHT:
      if (model_.total_width() > GetClientSize().x) {
        const int page = GridModel::kHorizontalPage;
        ScrollSideways(event.GetKeyCode() == WXK_LEFT ? -page : page);
      }
      return;
    default:
      event.Skip();
      return;
  }
  const int first = model_.first_shown();
  Notify(model_.Key(*key, event.ShiftDown()));
  if (model_.first_shown() != first) UpdateScrollBars();
}

void CGridWnd::OnWheel(wxMouseEvent& event) {
  const int notches = event.GetWheelRotation() / std::max(1, event.GetWheelDelta());
  const int per_notch = event.IsPageScroll() ? RowsThatFit() : event.GetLinesPerAction();
  ScrollRowsBy(-notches * per_notch);
}

void CGridWnd::OnHeaderResizing(wxHeaderCtrlEvent& event) {
  header_->columns[static_cast<std::size_t>(event.GetColumn())].SetWidth(event.GetWidth());
  TakeColumnWidths();
  Refresh();
  OnHeaderTrack(event.GetColumn());
}

void CGridWnd::OnHeaderEndResize(wxHeaderCtrlEvent& event) {
  header_->columns[static_cast<std::size_t>(event.GetColumn())].SetWidth(event.GetWidth());
  header_->UpdateColumn(static_cast<unsigned>(event.GetColumn()));
  TakeColumnWidths();
  ArrangeView();
  Refresh();
  OnHeaderItemChanged(event.GetColumn());
}

void CGridWnd::OnHeaderClick(wxHeaderCtrlEvent& event) { OnHeaderItemClick(event.GetColumn()); }

void CGridWnd::OnPaint(wxPaintEvent&) {
  // Every visible row is drawn into a memory picture first, so that
  // scrolling and selection never flicker.
  wxAutoBufferedPaintDC dc(this);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  dc.SetFont(GetFont());
  const int header = HeaderHeight();
  const int rows = RowsThatFit() + 1;
  for (int i = 0; i < rows; ++i) {
    const int row = model_.ShownRow(model_.first_shown() + i);
    if (row < 0) break;
    PaintRow(dc, row, header + i * row_height_);
  }
}

void CGridWnd::PaintRow(wxDC& dc, int row, int top) {
  const unsigned flags = model_.flags(row);
  const int text_start = GridModel::kLeftMargin - model_.x_offset();
  if ((flags & kRowSelected) != 0) {
    const wxColour fill = FromBgr(SelectionColour(row == model_.focused_row(), HasFocus()));
    dc.SetBrush(wxBrush(fill));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(text_start, top, model_.total_width() - GridModel::kLeftMargin, row_height_);
    dc.SetTextForeground(*wxWHITE);
  } else {
    dc.SetTextForeground(*wxBLACK);
  }
  int left = -model_.x_offset();
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    const int width = header_->columns[c].GetWidth();
    int x = left + (c == 0 ? GridModel::kLeftMargin : GridModel::kColumnGap);
    wxDCClipper clip(dc, wxRect(left, top, width, row_height_));
    const Column& column = columns_[c];
    if ((column.flags & kColumnExpandMark) != 0 && (flags & kRowHasChildren) != 0) {
      const wxRect mark(x, top + (row_height_ - kExpandMarkSize) / 2, kExpandMarkSize,
                        kExpandMarkSize);
      wxRendererNative::Get().DrawTreeItemButton(
          this, dc, mark, (flags & kRowExpanded) != 0 ? int{wxCONTROL_EXPANDED} : 0);
      x += kExpandMarkSize + GridModel::kColumnGap;
    } else if (column.icons && model_.icon(row, static_cast<int>(c)) >= 0) {
      int icon_width = 0, icon_height = 0;
      column.icons->GetSize(0, icon_width, icon_height);
      column.icons->Draw(model_.icon(row, static_cast<int>(c)), dc, x,
                         top + (row_height_ - icon_height) / 2, wxIMAGELIST_DRAW_TRANSPARENT);
      x += icon_width + GridModel::kColumnGap;
    }
    const auto& texts = texts_[static_cast<std::size_t>(row)];
    if (c < texts.size()) {
      dc.DrawText(desktop::ToWx(texts[c]), x, top + (row_height_ - dc.GetCharHeight()) / 2);
    }
    left += width;
  }
}

}  // namespace tf::console
