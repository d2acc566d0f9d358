// Bitmaps: device-dependent bitmaps, DIB sections and the DIB transfer functions.
#include <algorithm>
#include <cstring>

#include "gdi/bmp_file.h"
#include "gdi/raster.h"
#include "last_error.h"
#include "win32/winerror.h"

namespace win32::gdi {

namespace {

// Copies rows of width pixels from one surface into another, converting through the colour
// tables; whole spans at a time where both sides are packed.
void ConvertRows(const Surface& from, int fromY, Surface& to, int toY, int rows, int width) {
  SourceMap map(from, to);
  const int bits = to.format.bitsPerPixel;
  const bool copy = map.IsIdentity() && bits == from.format.bitsPerPixel;
  const SpanConverter convert = ConverterFor(from.format.bitsPerPixel, bits);
  for (int r = 0; r < rows; ++r) {
    if (copy) {
      std::memcpy(to.Row(toY + r), from.Row(fromY + r), (static_cast<size_t>(width) * bits + 7) / 8);
    } else if (convert) {
      convert(from.Row(fromY + r), to.Row(toY + r), width, map, ~0u);
    } else {
      for (int x = 0; x < width; ++x) to.Put(x, toY + r, map(from.Get(x, fromY + r)));
    }
  }
}

}  // namespace

HBITMAP BitmapFromDib(const DibLayout& layout, const uint8_t* rows, bool dibSection) {
  std::shared_ptr<BitmapObject> bitmap;
  if (dibSection) {
    bitmap = NewBitmap(layout.width, layout.height, layout.format, layout.bottomUp);
    if (!bitmap) return nullptr;
    bitmap->surface->colors = layout.colors;
    bitmap->dibSection = true;
    bitmap->dibHeader = BITMAPINFOHEADER{40, layout.width, layout.bottomUp ? layout.height : -layout.height, 1,
                                         static_cast<WORD>(layout.format.bitsPerPixel),
                                         static_cast<DWORD>(layout.bitfields ? BI_BITFIELDS : BI_RGB), 0, 0, 0,
                                         static_cast<DWORD>(layout.format.bitsPerPixel <= 8 ? layout.colors.size() : 0), 0};
  } else {
    // Only a black-and-white picture stays monochrome.
    bool mono = layout.format.bitsPerPixel == 1 && layout.colors[0].rgbRed == 0 && layout.colors[0].rgbGreen == 0 &&
                layout.colors[0].rgbBlue == 0 && layout.colors[1].rgbRed == 255 && layout.colors[1].rgbGreen == 255 &&
                layout.colors[1].rgbBlue == 255;
    bitmap = NewBitmap(layout.width, layout.height, mono ? PixelFormat::Bits(1) : ScreenFormat(), false);
    if (!bitmap) return nullptr;
  }
  if (rows) ConvertRows(DibSurface(layout, rows), 0, *bitmap->surface, 0, layout.height, layout.width);
  return AddGdiObject<HBITMAP>(HandleKind::Bitmap, bitmap);
}

}  // namespace win32::gdi

using namespace win32;
using namespace win32::gdi;

namespace {

std::shared_ptr<BitmapObject> FindBitmap(HBITMAP h) { return LookupHandle<BitmapObject>(h, HandleKind::Bitmap); }

// The header of a BITMAPINFO passed by a caller; only DIB_RGB_COLORS tables are understood.
bool CallerLayout(const BITMAPINFO* bmi, UINT usage, DibLayout* layout) {
  if (!bmi || usage != DIB_RGB_COLORS) return false;
  return ParseDibHeader(reinterpret_cast<const uint8_t*>(bmi), SIZE_MAX / 2, false, layout);
}

// A surface over count rows of a DIB in caller memory (the rows of a scan range, in the DIB's
// own order).
Surface RowsOf(const DibLayout& layout, const void* bits, int count) {
  DibLayout part = layout;
  part.height = count;
  return DibSurface(part, static_cast<const uint8_t*>(bits));
}

std::shared_ptr<BitmapObject> CompatibleBitmap(const DeviceContext* dc, int cx, int cy) {
  if (dc && dc->kind == DeviceContext::Kind::Memory) {
    const BitmapObject& selected = *dc->state.bitmap;
    const Surface& s = *selected.surface;
    if (selected.dibSection) {
      auto bitmap = NewBitmap(cx, cy, s.format, selected.dibHeader.biHeight > 0);
      if (!bitmap) return nullptr;
      bitmap->surface->colors = s.colors;
      bitmap->dibSection = true;
      bitmap->dibHeader = selected.dibHeader;
      bitmap->dibHeader.biWidth = cx;
      bitmap->dibHeader.biHeight = selected.dibHeader.biHeight > 0 ? cy : -cy;
      return bitmap;
    }
    if (s.IsMono()) return NewBitmap(cx, cy, PixelFormat::Bits(1), false);
  }
  return NewBitmap(cx, cy, ScreenFormat(), false);
}

}  // namespace

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
  if (nWidth < 0 || nHeight < 0 || nPlanes != 1) {
    Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (nWidth == 0 || nHeight == 0) return StockBitmap();
  int bits = static_cast<int>(nBitCount);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto bitmap = NewBitmap(nWidth, nHeight, bits == 1 ? PixelFormat::Bits(1) : PixelFormat::Bits(bits), false);
  if (!bitmap) {
    Fail(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  HBITMAP handle = AddGdiObject<HBITMAP>(HandleKind::Bitmap, bitmap);
  if (lpBits) SetBitmapBits(handle, static_cast<DWORD>(WordStride(nWidth, bits) * nHeight), lpBits);
  return handle;
}

HBITMAP CreateBitmapIndirect(const BITMAP* pbm) {
  if (!pbm) return nullptr;
  return CreateBitmap(pbm->bmWidth, pbm->bmHeight, pbm->bmPlanes, pbm->bmBitsPixel, pbm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  auto dc = FindDC(hdc);
  if (!dc) {
    Fail(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (cx < 0 || cy < 0) return nullptr;
  if (cx == 0 || cy == 0) return StockBitmap();
  auto bitmap = CompatibleBitmap(dc.get(), cx, cy);
  if (!bitmap) {
    Fail(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return AddGdiObject<HBITMAP>(HandleKind::Bitmap, bitmap);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection, DWORD) {
  if (ppvBits) *ppvBits = nullptr;
  DibLayout layout;
  if (hSection || !CallerLayout(pbmi, usage, &layout)) {
    Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HBITMAP handle = BitmapFromDib(layout, nullptr, true);
  if (!handle) {
    Fail(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (ppvBits) *ppvBits = FindBitmap(handle)->storage.get();
  return handle;
}

HBITMAP CreateDIBitmap(HDC, const BITMAPINFOHEADER* pbmih, DWORD flInit, const void* pjBits, const BITMAPINFO* pbmi,
                       UINT iUsage) {
  if (!pbmih) return nullptr;
  LONG height = pbmih->biHeight < 0 ? -pbmih->biHeight : pbmih->biHeight;
  if (pbmih->biWidth <= 0 || height <= 0) return nullptr;
  auto bitmap = NewBitmap(pbmih->biWidth, height, ScreenFormat(), false);
  if (!bitmap) return nullptr;
  HBITMAP handle = AddGdiObject<HBITMAP>(HandleKind::Bitmap, bitmap);
  if ((flInit & CBM_INIT) && pjBits && pbmi) SetDIBits(nullptr, handle, 0, static_cast<UINT>(height), pjBits, pbmi, iUsage);
  return handle;
}

int GetDIBits(HDC, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage) {
  auto bitmap = FindBitmap(hbm);
  if (!bitmap || !lpbmi || usage != DIB_RGB_COLORS) return 0;
  const Surface& s = *bitmap->surface;
  BITMAPINFOHEADER& h = lpbmi->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  if (!lpvBits && h.biBitCount == 0) {  // describe the bitmap
    h.biWidth = s.width;
    h.biHeight = s.height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(s.format.bitsPerPixel);
    h.biCompression = (s.format.bitsPerPixel == 16 && !(s.format == PixelFormat::Bits(16))) ? BI_BITFIELDS : BI_RGB;
    h.biSizeImage = static_cast<DWORD>(DibStride(s.width, s.format.bitsPerPixel) * s.height);
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    if (h.biCompression == BI_BITFIELDS) {
      DWORD* masks = reinterpret_cast<DWORD*>(lpbmi->bmiColors);
      masks[0] = s.format.redMask;
      masks[1] = s.format.greenMask;
      masks[2] = s.format.blueMask;
    }
    return s.height;
  }
  // The caller's format, with the colour table this call fills in.
  BITMAPINFOHEADER asked = h;
  asked.biClrUsed = 0;
  if (asked.biWidth != s.width) asked.biWidth = s.width;
  if (asked.biHeight == 0) return 0;
  if (asked.biHeight > 0) asked.biHeight = s.height;
  else asked.biHeight = -s.height;
  std::vector<uint8_t> header(sizeof(BITMAPINFOHEADER) + 3 * sizeof(DWORD));
  std::memcpy(header.data(), &asked, sizeof asked);
  if (asked.biCompression == BI_BITFIELDS) std::memcpy(header.data() + sizeof asked, lpbmi->bmiColors, 12);
  DibLayout layout;
  if (!ParseDibHeader(header.data(), SIZE_MAX / 2, false, &layout)) return 0;
  if (layout.format.bitsPerPixel <= 8) {
    if (s.format.bitsPerPixel == layout.format.bitsPerPixel) {
      layout.colors = s.colors;
    } else if (layout.format.bitsPerPixel == 1) {
      layout.colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    } else {
      layout.colors = DefaultPalette();
      if (layout.format.bitsPerPixel == 4) {  // the 16 colours of the VGA palette
        layout.colors.clear();
        for (size_t i : {0, 1, 2, 3, 4, 5, 6, 248, 7, 249, 250, 251, 252, 253, 254, 255})
          layout.colors.push_back(DefaultPalette()[i]);
      }
    }
    layout.colors.resize(size_t{1} << layout.format.bitsPerPixel);
    std::memcpy(lpbmi->bmiColors, layout.colors.data(), layout.colors.size() * sizeof(RGBQUAD));
  }
  h.biSizeImage = static_cast<DWORD>(layout.imageBytes);
  if (!lpvBits) return s.height;
  if (start >= static_cast<UINT>(s.height)) return 0;
  int lines = static_cast<int>(std::min<UINT>(cLines, static_cast<UINT>(s.height) - start));
  // Scan lines count from the bottom for bottom-up layouts.
  int firstTop = layout.bottomUp ? s.height - static_cast<int>(start) - lines : static_cast<int>(start);
  DibLayout part = layout;
  part.height = lines;
  Surface out = DibSurface(part, static_cast<uint8_t*>(lpvBits));
  ConvertRows(s, firstTop, out, 0, lines, s.width);
  return lines;
}

int SetDIBits(HDC, HBITMAP hbm, UINT start, UINT cLines, const void* lpBits, const BITMAPINFO* lpbmi, UINT ColorUse) {
  auto bitmap = FindBitmap(hbm);
  DibLayout layout;
  if (!bitmap || !lpBits || !CallerLayout(lpbmi, ColorUse, &layout)) return 0;
  Surface& s = *bitmap->surface;
  if (start >= static_cast<UINT>(layout.height)) return 0;
  int lines = static_cast<int>(std::min<UINT>(cLines, static_cast<UINT>(layout.height) - start));
  int firstTop = layout.bottomUp ? layout.height - static_cast<int>(start) - lines : static_cast<int>(start);
  Surface in = RowsOf(layout, lpBits, lines);
  in.width = std::min(in.width, s.width);
  // Rows past the bitmap's bottom are dropped.
  ConvertRows(in, 0, s, firstTop, std::max(0, std::min(lines, s.height - firstTop)), in.width);
  return lines;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT StartScan,
                      UINT cLines, const void* lpvBits, const BITMAPINFO* lpbmi, UINT ColorUse) {
  auto dc = FindDC(hdc);
  DibLayout layout;
  if (!dc || !lpvBits || !CallerLayout(lpbmi, ColorUse, &layout)) return 0;
  if (StartScan >= static_cast<UINT>(layout.height)) return 0;
  int lines = static_cast<int>(std::min<UINT>(cLines, static_cast<UINT>(layout.height) - StartScan));
  // The given rows, as part of the whole picture counted from its top.
  int firstTop = layout.bottomUp ? layout.height - static_cast<int>(StartScan) - lines : static_cast<int>(StartScan);
  Surface in = RowsOf(layout, lpvBits, lines);
  // For bottom-up pictures ySrc counts from the bottom row.
  int top = layout.bottomUp ? layout.height - ySrc - static_cast<int>(h) : ySrc;
  BlitSurface(*dc, xDest, yDest, static_cast<int>(w), static_cast<int>(h), in, xSrc, top - firstTop,
              static_cast<int>(w), static_cast<int>(h), SRCCOPY, 0, true);
  return lines;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth,
                  int SrcHeight, const void* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop) {
  auto dc = FindDC(hdc);
  DibLayout layout;
  if (!dc || !lpBits || !CallerLayout(lpbmi, iUsage, &layout)) return 0;
  Surface in = DibSurface(layout, static_cast<const uint8_t*>(lpBits));
  int top = layout.bottomUp ? layout.height - ySrc - SrcHeight : ySrc;
  if (!BlitSurface(*dc, xDest, yDest, DestWidth, DestHeight, in, xSrc, top, SrcWidth, SrcHeight, rop, 0, true))
    return 0;
  return layout.height;
}

LONG GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits) {
  auto bitmap = FindBitmap(hbit);
  if (!bitmap) return 0;
  const Surface& s = *bitmap->surface;
  size_t stride = WordStride(s.width, s.format.bitsPerPixel);
  size_t total = stride * s.height;
  if (!lpvBits) return static_cast<LONG>(total);
  size_t wanted = cb < 0 ? 0 : std::min(static_cast<size_t>(cb), total);
  uint8_t* out = static_cast<uint8_t*>(lpvBits);
  size_t rowBytes = (static_cast<size_t>(s.width) * s.format.bitsPerPixel + 7) / 8;
  for (size_t done = 0, y = 0; done < wanted; ++y) {
    size_t n = std::min(stride, wanted - done);
    std::memset(out + done, 0, n);
    std::memcpy(out + done, s.Row(static_cast<int>(y)), std::min(n, rowBytes));
    done += n;
  }
  return static_cast<LONG>(wanted);
}

LONG SetBitmapBits(HBITMAP hbm, DWORD cb, const void* pvBits) {
  auto bitmap = FindBitmap(hbm);
  if (!bitmap || !pvBits) return 0;
  Surface& s = *bitmap->surface;
  size_t stride = WordStride(s.width, s.format.bitsPerPixel);
  size_t wanted = std::min(static_cast<size_t>(cb), stride * s.height);
  const uint8_t* in = static_cast<const uint8_t*>(pvBits);
  size_t rowBytes = (static_cast<size_t>(s.width) * s.format.bitsPerPixel + 7) / 8;
  for (size_t done = 0, y = 0; done < wanted; ++y) {
    size_t n = std::min({stride, wanted - done, rowBytes});
    std::memcpy(s.Row(static_cast<int>(y)), in + done, n);
    done += std::min(stride, wanted - done);
  }
  return static_cast<LONG>(wanted);
}

UINT GetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, RGBQUAD* prgbq) {
  auto dc = FindDC(hdc);
  if (!dc || !prgbq || dc->kind != DeviceContext::Kind::Memory || !dc->state.bitmap->dibSection) return 0;
  const std::vector<RGBQUAD>& colors = dc->surface->colors;
  if (iStart >= colors.size()) return 0;
  UINT n = std::min<UINT>(cEntries, static_cast<UINT>(colors.size()) - iStart);
  std::memcpy(prgbq, colors.data() + iStart, n * sizeof(RGBQUAD));
  return n;
}

UINT SetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, const RGBQUAD* prgbq) {
  auto dc = FindDC(hdc);
  if (!dc || !prgbq || dc->kind != DeviceContext::Kind::Memory || !dc->state.bitmap->dibSection) return 0;
  std::vector<RGBQUAD>& colors = dc->surface->colors;
  if (iStart >= colors.size()) return 0;
  UINT n = std::min<UINT>(cEntries, static_cast<UINT>(colors.size()) - iStart);
  std::memcpy(colors.data() + iStart, prgbq, n * sizeof(RGBQUAD));
  return n;
}
