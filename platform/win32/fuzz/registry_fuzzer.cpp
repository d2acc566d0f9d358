// The registry file may be damaged by anything outside the program: parsing any bytes must never
// crash, and a file that parses must survive a round trip through its text form unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "registry_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  win32::RegistryTree tree;
  if (!win32::ParseRegistry(std::string(reinterpret_cast<const char*>(data), size), tree)) return 0;
  const std::string text = win32::SerializeRegistry(tree);
  win32::RegistryTree again;
  if (!win32::ParseRegistry(text, again)) std::abort();
  if (win32::SerializeRegistry(again) != text) std::abort();
  return 0;
}
