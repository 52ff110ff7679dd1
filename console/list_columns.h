// The widths of the site list's three columns, kept between runs in the
// registry value ProjListCol as "%d " per column.
#pragma once

#include <string>
#include <string_view>

namespace tf::console {

inline constexpr std::string_view kListColumnsValue = "ProjListCol";
inline constexpr std::string_view kColumnCaptions[3] = {"Project", "Last analysis", "Next analysis"};

struct ListColumnWidths {
  int project = 145;
  int last_analysis = 145;
  int next_analysis = 145;
  bool operator==(const ListColumnWidths&) const = default;
};

// The widths when nothing is stored: wider with a large screen font.
ListColumnWidths DefaultListColumnWidths(bool large_font);
// Three integers separated by blanks, each raised to its minimum (20, 10,
// 10); a width the text does not give keeps its default.
ListColumnWidths ParseListColumnWidths(std::string_view text, bool large_font);
std::string FormatListColumnWidths(const ListColumnWidths& widths);

// From the registry, or the defaults when the value cannot be read.
ListColumnWidths LoadListColumnWidths(bool large_font);
bool StoreListColumnWidths(const ListColumnWidths& widths);

}  // namespace tf::console
