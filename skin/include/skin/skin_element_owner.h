#pragma once
// What the skin elements call on the dialog that holds them. A click or a choice is reported by
// the element's position in its kind's array, never through WM_COMMAND; the dialog turns the
// position into the element's name.
#include "mfc/afxwin.h"

class CSkinElementOwner {
 public:
  // A memory DC holding the dialog's background picture, from which labels and progress bars
  // copy what lies under them; null before a skin is loaded.
  virtual CDC* BackgroundDC() = 0;
  virtual void OnButtonCommand(int index) = 0;
  virtual void OnOptionCommand(int index) = 0;

 protected:
  ~CSkinElementOwner() = default;
};
