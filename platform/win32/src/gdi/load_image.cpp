// LoadImage and LoadBitmap for bitmaps: .bmp files and RT_BITMAP resources.
#include <cstring>

#include "gdi/bmp_file.h"
#include "last_error.h"
#include "text_file.h"
#include "win32/paths.h"
#include "win32/winerror.h"
#include "win32/winmodule.h"
#include "win32/winuser_draw.h"

namespace win32::gdi {
namespace {
IconImageLoader g_iconLoader = nullptr;
}  // namespace

void SetIconImageLoader(IconImageLoader loader) { g_iconLoader = loader; }

}  // namespace win32::gdi

using namespace win32;
using namespace win32::gdi;

namespace {

// The first stored pixel's table entry becomes the window colour (LR_LOADTRANSPARENT).
void MakeFirstPixelWindowColor(DibLayout& layout, const uint8_t* rows) {
  if (layout.format.bitsPerPixel > 8) return;
  Surface s = DibSurface(layout, rows);
  uint32_t index = s.Get(0, layout.bottomUp ? s.height - 1 : 0);
  COLORREF window = GetSysColor(COLOR_WINDOW);
  layout.colors[index] = RGBQUAD{GetBValue(window), GetGValue(window), GetRValue(window), 0};
}

HBITMAP MakeBitmap(DibLayout layout, const uint8_t* rows, int cx, int cy, UINT flags) {
  if (flags & LR_LOADTRANSPARENT) MakeFirstPixelWindowColor(layout, rows);
  HBITMAP bitmap;
  if (flags & LR_MONOCHROME) {
    bitmap = BitmapFromDib(layout, rows, false);
    if (bitmap && layout.format.bitsPerPixel != 1) {  // a colour picture thresholded to black and white
      auto object = LookupHandle<BitmapObject>(bitmap, HandleKind::Bitmap);
      auto m = NewBitmap(layout.width, layout.height, PixelFormat::Bits(1), false);
      if (!m) return nullptr;
      Surface& from = *object->surface;
      for (int y = 0; y < layout.height; ++y)
        for (int x = 0; x < layout.width; ++x) m->surface->Put(x, y, m->surface->FromColor(from.ToColor(from.Get(x, y))));
      DeleteObject(bitmap);
      bitmap = AddGdiObject<HBITMAP>(HandleKind::Bitmap, m);
    }
  } else {
    bitmap = BitmapFromDib(layout, rows, (flags & LR_CREATEDIBSECTION) != 0);
  }
  if (!bitmap) return nullptr;
  if ((cx && cx != layout.width) || (cy && cy != layout.height)) {  // the asked size, stretched
    int w = cx ? cx : layout.width, h = cy ? cy : layout.height;
    HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFrom = SelectObject(from, bitmap);
    HBITMAP sized = CreateCompatibleBitmap(from, w, h);
    HGDIOBJ oldTo = SelectObject(to, sized);
    SetStretchBltMode(to, COLORONCOLOR);
    StretchBlt(to, 0, 0, w, h, from, 0, 0, layout.width, layout.height, SRCCOPY);
    SelectObject(to, oldTo);
    SelectObject(from, oldFrom);
    DeleteDC(to);
    DeleteDC(from);
    DeleteObject(bitmap);
    bitmap = sized;
  }
  return bitmap;
}

HBITMAP LoadBitmapFile(LPCSTR name, int cx, int cy, UINT flags) {
  std::string bytes;
  DWORD error = 0;
  if (!ReadWholeFile(PosixPathFromPlatform(name), bytes, &error)) {
    Fail(error);
    return nullptr;
  }
  DibLayout layout;
  size_t offset = 0;
  const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data());
  if (!ParseBmpFile(data, bytes.size(), &layout, &offset)) {
    Fail(ERROR_INVALID_DATA);
    return nullptr;
  }
  return MakeBitmap(std::move(layout), data + offset, cx, cy, flags);
}

HBITMAP LoadBitmapResource(HINSTANCE instance, LPCSTR name, int cx, int cy, UINT flags) {
  HRSRC info = FindResourceA(instance, name, RT_BITMAP);
  if (!info) return nullptr;
  const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(instance, info)));
  DWORD size = SizeofResource(instance, info);
  DibLayout layout;
  if (!data || !ParseDibHeader(data, size, true, &layout) || size - layout.headerBytes < layout.imageBytes) {
    Fail(ERROR_INVALID_DATA);
    return nullptr;
  }
  return MakeBitmap(std::move(layout), data + layout.headerBytes, cx, cy, flags);
}

}  // namespace

HANDLE LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
  if (!name || cx < 0 || cy < 0) {
    Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (type == IMAGE_ICON || type == IMAGE_CURSOR) {
    if (!g_iconLoader) {
      Fail(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    return g_iconLoader(hInst, name, type, cx, cy, fuLoad);
  }
  if (type != IMAGE_BITMAP) {
    Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (fuLoad & LR_LOADFROMFILE) return LoadBitmapFile(name, cx, cy, fuLoad);
  return LoadBitmapResource(hInst, name, cx, cy, fuLoad);
}

HBITMAP LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName) {
  return static_cast<HBITMAP>(LoadImageA(hInstance, lpBitmapName, IMAGE_BITMAP, 0, 0, 0));
}
