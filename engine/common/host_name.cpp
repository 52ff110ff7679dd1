#include "engine/common/host_name.h"

#include <string_view>

#include "engine/common/ascii.h"

namespace tf {
namespace {

// The last one is a search portal's script host.
constexpr std::string_view kHostPrefixes[] = {"partner.", "partners.", "script.", "search."};

bool RemovePrefixes(std::string& host) {
  bool removed = false;
  for (bool again = true; again;) {
    again = false;
    for (std::string_view prefix : kHostPrefixes) {
      if (!host.starts_with(prefix)) continue;
      // Only the first matching prefix counts, and only while a domain of
      // two labels or more remains.
      if (host.find('.', prefix.size()) != std::string::npos) {
        host.erase(0, prefix.size());
        removed = again = true;
      }
      break;
    }
  }
  return removed;
}

// A numbered first label ("www2", "web01") in front of a domain.
bool RemoveNumberedLabel(std::string& host) {
  std::size_t dot = host.find('.');
  if (dot == std::string::npos || dot == 0) return false;
  std::string_view label(host.data(), dot);
  if (label.back() < '0' || label.back() > '9') return false;
  if (label.size() >= 3 && label.substr(label.size() - 3) == "mp3") return false;
  if (host.find('.', dot + 1) == std::string::npos) return false;
  host.erase(0, dot + 1);
  return true;
}

}  // namespace

bool NormalizeHost(std::string& host) {
  for (char& c : host) c = ToLowerAscii(c);
  std::size_t first = 0;
  while (first < host.size() && !IsAsciiAlphanumeric(host[first])) ++first;
  std::size_t last = host.size();
  while (last > first && !IsAsciiAlphanumeric(host[last - 1])) --last;
  host = host.substr(first, last - first);
  if (host.empty()) return false;

  bool removed = false;
  while (host.starts_with("www.")) {
    if (host == "www.com") return removed;
    host.erase(0, 4);
    removed = true;
  }
  removed |= RemovePrefixes(host);
  removed |= RemoveNumberedLabel(host);
  return removed;
}

}  // namespace tf
