#include "fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <utility>

#include "gdiplus/gdiplus_types.h"
#include "win32/utf.h"

#if defined(__SANITIZE_ADDRESS__)
#define FONTS_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FONTS_LEAK_CHECKED 1
#endif
#endif
#if defined(FONTS_LEAK_CHECKED)
#include <sanitizer/lsan_interface.h>
#endif

namespace gdiplus::text {
namespace {

std::string ProgramFolder() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return ".";
  std::string path(buffer, size_t(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// Fontconfig and the caches below are used under this lock: frames are drawn on streaming
// threads while other threads make fonts.
std::mutex& FontLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

// The program folder's fonts.conf when there is one (it includes the system's), else the
// system's. Kept for the process.
FcConfig* FontConfig() {
  static FcConfig* config = [] {
#if defined(FONTS_LEAK_CHECKED)
    // Fontconfig keeps parts of its configuration where the leak checker cannot see them.
    __lsan::ScopedDisabler keptForever;
#endif
    std::string local = ProgramFolder() + "/fonts.conf";
    if (access(local.c_str(), R_OK) == 0) {
      FcConfig* c = FcConfigCreate();
      if (FcConfigParseAndLoad(c, reinterpret_cast<const FcChar8*>(local.c_str()), FcTrue) && FcConfigBuildFonts(c))
        return c;
      FcConfigDestroy(c);
    }
    return FcInitLoadConfigAndFonts();
  }();
  return config;
}

bool FamilyInstalled(const char* family) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(FontConfig(), pattern, objects);
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
  FcConfigSubstitute(FontConfig(), pattern, FcMatchPattern);
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
  FcConfigSubstitute(FontConfig(), pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(FontConfig(), pattern, &result);
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
