// The vocabulary of a site's settings: every key that a load reads and a
// store writes, in their order, with the table, the field and its width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tf {

class CSite;

enum class SettingType {
  kInteger,  // tblSettingsInteger
  kReal,     // tblSettingsReal
  kDate,     // tblSettingsDate
  kString,   // tblSettingsString, cut to the field's width when read
  kMemo,     // tblSettingsMemo, any length
  kAddress,  // tblSettingsString: an IPv4 address as dotted text
};

struct SettingKey {
  std::string_view name;
  SettingType type;
  // Keys of what the runs found: read only by a full load.
  bool run_group;
  // Width of a text field, terminator included.
  std::size_t size;
  std::int32_t* (*integer)(CSite&);
  double* (*real)(CSite&);       // reals and dates
  std::string* (*text)(CSite&);  // strings and memos
};

// In load order: the settings, then the run group.
std::span<const SettingKey> SettingKeys();

}  // namespace tf
