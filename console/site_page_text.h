// Small text rules the property pages share: fields cut to their width on
// a character boundary, decimal numbers read the lenient way an edit box
// is read, and the messages a page asks the window layer to show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tf::console {

// The text trimmed of blanks at both ends and cut to size - 1 bytes.
std::string TrimmedField(std::string_view text, std::size_t size);
// The text cut to size - 1 bytes, blanks kept.
std::string CutField(std::string_view text, std::size_t size);
// The decimal integer at the start of the text (blanks and a sign allowed);
// 0 when there is none, clamped to the 32-bit range.
std::int32_t ReadDecimal(std::string_view text);
// Without trailing blanks.
std::string TrimRight(std::string_view text);

enum class MessageIcon { kNone, kError, kExclamation, kQuestion };
enum class MessageButtons { kOk, kOkCancel, kYesNo };

// A message box a page asks for.
struct PageMessage {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::kNone;
  MessageButtons buttons = MessageButtons::kOk;
};

}  // namespace tf::console
