#pragma once
// An owner-drawn push button for the program's ordinary dialogs: an icon or a bitmap with a
// caption, a look that follows the mouse (with an optional sound and cursor), a check-box mode, a
// drop-down icon menu or a web address to open, and a tooltip.
#include <string>

#include "menus/icon_menu.h"
#include "mfc/afxcmn.h"
#include "mfc/afxwin.h"
#include "mfc/afxwnd.h"

class CHoverButton : public CButton {
  DECLARE_DYNAMIC(CHoverButton)
 public:
  // Results of the setters.
  enum Result : DWORD {
    kOk = 0,
    kInvalidResource = 1,
    kFailedMask = 2,
    kInvalidIndex = 3,
    kInvalidAlign = 4,
    kBadParameter = 5,
    kInvalidPressedStyle = 6,
  };
  // Out images made from the in image.
  static constexpr int kGreyOut = -2;
  static constexpr int kDarkenedOut = -3;
  // Colour indices: background and text of the mouse-over, mouse-out and focused looks.
  enum ColourIndex {
    kBackgroundIn = 0,
    kTextIn,
    kBackgroundOut,
    kTextOut,
    kBackgroundFocus,
    kTextFocus,
    kColourCount,
  };
  enum Alignment { kIconLeft = 0, kIconAbove = 1, kIconRight = 2 };

  CHoverButton();
  ~CHoverButton() override;

  // Icons by resource id (0: none; out kDarkenedOut or kGreyOut: made from the in icon). The
  // button owns the icons handed to it.
  DWORD SetIcon(int inIconId, int outIconId = 0);
  DWORD SetIcon(HICON inIcon, HICON outIcon = nullptr);
  // Bitmaps drawn through masks of their transparent colours; the out bitmap as for icons. The
  // button owns the bitmaps handed to it.
  DWORD SetBitmaps(int inBitmapId, COLORREF inTransparent, int outBitmapId = 0, COLORREF outTransparent = 0);
  DWORD SetBitmaps(HBITMAP inBitmap, COLORREF inTransparent, HBITMAP outBitmap = nullptr, COLORREF outTransparent = 0);

  DWORD SetFlat(BOOL flat = TRUE, BOOL repaint = TRUE);
  DWORD SetAlign(int alignment, BOOL repaint = TRUE);
  DWORD SetCheck(int checked, BOOL repaint = TRUE);
  int GetCheck() const { return checked_; }
  DWORD DrawBorder(BOOL draw = TRUE, BOOL repaint = TRUE);
  DWORD DrawFlatFocus(BOOL draw, BOOL repaint = TRUE);
  // 0: the content moves one pixel right and down when pressed, 1: two pixels down.
  DWORD SetPressedStyle(int style, BOOL repaint = TRUE);

  DWORD SetColour(int index, COLORREF colour, BOOL repaint = TRUE);
  DWORD GetColour(int index, COLORREF* colour) const;
  // Adds shade to every channel, less when a channel would leave 0..255.
  DWORD OffsetColour(int index, int shade, BOOL repaint = TRUE);
  DWORD SetDefaultColours(BOOL repaint = TRUE);

  // 0 clears the cursor; kInvalidResource when it cannot be loaded.
  DWORD SetBtnCursor(int cursorId, BOOL repaint = TRUE);
  // Opened with the shell on a click; empty clears it.
  DWORD SetURL(LPCTSTR url);
  // The first pop-up of the menu resource drops down on a click; the chosen command goes to the
  // owner as WM_COMMAND. 0 clears it.
  DWORD SetMenu(UINT menuId, HWND owner, BOOL repaint = TRUE);
  // Sent to the window, with the menu's handle, just before the menu shows.
  DWORD SetMenuCallback(HWND window, UINT message, LPARAM lParam = 0);
  // A wave file, or a "WAVE" resource of the module, for the mouse coming over the button or for
  // the click; a null name clears it.
  DWORD SetSound(LPCTSTR name, HMODULE module = nullptr, BOOL forClick = FALSE, BOOL async = TRUE);
  void SetTooltipText(LPCTSTR text, BOOL activate = TRUE);
  void SetTooltipText(int stringId, BOOL activate = TRUE);
  void ActivateTooltip(BOOL activate = TRUE);
  // The window takes the in icon's (or the in bitmap's) size.
  DWORD SizeToContent();
  // The parent's pixels under the button are the background.
  DWORD DrawTransparent(BOOL repaint = FALSE);

  BOOL IsHovered() const { return mouseOver_; }

  BOOL PreTranslateMessage(MSG* pMsg) override;
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

 protected:
  virtual void PaintBackground(CDC* pDC, CRect* pRect);
  virtual void PaintBorder(CDC* pDC, CRect* pRect);
  virtual void PaintIcon(CDC* pDC, BOOL hasCaption, const RECT* itemRect, CRect* captionRect, BOOL pressed,
                         BOOL disabled);
  virtual void PaintBitmap(CDC* pDC, BOOL hasCaption, const RECT* itemRect, CRect* captionRect, BOOL pressed,
                           BOOL disabled);
  virtual void PaintCaption(CDC* pDC, LPCTSTR text, const RECT* itemRect, CRect* captionRect, BOOL pressed,
                            BOOL disabled);

  // A sound as given to SetSound.
  struct Sound {
    std::string name;
    int resourceId = 0;  // a resource given by number
    HMODULE module = nullptr;
    DWORD flags = 0;
    bool IsSet() const { return !name.empty() || resourceId; }
  };
  virtual void PlayButtonSound(const Sound& sound);

  void PreSubclassWindow() override;

  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnMouseLeave();
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnCancelMode();
  afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  afx_msg void OnEnable(BOOL bEnable);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnSysColorChange();
  afx_msg BOOL OnClicked();
  afx_msg LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 protected:
  // The state of the drawing in progress, for the painting operations.
  BOOL mouseOver_ = FALSE;
  BOOL pressed_ = FALSE;
  BOOL focused_ = FALSE;
  BOOL disabled_ = FALSE;
  BOOL isDefault_ = FALSE;
  BOOL checkBoxMode_ = FALSE;
  int checked_ = 0;
  BOOL flat_ = TRUE;
  BOOL drawBorder_ = TRUE;
  BOOL drawFlatFocus_ = FALSE;
  COLORREF colours_[kColourCount] = {};

 private:
  // An image and the size it is drawn at; a bitmap also has its mask.
  struct Image {
    HICON icon = nullptr;
    HBITMAP bitmap = nullptr;
    HBITMAP mask = nullptr;
    int width = 0;
    int height = 0;
  };
  void FreeImages();
  void LeaveHover();
  void RepaintIf(BOOL repaint);
  // Which image shows: the in image when pressed or hovered, else the out image if any.
  const Image& ShownImage(const Image (&images)[2], BOOL pressed) const;
  CRect PlaceImage(BOOL hasCaption, const RECT& item, CRect* captionRect, BOOL pressed, int width, int height) const;
  void PaintCapturedBackground(CDC* pDC);
  void EnsureTooltip();

  Image icons_[2];    // in, out
  Image bitmaps_[2];  // in, out
  int alignment_ = kIconLeft;
  CPoint contentMargin_{3, 3};
  CPoint pressedOffset_{1, 1};
  BOOL embossDisabled_ = TRUE;
  BOOL transparent_ = FALSE;
  CDC background_;
  CBitmap backgroundBitmap_;
  HGDIOBJ oldBackgroundBitmap_ = nullptr;
  HCURSOR cursor_ = nullptr;
  std::string url_;
  CIconMenu menu_;
  HWND menuOwner_ = nullptr;
  BOOL menuOpen_ = FALSE;
  HWND callbackWindow_ = nullptr;
  UINT callbackMessage_ = 0;
  LPARAM callbackParam_ = 0;
  Sound hoverSound_;
  Sound clickSound_;
  CToolTipCtrl tooltip_;
};
