#include "fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>
#include <utility>

#include "gdiplus/gdiplus_types.h"
#include "win32/font_config.h"
#include "win32/utf.h"

namespace gdiplus::text {
namespace {

// Fontconfig and the caches below are used under this lock: frames are drawn on streaming
// threads while other threads make fonts.
std::mutex& FontLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

bool FamilyInstalled(const char* family) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(win32::ProcessFontConfig(), pattern, objects);
  bool found = fonts && fonts->nfont > 0;
  if (fonts) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

std::string Resolve(const std::string& name) {
  if (name.empty()) return {};
  if (FamilyInstalled(name.c_str())) return name;
  // A name the configuration maps: its mapping comes first after substitution.
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcConfigSubstitute(win32::ProcessFontConfig(), pattern, FcMatchPattern);
  std::string result;
  FcChar8* first = nullptr;
  if (FcPatternGetString(pattern, FC_FAMILY, 0, &first) == FcResultMatch) {
    std::string mapped = reinterpret_cast<const char*>(first);
    if (mapped != name && FamilyInstalled(mapped.c_str())) result = mapped;
  }
  FcPatternDestroy(pattern);
  return result;
}

cairo_font_face_t* MakeFace(const std::string& family, int style) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, (style & Gdiplus::FontStyleBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, (style & Gdiplus::FontStyleItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(win32::ProcessFontConfig(), pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(win32::ProcessFontConfig(), pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return nullptr;
  cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(match);
  FcPatternDestroy(match);
  if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(face);
    return nullptr;
  }
  return face;
}

}  // namespace

std::string ResolveFamily(std::u16string_view name) {
  static auto* resolved = new std::map<std::u16string, std::string>;
  std::lock_guard<std::mutex> hold(FontLock());
  auto found = resolved->find(std::u16string(name));
  if (found != resolved->end()) return found->second;
  std::string family = Resolve(win32::Utf16ToUtf8(name));
  resolved->emplace(std::u16string(name), family);
  return family;
}

std::shared_ptr<Face> FindFace(const std::string& family, int style) {
  static auto* faces = new std::map<std::pair<std::string, int>, std::shared_ptr<Face>>;
  const int key = style & Gdiplus::FontStyleBoldItalic;
  std::lock_guard<std::mutex> hold(FontLock());
  auto found = faces->find({family, key});
  if (found != faces->end()) return found->second;
  cairo_font_face_t* face = MakeFace(family, key);
  auto shared = face ? std::make_shared<Face>(face) : nullptr;
  faces->emplace(std::make_pair(family, key), shared);
  return shared;
}

}  // namespace gdiplus::text
