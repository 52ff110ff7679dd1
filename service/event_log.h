// CEventLog: the service's event entries, written to the system log under
// the identity "Tallyfox" (platform/svchost). Three printf-style entry
// points for the service's own lines, and the fixed entries of the message
// table for start, stop, pause and the like. Callable from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/svchost/system_log.h"

namespace tf::service {

using svchost::Severity;

inline constexpr std::string_view kEventSource = "Tallyfox";

// The message table's fixed entries; "%1" stands for the one text.
enum EventId : std::uint32_t {
  kEventStarted = 0x40000001,
  kEventInstalled = 0x40000002,
  kEventUninstalled = 0x40000003,
  kEventStopped = 0x40000004,
  kEventPaused = 0x40000005,
  kEventContinued = 0x40000006,
  kEventShutdown = 0x4000000B,
  kEventInfo = 0x4000000C,
  kEventWarning = 0x8000000E,
  kEventNoManager = 0xC0000007,
  kEventCannotOpen = 0xC0000008,
  kEventCannotDelete = 0xC0000009,
  kEventError = 0xC000000D,
};

// Where entries go; the system log unless a test put something else.
using EventSink = std::function<void(Severity severity, std::string_view text)>;
EventSink SetEventSink(EventSink sink);

// Every byte below 32 or above 127 becomes a blank; trailing blanks go.
std::string SanitizeLogText(std::string_view text);

// The entry's text with `insert` for "%1", written with the entry's type.
void ReportEventId(EventId id, std::string_view insert);
// The same with an error code as decimal text.
void ReportEventCode(EventId id, int code);

void LogInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "<prefix>  Account="<user>", Domain="<host>"".
void LogAccountInfo(std::string_view prefix);

}  // namespace tf::service
