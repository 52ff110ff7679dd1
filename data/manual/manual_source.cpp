#include "data/manual/manual_source.h"

#include <optional>
#include <utility>

namespace tf::manual {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::vector<std::string> Cells(std::string_view row) {
  row = Trim(row);
  if (StartsWith(row, "|")) row.remove_prefix(1);
  if (!row.empty() && row.back() == '|') row.remove_suffix(1);
  std::vector<std::string> cells;
  for (std::size_t bar; (bar = row.find('|')) != std::string_view::npos; row.remove_prefix(bar + 1))
    cells.emplace_back(Trim(row.substr(0, bar)));
  cells.emplace_back(Trim(row));
  return cells;
}

// A title-page line, chapter or section heading ("## " before "# ").
std::optional<Block> Heading(std::string_view line) {
  static constexpr std::pair<std::string_view, BlockKind> kMarks[] = {
      {"% ", BlockKind::kTitle}, {"## ", BlockKind::kSection}, {"# ", BlockKind::kChapter}};
  for (const auto& [mark, kind] : kMarks)
    if (StartsWith(line, mark)) return Block{kind, std::string(Trim(line.substr(mark.size()))), {}};
  return std::nullopt;
}

// Adds a line to the open paragraph or bullet, or opens a new block.
void Continue(std::vector<Block>& blocks, bool& open, BlockKind kind, std::string_view text) {
  if (open && blocks.back().kind == kind) {
    blocks.back().text += ' ';
    blocks.back().text += text;
  } else {
    blocks.push_back({kind, std::string(text), {}});
  }
  open = true;
}

}  // namespace

std::vector<Block> ParseManual(std::string_view source) {
  std::vector<Block> blocks;
  bool open = false;  // a paragraph or bullet item takes further lines
  while (!source.empty()) {
    const std::size_t end = source.find('\n');
    std::string_view raw = source.substr(0, end);
    source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string_view line = Trim(raw);

    if (StartsWith(raw, "    ") && !line.empty() && !(open && blocks.back().kind == BlockKind::kBullet)) {
      blocks.push_back({BlockKind::kExample, std::string(raw.substr(4)), {}});
      open = false;
    } else if (line.empty()) {
      open = false;
    } else if (const auto heading = Heading(line)) {
      blocks.push_back(*heading);
      open = false;
    } else if (StartsWith(line, "- ")) {
      blocks.push_back({BlockKind::kBullet, std::string(Trim(line.substr(2))), {}});
      open = true;
    } else if (StartsWith(line, "|")) {
      if (blocks.empty() || blocks.back().kind != BlockKind::kTable || !open) blocks.push_back({BlockKind::kTable, {}, {}});
      blocks.back().rows.push_back(Cells(line));
      open = true;
    } else {
      const bool continues_bullet = open && blocks.back().kind == BlockKind::kBullet && raw.front() == ' ';
      Continue(blocks, open, continues_bullet ? BlockKind::kBullet : BlockKind::kParagraph, line);
    }
  }
  return blocks;
}

}  // namespace tf::manual
