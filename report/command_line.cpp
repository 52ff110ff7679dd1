#include "report/command_line.h"

namespace tf::report {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Whether a switch starts at `at` (outside quotes is the caller's check).
bool SwitchAt(std::string_view line, std::size_t at) {
  if (line[at] != '/' || at + 1 >= line.size()) return false;
  if (at > 0 && !IsBlank(line[at - 1])) return false;
  std::size_t after = at + 2;
  return after == line.size() || IsBlank(line[after]) || line[after] == '"';
}

// Position of the first switch at or after `from`, outside quotes; with
// `letter` 0 any switch.
std::size_t FindSwitch(std::string_view line, std::size_t from, char letter) {
  bool quoted = false;
  for (std::size_t at = 0; at < line.size(); ++at) {
    if (line[at] == '"') {
      quoted = !quoted;
      continue;
    }
    if (quoted || at < from || !SwitchAt(line, at)) continue;
    if (letter == 0 || line[at + 1] == letter) return at;
  }
  return kNone;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

bool HasSwitch(std::string_view line, char letter) { return FindSwitch(line, 0, letter) != kNone; }

std::optional<std::string> SwitchValue(std::string_view line, char letter) {
  std::size_t at = FindSwitch(line, 0, letter);
  if (at == kNone) return std::nullopt;
  std::size_t start = at + 2;
  while (start < line.size() && IsBlank(line[start])) ++start;
  if (start < line.size() && line[start] == '"') {
    std::size_t close = line.find('"', start + 1);
    if (close == kNone) throw CommandLineError();
    return std::string(line.substr(start + 1, close - start - 1));
  }
  std::size_t next = FindSwitch(line, start, 0);
  std::size_t end = next == kNone ? line.size() : next;
  return std::string(Trim(line.substr(start, end - start)));
}

}  // namespace tf::report
