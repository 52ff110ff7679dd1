#include "engine/recognise/file_kinds.h"

#include "engine/common/ascii.h"

namespace tf {

namespace {

struct ExtensionKind {
  std::string_view extension;
  std::int32_t category;
};

// First match wins; style sheets are "other" before anything else.
constexpr std::int32_t kPage = kCategoryWebPage, kImage = kCategoryImage,
                       kDocument = kCategoryDocument, kForm = kCategoryForm,
                       kProgram = kCategoryProgram, kOther = kCategoryOtherFile;
constexpr ExtensionKind kExtensions[] = {
    {"htm", kPage},      {"html", kPage},      {"css", kOther},      {"js", kDocument},
    {"txt", kDocument},  {"pdf", kDocument},   {"doc", kDocument},   {"xml", kDocument},
    {"gif", kImage},     {"jpg", kImage},      {"jpeg", kImage},     {"ico", kImage},
    {"bmp", kImage},     {"mpg", kImage},      {"mpeg", kImage},     {"avi", kImage},
    {"mov", kImage},     {"png", kImage},      {"swf", kImage},      {"rm", kImage},
    {"asp", kForm},      {"aspx", kForm},      {"cfm", kForm},       {"pl", kForm},
    {"cgi", kForm},      {"php", kForm},       {"exe", kProgram},
};

}  // namespace

FileKindIndex FileKindOf(std::int32_t category) {
  for (int k = 0; k < kFileKindCount; ++k) {
    if (kFileKinds[k].category == category) return static_cast<FileKindIndex>(k);
  }
  return kKindOther;
}

std::int32_t ClassifyFileType(std::string_view extension) {
  if (extension.size() > 4) return kOther;
  for (const ExtensionKind& kind : kExtensions) {
    if (EqualsCaseless(extension, kind.extension)) return kind.category;
  }
  return kOther;
}

}  // namespace tf
