// The viewer's own words: window captions, control texts and messages.
#pragma once

namespace tf::viewer {

inline constexpr const char* kMainCaption = "Tallyfox Desktop Report Viewer";
inline constexpr const char* kConsoleTitle = "Tallyfox website log file analysis";
inline constexpr const char* kConsoleProgram = "Tallyfox";
inline constexpr const char* kWorkFolder = "GUITemp";
inline constexpr const char* kProjectsDatabase = "Tallyfox.mdb";
inline constexpr const char* kSystemTemplate = "SystemTemplate.mdb";
inline constexpr const char* kHelpPageFile = "HelpPage.html";
inline constexpr const char* kStartPage = "start.html";
inline constexpr const char* kHelpIconFile = "images/question1.gif";

// Start-up.
inline constexpr const char* kSupportMissing =
    "Error: Cannot load the TFSupport.DLL file. Try reloading Tallyfox or restarting the "
    "computer.";
inline constexpr const char* kNoProjectsQuestion =
    "There are currently no projects set up in Tallyfox, would you like to set one up now?";
inline constexpr const char* kNoProjectsCaption = "No Projects Set Up";
inline constexpr const char* kClosingText =
    "The Tallyfox report viewer is closing since there are no projects to view\n\nUse the "
    "Tallyfox Project Editor to add new projects";
inline constexpr const char* kClosingCaption = "Closing Report Viewer";

// Batch mode.
inline constexpr const char* kMissingDestination =
    "You must specify the destination directory '/d' parameter in the command line";
inline constexpr const char* kMissingProject =
    "You must specify the project name '/p' parameter in the command line";
inline constexpr const char* kMissingRange =
    "You must specifiy either the '/s' (/SpecifyDates, or the '/c' (/CurrentMonth)\nThe '/s' "
    "parameter requires the format of 'mm/dd/yyyy-mm/dd/yyyy'";

// The check before a report.
inline constexpr const char* kNoInformationCaption = "No Project Information";
inline constexpr const char* kMissingRangeText =
    "In order to generate a report, you must specify a 'Start' date and an 'End' Date";
inline constexpr const char* kMissingRangeCaption = "Missing Date Range";
inline constexpr const char* kMissingEndText =
    "You didn't specify an 'End Date', would you like to use the same 'End Date' as 'Start "
    "Date'?";
inline constexpr const char* kMissingEndCaption = "Missing End Date";
inline constexpr const char* kDateErrorCaption = "Date Error";

// Quick links, save and print.
inline constexpr const char* kHowToGenerate =
    "your 'Start' and 'End' date and then click 'Generate Analysis'";
inline constexpr const char* kQuickLinksNeedReport =
    "Before you can use the quick links, you must generate a report. You can do this by "
    "selecting ";
inline constexpr const char* kPreviewNeedsReport =
    "Before you can do a 'Print Preview', you must generate a report. You can do this by "
    "selecting ";
inline constexpr const char* kPrintNeedsReport =
    "Before you can 'Print a report', you must generate a report. You can do this by selecting ";
inline constexpr const char* kSaveNeedsReport =
    "Before you can 'save a report', you must generate a report. You can do this by selecting ";
inline constexpr const char* kNotGeneratedCaption = "Report not generated yet";
inline constexpr const char* kQuickLinksSummaryText =
    "The 'quick links' are only available when a full report has been generated, they are not "
    "usable when only the 'Summary report' was generated. Click on 'Generate Analysis' to build "
    "a full report";
inline constexpr const char* kQuickLinksCaption = "Quick links not available";
inline constexpr const char* kSaveCaption = "Save Report";
inline constexpr const char* kFileExistsCaption = "File already exists";
inline constexpr const char* kReportErrorCaption = "Report Error";

// Options.
inline constexpr const char* kOptionsSaved = "Options Saved";

// About box.
inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 3;
inline constexpr int kVersionRevision = 2;

}  // namespace tf::viewer
