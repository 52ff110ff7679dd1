#include "service/event_log.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <utility>

namespace tf::service {

namespace {

constexpr std::size_t kFormatLimit = 980;
constexpr std::size_t kTextLimit = 1999;

std::mutex sink_lock;
EventSink sink;

void Write(Severity severity, std::string_view text) {
  EventSink current;
  {
    std::lock_guard<std::mutex> guard(sink_lock);
    current = sink;
  }
  if (current) {
    current(severity, text);
  } else {
    svchost::WriteSystemLog(severity, text);
  }
}

std::string_view EntryText(EventId id) {
  switch (id) {
    case kEventStarted: return "\"%1\" started successfully.";
    case kEventInstalled: return "\"%1\" was successfully installed.";
    case kEventUninstalled: return "\"%1\" was successfully uninstalled.";
    case kEventStopped: return "\"%1\" stopped successfully.";
    case kEventPaused: return "\"%1\" paused successfully.";
    case kEventContinued: return "\"%1\" continued successfully.";
    case kEventShutdown: return "\"%1\" was successfully shutdown.";
    case kEventNoManager: return "Failed to connect to the Service Control Manager, ErrorCode:%1.";
    case kEventCannotOpen: return "Failed to open the service, ErrorCode:%1.";
    case kEventCannotDelete: return "Failed to delete the service, ErrorCode:%1.";
    case kEventInfo:
    case kEventWarning:
    case kEventError: break;
  }
  return "%1";
}

Severity EntrySeverity(EventId id) {
  switch (id >> 30) {
    case 2: return Severity::kWarning;
    case 3: return Severity::kError;
    default: return Severity::kInformation;
  }
}

void LogFormatted(Severity severity, const char* format, va_list arguments) {
  std::string cut(format);
  if (cut.size() > kFormatLimit) cut.resize(kFormatLimit);
  char text[kTextLimit + 1];
  std::vsnprintf(text, sizeof text, cut.c_str(), arguments);
  Write(severity, SanitizeLogText(text));
}

}  // namespace

EventSink SetEventSink(EventSink new_sink) {
  std::lock_guard<std::mutex> guard(sink_lock);
  return std::exchange(sink, std::move(new_sink));
}

std::string SanitizeLogText(std::string_view text) {
  std::string clean(text);
  for (char& c : clean) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte > 127) c = ' ';
  }
  while (!clean.empty() && clean.back() == ' ') clean.pop_back();
  return clean;
}

void ReportEventId(EventId id, std::string_view insert) {
  std::string text(EntryText(id));
  text.replace(text.find("%1"), 2, insert);
  Write(EntrySeverity(id), SanitizeLogText(text));
}

void ReportEventCode(EventId id, int code) { ReportEventId(id, std::to_string(code)); }

void LogInfo(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  LogFormatted(Severity::kInformation, format, arguments);
  va_end(arguments);
}

void LogWarning(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  LogFormatted(Severity::kWarning, format, arguments);
  va_end(arguments);
}

void LogError(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  LogFormatted(Severity::kError, format, arguments);
  va_end(arguments);
}

void LogAccountInfo(std::string_view prefix) {
  std::string line(prefix);
  LogInfo("%s  Account=\"%s\", Domain=\"%s\"", line.c_str(), svchost::CurrentAccountName().c_str(),
          svchost::HostName().c_str());
}

}  // namespace tf::service
