// The manual's markup, one block per construct:
//   % text        a title-page line (the first is the title)
//   # text        a chapter, which starts a new page
//   ## text       a section heading
//   - text        a bullet item (following indented lines continue it)
//   | a | b |     a table row (the first row of a table is its heading)
//       text      a line of a command or file example, kept as it is
// Other lines are paragraph text; a blank line ends a paragraph.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tf::manual {

enum class BlockKind { kTitle, kChapter, kSection, kParagraph, kBullet, kTable, kExample };

struct Block {
  BlockKind kind = BlockKind::kParagraph;
  std::string text;                           // all but tables
  std::vector<std::vector<std::string>> rows;  // tables
};

std::vector<Block> ParseManual(std::string_view source);

}  // namespace tf::manual
