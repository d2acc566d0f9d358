#pragma once
// What the looks' item routines share: the request with its state adjusted, fonts, text, icons,
// check bitmaps and the Marlett glyphs.
#include "menus/styled_menu.h"

namespace styled_menu {

// One item being drawn, after the shared state rules (a menu-bar item selected while none of
// its pop-ups is open counts as hot; a grayed item is not selected unless disabled items may
// be).
struct ItemDraw {
  CStyledMenu* menu = nullptr;
  LPDRAWITEMSTRUCT request = nullptr;
  CStyledMenuItemData* data = nullptr;
  bool menuBar = false;
  UINT state = 0;
  // A grayed item reached with the keyboard: marked although it is not drawn selected.
  bool keyboardMarker = false;
  RECT rect{};

  bool Selected() const { return state & ODS_SELECTED; }
  bool Grayed() const { return state & ODS_GRAYED; }
  bool Disabled() const { return state & ODS_DISABLED; }
  bool Checked() const { return state & ODS_CHECKED; }
  bool Default() const { return state & ODS_DEFAULT; }
  bool Hot() const { return state & ODS_HOTLIGHT; }
  bool Inactive() const { return state & ODS_INACTIVE; }
  bool HasIcon() const { return data && data->icons && data->iconIndex >= 0; }
  bool IsSeparator() const { return data && data->IsSeparator(); }
  const CString& Text() const;
  int Height() const { return rect.bottom - rect.top; }
};

ItemDraw BeginItem(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar);

// The menu font (bold for the default item) and the title font (the menu font at weight 700,
// turned a quarter for vertical titles).
HFONT CreateMenuFont(bool bold);
HFONT CreateTitleFont(bool vertical);

// The part before the first tab left-aligned, the part after the last tab right-aligned, both on
// one line and centred vertically; centred: the first part in the middle instead.
void DrawItemText(HDC hdc, const CString& text, RECT rect, bool centred);

// The Marlett character of a system command ("r" close, "0" minimise, "1" maximise,
// "2" restore), 0 for other ids.
char SystemCommandGlyph(UINT id);
bool IsSystemCommand(UINT id);
// One Marlett character centred in rect, the font as high as rect grown by 2 on each side.
void DrawGlyph(HDC hdc, const RECT& rect, char glyph, COLORREF colour, bool bold);

// Image index (icon-variant roles: 0 hot, 1 normal, 2 disabled) of the item's icon drawn at (x, y).
void DrawItemIcon(HDC hdc, const ItemDraw& item, int variant, int x, int y);
// The item's icon in one colour.
void DrawItemIconMono(HDC hdc, const ItemDraw& item, int x, int y, COLORREF colour);
// The classic disabled look of the item's icon.
void DrawItemIconDisabled(HDC hdc, const ItemDraw& item, int x, int y);

struct CheckBitmaps {
  HBITMAP checked = nullptr;
  HBITMAP unchecked = nullptr;
};
CheckBitmaps ItemCheckBitmaps(const ItemDraw& item);
// A bitmap centred in rect, in the disabled look when asked.
void DrawBitmapCentred(HDC hdc, HBITMAP bitmap, const RECT& rect, bool disabled);
// The menu's check-mark image for the item (1 when selected, else 0) at (x, y); false when the
// menu has no check-mark images.
bool DrawMenuCheckImage(HDC hdc, const ItemDraw& item, int x, int y);

void FillSolid(HDC hdc, const RECT& rect, COLORREF colour);
// A one-pixel frame drawn with a pen over a hollow brush.
void FramePen(HDC hdc, const RECT& rect, COLORREF colour);
// A one-pixel frame: top and left in one colour, bottom and right in the other.
void Frame3d(HDC hdc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
COLORREF Nearest(HDC hdc, COLORREF colour);
// An etched line along the top of rect.
void EtchedTopEdge(HDC hdc, RECT rect);

}  // namespace styled_menu
