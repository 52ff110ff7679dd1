#include "data/art/mark.h"

#include "data/art/cairo_handles.h"

#include <cairo.h>

#include <initializer_list>
#include <numbers>
#include <utility>

namespace tf::art {
namespace {

constexpr Rgb kFoxOrange = {0.96, 0.52, 0.16};
constexpr Rgb kFoxDeep = {0.86, 0.36, 0.08};
constexpr Rgb kCream = {1.0, 0.97, 0.92};
constexpr Rgb kInk = {0.13, 0.16, 0.25};
constexpr Rgb kTileTop = {0.19, 0.26, 0.42};
constexpr Rgb kTileBottom = {0.11, 0.15, 0.26};
constexpr Rgb kBarTeal = {0.22, 0.80, 0.72};

// A closed path through points given in the mark's 100 x 100 units.
void Shape(cairo_t* cr, std::initializer_list<std::pair<double, double>> points) {
  bool first = true;
  for (auto [x, y] : points) {
    if (first) cairo_move_to(cr, x, y);
    else cairo_line_to(cr, x, y);
    first = false;
  }
  cairo_close_path(cr);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  constexpr double kQuarter = std::numbers::pi / 2;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kQuarter, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kQuarter);
  cairo_arc(cr, x + r, y + h - r, r, kQuarter, 2 * kQuarter);
  cairo_arc(cr, x + r, y + r, r, 2 * kQuarter, 3 * kQuarter);
  cairo_close_path(cr);
}

void VerticalGradient(cairo_t* cr, double top, double bottom, Rgb from, Rgb to) {
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, top, 0, bottom);
  cairo_pattern_add_color_stop_rgb(gradient, 0, from.r, from.g, from.b);
  cairo_pattern_add_color_stop_rgb(gradient, 1, to.r, to.g, to.b);
  cairo_set_source(cr, gradient);
  cairo_pattern_destroy(gradient);
}

void Head(cairo_t* cr) {
  Shape(cr, {{14, 8}, {38, 30}, {62, 30}, {86, 8}, {90, 52}, {50, 90}, {10, 52}});
  VerticalGradient(cr, 8, 90, kFoxOrange, kFoxDeep);
  cairo_fill(cr);
}

void EarLinings(cairo_t* cr) {
  SetColor(cr, kInk);
  Shape(cr, {{20, 18}, {34, 31}, {22, 38}});
  cairo_fill(cr);
  Shape(cr, {{80, 18}, {66, 31}, {78, 38}});
  cairo_fill(cr);
}

void Cheeks(cairo_t* cr) {
  SetColor(cr, kCream);
  Shape(cr, {{10, 52}, {30, 54}, {50, 70}, {70, 54}, {90, 52}, {50, 90}});
  cairo_fill(cr);
}

void Eye(cairo_t* cr, double x, double y, double slant) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, slant);
  cairo_scale(cr, 1.0, 0.55);
  cairo_arc(cr, 0, 0, 6, 0, 2 * std::numbers::pi);
  cairo_restore(cr);
  SetColor(cr, kInk);
  cairo_fill(cr);
}

void Nose(cairo_t* cr) {
  SetColor(cr, kInk);
  Shape(cr, {{44, 80}, {56, 80}, {50, 89}});
  cairo_fill(cr);
}

// Three rising bars on the forehead: the analyser's tally.
void Bars(cairo_t* cr) {
  SetColor(cr, kCream);
  const double base = 44;
  const double heights[] = {6, 9.5, 13};
  for (int i = 0; i < 3; ++i) {
    RoundedRect(cr, 40.25 + 7 * i, base - heights[i], 5.5, heights[i], 1.2);
    cairo_fill(cr);
  }
}

}  // namespace

void DrawMark(cairo_t* cr, double x, double y, double size) {
  const bool small = size < 32;
  cairo_save(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  cairo_translate(cr, x, y);
  cairo_scale(cr, size / 100.0, size / 100.0);
  Head(cr);
  if (!small) EarLinings(cr);
  Cheeks(cr);
  Eye(cr, 33, 50, 0.45);
  Eye(cr, 67, 50, -0.45);
  Nose(cr);
  if (!small) Bars(cr);
  cairo_restore(cr);
}

void DrawIcon(cairo_t* cr, int size) {
  cairo_save(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_paint(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  // Small sizes fill the whole square so that the tile edge stays crisp.
  const double inset = size < 32 ? 0 : size * 0.04;
  const double tile = size - 2 * inset;
  RoundedRect(cr, inset, inset, tile, tile, tile * 0.22);
  VerticalGradient(cr, inset, inset + tile, kTileTop, kTileBottom);
  cairo_fill(cr);
  const double mark = tile * (size < 32 ? 0.92 : 0.80);
  DrawMark(cr, (size - mark) / 2, (size - mark) / 2 + tile * 0.02, mark);
  cairo_restore(cr);
}

void DrawSplash(cairo_t* cr, int width, int height) {
  (void)width;  // the layout is made for the fixed splash size
  cairo_save(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  VerticalGradient(cr, 0, height, kTileTop, kTileBottom);
  cairo_paint(cr);
  // A faint rising chart along the bottom edge echoes the mark's bars.
  cairo_set_source_rgba(cr, kBarTeal.r, kBarTeal.g, kBarTeal.b, 0.18);
  for (int i = 0; i < 12; ++i) {
    const double bar_height = 10 + 4.0 * i;
    cairo_rectangle(cr, 180 + 22.0 * i, height - bar_height, 16, bar_height);
  }
  cairo_fill(cr);

  const double mark = 150;
  DrawMark(cr, 18, (height - mark) / 2, mark);

  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);

  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 46);
  SetColor(cr, kCream);
  cairo_move_to(cr, 184, 92);
  cairo_show_text(cr, "Tally");
  SetColor(cr, kFoxOrange);
  cairo_show_text(cr, "fox");

  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 17);
  SetColor(cr, kCream);
  cairo_move_to(cr, 186, 122);
  cairo_show_text(cr, "Website log file analysis");
  cairo_set_font_size(cr, 13);
  SetColor(cr, kBarTeal);
  cairo_move_to(cr, 186, 146);
  cairo_show_text(cr, "Version 2.3");
  cairo_restore(cr);
}

}  // namespace tf::art
