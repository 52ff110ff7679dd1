#include "engine/recognise/file_kinds.h"

#include <array>
#include <cstdint>
#include <iterator>

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

// An extension of at most four bytes, lowered, as one number with its
// length: every record asks for its file's kind, and a number compares at
// once.
constexpr std::uint64_t PackExtension(std::string_view extension) {
  std::uint64_t packed = extension.size();
  for (char c : extension) {
    packed = (packed << 8) | static_cast<unsigned char>(ToLowerAscii(c));
  }
  return packed;
}

struct PackedKind {
  std::uint64_t extension;
  std::int32_t category;
};

constexpr auto kPackedExtensions = [] {
  std::array<PackedKind, std::size(kExtensions)> packed{};
  for (std::size_t i = 0; i < packed.size(); ++i) {
    packed[i] = {PackExtension(kExtensions[i].extension), kExtensions[i].category};
  }
  return packed;
}();

}  // namespace

std::int32_t ClassifyFileType(std::string_view extension) {
  if (extension.size() > 4) return kOther;
  const std::uint64_t packed = PackExtension(extension);
  for (const PackedKind& kind : kPackedExtensions) {
    if (kind.extension == packed) return kind.category;
  }
  return kOther;
}

FileKindIndex FileKindOf(std::int32_t category) {
  for (int k = 0; k < kFileKindCount; ++k) {
    if (kFileKinds[k].category == category) return static_cast<FileKindIndex>(k);
  }
  return kKindOther;
}

}  // namespace tf
