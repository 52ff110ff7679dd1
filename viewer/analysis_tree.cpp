#include "viewer/analysis_tree.h"

namespace tf::viewer {
namespace {

constexpr TreeNode kNodes[] = {
    {"AccessStats", "Access Statistics", true},
    {"GeneralStatistics", "General Statistics", false},
    {"SessionsPerDay", "Sessions per Day", false},
    {"VisitorsPerDay", "Visitors per Day", false},
    {"HitsPerDay", "Total Hits per Day", false},
    {"HTMLHitsPerDay", "HTML Hits per Day", false},
    {"FormHitsPerDay", "Form Hits per Day", false},
    {"BandwidthPerDay", "Bandwidth per Day", false},
    {"UsageByHour", "Usage by Hour", false},
    {"MostPopularDayOfWeek", "Most Popular Day of Week", false},
    {"UserInformation", "User Information", true},
    {"OperatingSystems", "Operating Systems", false},
    {"OperatingSystemsVersions", "Operating System Versions", false},
    {"Browsers", "Browsers", false},
    {"BrowsersNameVersion", "Browser Name/Version", false},
    {"BrowsersAddOns", "Browser Add-Ons", false},
    {"Languages", "Languages", false},
    {"Regions", "Regions", false},
    {"Domains", "Domains", false},
    {"ResourcesAccessed", "Resources Accessed", true},
    {"RequestedImages", "Images", false},
    {"RequestedHTML", "HTML", false},
    {"RequestedDocument", "Document", false},
    {"RequestedForm", "Form", false},
    {"RequestedProgram", "Program", false},
    {"RequestedOther", "Other", false},
    {"EntryPages", "Entry Pages", false},
    {"ExitPages", "Exit Pages", false},
    {"TopPaths", "Top Paths", false},
    {"ReferringInfo", "Referring Statistics", true},
    {"ReferringWebSites", "Web Sites", false},
    {"ReferringWebPages", "Web Pages", false},
    {"SearchEngine", "Search Statistics", true},
    {"SearchEngines", "Search Engines", false},
    {"Phrases", "Phrases", false},
    {"Keywords", "Keywords", false},
    {"Spiders", "Spiders", false},
    {"TargetPages", "Target Pages", false},
    {"Techincal", "Technical", true},
    {"ServerErrors", "Server Errors", false},
};

}  // namespace

std::span<const TreeNode> AnalysisTreeNodes() { return kNodes; }

}  // namespace tf::viewer
