// Icons: creation, copies, drawing and loading from resources.
#include "text/icons.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "gdi/dc.h"
#include "last_error.h"

namespace win32::text {
namespace {

constexpr int kDefaultIconSize = 32;

WORD ReadWord(const BYTE* p) { return WORD(p[0] | (p[1] << 8)); }

// A bottom-up DIB section holding rows copied from a resource.
HBITMAP SectionFrom(const BITMAPINFOHEADER& header, const RGBQUAD* colors, int colorCount, const BYTE* rows,
                    size_t bytes) {
  std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + size_t(colorCount) * sizeof(RGBQUAD));
  BITMAPINFOHEADER h = header;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biSizeImage = 0;
  h.biClrUsed = DWORD(colorCount);
  std::memcpy(info.data(), &h, sizeof h);
  if (colorCount) std::memcpy(info.data() + sizeof h, colors, size_t(colorCount) * sizeof(RGBQUAD));
  void* bits = nullptr;
  HBITMAP bitmap =
      CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) std::memcpy(bits, rows, bytes);
  return bitmap;
}

// A copy of a bitmap stretched to cx x cy: 1 bit stays 1 bit, anything else becomes 32 bits.
HBITMAP Stretched(HBITMAP source, int width, int height, int cx, int cy, bool mono) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } info{};
  info.header = {sizeof(BITMAPINFOHEADER), cx, cy, 1, WORD(mono ? 1 : 32), BI_RGB, 0, 0, 0, 0, 0};
  info.colors[1] = RGBQUAD{255, 255, 255, 0};
  HBITMAP target =
      CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, nullptr, nullptr, 0);
  if (!target) return nullptr;
  HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFrom = SelectObject(from, source), oldTo = SelectObject(to, target);
  SetStretchBltMode(to, COLORONCOLOR);
  bool ok = oldFrom && oldTo && StretchBlt(to, 0, 0, cx, cy, from, 0, 0, width, height, SRCCOPY);
  if (oldFrom) SelectObject(from, oldFrom);
  if (oldTo) SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  if (!ok) {
    DeleteObject(target);
    return nullptr;
  }
  return target;
}

}  // namespace

IconObject::~IconObject() {
  if (mask) DeleteObject(mask);
  if (color) DeleteObject(color);
}

std::shared_ptr<IconObject> FindIcon(HICON icon) { return LookupHandle<IconObject>(icon, HandleKind::Icon); }

HICON AddIcon(HBITMAP mask, HBITMAP color, BOOL isIcon, DWORD xHotspot, DWORD yHotspot) {
  BITMAP bm{};
  if (!mask || !GetObjectA(mask, sizeof bm, &bm)) {
    if (mask) DeleteObject(mask);
    if (color) DeleteObject(color);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto icon = std::make_shared<IconObject>();
  icon->mask = mask;
  icon->color = color;
  icon->isIcon = isIcon;
  icon->width = bm.bmWidth;
  icon->height = color ? bm.bmHeight : bm.bmHeight / 2;
  // A cursor's hot spot is its own; an icon's is its centre.
  icon->xHotspot = isIcon ? DWORD(icon->width / 2) : xHotspot;
  icon->yHotspot = isIcon ? DWORD(icon->height / 2) : yHotspot;
  HICON h = ToHandle<HICON>(AllocateHandle(HandleKind::Icon, icon));
  if (!h) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return h;
}

HBITMAP CopyBitmap(HBITMAP bitmap) {
  auto source = std::dynamic_pointer_cast<gdi::BitmapObject>(gdi::FindGdiObject(bitmap));
  if (!source || !source->surface) return nullptr;
  const gdi::Surface& from = *source->surface;
  auto copy = gdi::NewBitmap(from.width, from.height, from.format, false);
  if (!copy) return nullptr;
  gdi::Surface& to = *copy->surface;
  to.colors = from.colors;
  const size_t rowBytes = (size_t(from.width) * size_t(from.format.bitsPerPixel) + 7) / 8;
  for (int y = 0; y < from.height; ++y) std::memcpy(to.Row(y), from.Row(y), rowBytes);
  return gdi::AddGdiObject<HBITMAP>(HandleKind::Bitmap, copy);
}

bool DrawMasked(HDC hdc, int x, int y, int cx, int cy, HBITMAP mask, HBITMAP color, int srcX, int srcY, int width,
                int height, int srcImageY, UINT flags) {
  HDC source = CreateCompatibleDC(hdc);
  if (!source) return false;
  // Monochrome bits become black (0) and white (1) whatever the target's colours are.
  COLORREF oldText = SetTextColor(hdc, RGB(0, 0, 0));
  COLORREF oldBk = SetBkColor(hdc, RGB(255, 255, 255));
  HGDIOBJ old = nullptr;
  auto use = [&](HBITMAP bitmap) {
    HGDIOBJ previous = SelectObject(source, bitmap);
    if (!old) old = previous;
    return previous != nullptr;
  };
  bool ok = true;
  if (flags & DI_MASK) ok = use(mask) && StretchBlt(hdc, x, y, cx, cy, source, srcX, srcY, width, height, SRCAND);
  if (ok && (flags & DI_IMAGE)) {
    ok = color ? use(color) : use(mask);
    int imageY = color ? srcY : srcY + srcImageY;
    if (ok)
      ok = StretchBlt(hdc, x, y, cx, cy, source, srcX, imageY, width, height, (flags & DI_MASK) ? SRCINVERT : SRCCOPY);
  }
  if (old) SelectObject(source, old);
  DeleteDC(source);
  SetTextColor(hdc, oldText);
  SetBkColor(hdc, oldBk);
  return ok;
}

HICON LoadIconResource(HINSTANCE module, LPCSTR name, bool isIcon, int cx, int cy) {
  HRSRC group = FindResourceA(module, name, isIcon ? RT_GROUP_ICON : RT_GROUP_CURSOR);
  if (!group) return nullptr;
  const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
  DWORD size = SizeofResource(module, group);
  if (!dir || size < 6 || ReadWord(dir) != 0 || ReadWord(dir + 2) != (isIcon ? 1 : 2)) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  const int count = ReadWord(dir + 4);
  if (count == 0 || size < 6 + 14u * DWORD(count)) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  const int wantW = cx > 0 ? cx : kDefaultIconSize, wantH = cy > 0 ? cy : kDefaultIconSize;
  // The entry nearest the wanted size; among equals the deepest colour.
  int best = -1, bestDistance = 0, bestBits = 0;
  for (int i = 0; i < count; ++i) {
    const BYTE* e = dir + 6 + 14 * i;
    int w = isIcon ? (e[0] ? e[0] : 256) : ReadWord(e);
    int h = isIcon ? (e[1] ? e[1] : 256) : ReadWord(e + 2) / 2;
    int bits = ReadWord(e + 6);
    int distance = std::abs(w - wantW) + std::abs(h - wantH);
    if (best < 0 || distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
      best = i;
      bestDistance = distance;
      bestBits = bits;
    }
  }
  WORD id = ReadWord(dir + 6 + 14 * best + 12);
  HRSRC image = FindResourceA(module, MAKEINTRESOURCE(id), isIcon ? RT_ICON : RT_CURSOR);
  if (!image) return nullptr;
  auto* bits = static_cast<BYTE*>(LockResource(LoadResource(module, image)));
  return CreateIconFromResourceEx(bits, SizeofResource(module, image), isIcon, 0x00030000, cx, cy, 0);
}

}  // namespace win32::text

using namespace win32;
using namespace win32::text;

HICON CreateIconIndirect(PICONINFO piconinfo) {
  if (!piconinfo || !piconinfo->hbmMask) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HBITMAP mask = CopyBitmap(piconinfo->hbmMask);
  HBITMAP color = piconinfo->hbmColor ? CopyBitmap(piconinfo->hbmColor) : nullptr;
  if (!mask || (piconinfo->hbmColor && !color)) {
    if (mask) DeleteObject(mask);
    if (color) DeleteObject(color);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return AddIcon(mask, color, piconinfo->fIcon, piconinfo->xHotspot, piconinfo->yHotspot);
}

BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo) {
  auto icon = FindIcon(hIcon);
  if (!icon || !piconinfo) return Fail(icon ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
  ICONINFO info{};
  info.fIcon = icon->isIcon;
  info.xHotspot = icon->xHotspot;
  info.yHotspot = icon->yHotspot;
  info.hbmMask = CopyBitmap(icon->mask);
  info.hbmColor = icon->color ? CopyBitmap(icon->color) : nullptr;
  if (!info.hbmMask || (icon->color && !info.hbmColor)) {
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  *piconinfo = info;
  return TRUE;
}

HICON CopyIcon(HICON hIcon) {
  ICONINFO info;
  if (!GetIconInfo(hIcon, &info)) return nullptr;
  return AddIcon(info.hbmMask, info.hbmColor, info.fIcon, info.xHotspot, info.yHotspot);
}

BOOL DestroyIcon(HICON hIcon) {
  if (!ReleaseHandle(reinterpret_cast<uintptr_t>(hIcon), HandleKind::Icon)) return Fail(ERROR_INVALID_HANDLE);
  return TRUE;
}

BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT, HBRUSH hbrFlickerFreeDraw,
                UINT diFlags) {
  auto icon = FindIcon(hIcon);
  if (!icon) return Fail(ERROR_INVALID_HANDLE);
  if (!gdi::FindDC(hdc)) return Fail(ERROR_INVALID_HANDLE);
  int cx = cxWidth > 0 ? cxWidth : ((diFlags & DI_DEFAULTSIZE) ? kDefaultIconSize : icon->width);
  int cy = cyWidth > 0 ? cyWidth : ((diFlags & DI_DEFAULTSIZE) ? kDefaultIconSize : icon->height);
  if (hbrFlickerFreeDraw) {
    RECT area{xLeft, yTop, xLeft + cx, yTop + cy};
    FillRect(hdc, &area, hbrFlickerFreeDraw);
  }
  if (!(diFlags & DI_NORMAL)) return TRUE;
  return DrawMasked(hdc, xLeft, yTop, cx, cy, icon->mask, icon->color, 0, 0, icon->width, icon->height, icon->height,
                    diFlags)
             ? TRUE
             : FALSE;
}

BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
  return DrawIconEx(hDC, X, Y, hIcon, kDefaultIconSize, kDefaultIconSize, 0, nullptr, DI_NORMAL);
}

HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
  if (!lpIconName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return LoadIconResource(hInstance, lpIconName, true, 0, 0);
}

HICON CreateIconFromResourceEx(PBYTE presbits, DWORD dwResSize, BOOL fIcon, DWORD, int cxDesired, int cyDesired,
                               UINT) {
  auto invalid = [] {
    SetLastError(ERROR_INVALID_DATA);
    return static_cast<HICON>(nullptr);
  };
  if (!presbits) return invalid();
  const BYTE* p = presbits;
  size_t size = dwResSize;
  DWORD xHot = 0, yHot = 0;
  if (!fIcon) {
    if (size < 4) return invalid();
    xHot = ReadWord(p);
    yHot = ReadWord(p + 2);
    p += 4;
    size -= 4;
  }
  if (size < sizeof(BITMAPINFOHEADER)) return invalid();
  BITMAPINFOHEADER header;
  std::memcpy(&header, p, sizeof header);
  const int bpp = header.biBitCount;
  if (header.biSize < sizeof header || header.biSize > size || header.biWidth <= 0 || header.biWidth > 1024 ||
      header.biHeight <= 0 || header.biHeight > 2048 || header.biHeight % 2 != 0 || header.biPlanes != 1 ||
      header.biCompression != BI_RGB || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32))
    return invalid();
  const int width = header.biWidth, height = header.biHeight / 2;
  const int colors = bpp <= 8 ? (header.biClrUsed ? int(header.biClrUsed) : 1 << bpp) : 0;
  if (colors > (bpp <= 8 ? 1 << bpp : 0)) return invalid();
  const size_t colorStride = gdi::DibStride(width, bpp), maskStride = gdi::DibStride(width, 1);
  const size_t colorOffset = header.biSize, rowsOffset = colorOffset + size_t(colors) * 4;
  const size_t maskOffset = rowsOffset + colorStride * size_t(height);
  if (maskOffset + maskStride * size_t(height) > size) return invalid();

  BITMAPINFOHEADER image = header;
  image.biHeight = height;
  std::vector<RGBQUAD> table(static_cast<size_t>(colors));
  if (colors) std::memcpy(table.data(), p + colorOffset, table.size() * sizeof(RGBQUAD));
  HBITMAP color = SectionFrom(image, table.data(), colors, p + rowsOffset, colorStride * size_t(height));
  BITMAPINFOHEADER maskHeader = image;
  maskHeader.biBitCount = 1;
  const RGBQUAD mono[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  HBITMAP mask = SectionFrom(maskHeader, mono, 2, p + maskOffset, maskStride * size_t(height));
  const int cx = cxDesired > 0 ? cxDesired : width, cy = cyDesired > 0 ? cyDesired : height;
  if (color && mask && (cx != width || cy != height)) {
    HBITMAP scaledColor = Stretched(color, width, height, cx, cy, false);
    HBITMAP scaledMask = Stretched(mask, width, height, cx, cy, true);
    DeleteObject(color);
    DeleteObject(mask);
    color = scaledColor;
    mask = scaledMask;
    xHot = xHot * DWORD(cx) / DWORD(width);
    yHot = yHot * DWORD(cy) / DWORD(height);
  }
  if (!color || !mask) {
    if (color) DeleteObject(color);
    if (mask) DeleteObject(mask);
    return invalid();
  }
  return AddIcon(mask, color, fIcon, xHot, yHot);
}
