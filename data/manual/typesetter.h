// Lays the manual's blocks out on A4 pages of a PDF file: a title page with
// the contents, then every chapter from a new page, lines broken between
// words by measured width, and a footer with the page number.
#pragma once

#include <string>
#include <vector>

#include "data/manual/manual_source.h"

namespace tf::manual {

// Writes the PDF; on failure returns false with the reason in `error` (a
// word too wide for its line, a file that cannot be written).
bool TypesetManual(const std::vector<Block>& blocks, const std::string& file_name, std::string& error);

}  // namespace tf::manual
