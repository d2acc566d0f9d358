#include "converter_app.h"

CConverterApp theApp;

int main() {
  CConverterApp::RegisterProgramModules();
  return AfxWinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
}
