#include "engine/analysis/host_name.h"

#include <string_view>

#include "engine/analysis/ascii.h"

namespace tf {
namespace {

bool IsAlphanumeric(char c) { return IsAsciiLetter(c) || IsAsciiDigit(c); }

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The third is the script host of a search portal.
constexpr std::string_view kHostPrefixes[] = {"partner.", "partners.", "script.", "search."};

bool RemovePrefixes(std::string& host) {
  bool removed = false;
  for (bool again = true; again;) {
    again = false;
    for (std::string_view prefix : kHostPrefixes) {
      if (!StartsWith(host, prefix)) continue;
      // Only the first prefix that fits is tried, and never so that a
      // single label would remain.
      if (host.find('.', prefix.size()) != std::string::npos) {
        host.erase(0, prefix.size());
        removed = again = true;
      }
      break;
    }
  }
  return removed;
}

bool RemoveNumberedLabel(std::string& host) {
  std::size_t dot = host.find('.');
  if (dot == std::string::npos || dot == 0) return false;
  std::string_view label(host.data(), dot);
  if (!IsAsciiDigit(label.back())) return false;
  if (label.size() >= 3 && label.substr(label.size() - 3) == "mp3") return false;
  if (host.find('.', dot + 1) == std::string::npos) return false;
  host.erase(0, dot + 1);
  return true;
}

}  // namespace

bool NormalizeHost(std::string& host) {
  for (char& c : host) c = ToLowerAscii(c);
  std::size_t first = 0;
  while (first < host.size() && !IsAlphanumeric(host[first])) ++first;
  std::size_t last = host.size();
  while (last > first && !IsAlphanumeric(host[last - 1])) --last;
  host.erase(last);
  host.erase(0, first);
  if (host.empty()) return false;

  bool removed = false;
  while (StartsWith(host, "www.")) {
    if (host == "www.com") return removed;
    host.erase(0, 4);
    removed = true;
  }
  removed |= RemovePrefixes(host);
  removed |= RemoveNumberedLabel(host);
  return removed;
}

}  // namespace tf
