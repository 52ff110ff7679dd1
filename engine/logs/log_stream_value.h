// The stored form of a log stream (the LogStream%d settings values):
// "pattern {F:date; R:date;}" with the last file date and last record date in
// the "%D" form, and, once the stream has delivered a record, the position
// after it as " P:device:inode:offset;" before the closing brace. Values
// without P (older ones) read back with an unknown position.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tf {

class CLogStream;

std::string FormatLogStreamValue(const CLogStream& stream);
// A new stream from a stored value: the file pattern is the text before
// the last "{F:" less the one blank that separates them (at most 299
// bytes). A value without "{F:" (no progress) is a pattern up to its first
// '{' without trailing blanks, as older values were read; F, R and P then
// stay 0.
std::unique_ptr<CLogStream> ParseLogStreamValue(std::string_view value);

}  // namespace tf
