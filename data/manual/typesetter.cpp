#include "data/manual/typesetter.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "data/art/cairo_handles.h"
#include "data/art/mark.h"

namespace tf::manual {
namespace {

constexpr double kPageWidth = 595.28, kPageHeight = 841.89;  // A4 in points
constexpr double kLeft = 68, kRight = kPageWidth - 68;
constexpr double kTop = 72, kBottom = kPageHeight - 76;
constexpr double kBodySize = 10.5, kLeading = 1.38;

struct Font {
  const char* family;
  cairo_font_weight_t weight;
  double size;
};

constexpr Font kBody = {"Liberation Sans", CAIRO_FONT_WEIGHT_NORMAL, kBodySize};
constexpr Font kBold = {"Liberation Sans", CAIRO_FONT_WEIGHT_BOLD, kBodySize};
constexpr Font kExample = {"Liberation Mono", CAIRO_FONT_WEIGHT_NORMAL, 9.5};
constexpr Font kChapterFont = {"Liberation Sans", CAIRO_FONT_WEIGHT_BOLD, 20};
constexpr Font kSectionFont = {"Liberation Sans", CAIRO_FONT_WEIGHT_BOLD, 13};
constexpr Font kFooter = {"Liberation Sans", CAIRO_FONT_WEIGHT_NORMAL, 8.5};

using art::Rgb;
constexpr Rgb kText = {0.12, 0.12, 0.14};
constexpr Rgb kAccent = {0.86, 0.40, 0.10};
constexpr Rgb kMuted = {0.42, 0.45, 0.52};
constexpr Rgb kRule = {0.80, 0.82, 0.86};


// A word that does not fit its line even alone.
struct LayoutError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Chapter {
  std::string title;
  int page = 0;
};

// Lays the document out; with `draw` false it only counts, so that the
// contents can give each chapter's page before the real pass.
class Layout {
 public:
  Layout(cairo_t* cr, cairo_surface_t* surface, bool draw) : cr_(cr), surface_(surface), draw_(draw) {}

  void Run(const std::vector<Block>& blocks, std::vector<Chapter>& chapters) {
    TitlePage(blocks, chapters);
    for (const Block& block : blocks) {
      switch (block.kind) {
        case BlockKind::kTitle: break;
        case BlockKind::kChapter:
          chapters[chapter_index_++].page = NewPage();
          ChapterHeading(block.text);
          break;
        case BlockKind::kSection: SectionHeading(block.text); break;
        case BlockKind::kParagraph: Paragraph(block.text, kLeft, kBody); break;
        case BlockKind::kBullet: Bullet(block.text); break;
        case BlockKind::kTable: Table(block.rows); break;
        case BlockKind::kExample: ExampleLine(block.text); break;
      }
    }
    FinishPage();
  }

 private:
  void Use(const Font& font) {
    cairo_select_font_face(cr_, font.family, CAIRO_FONT_SLANT_NORMAL, font.weight);
    cairo_set_font_size(cr_, font.size);
  }
  void Paint(Rgb ink) { art::SetColor(cr_, ink); }

  double Width(std::string_view text) {
    cairo_text_extents_t extents;
    const std::string copy(text);
    cairo_text_extents(cr_, copy.c_str(), &extents);
    return extents.x_advance;
  }

  void Text(double x, double baseline, const std::string& text) {
    if (!draw_) return;
    cairo_move_to(cr_, x, baseline);
    cairo_show_text(cr_, text.c_str());
  }

  // Breaks text into lines no wider than `width` in the current font.
  std::vector<std::string> Lines(std::string_view text, double width) {
    std::vector<std::string> lines;
    std::string line;
    while (!text.empty()) {
      const std::size_t space = text.find(' ');
      const std::string_view word = text.substr(0, space);
      text.remove_prefix(space == std::string_view::npos ? text.size() : space + 1);
      if (word.empty()) continue;
      if (Width(word) > width) throw LayoutError("word too wide for its line: " + std::string(word));
      const std::string candidate = line.empty() ? std::string(word) : line + ' ' + std::string(word);
      if (Width(candidate) <= width) {
        line = candidate;
      } else {
        lines.push_back(line);
        line = word;
      }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
  }

  double LineHeight(const Font& font) const { return font.size * kLeading; }

  int NewPage() {
    FinishPage();
    ++page_;
    page_open_ = true;
    y_ = kTop;
    return page_;
  }

  void FinishPage() {
    if (!page_open_) return;
    if (page_ > 1) Footer();
    if (draw_) cairo_show_page(cr_);
    page_open_ = false;
  }

  // Starts a new page unless `height` more points fit on this one.
  void Room(double height) {
    if (!page_open_ || y_ + height > kBottom) NewPage();
  }

  void Footer() {
    if (!draw_) return;
    Paint(kRule);
    cairo_set_line_width(cr_, 0.6);
    cairo_move_to(cr_, kLeft, kBottom + 22);
    cairo_line_to(cr_, kRight, kBottom + 22);
    cairo_stroke(cr_);
    Use(kFooter);
    Paint(kMuted);
    Text(kLeft, kBottom + 36, "Tallyfox manual");
    const std::string number = "Page " + std::to_string(page_);
    Text(kRight - Width(number), kBottom + 36, number);
  }

  void TitlePage(const std::vector<Block>& blocks, const std::vector<Chapter>& chapters) {
    NewPage();
    if (draw_) art::DrawMark(cr_, kLeft - 6, 96, 120);
    double baseline = 280;
    bool first = true;
    for (const Block& block : blocks) {
      if (block.kind != BlockKind::kTitle) continue;
      Use(first ? Font{"Liberation Sans", CAIRO_FONT_WEIGHT_BOLD, 34} : Font{"Liberation Sans", CAIRO_FONT_WEIGHT_NORMAL, 15});
      Paint(first ? kText : kMuted);
      Text(kLeft, baseline, block.text);
      baseline += first ? 34 : 22;
      first = false;
    }
    Contents(chapters, baseline + 40);
  }

  void Contents(const std::vector<Chapter>& chapters, double baseline) {
    Use(kSectionFont);
    Paint(kAccent);
    Text(kLeft, baseline, "Contents");
    baseline += 26;
    Use(kBody);
    int number = 1;
    for (const Chapter& chapter : chapters) {
      Paint(kText);
      Text(kLeft, baseline, std::to_string(number++) + "   " + chapter.title);
      const std::string page = std::to_string(chapter.page);
      Text(kRight - Width(page), baseline, page);
      if (draw_) {
        cairo_pdf_surface_add_outline(surface_, CAIRO_PDF_OUTLINE_ROOT, chapter.title.c_str(),
                                      ("page=" + std::to_string(chapter.page)).c_str(), CAIRO_PDF_OUTLINE_FLAG_OPEN);
      }
      baseline += LineHeight(kBody) + 2;
    }
  }

  void ChapterHeading(const std::string& title) {
    ++chapter_number_;
    Use(kChapterFont);
    Paint(kAccent);
    const double baseline = y_ + kChapterFont.size;
    Text(kLeft, baseline, std::to_string(chapter_number_) + "  " + title);
    if (draw_) {
      cairo_set_line_width(cr_, 1.2);
      cairo_move_to(cr_, kLeft, baseline + 10);
      cairo_line_to(cr_, kRight, baseline + 10);
      cairo_stroke(cr_);
    }
    y_ = baseline + 28;
  }

  void SectionHeading(const std::string& title) {
    // Kept with at least three lines of what follows.
    Room(LineHeight(kSectionFont) + 8 + 3 * LineHeight(kBody));
    y_ += 6;
    Use(kSectionFont);
    Paint(kText);
    for (const std::string& line : Lines(title, kRight - kLeft)) {
      y_ += LineHeight(kSectionFont);
      Text(kLeft, y_ - 4, line);
    }
    y_ += 4;
  }

  // Lines go on to as many pages as they need.
  void Paragraph(const std::string& text, double left, const Font& font) {
    Use(font);
    for (const std::string& line : Lines(text, kRight - left)) {
      Room(LineHeight(font));
      Use(font);
      Paint(kText);
      y_ += LineHeight(font);
      Text(left, y_ - font.size * 0.3, line);
    }
    y_ += font.size * 0.6;
  }

  void Bullet(const std::string& text) {
    Room(LineHeight(kBody));
    y_ -= kBodySize * 0.35;  // items sit closer together than paragraphs
    if (draw_) {
      Paint(kAccent);
      cairo_arc(cr_, kLeft + 6, y_ + LineHeight(kBody) - kBodySize * 0.62, 2.1, 0, 6.2832);
      cairo_fill(cr_);
    }
    Paragraph(text, kLeft + 16, kBody);
  }

  void ExampleLine(const std::string& text) {
    Use(kExample);
    if (Width(text) > kRight - kLeft - 16) throw LayoutError("example line too wide: " + text);
    Room(LineHeight(kExample));
    if (draw_) {
      cairo_set_source_rgb(cr_, 0.95, 0.95, 0.97);
      cairo_rectangle(cr_, kLeft, y_ - 2, kRight - kLeft, LineHeight(kExample) + 4);
      cairo_fill(cr_);
    }
    Use(kExample);
    Paint(kText);
    y_ += LineHeight(kExample);
    Text(kLeft + 8, y_ - kExample.size * 0.3, text);
    y_ += 4;
  }

  // Columns share the width in proportion to their widest words and texts,
  // each cell wrapped inside its column; a row is never split across pages.
  void Table(const std::vector<std::vector<std::string>>& rows) {
    const std::size_t columns = rows.empty() ? 0 : rows.front().size();
    if (columns == 0) return;
    constexpr double kPad = 4;
    std::vector<double> want(columns, 1);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      Use(r == 0 ? kBold : kBody);
      for (std::size_t c = 0; c < columns && c < rows[r].size(); ++c)
        want[c] = std::max(want[c], std::min(Width(rows[r][c]), 260.0));
    }
    double total = 0;
    for (double w : want) total += w;
    std::vector<double> widths(columns);
    for (std::size_t c = 0; c < columns; ++c) widths[c] = (kRight - kLeft) * want[c] / total;

    y_ += 2;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const Font& font = r == 0 ? kBold : kBody;
      Use(font);
      std::vector<std::vector<std::string>> cells(columns);
      std::size_t height_lines = 1;
      for (std::size_t c = 0; c < columns; ++c) {
        if (c < rows[r].size()) cells[c] = Lines(rows[r][c], widths[c] - 2 * kPad);
        height_lines = std::max(height_lines, cells[c].size());
      }
      const double height = height_lines * LineHeight(font) + 2 * kPad;
      Room(height);
      if (draw_) {
        if (r == 0) cairo_set_source_rgb(cr_, 0.99, 0.93, 0.87);
        else cairo_set_source_rgb(cr_, 1, 1, 1);
        cairo_rectangle(cr_, kLeft, y_, kRight - kLeft, height);
        cairo_fill(cr_);
        Paint(kRule);
        cairo_set_line_width(cr_, 0.6);
        cairo_move_to(cr_, kLeft, y_ + height);
        cairo_line_to(cr_, kRight, y_ + height);
        cairo_stroke(cr_);
      }
      Use(font);
      Paint(kText);
      double x = kLeft;
      for (std::size_t c = 0; c < columns; ++c) {
        double baseline = y_ + kPad;
        for (const std::string& line : cells[c]) {
          baseline += LineHeight(font);
          Text(x + kPad, baseline - font.size * 0.3, line);
        }
        x += widths[c];
      }
      y_ += height;
    }
    y_ += kBodySize;
  }

  cairo_t* cr_;
  cairo_surface_t* surface_;
  bool draw_;
  int page_ = 0;
  bool page_open_ = false;
  double y_ = kTop;
  int chapter_number_ = 0;
  std::size_t chapter_index_ = 0;
};

}  // namespace

bool TypesetManual(const std::vector<Block>& blocks, const std::string& file_name, std::string& error) {
  std::vector<Chapter> chapters;
  for (const Block& block : blocks)
    if (block.kind == BlockKind::kChapter) chapters.push_back({block.text, 0});
  try {
    // The counting pass measures on a scratch picture with the same fonts.
    {
      art::SurfacePtr scratch(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
      art::ContextPtr cr(cairo_create(scratch.get()));
      Layout(cr.get(), scratch.get(), false).Run(blocks, chapters);
    }
    art::SurfacePtr pdf(
        cairo_pdf_surface_create(file_name.c_str(), kPageWidth, kPageHeight));
    cairo_pdf_surface_set_metadata(pdf.get(), CAIRO_PDF_METADATA_TITLE, "Tallyfox manual");
    art::ContextPtr cr(cairo_create(pdf.get()));
    Layout(cr.get(), pdf.get(), true).Run(blocks, chapters);
    cr.reset();
    cairo_surface_finish(pdf.get());
    if (cairo_surface_status(pdf.get()) != CAIRO_STATUS_SUCCESS) {
      error = std::string("cannot write ") + file_name + ": " + cairo_status_to_string(cairo_surface_status(pdf.get()));
      return false;
    }
  } catch (const LayoutError& e) {
    error = e.what();
    return false;
  }
  return true;
}

}  // namespace tf::manual
