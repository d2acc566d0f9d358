#pragma once
// The pop-up palette a colour picker drops down: the named colours in rows of eight, an optional
// "Automatic" cell above them and an optional "More Colors..." cell below. It reports to the
// picker with the picker's messages and destroys itself when the choice ends.
#include <string>

#include "mfc/afxwin.h"
#include "mfc/afxwnd.h"
#include "skin/colour_table.h"

// What a picker and its palette tell each other (first parameter: the colour).
constexpr UINT CPN_SELCHANGE = WM_USER + 1001;
constexpr UINT CPN_DROPDOWN = WM_USER + 1002;
constexpr UINT CPN_CLOSEUP = WM_USER + 1003;
constexpr UINT CPN_SELENDOK = WM_USER + 1004;
constexpr UINT CPN_SELENDCANCEL = WM_USER + 1005;

class CColourPaletteWnd : public CWnd {
 public:
  // Cells other than the colours.
  static constexpr int kNoCell = -1;
  static constexpr int kCustomCell = -2;
  static constexpr int kDefaultCell = -3;

  static constexpr int kColumns = 8;
  static constexpr int kCellSize = 18;

  CColourPaletteWnd() = default;

  // Shows the palette with its top-left corner at topLeft (kept on the screen; above the button,
  // whose top is buttonTop, when there is no room below) and takes the mouse. flatMenus: drawn
  // as flat menus are, with a one-pixel border and filled selections.
  BOOL Create(CPoint topLeft, int buttonTop, COLORREF startColour, CWnd* picker, const std::string& defaultText,
              const std::string& customText, const std::string& registrySection, BOOL flatMenus);

  int GetSelection() const { return selection_; }
  // Where a cell is in the palette's client area (empty for a cell the palette does not have).
  CRect CellRect(int cell) const;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PostNcDestroy() override;

 private:
  void Layout();
  void MakeColourPalette();
  int CellAt(CPoint point) const;
  void Select(int cell);
  void MoveBy(UINT key);
  int After(int cell) const;
  int Before(int cell) const;
  COLORREF ColourOf(int cell) const;
  void EndSelection(bool accepted);
  void Paint(CDC& dc);
  void PaintCell(CDC& dc, int cell);

  CWnd* picker_ = nullptr;
  COLORREF startColour_ = 0;
  std::string defaultText_;
  std::string customText_;
  std::string registrySection_;
  int selection_ = kNoCell;
  int startCell_ = kNoCell;
  int margin_ = 2;
  int textHeight_ = 0;
  CRect defaultRect_;
  CRect customRect_;
  CRect cellsRect_;
  CSize size_;
  CFont menuFont_;
  // The named colours as a logical palette, made only on palette screens.
  CPalette colours_;
  BOOL flatMenus_ = FALSE;
  bool ending_ = false;
};
