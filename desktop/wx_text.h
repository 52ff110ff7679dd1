// Conversions between the program's UTF-8 texts and wx strings.
#pragma once

#include <wx/string.h>

#include <string>
#include <string_view>

namespace tf::desktop {

inline wxString ToWx(std::string_view text) { return wxString::FromUTF8(text.data(), text.size()); }
inline std::string FromWx(const wxString& text) { return std::string(text.utf8_str()); }

}  // namespace tf::desktop
