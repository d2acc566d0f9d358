#pragma once
// The vertical scroll bar of a skinned list: a window of its own beside the list, drawn from seven
// skin pictures, that scrolls the list and follows it. The pressed pictures also serve as the
// hover look. When the list cannot scroll the bar is one flat area of the list's background.
#include "mfc/afxcmn.h"
#include "mfc/afxwin.h"
#include "skin/skin_model.h"

class CSkinScrollBar : public CStatic {
 public:
  CSkinScrollBar() = default;

  // Takes the pictures over from the skin.
  void LoadBitmaps(SkinScrollBarBitmaps& bitmaps);
  void SetList(CListCtrl* list) { list_ = list; }
  void SetBackColour(COLORREF colour) { backColour_ = colour; }
  int GetBarWidth() const { return upWidth_; }
  // Moves the thumb to where the list is scrolled, and repaints.
  void SyncWithList();
  int GetThumbTop() const { return thumbTop_; }

 protected:
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  afx_msg void OnPaint();
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnTimer(UINT_PTR id);
  DECLARE_MESSAGE_MAP()

 private:
  static constexpr UINT_PTR kRepeatTimer = 1;
  static constexpr UINT_PTR kDelayTimer = 2;

  bool OverUpArrow(CPoint point) const;
  bool OverDownArrow(CPoint point) const;
  bool OverThumb(CPoint point) const;
  void ClampThumb();
  void ScrollList(UINT code);
  int ClientHeight() const;

  CListCtrl* list_ = nullptr;
  CBitmap thumb_, thumbPressed_, upArrow_, upArrowPressed_, downArrow_, downArrowPressed_, channel_;
  int upWidth_ = 0, upHeight_ = 0;
  int downWidth_ = 0, downHeight_ = 0;
  int thumbWidth_ = 0, thumbHeight_ = 0;
  int channelWidth_ = 0, channelHeight_ = 0;
  int thumbTop_ = 0;
  double pixelsPerLine_ = 0;
  BOOL upPressed_ = FALSE;
  BOOL downPressed_ = FALSE;
  BOOL dragging_ = FALSE;
  COLORREF backColour_ = RGB(255, 255, 255);
};
