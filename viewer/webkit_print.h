// The web view's document written to a PDF file through WebKit's printing,
// without a dialog, for the print preview.
#pragma once

#include <functional>
#include <string>

class wxWebView;

namespace tf::viewer {

// Starts writing; `done` runs on the window's thread with true when the
// file was written. False when printing could not start.
bool PrintToPdf(wxWebView& view, const std::string& path, std::function<void(bool)> done);

}  // namespace tf::viewer
