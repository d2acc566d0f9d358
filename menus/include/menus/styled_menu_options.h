#pragma once
// Library options for a stretch of code: the guard sets them (or a style) and puts the previous
// options and style back when it goes.
//
//   {
//     CStyledMenuOptionGuard guard(CStyledMenuOptionGuard::kHandlePlainDialogs |
//                                  CStyledMenuOptionGuard::kAttachSystemMenus);
//     ::DialogBoxParamA(...);  // the message box or dialog gets styled menus
//   }
#include "win32/windows.h"

class CStyledMenuOptionGuard {
 public:
  enum : DWORD {
    kHandlePlainDialogs = 0x1,  // dialogs of class "#32770" created meanwhile get styled pop-ups
    kAttachSystemMenus = 0x2,   // and their system menus become styled menus
    kSystemFrameStyle = 0x4,    // the current style's system-frame variant is used meanwhile
  };
  // A style code to select for the guard's lifetime.
  struct Style {
    int code;
  };

  // Sets the options; with kSystemFrameStyle selects the current style's system-frame variant.
  explicit CStyledMenuOptionGuard(DWORD options);
  // Selects the style, keeping the options.
  explicit CStyledMenuOptionGuard(Style style);
  // Selects the saved style and restores the saved options.
  ~CStyledMenuOptionGuard();
  CStyledMenuOptionGuard(const CStyledMenuOptionGuard&) = delete;
  CStyledMenuOptionGuard& operator=(const CStyledMenuOptionGuard&) = delete;

  static DWORD CurrentOptions();

 private:
  DWORD savedOptions_;
  int savedStyle_;
};
