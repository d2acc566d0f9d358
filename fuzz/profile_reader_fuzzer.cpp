// Profile files are shared and edited by hand: reading any bytes as a profile must never crash,
// flags are on or off, and no text is longer than the reader's buffer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "profile_record.h"

static std::string ScratchFile() {
  static std::string path = [] {
    char name[] = "/tmp/corvane-profile-fuzz-XXXXXX";
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

  std::unique_ptr<CProfileRecord> profile = ReadProfile(path.c_str());
  if (profile->useOverlay > 1 || profile->useSlowMotion > 1) std::abort();
  for (const CString* text : {&profile->name, &profile->description, &profile->videoName, &profile->audioName,
                              &profile->overlayImage})
    if (text->GetLength() > 259) std::abort();
  (void)profile->KeyColour();
  return 0;
}
