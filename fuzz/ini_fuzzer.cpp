// Ini files are edited by hand and shipped inside skins: reading any bytes through the profile
// functions must never crash, and whatever a write leaves must read back the same.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "win32/windows.h"

static std::string ScratchFile() {
  static std::string path = [] {
    char name[] = "/tmp/corvane-ini-fuzz-XXXXXX";
    int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    return std::string(name);
  }();
  return path;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = ScratchFile();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  char names[512];
  GetPrivateProfileSectionNames(names, sizeof names, path.c_str());
  const std::string section = names[0] ? names : "Main";
  char keys[512];
  GetPrivateProfileString(section.c_str(), nullptr, "", keys, sizeof keys, path.c_str());
  char value[64];
  GetPrivateProfileString(section.c_str(), keys[0] ? keys : "Screen", "dflt", value, sizeof value, path.c_str());
  char entries[300];
  GetPrivateProfileSection(section.c_str(), entries, sizeof entries, path.c_str());
  GetPrivateProfileInt(section.c_str(), "COLOR", 7, path.c_str());

  if (WritePrivateProfileString(section.c_str(), "FUZZKEY", "fuzz value", path.c_str())) {
    char back[32];
    GetPrivateProfileString(section.c_str(), "FUZZKEY", "", back, sizeof back, path.c_str());
    if (std::string(back) != "fuzz value") std::abort();
  }
  return 0;
}
