#include "desktop/bitmaps.h"

#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "desktop/fit_text.h"
#include "desktop/wx_text.h"

namespace tf::desktop {

namespace {

constexpr std::size_t kFileHeaderSize = 14;

std::vector<char> ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

wxBitmap LoadBitmapFile(const std::string& path, BitmapInfoHeader* header) {
  std::vector<char> bytes = ReadWholeFile(path);
  if (bytes.size() < kFileHeaderSize + std::tuple_size_v<BitmapInfoHeader> || bytes[0] != 'B' ||
      bytes[1] != 'M') {
    return wxBitmap();
  }
  if (header != nullptr) {
    std::copy_n(bytes.begin() + kFileHeaderSize, header->size(), header->begin());
  }
  wxMemoryInputStream stream(bytes.data(), bytes.size());
  wxImage image;
  // A damaged file is no picture; wx would say so in a box of its own.
  wxLogNull quiet;
  if (!image.LoadFile(stream, wxBITMAP_TYPE_BMP)) return wxBitmap();
  return wxBitmap(image);
}

void DrawBitmap(wxDC& dc, const wxBitmap& bitmap, int x, int y, int source_x, int source_y) {
  if (!bitmap.IsOk()) return;
  wxMemoryDC memory;
  memory.SelectObjectAsSource(bitmap);
  dc.Blit(x, y, bitmap.GetWidth() - source_x, bitmap.GetHeight() - source_y, &memory, source_x,
          source_y);
}

std::string FitTextToWidth(wxDC& dc, int width, std::string_view text, std::size_t size) {
  return FitTextToWidth(
      [&dc](std::string_view candidate) { return dc.GetTextExtent(ToWx(candidate)).GetWidth(); },
      width, text, size);
}

}  // namespace tf::desktop
