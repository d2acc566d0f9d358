#include "win32/platform_config.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

namespace platform_config {
namespace {

// "6.1" -> 6, 1. Leaves the defaults when the text is not two numbers separated by a dot.
void ParseVersion(const char* text, PlatformConfig& config) {
  char* end = nullptr;
  long major = std::strtol(text, &end, 10);
  if (end == text || *end != '.') return;
  const char* minorText = end + 1;
  long minor = std::strtol(minorText, &end, 10);
  if (end == minorText || *end != '\0' || major < 0 || major > 255 || minor < 0 || minor > 255) return;
  config.versionMajor = static_cast<uint32_t>(major);
  config.versionMinor = static_cast<uint32_t>(minor);
}

// "WxH" or "WxHxD"; positive numbers only, else the defaults stay.
void ParseScreen(const char* text, PlatformConfig& config) {
  int values[3] = {config.screenWidth, config.screenHeight, config.screenDepth};
  const char* p = text;
  int count = 0;
  while (count < 3) {
    char* end = nullptr;
    long v = std::strtol(p, &end, 10);
    if (end == p || v <= 0 || v > 65535) return;
    values[count++] = static_cast<int>(v);
    if (*end == '\0') break;
    if (*end != 'x' && *end != 'X') return;
    p = end + 1;
  }
  if (count < 2) return;
  config.screenWidth = values[0];
  config.screenHeight = values[1];
  config.screenDepth = values[2];
}

std::vector<std::string> SplitList(const char* text) {
  std::vector<std::string> items;
  std::string current;
  for (const char* p = text;; ++p) {
    if (*p == ';' || *p == ',' || *p == '\0') {
      size_t first = current.find_first_not_of(" \t");
      size_t last = current.find_last_not_of(" \t");
      if (first != std::string::npos) items.push_back(current.substr(first, last - first + 1));
      current.clear();
      if (*p == '\0') break;
    } else {
      current += *p;
    }
  }
  return items;
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool NonEmpty(const char* s) { return s && *s; }

}  // namespace

bool PlatformConfig::IsModuleAbsent(const std::string& moduleFileName) const {
  for (const std::string& name : absentModules) {
    if (strcasecmp(name.c_str(), moduleFileName.c_str()) == 0) return true;
  }
  return false;
}

PlatformConfig ReadConfig(const std::function<const char*(const char*)>& getVariable) {
  PlatformConfig config;
  if (const char* v = getVariable("CORVANE_WINVER")) ParseVersion(v, config);
  if (const char* v = getVariable("CORVANE_SCREEN")) ParseScreen(v, config);
  if (const char* v = getVariable("CORVANE_SYSCOLORS")) config.systemColors = v;
  if (const char* v = getVariable("CORVANE_FLATMENUS")) config.flatMenus = std::strcmp(v, "0") != 0;
  if (const char* v = getVariable("CORVANE_REMOTESESSION")) config.remoteSession = std::strcmp(v, "1") == 0;
  if (const char* v = getVariable("CORVANE_ABSENT_MODULES")) config.absentModules = SplitList(v);

  const char* home = getVariable("HOME");
  if (const char* v = getVariable("CORVANE_REGISTRY"); NonEmpty(v)) {
    config.registryFile = v;
  } else if (const char* xdg = getVariable("XDG_CONFIG_HOME"); NonEmpty(xdg)) {
    config.registryFile = WithoutTrailingSlashes(xdg) + "/corvane/registry";
  } else {
    config.registryFile = WithoutTrailingSlashes(NonEmpty(home) ? home : "") + "/.config/corvane/registry";
  }

  if (const char* v = getVariable("CORVANE_CDRIVE"); NonEmpty(v)) {
    config.cDriveFolder = WithoutTrailingSlashes(v);
  } else {
    config.cDriveFolder = NonEmpty(home) ? WithoutTrailingSlashes(home) : "/";
  }

  if (const char* v = getVariable("CORVANE_CLOCK"); v && strcasecmp(v, "virtual") == 0) {
    config.clock = ClockKind::Virtual;
  }
  return config;
}

const PlatformConfig& Config() {
  // Leaked on purpose: users' static destructors may still ask.
  static const PlatformConfig* config =
      new PlatformConfig(ReadConfig([](const char* name) -> const char* { return std::getenv(name); }));
  return *config;
}

}  // namespace platform_config
