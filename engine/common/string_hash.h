// Hashing for maps keyed by std::string that are searched with a
// std::string_view, without building a string for every lookup.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tf {

struct StringHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

}  // namespace tf
