#pragma once
// The program: one modal main dialog; the program ends when it closes.
#include "mfc/afxwnd.h"

class CConverterApp : public CWinApp {
 public:
  CConverterApp() = default;
  BOOL InitInstance() override;

  // Registers the engine and overlay modules of the program folder, as an installation would.
  static void RegisterProgramModules();
};
