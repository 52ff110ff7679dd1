// CGridWnd: the owner-drawn grid as a window. A header control gives the
// columns; rows (which may nest under expandable parents) are painted into a
// memory bitmap; clicks, keys, wheel and scroll bars drive the window-free
// GridModel, and what the model reports reaches the parent as a
// wxEVT_GRID_NOTIFY command event (GetInt(): the code, GetExtraLong(): the
// row value, GetId(): the grid's own identifier).
#pragma once

#include <wx/headerctrl.h>
#include <wx/imaglist.h>
#include <wx/window.h>

#include <memory>
#include <string>
#include <vector>

#include "console/grid_model.h"

namespace tf::console {

wxDECLARE_EVENT(wxEVT_GRID_NOTIFY, wxCommandEvent);

class CGridWnd : public wxWindow {
 public:
  static constexpr int kHeaderId = 4001;
  // Bit 1 of the style word: a right click selects the row under the pointer.
  static constexpr long kRightClickSelects = 2;

  struct Column {
    std::string title;
    int width = 80;
    unsigned flags = 0;                    // kColumnIconClickable, kColumnExpandMark
    std::shared_ptr<wxImageList> icons;    // may be empty
  };

  CGridWnd(wxWindow* parent, wxWindowID id, long grid_style = 0);

  void SetColumns(std::vector<Column> columns);
  // A row at a nesting level (0: top level) with one text and one icon
  // index (-1: none) per column.
  void AddRow(int level, std::vector<std::string> texts, std::vector<int> icons = {});

  const GridModel& model() const { return model_; }
  int row_height() const { return row_height_; }

 protected:
  // What a derived grid does when the header's columns are dragged, resized
  // or clicked; the column widths are already taken over.
  virtual void OnHeaderTrack(int /*column*/) {}
  virtual void OnHeaderItemChanged(int /*column*/) {}
  virtual void OnHeaderItemClick(int /*column*/) {}

 private:
  void OnPaint(wxPaintEvent& event);
  void OnSize(wxSizeEvent& event);
  void OnScroll(wxScrollWinEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnLeftDoubleClick(wxMouseEvent& event);
  void OnRightDown(wxMouseEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnWheel(wxMouseEvent& event);
  void OnHeaderResizing(wxHeaderCtrlEvent& event);
  void OnHeaderEndResize(wxHeaderCtrlEvent& event);
  void OnHeaderClick(wxHeaderCtrlEvent& event);

  void PaintRow(wxDC& dc, int row, int top);
  void TakeColumnWidths();
  void ArrangeView();
  void UpdateScrollBars();
  void ScrollRowsBy(int delta);
  void ScrollSideways(int delta);
  int HeaderHeight() const;
  int RowsThatFit() const;
  int RowAt(const wxPoint& point) const;
  void Notify(const std::optional<GridNotification>& notification);

  // The header of the grid's columns; the widths live here and in the
  // model, which the header's resize events keep in step.
  class Header : public wxHeaderCtrl {
   public:
    explicit Header(wxWindow* parent) : wxHeaderCtrl(parent, kHeaderId) {}
    std::vector<wxHeaderColumnSimple> columns;

   private:
    const wxHeaderColumn& GetColumn(unsigned int index) const override { return columns[index]; }
  };

  GridModel model_;
  long grid_style_;
  Header* header_;
  std::vector<Column> columns_;
  std::vector<std::vector<std::string>> texts_;
  int row_height_;
};

}  // namespace tf::console
