// The Tallyfox mark: a fox head over a rising bar chart, drawn as vector
// shapes so that every icon size and the splash picture come from one source.
#pragma once

typedef struct _cairo cairo_t;

namespace tf::art {

// Draws the mark into the square (x, y, size); below 32 pixels the bars and
// the ear linings are left out so that the head stays readable.
void DrawMark(cairo_t* cr, double x, double y, double size);

// The icon: the mark on a rounded tile, transparent outside it.
void DrawIcon(cairo_t* cr, int size);

// The 439 x 195 splash picture: mark, name, tagline and version.
void DrawSplash(cairo_t* cr, int width, int height);

}  // namespace tf::art
