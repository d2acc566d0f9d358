#pragma once
// A track bar drawn from skin bitmaps: the channel picture shown from the start of the track up
// to the thumb, and a thumb (with an optional second thumb shown while dragging), both optionally
// keyed on a transparent colour. A drag reports every position to the host dialog.
#include "mfc/afxcmn.h"
#include "mfc/afxwin.h"
#include "skin/skin_host.h"
#include "skin/skin_model.h"

class CSkinSlider : public CStatic {
 public:
  CSkinSlider() = default;
  ~CSkinSlider() override;

  // Creates the slider as the skin describes it, on the host dialog parent, taking the
  // bitmaps over from info. The range is 0 to 0 until the owner sets it.
  BOOL CreateFromSkin(SkinSliderInfo& info, COLORREF transparentColour, CWnd* parent);

  void SetRange(int min, int max, BOOL redraw = FALSE);
  void SetRangeMax(int max, BOOL redraw = FALSE);
  void SetRangeMin(int min, BOOL redraw = FALSE);
  int GetRangeMax() const { return max_; }
  int GetRangeMin() const { return min_; }
  int GetPos() const { return pos_; }
  // Clamps to the range and repaints; the host is not told.
  void SetPos(int pos);
  int SetPageSize(int page);
  void Enable(BOOL enabled);
  void SetDrawFocusRect(BOOL draw, BOOL redraw = FALSE);
  // Takes the bitmaps over (either may be null). A null thumb leaves the slider with its channel
  // only. The window takes the larger of thumb and channel size. TRUE when a thumb is held.
  BOOL SetThumbBitmaps(HBITMAP thumb, HBITMAP activeThumb, BOOL transparent);
  // Takes the channel over; FALSE (and no channel) when it is null.
  BOOL SetChannelBitmap(HBITMAP channel);
  void SetTransparentColour(COLORREF colour) { transparentColour_ = colour; }
  void SetToolTipText(LPCTSTR text, BOOL activate = TRUE);
  void SetVertical(BOOL vertical) { vertical_ = vertical; }
  void SetIndex(int index) { index_ = index; }
  int GetIndex() const { return index_; }
  const CString& GetName() const { return name_; }

  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnPaint();
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnSetFocus(CWnd* oldWnd);
  afx_msg void OnKillFocus(CWnd* newWnd);
  DECLARE_MESSAGE_MAP()

 private:
  int ThumbCentre() const;
  int PosFromPoint(CPoint point) const;
  void FitWindowToBitmaps();
  void CaptureBackground(CDC* compatible);
  void DeleteThumbs();

  CToolTipCtrl toolTip_;
  CString name_;
  int index_ = 0;
  int max_ = 100;
  int min_ = 0;
  int pos_ = 0;
  int page_ = 20;
  CRect rect_;
  int width_ = 0;
  int height_ = 0;
  int thumbWidth_ = 0;
  int thumbHeight_ = 0;
  int channelWidth_ = 0;
  int channelHeight_ = 0;
  int lastThumbX_ = -1;
  int lastThumbY_ = -1;
  BOOL vertical_ = FALSE;
  BOOL hasActiveThumb_ = FALSE;
  BOOL transparent_ = FALSE;
  BOOL thumbLoaded_ = FALSE;
  BOOL channelLoaded_ = FALSE;
  BOOL copyBackground_ = TRUE;
  BOOL dragging_ = FALSE;
  BOOL focused_ = FALSE;
  BOOL focusRectShown_ = FALSE;
  BOOL drawFocusRect_ = TRUE;
  BOOL enabled_ = TRUE;
  BOOL captureBackground_ = TRUE;
  COLORREF transparentColour_ = RGB(255, 0, 255);
  CBitmap thumb_;
  CBitmap thumbMask_;
  CBitmap activeThumb_;
  CBitmap activeThumbMask_;
  CBitmap thumbBackground_;
  CBitmap channel_;
  CDC backgroundDC_;
  CBitmap background_;
  // A handle: the object SelectObject hands back is temporary and goes at the next idle time.
  HGDIOBJ oldBackground_ = nullptr;
};
