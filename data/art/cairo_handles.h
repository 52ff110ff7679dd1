// Owning handles for Cairo objects and the colour type of the artwork, shared
// by the picture and manual tools.
#pragma once

#include <cairo.h>

#include <memory>

namespace tf::art {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;

struct Rgb {
  double r, g, b;
};

inline void SetColor(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

}  // namespace tf::art
