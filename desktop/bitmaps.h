// Pictures for the desktop programs' windows: a .BMP file loaded into a
// bitmap for the screen, drawn as a plain copy, and texts fitted into a
// width in a device context's font.
#pragma once

#include <wx/bitmap.h>
#include <wx/dc.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tf::desktop {

// The 40-byte information header that follows the 14-byte file header.
using BitmapInfoHeader = std::array<std::uint8_t, 40>;

// The whole .BMP file as a bitmap; an invalid bitmap when the file cannot
// be read or is no picture. The information header is copied when asked.
wxBitmap LoadBitmapFile(const std::string& path, BitmapInfoHeader* header = nullptr);

// Copies the bitmap, from (source_x, source_y) on, to (x, y) of the
// context; nothing for an invalid bitmap.
void DrawBitmap(wxDC& dc, const wxBitmap& bitmap, int x, int y, int source_x = 0,
                int source_y = 0);

// FitTextToWidth (desktop/fit_text.h) measured in the context's font.
std::string FitTextToWidth(wxDC& dc, int width, std::string_view text, std::size_t size);

}  // namespace tf::desktop
