// Text helpers of the report pages: what may go into the page from the
// logs, the settings and the command line, and how it goes in.
#pragma once

#include <string>
#include <string_view>

namespace tf::report {

// The text with & < > " ' written as character references, so that a name
// from a log or a setting shows as text and never acts as markup.
std::string HtmlEscape(std::string_view text);

// A relative file reference as a link or picture attribute takes it: every
// byte but letters, digits, "-._~" and "/" percent-encoded, so a file name
// with blanks, '#', '%' or quotes still names its file and cannot end the
// attribute.
std::string UrlPathEscape(std::string_view path);

// A colour setting as the page may use it: exactly six hexadecimal digits
// (RRGGBB), else `fallback`.
std::string SafeColour(std::string_view value, std::string_view fallback);

// A name that stays inside the folder it is put in: not empty, not "." or
// "..", and without "/" or a zero byte.
bool IsPlainFileName(std::string_view name);

}  // namespace tf::report
