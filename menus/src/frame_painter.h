#pragma once
// The style objects: one per style code, each carrying the look's item routines and painting
// the pop-up menu windows of that look. CStyledMenuFramePainter draws the classic 3D border
// with its drop shadow; CStyledMenuFramePainterAlt the flat looks' border, which continues the
// icon column and joins an open menu-bar item.
#include "win32/windows.h"
#include "win32/winctrl.h"

class CStyledMenu;

namespace styled_menu {
struct MenuWindowRecord;

using MeasureRoutine = void (*)(CStyledMenu* menu, LPMEASUREITEMSTRUCT request, BOOL menuBar);
using DrawRoutine = void (*)(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar);
using TitleRoutine = void (*)(CStyledMenu* menu, LPDRAWITEMSTRUCT request);
}  // namespace styled_menu

class CStyledMenuFramePainter {
 public:
  CStyledMenuFramePainter(int code, styled_menu::MeasureRoutine measure, styled_menu::DrawRoutine draw,
                          bool flatMenusAtStart);
  virtual ~CStyledMenuFramePainter() = default;
  CStyledMenuFramePainter(const CStyledMenuFramePainter&) = delete;
  CStyledMenuFramePainter& operator=(const CStyledMenuFramePainter&) = delete;

  // After subclassing: takes the system's border off a handled window. 1 when it did.
  virtual int PrepareWindow(HWND hwnd, styled_menu::MenuWindowRecord& record);
  // Before unsubclassing: the menu hears that its pop-up closes; the saved styles come back.
  virtual void RestoreWindow(HWND hwnd, styled_menu::MenuWindowRecord& record);
  virtual BOOL HasOwnFrame() const { return ownFrame_; }
  // pass 0 comes before the system paints the non-client area and also fills the band between
  // border and client area; pass 1 comes after it.
  virtual void DrawFrame(HWND hwnd, HDC hdc, styled_menu::MenuWindowRecord& record, int pass);
  virtual BOOL EraseBackground(HWND hwnd, HDC hdc, styled_menu::MenuWindowRecord& record);
  virtual void AdjustNonClientSize(RECT* proposed);
  virtual void AdjustWindowPosition(WINDOWPOS* pos);
  // The window rectangle (screen) without the shadow; FALSE when there is none.
  virtual BOOL GetMenuRect(HWND hwnd, RECT* rect);

  int Code() const { return code_; }
  styled_menu::MeasureRoutine Measure() const { return measure_; }
  styled_menu::DrawRoutine Draw() const { return draw_; }
  styled_menu::TitleRoutine Title() const { return title_; }
  SIZE BorderSize() const { return borderSize_; }
  SIZE ShadowSize() const { return shadowSize_; }

  // The screen under the window (10 pixels wider and higher), taken once before the first frame
  // is drawn.
  static void TakeCapture(HWND hwnd, styled_menu::MenuWindowRecord& record);

 protected:
  // The classic shadow in the 4 pixels right of and below rect (window coordinates).
  static void DrawShadow(HDC hdc, const RECT& window, styled_menu::MenuWindowRecord& record);
  // Fills the client rectangle, 2 pixels wider on the left (1 narrower on the right with an own
  // frame), in colour.
  void FillClient(HWND hwnd, HDC hdc, COLORREF colour) const;

 private:
  int code_;
  BOOL ownFrame_;
  styled_menu::MeasureRoutine measure_;
  styled_menu::DrawRoutine draw_;
  styled_menu::TitleRoutine title_;
  SIZE borderSize_{2, 2};
  SIZE shadowSize_;
};

class CStyledMenuFramePainterAlt : public CStyledMenuFramePainter {
 public:
  using CStyledMenuFramePainter::CStyledMenuFramePainter;

  void DrawFrame(HWND hwnd, HDC hdc, styled_menu::MenuWindowRecord& record, int pass) override;
  BOOL EraseBackground(HWND hwnd, HDC hdc, styled_menu::MenuWindowRecord& record) override;

 private:
  // Paints the part of the border that touches the open menu-bar item in the bar's colour.
  static void JoinMenuBarItem(HWND hwnd, HDC hdc, HMENU menu);
};
