#include "converter_app.h"
#include "win32/display.h"

CConverterApp theApp;

int main() {
  // Without a display the program cannot show itself; the reason is on stderr.
  if (!StartDisplayBackend()) return 1;
  CConverterApp::RegisterProgramModules();
  return AfxWinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
}
