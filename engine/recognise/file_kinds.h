// The kinds of requested file a run tells apart, with the item category of
// each, the category of its site total, the HourStats/DayStats bits that
// enable them and the run counter it adds to.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/site/item_category.h"
#include "engine/site/run_state.h"
#include "engine/site/site_settings.h"

namespace tf {

struct FileKind {
  std::int32_t category;
  std::int32_t item_bit;
  std::int32_t total_category;
  std::int32_t total_bit;
  std::int32_t RunHistory::*run_counter;
};

// Indexed by FileKindIndex.
inline constexpr FileKind kFileKinds[kFileKindCount] = {
    {kCategoryWebPage, 0x1, kCategoryWebPageTotal, 0x100, &RunHistory::stPageHits},
    {kCategoryImage, 0x2, kCategoryImageTotal, 0x200, &RunHistory::stImageHits},
    {kCategoryDocument, 0x4, kCategoryDocumentTotal, 0x400, &RunHistory::stDocumentHits},
    {kCategoryForm, 0x8, kCategoryFormTotal, 0x800, &RunHistory::stFormHits},
    {kCategoryProgram, 0x10, kCategoryProgramTotal, 0x1000, &RunHistory::stProgramHits},
    {kCategoryOtherFile, 0x20, kCategoryOtherFileTotal, 0x2000, &RunHistory::stOtherHits},
};

// The kind of an item category (1 to 5 or 9); "other" for any other.
FileKindIndex FileKindOf(std::int32_t category);

// The category of a file extension, letters compared without regard to
// case; 9 (other) when none matches.
std::int32_t ClassifyFileType(std::string_view extension);

}  // namespace tf
