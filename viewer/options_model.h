// The options: how many rows each ranked section shows, for the selected
// project or for all projects.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "report/report_state.h"

namespace tf::viewer {

inline constexpr std::array<const char*, report::kTopNEntries> kTopNLabels = {
    "Operating Systems",  "Operating System Versions", "Browsers",
    "Browser Name/Version", "Browser Add-Ons",         "Entry Pages",
    "Exit Pages",         "Referring Web Sites",       "Referring Web Pages",
    "Target Pages",       "Requested Images",          "Req. HTML Pages",
    "Req. Document Pages", "Req. Form Pages",          "Req. Program Pages",
    "Req. Other Pages",   "Search Engines",            "Search Engine Phrases",
    "Search Engine Keywords", "Spiders",               "Languages",
    "Regions",            "Visiting Domains",          "Server Errors",
    "Paths"};

// A box's count: a whole decimal number from 0 to 29999, blanks around it
// allowed; nothing for any other text.
std::optional<int> ReadTopCount(std::string_view text);

using TopNBoxes = std::array<std::string, report::kTopNEntries>;

// Saves the boxes: the Top rows of the projects database (all projects) or
// of the site database `site_database` are replaced, in one transaction, by
// one row per box that holds a count, and those counts go into `state`'s
// TopNTable; the GlobalTopSettings row of the projects database takes the
// flag. Database failures raise, leaving both databases as they were.
void SaveTopCounts(report::ReportState& state, const std::string& home_folder,
                   const std::string& site_database, const TopNBoxes& boxes, bool all_projects);

}  // namespace tf::viewer
