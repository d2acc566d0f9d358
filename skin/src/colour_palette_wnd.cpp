#include "skin/colour_palette_wnd.h"

#include <algorithm>
#include <vector>

#include "windows_xp.h"

namespace {

int RowsFor(int count) { return (count + CColourPaletteWnd::kColumns - 1) / CColourPaletteWnd::kColumns; }

// When the user has them on.
bool SystemWantsShadows() {
  BOOL shadows = FALSE;
  return IsWindowsXpOrLater() && SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &shadows, 0) && shadows;
}

bool IsPaletteScreen() {
  HDC screen = ::GetDC(nullptr);
  const bool palette = (::GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
  ::ReleaseDC(nullptr, screen);
  return palette;
}

// Half of each.
COLORREF Mix(COLORREF a, COLORREF b) {
  return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2, (GetBValue(a) + GetBValue(b)) / 2);
}

}  // namespace

BOOL CColourPaletteWnd::Create(CPoint topLeft, int buttonTop, COLORREF startColour, CWnd* picker,
                               const std::string& defaultText, const std::string& customText,
                               const std::string& registrySection, BOOL flatMenus) {
  picker_ = picker;
  flatMenus_ = flatMenus;
  startColour_ = startColour;
  defaultText_ = defaultText;
  customText_ = customText;
  registrySection_ = registrySection;
  if (startColour == CLR_DEFAULT) {
    startCell_ = defaultText_.empty() ? kNoCell : kDefaultCell;
  } else {
    startCell_ = CColourTable::Find(startColour);
  }
  selection_ = startCell_;

  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  menuFont_.CreateFontIndirect(&metrics.lfMenuFont);
  Layout();
  if (IsPaletteScreen()) MakeColourPalette();

  // Kept on the screen: left of the right edge, right of the left edge, above the button when
  // it would pass the bottom.
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (topLeft.x + size_.cx > screenWidth) topLeft.x = screenWidth - size_.cx;
  if (topLeft.x < 0) topLeft.x = 0;
  if (topLeft.y + size_.cy > screenHeight) topLeft.y = buttonTop - size_.cy;

  CWnd* owner = picker ? picker->GetParent() : nullptr;
  if (owner) {
    owner->SendMessage(WM_NCACTIVATE, TRUE);
    owner->SendMessage(WM_SETREDRAW, FALSE);
  }
  const UINT classStyle = CS_CLASSDC | CS_SAVEBITS | (SystemWantsShadows() ? CS_DROPSHADOW : 0);
  const BOOL created = CreateEx(0, AfxRegisterWndClass(classStyle, ::LoadCursorA(nullptr, IDC_ARROW)), "",
                                WS_POPUP | WS_VISIBLE, topLeft.x, topLeft.y, size_.cx, size_.cy,
                                picker ? picker->GetSafeHwnd() : nullptr, nullptr);
  if (owner) owner->SendMessage(WM_SETREDRAW, TRUE);
  if (!created) return FALSE;
  SetCapture();
  return TRUE;
}

void CColourPaletteWnd::MakeColourPalette() {
  const int count = CColourTable::GetCount();
  std::vector<BYTE> storage(sizeof(LOGPALETTE) + size_t(count) * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = WORD(count);
  for (int i = 0; i < count; ++i) {
    const COLORREF c = CColourTable::GetEntry(i).colour;
    palette->palPalEntry[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
  }
  colours_.CreatePalette(palette);
}

void CColourPaletteWnd::Layout() {
  margin_ = GetSystemMetrics(SM_CXEDGE);
  textHeight_ = 0;
  if (!defaultText_.empty() || !customText_.empty()) {
    CWindowDC screen(nullptr);
    CFont* old = screen.SelectObject(&menuFont_);
    const int tallest = std::max(defaultText_.empty() ? 0 : int(screen.GetTextExtent(defaultText_.c_str(), int(defaultText_.size())).cy),
                                 customText_.empty() ? 0 : int(screen.GetTextExtent(customText_.c_str(), int(customText_.size())).cy));
    screen.SelectObject(old);
    textHeight_ = tallest + 4 * margin_ + 2;
  }
  const int width = kColumns * kCellSize;
  int y = margin_;
  defaultRect_ = CRect();
  if (!defaultText_.empty()) {
    defaultRect_ = CRect(margin_, y, margin_ + width, y + textHeight_);
    y += textHeight_;
  }
  cellsRect_ = CRect(margin_, y, margin_ + width, y + RowsFor(CColourTable::GetCount()) * kCellSize);
  y = cellsRect_.bottom;
  customRect_ = CRect();
  if (!customText_.empty()) {
    customRect_ = CRect(margin_, y, margin_ + width, y + textHeight_);
    y += textHeight_;
  }
  size_ = CSize(width + 2 * margin_, y + margin_);
}

CRect CColourPaletteWnd::CellRect(int cell) const {
  if (cell == kDefaultCell) return defaultRect_;
  if (cell == kCustomCell) return customRect_;
  if (cell < 0 || cell >= CColourTable::GetCount()) return CRect();
  const int left = cellsRect_.left + (cell % kColumns) * kCellSize;
  const int top = cellsRect_.top + (cell / kColumns) * kCellSize;
  return CRect(left, top, left + kCellSize, top + kCellSize);
}

int CColourPaletteWnd::CellAt(CPoint point) const {
  if (!defaultRect_.IsRectEmpty() && ::PtInRect(&defaultRect_, point)) return kDefaultCell;
  if (!customRect_.IsRectEmpty() && ::PtInRect(&customRect_, point)) return kCustomCell;
  for (int cell = 0; cell < CColourTable::GetCount(); ++cell) {
    const CRect r = CellRect(cell);
    if (::PtInRect(&r, point)) return cell;
  }
  return kNoCell;
}

COLORREF CColourPaletteWnd::ColourOf(int cell) const {
  if (cell == kDefaultCell) return CLR_DEFAULT;
  if (cell >= 0) return CColourTable::GetEntry(cell).colour;
  return startColour_;  // no cell, or the custom cell before its dialog
}

void CColourPaletteWnd::Select(int cell) {
  if (cell == selection_) return;
  const CRect before = CellRect(selection_);
  selection_ = cell;
  InvalidateRect(&before, FALSE);
  const CRect after = CellRect(selection_);
  InvalidateRect(&after, FALSE);
  if (picker_) picker_->SendMessage(CPN_SELCHANGE, ColourOf(selection_));
}

// The cell after one, reading the palette row by row: the colours, then the custom cell, then
// the default cell, then round to the first colour.
int CColourPaletteWnd::After(int cell) const {
  const int last = CColourTable::GetCount() - 1;
  if (cell >= 0 && cell < last) return cell + 1;
  if (cell == last && !customText_.empty()) return kCustomCell;
  if ((cell == last || cell == kCustomCell) && !defaultText_.empty()) return kDefaultCell;
  return 0;
}

// The cell before one: from the first colour to the default cell, then the custom cell, then
// the last colour.
int CColourPaletteWnd::Before(int cell) const {
  const int last = CColourTable::GetCount() - 1;
  if (cell > 0) return cell - 1;
  if (cell == 0 && !defaultText_.empty()) return kDefaultCell;
  if ((cell == 0 || cell == kDefaultCell) && !customText_.empty()) return kCustomCell;
  return last;
}

void CColourPaletteWnd::MoveBy(UINT key) {
  const int count = CColourTable::GetCount();
  int cell = selection_;
  if (cell == kNoCell) {
    cell = 0;
  } else if (key == VK_RIGHT) {
    cell = After(cell);
  } else if (key == VK_LEFT) {
    cell = Before(cell);
  } else if (key == VK_DOWN) {
    cell = cell >= 0 && cell + kColumns < count ? cell + kColumns : After(cell >= 0 ? count - 1 : cell);
  } else if (key == VK_UP) {
    cell = cell >= kColumns ? cell - kColumns : Before(cell >= 0 ? 0 : cell);
  }
  Select(cell);
}

void CColourPaletteWnd::EndSelection(bool accepted) {
  if (ending_) return;
  ending_ = true;
  ReleaseCapture();
  COLORREF colour = ColourOf(selection_);
  if (accepted && selection_ == kCustomCell) {
    colour = startColour_ == CLR_DEFAULT ? 0 : startColour_;
    accepted = ChooseColourWithCustomColours(GetSafeHwnd(), registrySection_, colour);
  }
  if (!accepted) colour = startColour_;
  if (picker_) picker_->SendMessage(accepted ? CPN_SELENDOK : CPN_SELENDCANCEL, colour);
  DestroyWindow();
}

LRESULT CColourPaletteWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
      if (!ending_) Select(CellAt(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))));
      return 0;
    case WM_LBUTTONUP: {
      const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      const CRect client(0, 0, size_.cx, size_.cy);
      EndSelection(::PtInRect(&client, point) != FALSE);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_DOWN || wParam == VK_UP || wParam == VK_LEFT || wParam == VK_RIGHT) {
        MoveBy(UINT(wParam));
      } else if (wParam == VK_RETURN || wParam == VK_SPACE) {
        EndSelection(true);
      } else if (wParam == VK_ESCAPE) {
        selection_ = startCell_;
        EndSelection(false);
      }
      return 0;
    case WM_KILLFOCUS:
      ReleaseCapture();
      break;
    case WM_ACTIVATEAPP:
      if (!wParam) EndSelection(false);
      break;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
      Invalidate();
      break;
    case WM_PAINT: {
      CPaintDC dc(this);
      Paint(dc);
      return 0;
    }
    default:
      break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

void CColourPaletteWnd::Paint(CDC& dc) {
  CPalette* oldPalette = nullptr;
  if (colours_.m_hObject) {
    oldPalette = dc.SelectPalette(&colours_, FALSE);
    dc.RealizePalette();
  }
  CRect client(0, 0, size_.cx, size_.cy);
  dc.FillSolidRect(&client, GetSysColor(COLOR_MENU));
  if (flatMenus_) {
    CBrush border(GetSysColor(COLOR_GRAYTEXT));
    dc.FrameRect(&client, &border);
  } else {
    dc.DrawEdge(&client, EDGE_RAISED, BF_RECT);
  }
  if (!defaultText_.empty()) PaintCell(dc, kDefaultCell);
  if (!customText_.empty()) PaintCell(dc, kCustomCell);
  for (int cell = 0; cell < CColourTable::GetCount(); ++cell) PaintCell(dc, cell);
  if (oldPalette) dc.SelectPalette(oldPalette, FALSE);
}

void CColourPaletteWnd::PaintCell(CDC& dc, int cell) {
  CRect rect = CellRect(cell);
  const COLORREF menu = GetSysColor(COLOR_MENU);
  dc.FillSolidRect(&rect, menu);
  COLORREF textColour = GetSysColor(COLOR_MENUTEXT);
  if (flatMenus_ && (cell == selection_ || cell == startCell_)) {
    // Flat menus fill the selection with the menu highlight and frame it in the highlight.
    const COLORREF fill = cell == selection_ ? GetSysColor(COLOR_MENUHILIGHT) : Mix(GetSysColor(COLOR_MENUHILIGHT), menu);
    dc.FillSolidRect(&rect, fill);
    CBrush frame(GetSysColor(COLOR_HIGHLIGHT));
    dc.FrameRect(&rect, &frame);
    if (cell == selection_) textColour = GetSysColor(COLOR_HIGHLIGHTTEXT);
  } else if (cell == selection_) {
    dc.Draw3dRect(&rect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
  } else if (cell == startCell_) {
    dc.Draw3dRect(&rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
  }
  if (cell >= 0) {
    CRect swatch = rect;
    ::InflateRect(&swatch, -2, -2);
    dc.FillSolidRect(&swatch, GetSysColor(COLOR_BTNSHADOW));
    ::InflateRect(&swatch, -1, -1);
    // On a palette screen the colour comes exactly through the window's own palette.
    const COLORREF colour = CColourTable::GetEntry(cell).colour;
    CBrush fill(colours_.m_hObject ? PALETTEINDEX(WORD(cell)) : colour);
    dc.FillRect(&swatch, &fill);
    return;
  }
  const std::string& text = cell == kDefaultCell ? defaultText_ : customText_;
  CFont* old = dc.SelectObject(&menuFont_);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(textColour);
  dc.DrawText(text.c_str(), int(text.size()), &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  dc.SelectObject(old);
  // An etched line sets the text cells apart from the colours.
  CRect line = rect;
  ::InflateRect(&line, -margin_, 0);
  if (cell == kDefaultCell) {
    line.top = line.bottom - 2;
    dc.DrawEdge(&line, EDGE_ETCHED, BF_BOTTOM);
  } else {
    line.bottom = line.top + 2;
    dc.DrawEdge(&line, EDGE_ETCHED, BF_TOP);
  }
}

void CColourPaletteWnd::PostNcDestroy() { delete this; }
