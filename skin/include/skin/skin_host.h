#pragma once
// What the skin elements need from the dialog that carries them: its background picture, from
// which they copy what lies behind them, and the operations they report to. Every element is a
// child of its host; a report names the element by its position in its kind's array, never
// through WM_COMMAND, and the dialog turns the position into the element's name.
#include "mfc/afxwin.h"

class CSkinHost {
 public:
  // A memory DC holding the dialog's background picture in its client coordinates; null before
  // a skin is loaded.
  virtual CDC* BackgroundDC() = 0;
  virtual void OnButtonCommand(int index) = 0;
  virtual void OnOptionCommand(int index) = 0;
  // A slider was dragged to pos (every mouse move of a drag, also when pos did not change).
  virtual void OnSliderCommand(int index, int pos) = 0;
  // A row of a list box was double-clicked.
  virtual void OnListDblClk(int index) = 0;

 protected:
  ~CSkinHost() = default;
};

// The host of an element: its parent window, when that is a skin host.
inline CSkinHost* SkinHostOf(const CWnd& element) { return dynamic_cast<CSkinHost*>(element.GetParent()); }
