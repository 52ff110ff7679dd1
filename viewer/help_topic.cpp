#include "viewer/help_topic.h"

#include <charconv>
#include <cstdint>
#include <stdexcept>

#include "engine/common/ascii.h"
#include "engine/common/path.h"
#include "platform/db/connection.h"
#include "platform/db/recordset.h"
#include "report/report_builder.h"
#include "viewer/viewer_texts.h"

namespace tf::viewer {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToLowerAscii(c);
  return out;
}

}  // namespace

HelpLink ReadHelpLink(std::string_view address) {
  HelpLink link;
  std::string lower = Lower(address);
  if (lower.find("javascript") == std::string::npos) return link;
  link.cancel = true;
  constexpr std::string_view kPrefix = "javascript:helppageopen(";
  std::string rest;
  for (std::size_t at = 0; at < address.size();) {
    if (lower.compare(at, kPrefix.size(), kPrefix) == 0) {
      at += kPrefix.size();
    } else {
      if (address[at] != ')') rest += address[at];
      ++at;
    }
  }
  std::int16_t topic = 0;
  const char* end = rest.data() + rest.size();
  auto [ptr, error] = std::from_chars(rest.data(), end, topic);
  if (error == std::errc() && ptr == end && !rest.empty()) link.topic = topic;
  return link;
}

std::string WriteHelpTopic(const std::string& home_folder, const std::string& work_folder,
                           int topic) {
  db::Connection database;
  database.Open(JoinPath(home_folder, kSystemTemplate));
  db::Recordset rs = database.OpenRecordset(
      "select helpname, helptext  from tblhelpfiles where id = " + std::to_string(topic));
  if (rs.RecordCount() == 0) throw std::runtime_error("No help topic " + std::to_string(topic));
  rs.MoveFirst();
  const std::string path = JoinPath(work_folder, kHelpPageFile);
  report::WriteWholeFile(path, report::HelpPageHtml(rs.Field("helpname").ToString(),
                                                    rs.Field("helptext").ToString()));
  return path;
}

}  // namespace tf::viewer
