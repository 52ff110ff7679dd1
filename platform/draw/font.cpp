#include "platform/draw/font.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <numbers>
#include <tuple>

#include "platform/draw/utf8.h"

namespace tf::draw {
namespace {

constexpr const char* kDefaultFace = "MS Sans Serif";
constexpr const char* kExpectedSansFamily = "Liberation Sans";
// Glyphs are rendered into memory; a bound keeps a silly height from
// allocating a glyph cache of gigabytes.
constexpr int kMaxHeight = 2048;
// Distinct face names are caller input; the cache is emptied when it holds
// this many, so it cannot grow without bound.
constexpr std::size_t kMaxCachedFaces = 256;

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

// Fontconfig already maps the common faces to metric-compatible families;
// the old default dialog face has no such alias, and its metrics are close
// to the sans face's.
std::string AliasOf(std::string_view face) {
  if (face.empty() || Lower(face) == "ms sans serif") return "Arial";
  return std::string(face);
}

struct ResolvedFace {
  std::string family;
  cairo_font_face_t* face = nullptr;  // owned by the cache for the process
  double units_per_em = 2048;
  double win_ascent = 1854;
  double win_descent = 434;
};

std::mutex cache_mutex;
std::map<std::tuple<std::string, bool, bool>, ResolvedFace>& Cache() {
  static auto* cache = new std::map<std::tuple<std::string, bool, bool>, ResolvedFace>;
  return *cache;
}

FcPattern* MatchPattern(std::string_view face, bool bold, bool italic) {
  std::string family = AliasOf(face);
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  return match;
}

std::string FamilyOf(FcPattern* match) {
  FcChar8* family = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch) {
    return reinterpret_cast<const char*>(family);
  }
  return {};
}

// Gray anti-aliasing without colour fringes, light hinting, whatever the
// machine's fontconfig settings say.
void SetRenderingOptions(FcPattern* match) {
  FcPatternDel(match, FC_ANTIALIAS);
  FcPatternDel(match, FC_RGBA);
  FcPatternDel(match, FC_HINTING);
  FcPatternDel(match, FC_HINT_STYLE);
  FcPatternDel(match, FC_LCD_FILTER);
  FcPatternAddBool(match, FC_ANTIALIAS, FcTrue);
  FcPatternAddInteger(match, FC_RGBA, FC_RGBA_NONE);
  FcPatternAddBool(match, FC_HINTING, FcTrue);
  FcPatternAddInteger(match, FC_HINT_STYLE, FC_HINT_SLIGHT);
}

// The cell height of a face is its Windows ascent plus descent, which is
// what a requested character height means.
void ReadCellMetrics(FcPattern* match, ResolvedFace& resolved) {
  FcChar8* file = nullptr;
  int index = 0;
  if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) return;
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) return;
  FT_Face face;
  if (FT_New_Face(library, reinterpret_cast<const char*>(file), index, &face) == 0) {
    resolved.units_per_em = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
      resolved.win_ascent = os2->usWinAscent;
      resolved.win_descent = os2->usWinDescent;
    } else if (face->ascender - face->descender > 0) {
      resolved.win_ascent = face->ascender;
      resolved.win_descent = -face->descender;
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
}

void WarnOnceIfSansMissing() {
  static std::once_flag once;
  std::call_once(once, [] {
    std::string family = ResolveFamily("Arial");
    if (family != kExpectedSansFamily) {
      std::fprintf(stderr, "tallyfox: font \"Arial\" resolves to \"%s\", not \"%s\"; "
                   "install fonts-liberation2\n", family.c_str(), kExpectedSansFamily);
    }
  });
}

// The resolved face, with a reference to its font face that the caller owns.
ResolvedFace Resolve(std::string_view face, bool bold, bool italic) {
  std::lock_guard lock(cache_mutex);
  auto& cache = Cache();
  auto key = std::make_tuple(Lower(face), bold, italic);
  auto found = cache.find(key);
  if (found != cache.end()) {
    ResolvedFace copy = found->second;
    cairo_font_face_reference(copy.face);
    return copy;
  }
  if (cache.size() >= kMaxCachedFaces) {
    // Fonts made earlier hold their own references to their faces.
    for (auto& entry : cache) cairo_font_face_destroy(entry.second.face);
    cache.clear();
  }
  ResolvedFace resolved;
  FcPattern* match = MatchPattern(face, bold, italic);
  if (match) {
    resolved.family = FamilyOf(match);
    ReadCellMetrics(match, resolved);
    SetRenderingOptions(match);
    resolved.face = cairo_ft_font_face_create_for_pattern(match);
    FcPatternDestroy(match);
  } else {
    resolved.face = cairo_toy_font_face_create("sans-serif", CAIRO_FONT_SLANT_NORMAL,
                                               bold ? CAIRO_FONT_WEIGHT_BOLD
                                                    : CAIRO_FONT_WEIGHT_NORMAL);
  }
  cache.emplace(key, resolved);
  cairo_font_face_reference(resolved.face);
  return resolved;
}

}  // namespace

std::string ResolveFamily(std::string_view face) {
  FcPattern* match = MatchPattern(face.empty() ? kDefaultFace : face, false, false);
  std::string family = FamilyOf(match);
  if (match) FcPatternDestroy(match);
  return family;
}

std::shared_ptr<const Font> Font::Create(const FontRequest& request) {
  WarnOnceIfSansMissing();
  std::shared_ptr<Font> font(new Font);
  font->request_ = request;
  if (font->request_.face.empty()) font->request_.face = kDefaultFace;
  font->request_.height = std::clamp(request.height, 1, kMaxHeight);
  int height = font->request_.height;

  ResolvedFace resolved = Resolve(font->request_.face, font->bold(), request.italic);
  double cell_units = resolved.win_ascent + resolved.win_descent;
  font->family_ = resolved.family;
  font->face_ = resolved.face;
  font->cell_height_ = height;
  font->ascent_ = static_cast<int>(std::lround(height * resolved.win_ascent / cell_units));
  font->em_size_ = height * resolved.units_per_em / cell_units;

  cairo_matrix_t font_matrix, ctm;
  cairo_matrix_init_scale(&font_matrix, font->em_size_, font->em_size_);
  cairo_matrix_init_identity(&ctm);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  font->scaled_ = cairo_scaled_font_create(font->face_, &font_matrix, &ctm, options);
  cairo_font_options_destroy(options);
  return font;
}

Font::~Font() {
  if (scaled_) cairo_scaled_font_destroy(scaled_);
  if (face_) cairo_font_face_destroy(face_);
}

double Font::angle_radians() const {
  return request_.escapement * std::numbers::pi / 1800.0;
}

int Font::TextWidth(std::string_view utf8) const {
  if (utf8.empty()) return 0;
  std::string text = Utf8Sanitize(utf8);
  cairo_text_extents_t extents;
  cairo_scaled_font_text_extents(scaled_, text.c_str(), &extents);
  return static_cast<int>(std::lround(extents.x_advance));
}

}  // namespace tf::draw

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig keeps a little of its configuration for the whole process and
// never frees it; the leak checker is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
