// The settings file may be edited by hand or cut short: reading any bytes must never crash, and
// what the program then writes must read back as the same settings.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "settings/converter_settings.h"

static std::string ScratchFile(const char* kind) {
  char name[64];
  std::snprintf(name, sizeof name, "/tmp/corvane-settings-fuzz-%s-XXXXXX", kind);
  int fd = mkstemp(name);
  if (fd >= 0) close(fd);
  return std::string(name);
}

static bool Same(const ConverterSettings& a, const ConverterSettings& b) {
  return a.selectedSkin == b.selectedSkin && a.fullScreenSize == b.fullScreenSize &&
         a.previewDepth == b.previewDepth && a.prefixName == b.prefixName && a.batchOption == b.batchOption &&
         a.mergeOption == b.mergeOption && a.outputFolder == b.outputFolder && a.mergeFile == b.mergeFile;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string input = ScratchFile("in");
  static const std::string output = ScratchFile("out");
  FILE* f = std::fopen(input.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  ConverterSettings read;
  read.Load(input.c_str());
  if (read.batchOption > 1 || read.mergeOption > 1) std::abort();
  for (const CString* text : {&read.prefixName, &read.outputFolder, &read.mergeFile})
    if (text->GetLength() > 259) std::abort();

  std::remove(output.c_str());
  read.Save(output.c_str());
  ConverterSettings again;
  again.Load(output.c_str());
  if (!Same(read, again)) std::abort();
  return 0;
}
