#include "engine/names/domain_names.h"

#include "engine/common/address.h"
#include "engine/common/ascii.h"
#include "engine/common/text.h"

namespace tf {

namespace {

constexpr std::size_t kRegionSize = 6;

// Access-line labels that providers put between the address and their
// domain; the last one is a provider's own.
constexpr std::string_view kAccessLabels[] = {"client.", "in-addr.", "asdl.", "dsl.", "ip.",
                                              "dynamic-ip."};

std::size_t SkipSeparators(std::string_view text, std::size_t pos) {
  while (pos < text.size() && !IsAsciiAlphanumeric(text[pos])) ++pos;
  return pos;
}

}  // namespace

void TrimDomainName(std::uint32_t address, std::string& name) {
  std::string dotted = AddressToText(address);
  std::size_t at = name.find(dotted);
  if (at == std::string::npos) {
    std::string dashed = dotted;
    for (char& c : dashed) {
      if (c == '.') c = '-';
    }
    at = name.find(dashed);
  }
  if (at == std::string::npos) return;
  std::size_t pos = at + dotted.size();
  if (pos >= name.size()) return;
  std::string_view rest(name);
  pos = SkipSeparators(rest, pos);
  for (bool skipped = true; skipped;) {
    skipped = false;
    for (std::string_view label : kAccessLabels) {
      if (StartsWithCaseless(rest.substr(pos), label)) {
        pos = SkipSeparators(rest, pos + label.size());
        skipped = true;
        break;
      }
    }
  }
  if (pos < name.size()) name.erase(0, pos);
}

std::string RegionLabel(std::string_view name) {
  std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  std::string label;
  SafeCopy(label, name.substr(dot + 1), kRegionSize);
  bool digits_only = true;
  for (char& c : label) {
    c = ToLowerAscii(c);
    if (!IsAsciiDigit(c)) digits_only = false;
  }
  if (digits_only) label.clear();
  return label;
}

}  // namespace tf
