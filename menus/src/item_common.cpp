// Shared steps and small pieces of the item routines.
#include "item_common.h"

#include <cstring>

#include "library.h"

namespace styled_menu {

const CString& ItemDraw::Text() const {
  static const CString empty;
  return data ? data->text : empty;
}

ItemDraw BeginItem(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar) {
  ItemDraw item;
  item.menu = menu;
  item.request = request;
  item.data = reinterpret_cast<CStyledMenuItemData*>(request->itemData);
  item.menuBar = menuBar != FALSE;
  item.state = request->itemState;
  item.rect = request->rcItem;
  if (item.menuBar && menu->OpenPopups() == 0 && (item.state & ODS_SELECTED))
    item.state = (item.state & ~ODS_SELECTED) | ODS_HOTLIGHT;
  if ((item.state & ODS_GRAYED) && (item.state & ODS_SELECTED) && !Lib().selectDisabled) {
    item.state &= ~ODS_SELECTED;
    // The mouse has not moved since the last key press: the keyboard brought the item here.
    const DWORD position = GetMessagePos();
    if (position == Lib().lastMessagePos) item.keyboardMarker = true;
    else Lib().lastMessagePos = position;
  }
  return item;
}

HFONT CreateMenuFont(bool bold) {
  LOGFONTA font = Lib().menuFont;
  if (bold) font.lfWeight = FW_BOLD;
  return CreateFontIndirectA(&font);
}

HFONT CreateTitleFont(bool vertical) {
  LOGFONTA font = Lib().menuFont;
  font.lfWeight = FW_BOLD;
  font.lfEscapement = font.lfOrientation = vertical ? 900 : 0;
  return CreateFontIndirectA(&font);
}

void DrawItemText(HDC hdc, const CString& text, RECT rect, bool centred) {
  if (text.IsEmpty()) return;
  const int firstTab = text.Find('\t');
  const CString left = firstTab < 0 ? text : text.Left(firstTab);
  const UINT format = DT_SINGLELINE | DT_VCENTER;
  DrawTextA(hdc, left, left.GetLength(), &rect, format | (centred ? DT_CENTER : DT_LEFT));
  if (firstTab >= 0) {
    const CString right = text.Mid(text.ReverseFind('\t') + 1);
    DrawTextA(hdc, right, right.GetLength(), &rect, format | DT_RIGHT);
  }
}

bool IsSystemCommand(UINT id) {
  const UINT command = id & 0xFFF0;
  return command >= 0xF000 && command <= 0xF150;
}

char SystemCommandGlyph(UINT id) {
  switch (id & 0xFFF0) {
    case SC_CLOSE: return 'r';
    case SC_MINIMIZE: return '0';
    case SC_MAXIMIZE: return '1';
    case SC_RESTORE: return '2';
    default: return 0;
  }
}

void DrawGlyph(HDC hdc, const RECT& rect, char glyph, COLORREF colour, bool bold) {
  if (!glyph) return;
  HFONT font = CreateFontA(rect.bottom - rect.top + 4, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                           SYMBOL_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                           "Marlett");
  HGDIOBJ oldFont = SelectObject(hdc, font);
  const COLORREF oldColour = SetTextColor(hdc, colour);
  const int oldMode = SetBkMode(hdc, TRANSPARENT);
  RECT r = rect;
  DrawTextA(hdc, &glyph, 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SetBkMode(hdc, oldMode);
  SetTextColor(hdc, oldColour);
  SelectObject(hdc, oldFont);
  DeleteObject(font);
}

namespace {

HIMAGELIST IconList(const ItemDraw& item) { return item.HasIcon() ? item.data->icons->ImageList().m_hImageList : nullptr; }

}  // namespace

void DrawItemIcon(HDC hdc, const ItemDraw& item, int variant, int x, int y) {
  if (HIMAGELIST list = IconList(item))
    ImageList_Draw(list, item.data->iconIndex + (Lib().iconVariants ? variant : 0), hdc, x, y, ILD_TRANSPARENT);
}

void DrawItemIconMono(HDC hdc, const ItemDraw& item, int x, int y, COLORREF colour) {
  HIMAGELIST list = IconList(item);
  if (!list) return;
  HICON icon = ImageList_GetIcon(list, item.data->iconIndex, ILD_NORMAL);
  HBRUSH brush = CreateSolidBrush(colour);
  DrawStateA(hdc, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, 0, 0, DST_ICON | DSS_MONO);
  DeleteObject(brush);
  DestroyIcon(icon);
}

void DrawItemIconDisabled(HDC hdc, const ItemDraw& item, int x, int y) {
  HIMAGELIST list = IconList(item);
  if (!list) return;
  HICON icon = ImageList_GetIcon(list, item.data->iconIndex, ILD_NORMAL);
  DrawStateA(hdc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, 0, 0, DST_ICON | DSS_DISABLED);
  DestroyIcon(icon);
}

CheckBitmaps ItemCheckBitmaps(const ItemDraw& item) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_CHECKMARKS;
  CheckBitmaps bitmaps;
  if (GetMenuItemInfoA(reinterpret_cast<HMENU>(item.request->hwndItem), item.request->itemID, FALSE, &info)) {
    bitmaps.checked = info.hbmpChecked;
    bitmaps.unchecked = info.hbmpUnchecked;
  }
  return bitmaps;
}

void DrawBitmapCentred(HDC hdc, HBITMAP bitmap, const RECT& rect, bool disabled) {
  BITMAP size{};
  if (!bitmap || !GetObjectA(bitmap, sizeof size, &size)) return;
  const int x = rect.left + (rect.right - rect.left - size.bmWidth) / 2;
  const int y = rect.top + (rect.bottom - rect.top - size.bmHeight) / 2;
  DrawStateA(hdc, nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, x, y, size.bmWidth, size.bmHeight,
             DST_BITMAP | (disabled ? DSS_DISABLED : DSS_NORMAL));
}

bool DrawMenuCheckImage(HDC hdc, const ItemDraw& item, int x, int y) {
  CImageList* images = item.menu->CheckMarkImages();
  if (!images || item.menu->UncheckedImage() <= 0 || item.menu->CheckedImage() <= 0) return false;
  ImageList_Draw(images->m_hImageList, item.Selected() ? 1 : 0, hdc, x, y, ILD_TRANSPARENT);
  return true;
}

void FillSolid(HDC hdc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(hdc, &rect, brush);
  DeleteObject(brush);
}

void FramePen(HDC hdc, const RECT& rect, COLORREF colour) {
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HGDIOBJ oldPen = SelectObject(hdc, pen);
  HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(HOLLOW_BRUSH));
  Rectangle(hdc, rect.left, rect.top, rect.right, rect.bottom);
  SelectObject(hdc, oldBrush);
  SelectObject(hdc, oldPen);
  DeleteObject(pen);
}

void Frame3d(HDC hdc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  FillSolid(hdc, RECT{rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
  FillSolid(hdc, RECT{rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
  if (width > 0 && height > 0) {
    FillSolid(hdc, RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
    FillSolid(hdc, RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
  }
}

COLORREF Nearest(HDC hdc, COLORREF colour) { return GetNearestColor(hdc, colour); }

void EtchedTopEdge(HDC hdc, RECT rect) {
  const int middle = rect.top + (rect.bottom - rect.top - 2) / 2;
  RECT line{rect.left, middle, rect.right, middle + 2};
  DrawEdge(hdc, &line, EDGE_ETCHED, BF_TOP);
}

}  // namespace styled_menu
