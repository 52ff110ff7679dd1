// Build-time tool: typesets the manual source into the PDF manual
// ("tf_manual SOURCE OUTPUT"); any failure ends with status 1.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "data/manual/manual_source.h"
#include "data/manual/typesetter.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tf_manual SOURCE OUTPUT\n");
    return 1;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "tf_manual: cannot read %s\n", argv[1]);
    return 1;
  }
  std::ostringstream source;
  source << in.rdbuf();
  std::string error;
  if (!tf::manual::TypesetManual(tf::manual::ParseManual(source.str()), argv[2], error)) {
    std::fprintf(stderr, "tf_manual: %s\n", error.c_str());
    std::remove(argv[2]);
    return 1;
  }
  return 0;
}

// Fontconfig keeps a little of its configuration for the whole process and
// never frees it; the leak checker is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
