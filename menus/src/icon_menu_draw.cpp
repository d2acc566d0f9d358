#include <algorithm>
#include <string>

#include "icon_menu_images.h"
#include "icon_menu_look.h"
#include "menus/icon_menu.h"

namespace {

// The main window's device context with the system menu font, for measuring texts.
class MenuTextDC {
 public:
  MenuTextDC() {
    CWnd* main = AfxGetMainWnd();
    window_ = main && main->m_hWnd ? main->m_hWnd : GetDesktopWindow();
    dc_ = GetDC(window_);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (icon_menu::IsNewShell() && SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
      font_ = CreateFontIndirectA(&metrics.lfMenuFont);
      if (font_) old_ = SelectObject(dc_, font_);
    }
  }
  ~MenuTextDC() {
    if (font_) {
      SelectObject(dc_, old_);
      DeleteObject(font_);
    }
    ReleaseDC(window_, dc_);
  }
  MenuTextDC(const MenuTextDC&) = delete;
  MenuTextDC& operator=(const MenuTextDC&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  HFONT font_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

std::string Narrow(const std::u16string& text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(size_t(std::max(length, 0)), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), ansi.data(), length, nullptr, nullptr);
  return ansi;
}

}  // namespace

void CIconMenu::MeasureItem(LPMEASUREITEMSTRUCT request) {
  const auto* record = reinterpret_cast<const CIconMenuItem*>(request->itemData);
  if (!record) return;
  const bool xp = icon_menu::UsesXpDrawing();
  const int margin = xp && icon_menu::Settings().xp3dImages ? 7 : 4;
  const int menuHeight = GetSystemMetrics(SM_CYMENU);
  if (record->menuFlags & MF_SEPARATOR) {
    request->itemWidth = 0;
    request->itemHeight = UINT(std::max(menuHeight >> 1, (iconHeight_ + margin) / 2));
    return;
  }
  MenuTextDC measuring;
  SIZE text{};
  if (icon_menu::GetWinVersionCode() == 0) {
    // Win32s measures the ANSI text and pads it by three pixels a character on average.
    const std::string ansi = Narrow(record->text);
    RECT r{};
    DrawTextA(measuring.dc(), ansi.c_str(), int(ansi.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    const int width = r.right - r.left;
    const int characters = int(record->text.size());
    text.cx = width + 3 + (characters ? 3 * (width / characters) : 0);
  } else {
    GetTextExtentPoint32W(measuring.dc(), record->text.c_str(), int(record->text.size()), &text);
  }
  request->itemWidth = UINT(xp ? iconWidth_ + margin + text.cx + 8 : text.cx + 2 * iconWidth_ + 1);
  request->itemHeight = UINT(std::max(menuHeight, iconHeight_ + margin));
}

// ---- Drawing ----------------------------------------------------------------------------------

namespace {

enum class ImageKind { None, CheckMark, Selected, Disabled, Plain };

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// A one-pixel frame: top and left in one colour, bottom and right in the other.
void Frame3d(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  Fill(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
  Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
  Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

void Frame(HDC dc, const RECT& r, COLORREF colour) { Frame3d(dc, r, colour, colour); }

// A 6 x 6 dot for radio items, a tick of seven short strokes for the others.
void DrawCheckGlyph(HDC dc, int x, int y, bool bullet) {
  const COLORREF ink = GetSysColor(COLOR_MENUTEXT);
  if (bullet) {
    HPEN pen = CreatePen(PS_SOLID, 1, ink);
    HBRUSH brush = CreateSolidBrush(ink);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Ellipse(dc, x, y, x + 6, y + 6);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
    return;
  }
  static const int kStrokeTops[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i) Fill(dc, RECT{x + i, y + kStrokeTops[i], x + i + 1, y + kStrokeTops[i] + 3}, ink);
}

// Whether the item's check-mark bitmap for its state is set: those draw a dot.
bool CheckBitmapSet(const DRAWITEMSTRUCT& request) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_CHECKMARKS;
  if (!GetMenuItemInfoA(reinterpret_cast<HMENU>(request.hwndItem), request.itemID, FALSE, &info)) return false;
  return ((request.itemState & ODS_CHECKED) ? info.hbmpChecked : info.hbmpUnchecked) != nullptr;
}

// The text before the first tab on the left, after the last tab on the right.
void DrawItemText(HDC dc, RECT r, const std::u16string& text, int iconWidth, COLORREF colour) {
  const size_t first = text.find(u'\t');
  if (first != std::u16string::npos) r.right -= iconWidth;
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, colour);
  const std::u16string head = text.substr(0, first);
  DrawTextW(dc, head.c_str(), int(head.size()), &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  if (first != std::u16string::npos) {
    const std::u16string tail = text.substr(text.rfind(u'\t') + 1);
    DrawTextW(dc, tail.c_str(), int(tail.size()), &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  }
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
}

COLORREF MenuColour() { return GetSysColor(icon_menu::IsXpThemeActive() ? COLOR_BTNFACE : COLOR_MENU); }

}  // namespace

struct CIconMenu::ItemImage {
  ImageKind kind = ImageKind::None;
  HIMAGELIST list = nullptr;
  int index = -1;
  int washedOut = -1;  // the three-image pictures, -1 when the image has none
  int shadow = -1;
};

CIconMenu::ItemImage CIconMenu::ImageOf(const CIconMenuItem& record, UINT state, bool xp, bool selected) const {
  ItemImage image;
  int marker = record.bitmapMarker;
  image.index = record.imageIndex;
  image.list = record.ownImages ? record.ownImages->m_hImageList : nullptr;
  bool shared = false;
  if (marker < 0 && (!xp || image.index < 0) && record.sharedImageOffset >= 0) {
    image.index = record.sharedImageOffset;
    marker = 0;
    image.list = icon_menu::SharedImageList();
    shared = true;
  }
  const bool checked = state & ODS_CHECKED, grayed = state & ODS_GRAYED;
  if (checked && marker < 0 && checkMarks_ && ((checkMarkSelected_ > 0 && selected) || checkMarkNormal_ > 0)) {
    image.kind = ImageKind::CheckMark;
    image.list = checkMarks_->m_hImageList;
    image.index = selected ? 1 : 0;
    return image;
  }
  if (marker == -1 || !image.list) return image;
  image.kind = selected && !grayed ? ImageKind::Selected : grayed ? ImageKind::Disabled : ImageKind::Plain;
  if (!xp || !icon_menu::Settings().xp3dImages) return image;
  if (shared) {
    const std::vector<UINT>& ids = icon_menu::SharedImageIds();
    const size_t at = size_t(image.index);
    if (at + 2 < ids.size() && ids[at + 1] == ids[at] && ids[at + 2] == ids[at]) {
      image.washedOut = image.index + 1;
      image.shadow = image.index + 2;
    }
  } else if (image.index == 0 && ImageList_GetImageCount(image.list) > 2) {
    image.washedOut = 1;
    image.shadow = 2;
  }
  return image;
}

void CIconMenu::DrawEmbossed(HDC dc, HIMAGELIST list, int index, int x, int y, COLORREF background) const {
  const int w = iconWidth_, h = iconHeight_;
  // The image over the button face, as a picture.
  HDC pictureDC = CreateCompatibleDC(dc);
  HBITMAP picture = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ oldPicture = SelectObject(pictureDC, picture);
  Fill(pictureDC, RECT{0, 0, w, h}, GetSysColor(COLOR_BTNFACE));
  if (HICON icon = ImageList_GetIcon(list, index, ILD_NORMAL)) {
    DrawIconEx(pictureDC, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
  }
  HBRUSH lightBrush = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
  HBRUSH shadowBrush = GetSysColorBrush(COLOR_BTNSHADOW);

  if (disabledImageSwitch_) {
    // The picture as one bit a pixel: the drawn pixels black.
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[2];
    } info{{sizeof(BITMAPINFOHEADER), w, h, 1, 1, BI_RGB, 0, 0, 0, 2, 0}, {{0, 0, 0, 0}, {255, 255, 255, 0}}};
    void* bits = nullptr;
    HBITMAP mono = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC monoDC = CreateCompatibleDC(dc);
    HGDIOBJ oldMono = SelectObject(monoDC, mono);
    SetBkColor(pictureDC, GetSysColor(COLOR_BTNFACE));
    BitBlt(monoDC, 0, 0, w, h, pictureDC, 0, 0, SRCCOPY);
    Fill(dc, RECT{x, y, x + w, y + h}, background);
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(dc, lightBrush);
    BitBlt(dc, x + 1, y + 1, w, h, monoDC, 0, 0, 0xB8074A);
    SelectObject(dc, shadowBrush);
    BitBlt(dc, x, y, w, h, monoDC, 0, 0, 0xB8074A);
    SelectObject(dc, oldBrush);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
    SelectObject(monoDC, oldMono);
    DeleteDC(monoDC);
    DeleteObject(mono);
  } else {
    // A mask white where the picture shows the face or the highlight colour, black elsewhere.
    HDC maskDC = CreateCompatibleDC(dc);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ oldMask = SelectObject(maskDC, mask);
    PatBlt(maskDC, 0, 0, w, h, WHITENESS);
    SetBkColor(pictureDC, GetSysColor(COLOR_BTNFACE));
    BitBlt(maskDC, 0, 0, w, h, pictureDC, 0, 0, SRCCOPY);
    SetBkColor(pictureDC, GetSysColor(COLOR_BTNHIGHLIGHT));
    BitBlt(maskDC, 0, 0, w, h, pictureDC, 0, 0, SRCPAINT);

    HDC workDC = CreateCompatibleDC(dc);
    HBITMAP work = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ oldWork = SelectObject(workDC, work);
    Fill(workDC, RECT{0, 0, w, h}, background);
    SetBkColor(workDC, RGB(0, 0, 0));
    SetTextColor(workDC, RGB(255, 255, 255));
    HGDIOBJ oldBrush = SelectObject(workDC, lightBrush);
    BitBlt(workDC, 0, 0, w, h, maskDC, 0, 0, 0xE20746);
    BitBlt(dc, x + 1, y + 1, w, h, workDC, 0, 0, SRCCOPY);
    BitBlt(workDC, 1, 1, w, h, maskDC, 0, 0, 0xE20746);
    SelectObject(workDC, shadowBrush);
    BitBlt(workDC, 0, 0, w, h, maskDC, 0, 0, 0xE20746);
    BitBlt(dc, x, y, w, h, workDC, 0, 0, SRCCOPY);
    SelectObject(workDC, oldBrush);
    SelectObject(workDC, oldWork);
    DeleteDC(workDC);
    DeleteObject(work);
    SelectObject(maskDC, oldMask);
    DeleteDC(maskDC);
    DeleteObject(mask);
  }
  SelectObject(pictureDC, oldPicture);
  DeleteDC(pictureDC);
  DeleteObject(picture);
}

void CIconMenu::DrawItem(LPDRAWITEMSTRUCT request) {
  const auto* record = reinterpret_cast<const CIconMenuItem*>(request->itemData);
  if (!record) return;
  // A palette screen cannot show the XP look's light tints.
  const bool palette = GetDeviceCaps(request->hDC, RASTERCAPS) & RC_PALETTE;
  if (palette || !icon_menu::UsesXpDrawing()) DrawClassic(*request, *record);
  else DrawXp(*request, *record);
}

void CIconMenu::DrawClassic(const DRAWITEMSTRUCT& request, const CIconMenuItem& record) {
  HDC dc = request.hDC;
  const RECT item = request.rcItem;
  const COLORREF menu = MenuColour();
  if (record.menuFlags & MF_SEPARATOR) {
    Fill(dc, item, menu);
    RECT line = item;
    line.top += (item.bottom - item.top) / 2;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  const UINT state = request.itemState;
  const bool grayed = state & ODS_GRAYED, checked = state & ODS_CHECKED;
  const bool selected = (state & ODS_SELECTED) && !(grayed && icon_menu::Settings().classicSelectDisabled == 0);
  const ItemImage image = ImageOf(record, state, false, selected);
  const bool hasImage = image.kind != ImageKind::None;

  COLORREF text = GetSysColor(COLOR_MENUTEXT);
  if (selected) {
    RECT bar = item;
    if (hasImage || checked) bar.left += iconWidth_ + 5;
    Fill(dc, bar, GetSysColor(COLOR_HIGHLIGHT));
    text = GetSysColor(COLOR_HIGHLIGHTTEXT);
  } else {
    Fill(dc, item, menu);
  }

  const int dy = std::max(0, (int(item.bottom - item.top) - iconHeight_ - 4) / 2);
  const int l = item.left, t = item.top;
  const RECT iconBox{l + 1, t + dy + 1, l + iconWidth_ + 3, t + iconHeight_ + dy + 3};
  const RECT outer{l, t + dy, l + iconWidth_ + 4, t + iconHeight_ + dy + 4};
  const int x = l + 2, y = t + dy + 2;
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shade = GetSysColor(COLOR_BTNSHADOW);
  const bool newShell = icon_menu::IsNewShell();
  if (hasImage) {
    Frame(dc, iconBox, menu);
    switch (image.kind) {
      case ImageKind::CheckMark:
        Fill(dc, iconBox, menu);
        Frame(dc, outer, menu);
        ImageList_Draw(image.list, image.index, dc, x, y, ILD_TRANSPARENT);
        break;
      case ImageKind::Selected:
        Fill(dc, iconBox, menu);
        if (newShell) checked ? Frame3d(dc, outer, shade, light) : Frame3d(dc, outer, light, shade);
        ImageList_Draw(image.list, image.index, dc, x, y, ILD_TRANSPARENT);
        break;
      case ImageKind::Plain:
        if (checked) {
          Fill(dc, iconBox, icon_menu::Lighten(menu, 0.6));
          if (newShell) Frame3d(dc, outer, shade, light);
        } else {
          Fill(dc, iconBox, menu);
          Frame(dc, outer, menu);
        }
        ImageList_Draw(image.list, image.index, dc, x, y, ILD_TRANSPARENT);
        break;
      case ImageKind::Disabled:
        Frame(dc, outer, menu);
        DrawEmbossed(dc, image.list, image.index, x, y, menu);
        break;
      case ImageKind::None:
        break;
    }
  } else if (checked) {
    RECT box{l + 1, t + dy + 2, l + iconWidth_ + 1, t + iconHeight_ + dy + 2};
    Fill(dc, box, selected ? menu : icon_menu::Lighten(menu, 0.6));
    if (newShell) DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
    const bool bullet = CheckBitmapSet(request);
    DrawCheckGlyph(dc, box.left + (bullet ? 5 : 4), box.top + 4, bullet);
  }

  if (!record.hasText) return;
  RECT textRect{l + iconWidth_ + 9, t - 1, item.right, item.bottom - 1};
  if (!grayed) {
    DrawItemText(dc, textRect, record.text, iconWidth_, text);
  } else if (selected) {
    DrawItemText(dc, textRect, record.text, iconWidth_, menu);
  } else {
    RECT raised = textRect;
    OffsetRect(&raised, 1, 1);
    DrawItemText(dc, raised, record.text, iconWidth_, light);
    DrawItemText(dc, textRect, record.text, iconWidth_, GetSysColor(COLOR_GRAYTEXT));
  }
}

void CIconMenu::DrawXp(const DRAWITEMSTRUCT& request, const CIconMenuItem& record) {
  HDC dc = request.hDC;
  const RECT item = request.rcItem;
  const bool xpTheme = icon_menu::IsXpThemeActive();
  const COLORREF band = xpTheme ? GetSysColor(COLOR_BTNFACE) : icon_menu::Lighten(GetSysColor(COLOR_BTNFACE), 0.25);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  const int margin = icon_menu::Settings().xp3dImages ? 7 : 4;
  const int bandWidth = iconWidth_ + margin;
  const int l = item.left, t = item.top, height = item.bottom - item.top;
  const RECT bandRect{l, t, l + bandWidth, item.bottom};
  if (record.menuFlags & MF_SEPARATOR) {
    Fill(dc, item, window);
    RECT line = item;
    line.top += height / 2;
    line.left = bandRect.right + margin;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    Fill(dc, bandRect, band);
    return;
  }
  const UINT state = request.itemState;
  const bool grayed = state & ODS_GRAYED, checked = state & ODS_CHECKED;
  const bool selected = (state & ODS_SELECTED) && !(grayed && icon_menu::Settings().xpSelectDisabled == 0);
  const ItemImage image = ImageOf(record, state, true, selected);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF selection = icon_menu::Lighten(highlight, xpTheme ? 0.7 : 0.85);
  const COLORREF checkedCell = icon_menu::Lighten(highlight, 0.85);

  if (selected) {
    Fill(dc, item, selection);
    Frame(dc, item, highlight);
  } else {
    Fill(dc, item, window);
    Fill(dc, bandRect, band);
  }
  const int dy = std::max(0, (height - iconHeight_ + 1) / 2);
  const int dx = std::max(0, (bandWidth - iconWidth_ + 1) / 2);
  const RECT box{l + 1, t + 1, l + bandWidth - 1, item.bottom - 1};
  int x = l + dx, y = t + dy;
  switch (image.kind) {
    case ImageKind::CheckMark:
      Fill(dc, box, band);
      ImageList_Draw(image.list, image.index, dc, x, y, ILD_TRANSPARENT);
      break;
    case ImageKind::Selected:
      Fill(dc, box, selection);
      if (checked) {
        Frame(dc, box, highlight);
        --x;
        --y;
      }
      if (image.shadow >= 0 && !checked) {
        // The picture lifts off its shadow.
        ImageList_Draw(image.list, image.shadow, dc, x + 1, y + 1, ILD_TRANSPARENT);
        ImageList_Draw(image.list, image.index, dc, x - 1, y - 1, ILD_TRANSPARENT);
      } else {
        ImageList_Draw(image.list, image.index, dc, x, y, ILD_TRANSPARENT);
      }
      break;
    case ImageKind::Plain:
      if (checked) {
        Fill(dc, box, checkedCell);
        Frame(dc, box, highlight);
        ImageList_Draw(image.list, image.index, dc, x - 1, y - 1, ILD_TRANSPARENT);
      } else {
        Fill(dc, box, band);
        ImageList_Draw(image.list, image.washedOut >= 0 ? image.washedOut : image.index, dc, x, y, ILD_TRANSPARENT);
      }
      break;
    case ImageKind::Disabled:
      DrawEmbossed(dc, image.list, image.index, x, y, selected ? selection : band);
      if (selected) Frame(dc, item, highlight);
      break;
    case ImageKind::None:
      if (checked) {
        const int cellLeft = l + (bandWidth - 16 + 1) / 2, cellTop = t + (height - 16 + 1) / 2;
        const RECT cell{cellLeft, cellTop, cellLeft + 16, cellTop + 16};
        Fill(dc, cell, checkedCell);
        Frame(dc, cell, highlight);
        DrawCheckGlyph(dc, cell.left + 5, cell.top + 4, CheckBitmapSet(request));
      }
      break;
  }

  if (!record.hasText) return;
  COLORREF text = GetSysColor(COLOR_MENUTEXT);
  if (grayed) {
    text = GetSysColor(COLOR_GRAYTEXT);
    if (!xpTheme && !selected) text = icon_menu::Lighten(text, 0.4);
  }
  DrawItemText(dc, RECT{l + bandWidth + 8, t - 1, item.right, item.bottom - 1}, record.text, iconWidth_, text);
}
