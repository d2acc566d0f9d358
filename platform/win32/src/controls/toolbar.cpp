// The toolbar control: buttons in a row showing images of the toolbar's image list; a click on
// an enabled button is a command for the parent.
#include <algorithm>
#include <cstring>
#include <vector>

#include "controls/controls.h"
#include "win32/commctrl.h"

namespace win32::controls {
namespace {

constexpr int kSeparatorWidth = 8;

struct Toolbar {
  UINT buttonStructSize = 0;  // 0 until the owner tells it
  std::vector<TBBUTTON> buttons;
  SIZE bitmapSize{16, 15};
  SIZE buttonSize{23, 22};
  HIMAGELIST images = nullptr;
  bool ownsImages = false;
  int pressed = -1;  // the button held down by the mouse

  ~Toolbar() {
    if (ownsImages) ImageList_Destroy(images);
  }
};

bool IsSeparator(const TBBUTTON& b) { return (b.fsStyle & TBSTYLE_SEP) != 0; }

RECT ItemRect(const Toolbar& st, int index) {
  int x = 0;
  for (int i = 0; i < index; ++i) {
    const TBBUTTON& b = st.buttons[size_t(i)];
    if (b.fsState & TBSTATE_HIDDEN) continue;
    x += IsSeparator(b) ? (b.iBitmap > 0 ? b.iBitmap : kSeparatorWidth) : st.buttonSize.cx;
  }
  const TBBUTTON& b = st.buttons[size_t(index)];
  int width = IsSeparator(b) ? (b.iBitmap > 0 ? b.iBitmap : kSeparatorWidth) : st.buttonSize.cx;
  if (b.fsState & TBSTATE_HIDDEN) width = 0;
  return RECT{x, 0, x + width, st.buttonSize.cy};
}

int ButtonAt(const Toolbar& st, POINT p) {
  for (int i = 0; i < int(st.buttons.size()); ++i) {
    const RECT r = ItemRect(st, i);
    if (!IsSeparator(st.buttons[size_t(i)]) && PtInRect(&r, p)) return i;
  }
  return -1;
}

int IndexOfCommand(const Toolbar& st, int command) {
  for (size_t i = 0; i < st.buttons.size(); ++i) {
    if (!IsSeparator(st.buttons[i]) && st.buttons[i].idCommand == command) return int(i);
  }
  return -1;
}

void Paint(HDC hdc, HWND hwnd, const Toolbar& st) {
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, GetSysColorBrush(COLOR_BTNFACE));
  for (int i = 0; i < int(st.buttons.size()); ++i) {
    const TBBUTTON& b = st.buttons[size_t(i)];
    if (b.fsState & TBSTATE_HIDDEN) continue;
    RECT r = ItemRect(st, i);
    if (IsSeparator(b)) {
      RECT line{(r.left + r.right) / 2 - 1, r.top + 2, (r.left + r.right) / 2 + 1, r.bottom - 2};
      DrawEdge(hdc, &line, EDGE_ETCHED, BF_LEFT);
      continue;
    }
    const bool down = i == st.pressed || (b.fsState & (TBSTATE_PRESSED | TBSTATE_CHECKED));
    if (down) DrawEdge(hdc, &r, BDR_SUNKENOUTER, BF_RECT);
    if (!st.images) continue;
    const int x = r.left + (st.buttonSize.cx - st.bitmapSize.cx) / 2 + (down ? 1 : 0);
    const int y = r.top + (st.buttonSize.cy - st.bitmapSize.cy) / 2 + (down ? 1 : 0);
    if (b.fsState & TBSTATE_ENABLED) {
      ImageList_Draw(st.images, b.iBitmap, hdc, x, y, ILD_TRANSPARENT);
    } else {
      // A disabled button's image is half button face.
      ImageList_DrawEx(st.images, b.iBitmap, hdc, x, y, 0, 0, CLR_NONE, GetSysColor(COLOR_BTNFACE), ILD_BLEND50);
    }
  }
}

int AddBitmap(HWND hwnd, Toolbar& st, const TBADDBITMAP* add) {
  if (!add) return -1;
  HBITMAP bitmap = add->hInst ? LoadBitmapA(add->hInst, MAKEINTRESOURCEA(add->nID))
                              : reinterpret_cast<HBITMAP>(add->nID);
  if (!bitmap) return -1;
  if (!st.images) {
    st.images = ImageList_Create(st.bitmapSize.cx, st.bitmapSize.cy, ILC_COLORDDB | ILC_MASK, 4, 4);
    st.ownsImages = st.images != nullptr;
  }
  const int first = st.images ? ImageList_AddMasked(st.images, bitmap, GetSysColor(COLOR_BTNFACE)) : -1;
  if (add->hInst) DeleteObject(bitmap);
  if (first >= 0) InvalidateRect(hwnd, nullptr, TRUE);
  return first;
}

LRESULT GetButtonInfo(const Toolbar& st, WPARAM wParam, TBBUTTONINFOA* info) {
  if (!info || info->cbSize < sizeof(TBBUTTONINFOA)) return -1;
  const int index = (info->dwMask & TBIF_BYINDEX) ? int(wParam) : IndexOfCommand(st, int(wParam));
  if (index < 0 || index >= int(st.buttons.size())) return -1;
  const TBBUTTON& b = st.buttons[size_t(index)];
  if (info->dwMask & TBIF_COMMAND) info->idCommand = b.idCommand;
  if (info->dwMask & TBIF_IMAGE) info->iImage = b.iBitmap;
  if (info->dwMask & TBIF_STATE) info->fsState = b.fsState;
  if (info->dwMask & TBIF_STYLE) info->fsStyle = b.fsStyle;
  if (info->dwMask & TBIF_LPARAM) info->lParam = b.dwData;
  if (info->dwMask & TBIF_SIZE) {
    const RECT r = ItemRect(st, index);
    info->cx = WORD(r.right - r.left);
  }
  if ((info->dwMask & TBIF_TEXT) && info->pszText && info->cchText > 0) info->pszText[0] = '\0';
  return index;
}

}  // namespace

LRESULT CALLBACK ToolbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Toolbar* st = Lifetime<Toolbar>(hwnd, msg);
  if (!st) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      return PaintOrPrint(hwnd, msg, wParam, [&](HDC hdc) { Paint(hdc, hwnd, *st); });
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const int index = ButtonAt(*st, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      if (index < 0 || !(st->buttons[size_t(index)].fsState & TBSTATE_ENABLED)) return 0;
      st->pressed = index;
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_LBUTTONUP: {
      const int pressed = st->pressed;
      if (pressed < 0) return 0;
      st->pressed = -1;
      if (GetCapture() == hwnd) ReleaseCapture();
      InvalidateRect(hwnd, nullptr, TRUE);
      // Released over the button it was pressed on.
      if (ButtonAt(*st, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) == pressed) {
        const int command = st->buttons[size_t(pressed)].idCommand;
        SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (st->pressed >= 0) {
        st->pressed = -1;
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case TB_BUTTONSTRUCTSIZE:
      st->buttonStructSize = UINT(wParam);
      return 0;
    case TB_ADDBITMAP:
      return AddBitmap(hwnd, *st, reinterpret_cast<const TBADDBITMAP*>(lParam));
    case TB_ADDBUTTONSA: {
      const auto* added = reinterpret_cast<const TBBUTTON*>(lParam);
      if (st->buttonStructSize != sizeof(TBBUTTON) || (!added && wParam)) return FALSE;
      st->buttons.insert(st->buttons.end(), added, added + wParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case TB_DELETEBUTTON:
      if (wParam >= st->buttons.size()) return FALSE;
      st->buttons.erase(st->buttons.begin() + ptrdiff_t(wParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case TB_BUTTONCOUNT:
      return LRESULT(st->buttons.size());
    case TB_GETBUTTON:
      if (wParam >= st->buttons.size() || !lParam) return FALSE;
      *reinterpret_cast<TBBUTTON*>(lParam) = st->buttons[wParam];
      return TRUE;
    case TB_GETITEMRECT:
      if (wParam >= st->buttons.size() || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = ItemRect(*st, int(wParam));
      return TRUE;
    case TB_COMMANDTOINDEX:
      return IndexOfCommand(*st, int(wParam));
    case TB_GETBUTTONINFOA:
      return GetButtonInfo(*st, wParam, reinterpret_cast<TBBUTTONINFOA*>(lParam));
    case TB_SETBITMAPSIZE: {
      const SIZE size{LOWORD(lParam), HIWORD(lParam)};
      int cx = 0, cy = 0;
      // Images already made keep their size.
      if (st->images && ImageList_GetImageCount(st->images) > 0 && ImageList_GetIconSize(st->images, &cx, &cy) &&
          (cx != size.cx || cy != size.cy)) {
        return FALSE;
      }
      st->bitmapSize = size;
      return TRUE;
    }
    case TB_SETBUTTONSIZE:
      st->buttonSize = SIZE{LOWORD(lParam), HIWORD(lParam)};
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case TB_GETBUTTONSIZE:
      return MAKELONG(st->buttonSize.cx, st->buttonSize.cy);
    case TB_SETIMAGELIST: {
      HIMAGELIST old = st->images;
      if (st->ownsImages) {
        ImageList_Destroy(old);
        old = nullptr;
      }
      st->images = reinterpret_cast<HIMAGELIST>(lParam);
      st->ownsImages = false;
      int cx = 0, cy = 0;
      if (st->images && ImageList_GetIconSize(st->images, &cx, &cy)) st->bitmapSize = SIZE{cx, cy};
      InvalidateRect(hwnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case TB_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(st->images);
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace win32::controls

HBITMAP CreateMappedBitmap(HINSTANCE hInstance, INT_PTR idBitmap, UINT, LPCOLORMAP lpColorMap, int iNumMaps) {
  // An id or a name, as resource names go.
  HBITMAP bitmap = LoadBitmapA(hInstance, reinterpret_cast<LPCSTR>(idBitmap));
  if (!bitmap) return nullptr;
  const COLORMAP buttonColours[] = {{RGB(0, 0, 0), GetSysColor(COLOR_BTNTEXT)},
                                    {RGB(128, 128, 128), GetSysColor(COLOR_BTNSHADOW)},
                                    {RGB(192, 192, 192), GetSysColor(COLOR_BTNFACE)},
                                    {RGB(255, 255, 255), GetSysColor(COLOR_BTNHIGHLIGHT)}};
  const COLORMAP* map = lpColorMap ? lpColorMap : buttonColours;
  const int count = lpColorMap ? std::max(0, iNumMaps) : 4;
  BITMAP size{};
  GetObjectA(bitmap, sizeof size, &size);
  std::vector<DWORD> pixels(size_t(size.bmWidth) * size_t(size.bmHeight));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.bmWidth, -size.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  if (GetDIBits(screen, bitmap, 0, UINT(size.bmHeight), pixels.data(), &info, DIB_RGB_COLORS) == size.bmHeight) {
    // 32-bit DIB pixels are blue, green, red from the low byte: a COLORREF backwards.
    const auto pixelOf = [](COLORREF c) { return DWORD(GetBValue(c) | GetGValue(c) << 8 | GetRValue(c) << 16); };
    for (DWORD& p : pixels) {
      for (int i = 0; i < count; ++i) {
        if ((p & 0xFFFFFF) == pixelOf(map[i].from)) {
          p = pixelOf(map[i].to);
          break;
        }
      }
    }
    SetDIBits(screen, bitmap, 0, UINT(size.bmHeight), pixels.data(), &info, DIB_RGB_COLORS);
  }
  ReleaseDC(nullptr, screen);
  return bitmap;
}
