#include "desktop/wx_message_box.h"

#include <wx/dialog.h>
#include <wx/msgdlg.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "desktop/wx_text.h"
#include "engine/common/message_box.h"

namespace tf::desktop {

namespace {

long ButtonStyle(unsigned flags) {
  switch (flags & 0x0F) {
    case kMbOkCancel: return wxOK | wxCANCEL;
    case kMbYesNo: return wxYES_NO;
    default: return wxOK;
  }
}

long IconStyle(unsigned flags) {
  switch (flags & 0xF0) {
    case kMbIconError: return wxICON_ERROR;
    case kMbIconQuestion: return wxICON_QUESTION;
    case kMbIconExclamation: return wxICON_WARNING;
    case kMbIconInformation: return wxICON_INFORMATION;
    default: return 0;
  }
}

int Answer(int wx_answer) {
  switch (wx_answer) {
    case wxCANCEL: return kIdCancel;
    case wxYES: return kIdYes;
    case wxNO: return kIdNo;
    default: return kIdOk;
  }
}

// A box belongs to the innermost modal dialog while one runs. The active
// window can be another one (after a progress window closes it is the main
// window), and a box over that window raises it over the dialog.
wxWindow* MessageBoxParent() {
  wxWindow* parent = nullptr;
  for (wxWindow* window : wxTopLevelWindows) {
    auto* dialog = wxDynamicCast(window, wxDialog);
    if (dialog != nullptr && dialog->IsModal() && dialog->IsShown()) parent = dialog;
  }
  return parent != nullptr ? parent : wxGetActiveWindow();
}

int ShowWxMessageBox(std::string_view text, std::string_view caption, unsigned flags) {
  std::string line(caption);
  line.append(": ").append(text).append("\n");
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
  return Answer(wxMessageBox(ToWx(text), ToWx(caption), ButtonStyle(flags) | IconStyle(flags),
                             MessageBoxParent()));
}

}  // namespace

void UseWxMessageBoxes() { SetMessageBoxHandler(ShowWxMessageBox); }

}  // namespace tf::desktop

#if defined(__SANITIZE_ADDRESS__)
// GTK's font, bus and type system caches and the web view's script engine
// live as long as the process and are never freed (the script engine's own
// allocations show only a standard-library frame, its code having no frame
// pointers); every desktop program links this file, so the suppression
// travels with them.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libdbus-1.so\nleak:libglib-2.0.so\n"
         "leak:libjavascriptcoregtk\nleak:libwebkit2gtk\nleak:libstdc++.so\n";
}
// The standard error carries the program's messages; keep the list of
// suppressions used off it.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif
