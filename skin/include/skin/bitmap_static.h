#pragma once
// A skin progress bar: filled from the left with copies of a tile picture over a copy of the
// dialog's background under it, taken once.
#include "mfc/afxwnd.h"
#include "skin/skin_model.h"

class CBitmapStatic : public CStatic {
 public:
  CBitmapStatic() = default;
  ~CBitmapStatic() override;
  CBitmapStatic(const CBitmapStatic&) = delete;
  CBitmapStatic& operator=(const CBitmapStatic&) = delete;

  // Creates the visible bar on the entry's rectangle of dialog. The tile stays the skin's: the
  // skin outlives its controls.
  BOOL CreateFromSkin(const SkinProgressInfo& info, COLORREF transparentColour, CWnd* dialog);

  void SetRange(int min, int max);
  void SetMax(int max);
  void SetMin(int min);
  // Held within the range.
  void SetPos(int pos);
  void SetTileBitmap(HBITMAP tile);
  void SetTransparentColour(COLORREF colour) { transparentColour_ = colour; }

  const CString& Name() const { return name_; }
  int Pos() const { return pos_; }

 protected:
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnPaint();

  DECLARE_MESSAGE_MAP()

 private:
  void CaptureBackground(CDC* like);
  // How many pixels from the left the bar fills.
  int FilledWidth(int clientWidth) const;

  CString name_;
  HBITMAP tile_ = nullptr;
  int tileWidth_ = 0;
  int tileHeight_ = 0;
  int pos_ = 0;
  int max_ = 100;
  int min_ = 0;
  COLORREF transparentColour_ = 0;
  bool needBackground_ = true;
  CDC backgroundDC_;
  CBitmap backgroundBitmap_;
  HGDIOBJ oldBitmap_ = nullptr;
};
