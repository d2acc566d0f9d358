#pragma once
// What a skinned control needs from the dialog that carries it: the dialog's background picture,
// from which the control copies what lies behind it, and the operations it reports to. The
// dialog is the controls' parent window; the picture is in the dialog's client coordinates.
#include "mfc/afxwin.h"

class CSkinHost {
 public:
  // A memory DC holding the dialog's background picture, or null when there is none yet.
  virtual CDC* GetBackgroundDC() = 0;
  // A slider was dragged to pos (every mouse move of a drag, also when pos did not change).
  virtual void OnSliderCommand(int index, int pos) = 0;
  // A row of a list box was double-clicked.
  virtual void OnListDblClk(int index) = 0;

 protected:
  ~CSkinHost() = default;
};
