// A second process for the tests: reads and writes the registry and loads modules as told on its
// command line and prints what happened.
//   regget <key under HKCU> <value>        prints the REG_SZ value or "error N"
//   regset <key under HKCU> <value> <text> prints "ok" or "error N"
//   regfill <key under HKCU> <prefix> <n>  sets n values prefix0..prefix(n-1); prints "ok" or "error N"
//   load <module>                          prints "ok" or "error N"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "win32/windows.h"

namespace {

int Report(LONG error) {
  if (error) {
    std::printf("error %d\n", static_cast<int>(error));
  } else {
    std::printf("ok\n");
  }
  return 0;
}

LONG SetString(const char* key, const char* name, const char* text) {
  HKEY hKey = nullptr;
  LONG error = RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr);
  if (error) return error;
  error = RegSetValueExA(hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                         static_cast<DWORD>(std::strlen(text) + 1));
  RegCloseKey(hKey);
  return error;
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "regget" && argc == 4) {
    HKEY hKey = nullptr;
    LONG error = RegOpenKeyExA(HKEY_CURRENT_USER, argv[2], 0, KEY_READ, &hKey);
    char text[1024] = {};
    DWORD size = sizeof text - 1;
    if (!error) error = RegQueryValueExA(hKey, argv[3], nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    if (hKey) RegCloseKey(hKey);
    if (error) return Report(error);
    std::printf("%s\n", text);
    return 0;
  }
  if (command == "regset" && argc == 5) return Report(SetString(argv[2], argv[3], argv[4]));
  if (command == "regfill" && argc == 5) {
    int count = std::atoi(argv[4]);
    for (int i = 0; i < count; ++i) {
      std::string name = argv[3] + std::to_string(i);
      if (LONG error = SetString(argv[2], name.c_str(), name.c_str())) return Report(error);
    }
    return Report(ERROR_SUCCESS);
  }
  if (command == "load" && argc == 3) {
    HMODULE module = LoadLibraryA(argv[2]);
    return Report(module ? ERROR_SUCCESS : static_cast<LONG>(GetLastError()));
  }
  std::fprintf(stderr, "usage: win32_probe regget|regset|regfill|load ...\n");
  return 2;
}
