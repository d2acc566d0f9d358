#include "icon_menu_images.h"

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "icon_menu_look.h"

namespace icon_menu {
namespace {

struct SharedImages {
  std::mutex lock;
  HIMAGELIST list = nullptr;
  std::vector<UINT> ids;
};

// Made on first use and never torn down: menus may draw while the process ends.
SharedImages& Shared() {
  static SharedImages* shared = new SharedImages;
  return *shared;
}

// A 32-bit top-down picture of cx x cy filled with COLOR_BTNFACE and the icon drawn over it;
// recolour turns every pixel that differs from the face colour.
template <class Recolour>
HBITMAP DerivedImage(HICON icon, int cx, int cy, Recolour recolour) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, cx, cy};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  auto* pixels = static_cast<uint32_t*>(bits);
  // The face colour as the picture holds it.
  const uint32_t face = pixels[0] & 0xFFFFFF;
  const bool drawn = DrawIconEx(dc, 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL) != FALSE;
  SelectObject(dc, old);
  DeleteDC(dc);
  if (!drawn) {
    DeleteObject(bitmap);
    return nullptr;
  }
  for (int i = 0; i < cx * cy; ++i) {
    const uint32_t p = pixels[i] & 0xFFFFFF;
    if (p == face) continue;
    const COLORREF c = recolour(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    pixels[i] = (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
  }
  return bitmap;
}

bool WithDerivedImages() { return UsesXpDrawing() && Settings().xp3dImages; }

// Puts a picture into the list at `at` (-1: appended), keyed out by COLOR_BTNFACE.
void PutPicture(HIMAGELIST list, int at, HBITMAP picture) {
  if (!picture) return;
  if (at < 0) {
    ImageList_AddMasked(list, picture, GetSysColor(COLOR_BTNFACE));
  } else {
    // Keyed out the way AddMasked keys: through a one-image list.
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    HIMAGELIST one = ImageList_Create(cx, cy, ILC_COLORDDB | ILC_MASK, 1, 1);
    if (ImageList_AddMasked(one, picture, GetSysColor(COLOR_BTNFACE)) == 0) {
      HICON icon = ImageList_GetIcon(one, 0, 0);
      if (icon) ImageList_ReplaceIcon(list, at, icon);
      if (icon) DestroyIcon(icon);
    }
    ImageList_Destroy(one);
  }
  DeleteObject(picture);
}

}  // namespace

COLORREF Lighten(COLORREF c, double f) {
  if (!(f > 0 && f <= 1)) return c;
  auto channel = [f](int x) { return BYTE(x + f * (255 - x)); };
  return RGB(channel(GetRValue(c)), channel(GetGValue(c)), channel(GetBValue(c)));
}

HBITMAP WashedOutImage(HICON icon, int cx, int cy) {
  return DerivedImage(icon, cx, cy, [](COLORREF c) { return Lighten(c, 0.3); });
}

HBITMAP ShadowImage(HICON icon, int cx, int cy) {
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF colour = IsXpThemeActive() ? shadow : Lighten(shadow, 0.49);
  return DerivedImage(icon, cx, cy, [colour](COLORREF) { return colour; });
}

HIMAGELIST SharedImageList() { return Shared().list; }

const std::vector<UINT>& SharedImageIds() { return Shared().ids; }

int FindSharedImage(UINT command) {
  const std::vector<UINT>& ids = Shared().ids;
  auto found = std::find(ids.begin(), ids.end(), command);
  return found == ids.end() ? -1 : int(found - ids.begin());
}

int AddSharedImage(UINT command, HIMAGELIST source, int index, int cx, int cy) {
  SharedImages& shared = Shared();
  std::lock_guard<std::mutex> hold(shared.lock);
  if (!shared.list) shared.list = ImageList_Create(cx, cy, ILC_COLORDDB | ILC_MASK, 1, 1);
  if (!shared.list) return -1;
  HICON icon = ImageList_GetIcon(source, index, ILD_NORMAL);
  if (!icon) return -1;
  ImageList_GetIconSize(shared.list, &cx, &cy);
  const bool derived = WithDerivedImages();
  HBITMAP washedOut = derived ? WashedOutImage(icon, cx, cy) : nullptr;
  HBITMAP shadow = derived ? ShadowImage(icon, cx, cy) : nullptr;

  // The first entry of the command is its image; with derived images the two after it are
  // its washed-out and shadow pictures when they carry the same id.
  std::vector<UINT>& ids = shared.ids;
  const auto found = std::find(ids.begin(), ids.end(), command);
  int at;
  if (found == ids.end()) {
    at = ImageList_GetImageCount(shared.list);
    ImageList_ReplaceIcon(shared.list, -1, icon);
    ids.push_back(command);
    if (derived) {
      PutPicture(shared.list, -1, washedOut);
      PutPicture(shared.list, -1, shadow);
      ids.push_back(command);
      ids.push_back(command);
    }
  } else {
    at = int(found - ids.begin());
    ImageList_ReplaceIcon(shared.list, at, icon);
    const bool triple = size_t(at) + 2 < ids.size() && ids[size_t(at) + 1] == command && ids[size_t(at) + 2] == command;
    if (derived && triple) {
      PutPicture(shared.list, at + 1, washedOut);
      PutPicture(shared.list, at + 2, shadow);
    } else {
      if (washedOut) DeleteObject(washedOut);
      if (shadow) DeleteObject(shadow);
    }
  }
  DestroyIcon(icon);
  return at;
}

}  // namespace icon_menu
