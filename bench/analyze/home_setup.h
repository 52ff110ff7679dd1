// The install folder tf-analyze works in, set up when it is missing or
// empty exactly as scripts/demo stages one: `cmake --install` of the build
// this program belongs to, which puts the database templates, the report
// style sheet and help icon, the sample logs and the component libraries
// there.
#pragma once

#include <string>

namespace tf::bench {

// True when `home` is a folder with something in it, or was made one;
// false with the reason otherwise.
bool PrepareHome(const std::string& home, std::string& failure);

}  // namespace tf::bench
