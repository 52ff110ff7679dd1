#include "console/list_columns.h"

#include <algorithm>
#include <charconv>

#include "engine/common/registry_values.h"

namespace tf::console {

namespace {

constexpr int kMinimumWidths[3] = {20, 10, 10};

// Reads one signed decimal after leading blanks, as "%d" does; false when
// there is none.
bool ReadInteger(std::string_view& text, int& value) {
  std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return false;
  text.remove_prefix(start);
  const char* begin = text.data();
  if (!text.empty() && text.front() == '+') ++begin;
  auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
  if (error != std::errc()) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

}  // namespace

ListColumnWidths DefaultListColumnWidths(bool large_font) {
  return large_font ? ListColumnWidths{175, 170, 170} : ListColumnWidths{};
}

ListColumnWidths ParseListColumnWidths(std::string_view text, bool large_font) {
  ListColumnWidths widths = DefaultListColumnWidths(large_font);
  int* fields[3] = {&widths.project, &widths.last_analysis, &widths.next_analysis};
  for (int* field : fields) {
    if (!ReadInteger(text, *field)) break;
  }
  for (int i = 0; i < 3; ++i) *fields[i] = std::max(*fields[i], kMinimumWidths[i]);
  return widths;
}

std::string FormatListColumnWidths(const ListColumnWidths& widths) {
  std::string text;
  for (int width : {widths.project, widths.last_analysis, widths.next_analysis}) {
    text += std::to_string(width) + " ";
  }
  return text;
}

ListColumnWidths LoadListColumnWidths(bool large_font) {
  std::string stored;
  if (GetRegistryString(kListColumnsValue, stored, 0) == 0) {
    return DefaultListColumnWidths(large_font);
  }
  return ParseListColumnWidths(stored, large_font);
}

bool StoreListColumnWidths(const ListColumnWidths& widths) {
  return SetRegistryString(kListColumnsValue, FormatListColumnWidths(widths)) != 0;
}

}  // namespace tf::console
