// The help links of a report page and the help window's page: a link
// "javascript:helppageopen(n)" asks for topic n, which the viewer writes as
// "HelpPage.html" in its work folder from the system template's topics.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tf::viewer {

struct HelpLink {
  bool cancel = false;             // the address is not to be navigated to
  std::optional<int> topic;        // the topic asked for, when it reads
};

// Any address that holds "javascript" (in any case) is cancelled; the
// topic is what remains after the help prefix and every ")" are removed,
// when that is a whole number of 16 bits.
HelpLink ReadHelpLink(std::string_view address);

// Writes the page of `topic` to `work_folder`/HelpPage.html and returns its
// path. A topic without a row, or a missing template, raises.
std::string WriteHelpTopic(const std::string& home_folder, const std::string& work_folder,
                           int topic);

}  // namespace tf::viewer
