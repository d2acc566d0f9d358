// GDI objects: creation, description, deletion and the stock objects.
#include <array>
#include <cstring>
#include <mutex>

#include "gdi/dc.h"
#include "last_error.h"
#include "win32/platform_config.h"
#include "win32/winerror.h"

namespace win32::gdi {
namespace {

template <class T>
int CopyOut(const T& value, void* buffer, int size) {
  if (!buffer) return sizeof(T);
  if (size < static_cast<int>(sizeof(T))) return 0;
  std::memcpy(buffer, &value, sizeof(T));
  return sizeof(T);
}

StockFontMaker g_stockFontMaker = nullptr;

struct StockTable {
  std::mutex lock;
  std::array<HGDIOBJ, DC_PEN + 1> objects{};
  HBITMAP bitmap = nullptr;
};

StockTable& Stock() {
  static StockTable* table = new StockTable;  // never destroyed: used from static destructors
  return *table;
}

template <class T>
HGDIOBJ AddStock(HandleKind kind, std::shared_ptr<T> object) {
  object->stock = true;
  return reinterpret_cast<HGDIOBJ>(AllocateHandle(kind, std::move(object)));
}

HGDIOBJ MakeStock(int index) {
  auto brush = [](UINT style, COLORREF color) {
    auto b = std::make_shared<BrushObject>();
    b->style = style;
    b->color = color;
    return AddStock(HandleKind::Brush, b);
  };
  auto pen = [](UINT style, COLORREF color) {
    auto p = std::make_shared<PenObject>();
    p->style = style;
    p->color = color;
    return AddStock(HandleKind::Pen, p);
  };
  switch (index) {
    case WHITE_BRUSH: return brush(BS_SOLID, RGB(255, 255, 255));
    case LTGRAY_BRUSH: return brush(BS_SOLID, RGB(192, 192, 192));
    case GRAY_BRUSH: return brush(BS_SOLID, RGB(128, 128, 128));
    case DKGRAY_BRUSH: return brush(BS_SOLID, RGB(64, 64, 64));
    case BLACK_BRUSH: return brush(BS_SOLID, RGB(0, 0, 0));
    case NULL_BRUSH: return brush(BS_NULL, 0);
    case WHITE_PEN: return pen(PS_SOLID, RGB(255, 255, 255));
    case BLACK_PEN: return pen(PS_SOLID, RGB(0, 0, 0));
    case NULL_PEN: return pen(PS_NULL, 0);
    case DEFAULT_PALETTE: {
      auto p = std::make_shared<PaletteObject>();
      const std::vector<RGBQUAD>& colors = DefaultPalette();
      for (size_t i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 246, 247, 248, 249, 250, 251, 252, 253, 254, 255})
        p->entries.push_back(PALETTEENTRY{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0});
      return AddStock(HandleKind::Palette, p);
    }
    case DC_BRUSH: {
      auto b = std::make_shared<BrushObject>();
      b->dcBrush = true;
      return AddStock(HandleKind::Brush, b);
    }
    case DC_PEN: {
      auto p = std::make_shared<PenObject>();
      p->dcPen = true;
      return AddStock(HandleKind::Pen, p);
    }
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case SYSTEM_FIXED_FONT:
    case DEFAULT_GUI_FONT: {
      if (!g_stockFontMaker) return nullptr;
      HGDIOBJ font = g_stockFontMaker(index);
      if (auto object = FindGdiObject(font)) object->stock = true;
      return font;
    }
    default: return nullptr;
  }
}

HandleKind KindOf(HGDIOBJ handle) {
  return static_cast<HandleKind>(KindOfHandle(reinterpret_cast<uintptr_t>(handle)));
}

}  // namespace

int BitmapObject::Describe(void* buffer, int size) const {
  const Surface& s = *surface;
  BITMAP bm{};
  bm.bmType = 0;
  bm.bmWidth = s.width;
  bm.bmHeight = s.height;
  bm.bmPlanes = 1;
  bm.bmBitsPixel = static_cast<WORD>(s.format.bitsPerPixel);
  if (dibSection) {
    bm.bmWidthBytes = static_cast<LONG>(DibStride(s.width, s.format.bitsPerPixel));
    bm.bmBits = storage.get();
    if (!buffer || size >= static_cast<int>(sizeof(DIBSECTION))) {
      DIBSECTION ds{};
      ds.dsBm = bm;
      ds.dsBmih = dibHeader;
      ds.dsBmih.biSizeImage = static_cast<DWORD>(bm.bmWidthBytes * s.height);
      if (dibHeader.biCompression == BI_BITFIELDS) {
        ds.dsBitfields[0] = s.format.redMask;
        ds.dsBitfields[1] = s.format.greenMask;
        ds.dsBitfields[2] = s.format.blueMask;
      }
      return CopyOut(ds, buffer, size);
    }
  } else {
    bm.bmWidthBytes = static_cast<LONG>(WordStride(s.width, s.format.bitsPerPixel));
  }
  return CopyOut(bm, buffer, size);
}

int BrushObject::Describe(void* buffer, int size) const {
  LOGBRUSH lb{style, color, 0};
  if (style == BS_HATCHED) lb.lbHatch = static_cast<ULONG_PTR>(hatch);
  if (style == BS_PATTERN) {
    lb.lbColor = 0;
    lb.lbHatch = reinterpret_cast<ULONG_PTR>(patternHandle);
  }
  return CopyOut(lb, buffer, size);
}

int PenObject::Describe(void* buffer, int size) const {
  LOGPEN lp{style, POINT{width, 0}, color};
  return CopyOut(lp, buffer, size);
}

int PaletteObject::Describe(void* buffer, int size) const {
  WORD count = static_cast<WORD>(entries.size());
  if (!buffer) return sizeof(WORD);
  if (size < static_cast<int>(sizeof(WORD))) return 0;
  std::memcpy(buffer, &count, sizeof count);
  return sizeof(WORD);
}

std::shared_ptr<GdiObject> FindGdiObject(HGDIOBJ handle, HandleKind* kind) {
  HandleKind k = KindOf(handle);
  switch (k) {
    case HandleKind::Pen:
    case HandleKind::Brush:
    case HandleKind::Font:
    case HandleKind::Bitmap:
    case HandleKind::Region:
    case HandleKind::Palette: break;
    default: return nullptr;
  }
  auto object = std::dynamic_pointer_cast<GdiObject>(FindHandle(reinterpret_cast<uintptr_t>(handle), k));
  if (object && kind) *kind = k;
  return object;
}

void SetStockFontMaker(StockFontMaker maker) { g_stockFontMaker = maker; }

HBITMAP StockBitmap() {
  StockTable& t = Stock();
  std::lock_guard<std::mutex> guard(t.lock);
  if (!t.bitmap) {
    auto bitmap = NewBitmap(1, 1, PixelFormat::Bits(1), false);
    t.bitmap = static_cast<HBITMAP>(AddStock(HandleKind::Bitmap, bitmap));
  }
  return t.bitmap;
}

}  // namespace win32::gdi

using namespace win32;
using namespace win32::gdi;

HGDIOBJ GetStockObject(int i) {
  if (i < 0 || i > DC_PEN) return nullptr;
  StockTable& t = Stock();
  {
    std::lock_guard<std::mutex> guard(t.lock);
    if (t.objects[i]) return t.objects[i];
  }
  // Made outside the lock: the font maker is other code. A lost race keeps the first object.
  HGDIOBJ made = MakeStock(i);
  std::lock_guard<std::mutex> guard(t.lock);
  if (!t.objects[i]) t.objects[i] = made;
  return t.objects[i];
}

DWORD GetObjectType(HGDIOBJ h) {
  if (auto object = FindGdiObject(h)) return object->ObjectType();
  if (auto dc = FindDC(static_cast<HDC>(h))) return dc->kind == DeviceContext::Kind::Memory ? OBJ_MEMDC : OBJ_DC;
  Fail(ERROR_INVALID_HANDLE);
  return 0;
}

int GetObjectA(HANDLE h, int c, LPVOID pv) {
  auto object = FindGdiObject(h);
  if (!object) {
    Fail(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (pv && c <= 0) return 0;
  return object->Describe(pv, c);
}

BOOL DeleteObject(HGDIOBJ ho) {
  HandleKind kind{};
  auto object = FindGdiObject(ho, &kind);
  if (!object) return Fail(ERROR_INVALID_HANDLE);
  if (object->stock) return TRUE;
  if (auto bitmap = std::dynamic_pointer_cast<BitmapObject>(object)) {
    if (bitmap->selectedInto && FindDC(bitmap->selectedInto)) return FALSE;  // still selected
  }
  return ReleaseHandle(reinterpret_cast<uintptr_t>(ho), kind) ? TRUE : FALSE;
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color) {
  if (iStyle < PS_SOLID || iStyle > PS_INSIDEFRAME) {
    Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto pen = std::make_shared<PenObject>();
  pen->style = static_cast<UINT>(iStyle);
  pen->width = cWidth < 1 ? 1 : cWidth;
  pen->color = color;
  return AddGdiObject<HPEN>(HandleKind::Pen, pen);
}

HPEN CreatePenIndirect(const LOGPEN* plpen) {
  if (!plpen) return nullptr;
  return CreatePen(static_cast<int>(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto brush = std::make_shared<BrushObject>();
  brush->color = color;
  return AddGdiObject<HBRUSH>(HandleKind::Brush, brush);
}

HBRUSH CreateHatchBrush(int iHatch, COLORREF color) {
  if (iHatch < HS_HORIZONTAL || iHatch > HS_DIAGCROSS) {
    Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto brush = std::make_shared<BrushObject>();
  brush->style = BS_HATCHED;
  brush->hatch = iHatch;
  brush->color = color;
  return AddGdiObject<HBRUSH>(HandleKind::Brush, brush);
}

HBRUSH CreatePatternBrush(HBITMAP hbm) {
  auto source = LookupHandle<BitmapObject>(hbm, HandleKind::Bitmap);
  if (!source) {
    Fail(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const Surface& from = *source->surface;
  auto copy = NewBitmap(from.width, from.height, from.format, false);
  if (!copy) return nullptr;
  Surface& to = *copy->surface;
  to.colors = from.colors;
  size_t rowBytes = DibStride(from.width, from.format.bitsPerPixel);
  for (int y = 0; y < from.height; ++y) std::memcpy(to.Row(y), from.Row(y), rowBytes);
  auto brush = std::make_shared<BrushObject>();
  brush->style = BS_PATTERN;
  brush->pattern = copy->surface;
  brush->patternStorage = std::move(copy->storage);
  brush->patternHandle = hbm;
  return AddGdiObject<HBRUSH>(HandleKind::Brush, brush);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush) {
  if (!plbrush) return nullptr;
  switch (plbrush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(plbrush->lbColor);
    case BS_NULL: return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(plbrush->lbHatch), plbrush->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(plbrush->lbHatch));
    default: Fail(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

HPALETTE CreatePalette(const LOGPALETTE* plpal) {
  if (!plpal || plpal->palVersion != 0x300 || plpal->palNumEntries == 0) {
    Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto palette = std::make_shared<PaletteObject>();
  palette->entries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
  return AddGdiObject<HPALETTE>(HandleKind::Palette, palette);
}

UINT GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries) {
  auto palette = LookupHandle<PaletteObject>(hpal, HandleKind::Palette);
  if (!palette) return 0;
  UINT size = static_cast<UINT>(palette->entries.size());
  if (!pPalEntries) return size;
  if (iStart >= size) return 0;
  UINT n = std::min(cEntries, size - iStart);
  std::memcpy(pPalEntries, palette->entries.data() + iStart, n * sizeof(PALETTEENTRY));
  return n;
}

UINT GetNearestPaletteIndex(HPALETTE h, COLORREF color) {
  auto palette = LookupHandle<PaletteObject>(h, HandleKind::Palette);
  if (!palette) return CLR_INVALID;
  UINT best = 0;
  int bestDistance = 1 << 30;
  for (size_t i = 0; i < palette->entries.size(); ++i) {
    const PALETTEENTRY& e = palette->entries[i];
    int dr = e.peRed - GetRValue(color), dg = e.peGreen - GetGValue(color), db = e.peBlue - GetBValue(color);
    int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<UINT>(i);
    }
  }
  return best;
}
