#include "engine/analysis/file_kinds.h"

#include "engine/common/text.h"

namespace tf {

namespace {

struct ExtensionKind {
  std::string_view extension;
  std::int32_t category;
};

// First match wins; style sheets are "other" before anything else.
constexpr ExtensionKind kExtensions[] = {
    {"htm", 1},  {"html", 1}, {"css", 9},  {"js", 3},   {"txt", 3},  {"pdf", 3},  {"doc", 3},
    {"xml", 3},  {"gif", 2},  {"jpg", 2},  {"jpeg", 2}, {"ico", 2},  {"bmp", 2},  {"mpg", 2},
    {"mpeg", 2}, {"avi", 2},  {"mov", 2},  {"png", 2},  {"swf", 2},  {"rm", 2},   {"asp", 4},
    {"aspx", 4}, {"cfm", 4},  {"pl", 4},   {"cgi", 4},  {"php", 4},  {"exe", 5},
};

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && FindCaseless(a, b) == 0;
}

}  // namespace

FileKindIndex FileKindOf(std::int32_t category) {
  for (int k = 0; k < kFileKindCount; ++k) {
    if (kFileKinds[k].category == category) return static_cast<FileKindIndex>(k);
  }
  return kKindOther;
}

std::int32_t ClassifyFileType(std::string_view extension) {
  if (extension.size() > 4) return 9;
  for (const ExtensionKind& kind : kExtensions) {
    if (SameLetters(extension, kind.extension)) return kind.category;
  }
  return 9;
}

}  // namespace tf
