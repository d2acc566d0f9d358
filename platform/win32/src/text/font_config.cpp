#include "win32/font_config.h"

#include <unistd.h>
#if defined(__SANITIZE_ADDRESS__)
#define FONT_CONFIG_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FONT_CONFIG_LEAK_CHECKED 1
#endif
#endif
#if defined(FONT_CONFIG_LEAK_CHECKED)
#include <sanitizer/lsan_interface.h>
#endif

#include <string>

namespace win32 {
namespace {

std::string ProgramFolder() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return ".";
  std::string path(buffer, size_t(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

FcConfig* ProcessFontConfig() {
  static FcConfig* config = [] {
#if defined(FONT_CONFIG_LEAK_CHECKED)
    // The configuration lives for the process; fontconfig keeps parts of it where the leak
    // checker cannot see them.
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

}  // namespace win32
