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

// The known extensions in a table of their own numbers: every record asks
// for its file's kind, and a slot or two answers where a scan compared
// every extension. Each extension is listed once, so the first match is
// the only one.
struct PackedKind {
  std::uint64_t extension = 0;  // 0: an empty slot (every packed extension has its length)
  std::int32_t category = 0;
};
constexpr std::size_t kKindSlots = 64;  // a power of two, well over the extensions

constexpr std::size_t SlotOf(std::uint64_t packed) {
  return static_cast<std::size_t>((packed * 0x9E3779B97F4A7C15ull) >> 58);
}

constexpr auto kKindTable = [] {
  std::array<PackedKind, kKindSlots> table{};
  for (const ExtensionKind& kind : kExtensions) {
    const std::uint64_t packed = PackExtension(kind.extension);
    std::size_t slot = SlotOf(packed);
    while (table[slot].extension != 0) slot = (slot + 1) % kKindSlots;
    table[slot] = {packed, kind.category};
  }
  return table;
}();
static_assert(std::size(kExtensions) < kKindSlots / 2);

}  // namespace

std::int32_t ClassifyFileType(std::string_view extension) {
  // An empty extension would pack as an empty slot.
  if (extension.empty() || extension.size() > 4) return kOther;
  const std::uint64_t packed = PackExtension(extension);
  for (std::size_t slot = SlotOf(packed);; slot = (slot + 1) % kKindSlots) {
    const PackedKind& kind = kKindTable[slot];
    if (kind.extension == packed) return kind.category;
    if (kind.extension == 0) return kOther;
  }
}

FileKindIndex FileKindOf(std::int32_t category) {
  for (int k = 0; k < kFileKindCount; ++k) {
    if (kFileKinds[k].category == category) return static_cast<FileKindIndex>(k);
  }
  return kKindOther;
}

}  // namespace tf
