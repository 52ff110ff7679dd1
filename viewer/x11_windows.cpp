#include "viewer/x11_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <string>

#include "platform/shell/shell.h"

namespace tf::viewer {
namespace {

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

struct XFreeDeleter {
  void operator()(void* data) const {
    if (data) XFree(data);
  }
};

// The window's title: _NET_WM_NAME (UTF-8), else WM_NAME.
std::string TitleOf(Display* display, Window window) {
  const Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, net_name, 0, 1024, False, utf8, &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    std::unique_ptr<unsigned char, XFreeDeleter> owned(data);
    if (type == utf8 && format == 8) return std::string(reinterpret_cast<char*>(data), count);
  }
  char* name = nullptr;
  if (XFetchName(display, window, &name) && name) {
    std::unique_ptr<char, XFreeDeleter> owned(name);
    return name;
  }
  return "";
}

// The first client window (one with a class) of this title below `parent`,
// mapped or not; 0 when there is none.
Window FindTitled(Display* display, Window parent, const std::string& title, int depth) {
  Window root, up, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
  std::unique_ptr<Window, XFreeDeleter> owned(children);
  for (unsigned int i = 0; i < count; ++i) {
    XClassHint hint{};
    if (XGetClassHint(display, children[i], &hint)) {
      XFree(hint.res_name);
      XFree(hint.res_class);
      if (TitleOf(display, children[i]) == title) return children[i];
    }
  }
  // Window managers put each client into a frame of their own.
  if (depth == 0) return 0;
  for (unsigned int i = 0; i < count; ++i) {
    if (Window found = FindTitled(display, children[i], title, depth - 1)) return found;
  }
  return 0;
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

bool X11Windows::RaiseWindowTitled(const std::string& title) {
  DisplayPtr display(XOpenDisplay(nullptr));
  if (!display) return false;
  // Windows may go away while they are looked at.
  auto* previous = XSetErrorHandler(IgnoreErrors);
  const Window root = DefaultRootWindow(display.get());
  const Window window = FindTitled(display.get(), root, title, 2);
  if (window) {
    XMapRaised(display.get(), window);
    XEvent activate{};
    activate.xclient.type = ClientMessage;
    activate.xclient.window = window;
    activate.xclient.message_type = XInternAtom(display.get(), "_NET_ACTIVE_WINDOW", False);
    activate.xclient.format = 32;
    activate.xclient.data.l[0] = 2;  // asked for by a program, not a pager
    XSendEvent(display.get(), root, False, SubstructureRedirectMask | SubstructureNotifyMask,
               &activate);
    XSync(display.get(), False);
  }
  XSetErrorHandler(previous);
  return window != 0;
}

bool X11Windows::StartProgram(const std::string& path) {
  return shell::StartProgram(path, {}).started;
}

}  // namespace tf::viewer
