#pragma once
// The drawing layer's object model, shared by every win32 source that draws: surfaces (pixels in
// memory), GDI objects behind handles, and device contexts with their state.
//
// Coordinates. Logical points map to device points by
//   device = logical - windowOrg + viewportOrg        (MM_TEXT)
// and a device point is surface point (device + dc.origin). Clipping is computed in device
// units: the surface bounds, the DC's visible region (set by the window layer) and the clip
// region selected by the program.
//
// Window DCs (later): the window layer makes a DC over the screen framebuffer with
// MakeSurfaceDC(framebuffer, origin, visible) and updates its origin and visible region with
// SetSurfaceDCPlacement when windows move; everything else (selection, clipping, drawing) is the
// same as for memory DCs.
#include <memory>
#include <optional>
#include <vector>

#include "handle_table.h"
#include "gdi/handle_region.h"
#include "gdi/banded_region.h"
#include "win32/wingdi.h"

namespace win32::gdi {

// ---- Surfaces -----------------------------------------------------------------------------------

// How pixels are stored. 1, 4 and 8 bits index the surface's colour table; 16 and 32 bits use the
// masks; 24 bits are blue, green, red bytes.
struct PixelFormat {
  int bitsPerPixel = 32;
  uint32_t redMask = 0x00FF0000;
  uint32_t greenMask = 0x0000FF00;
  uint32_t blueMask = 0x000000FF;

  static PixelFormat Bits(int bitsPerPixel);  // default masks: 5-5-5 for 16, 8-8-8 for 32
  bool operator==(const PixelFormat&) const = default;
};

// A rectangle of pixels in memory: a bitmap's storage or the screen framebuffer.
struct Surface {
  int width = 0;
  int height = 0;
  PixelFormat format;
  uint8_t* top = nullptr;  // first byte of the top row
  ptrdiff_t stride = 0;    // bytes from a row to the one below it (negative for bottom-up DIBs)
  std::vector<RGBQUAD> colors;  // the colour table of 1, 4 and 8 bit surfaces
  // The screen's table entry a realised palette's next new colour takes (8-bit screens; the ten
  // static colours at each end never change).
  int nextRealizedEntry = 10;

  uint8_t* Row(int y) const { return top + y * stride; }
  bool IsMono() const { return format.bitsPerPixel == 1; }
  // Raw stored value of a pixel (an index, or packed colour bits). x, y must be inside.
  uint32_t Get(int x, int y) const;
  void Put(int x, int y, uint32_t value);
  // Colour of a stored value, and the stored value that best shows a colour (nearest colour
  // table entry for indexed surfaces).
  COLORREF ToColor(uint32_t value) const;
  uint32_t FromColor(COLORREF color) const;
  // All bits of a stored value (what WHITENESS writes).
  uint32_t ValueMask() const;
};

// Bytes of a row of width pixels padded to 4 bytes (DIB rows) or 2 bytes (CreateBitmap rows).
size_t DibStride(int width, int bitsPerPixel);
size_t WordStride(int width, int bitsPerPixel);

// ---- GDI objects --------------------------------------------------------------------------------

// Base of every object behind a pen, brush, font, bitmap, region or palette handle. Fonts are
// defined by the text code and derive from it too.
class GdiObject : public HandleObject {
 public:
  // OBJ_PEN, OBJ_BRUSH, ...
  virtual DWORD ObjectType() const = 0;
  // What GetObject copies: the bytes written (at most size), or the size needed when buffer is
  // null. 0 when size is too small for the object's structure.
  virtual int Describe(void* buffer, int size) const = 0;
  bool stock = false;  // stock objects are never deleted
};

class BitmapObject : public GdiObject {
 public:
  DWORD ObjectType() const override { return OBJ_BITMAP; }
  int Describe(void* buffer, int size) const override;

  std::shared_ptr<Surface> surface;
  std::unique_ptr<uint8_t[]> storage;
  bool dibSection = false;
  BITMAPINFOHEADER dibHeader{};  // for DIB sections: the header as created
  HDC selectedInto = nullptr;    // a bitmap is in at most one memory DC
};

class BrushObject : public GdiObject {
 public:
  DWORD ObjectType() const override { return OBJ_BRUSH; }
  int Describe(void* buffer, int size) const override;

  UINT style = BS_SOLID;  // BS_SOLID, BS_NULL, BS_HATCHED, BS_PATTERN
  COLORREF color = 0;
  int hatch = 0;
  std::shared_ptr<Surface> pattern;  // BS_PATTERN: a private copy of the bitmap
  std::unique_ptr<uint8_t[]> patternStorage;
  HBITMAP patternHandle = nullptr;  // what GetObject reports
  bool dcBrush = false;             // DC_BRUSH: the DC's brush colour
};

class PenObject : public GdiObject {
 public:
  DWORD ObjectType() const override { return OBJ_PEN; }
  int Describe(void* buffer, int size) const override;

  UINT style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
  bool dcPen = false;  // DC_PEN: the DC's pen colour
};

class RegionObject : public GdiObject {
 public:
  DWORD ObjectType() const override { return OBJ_REGION; }
  int Describe(void*, int) const override { return 0; }

  HandleRegion region;  // logical coordinates
};

class PaletteObject : public GdiObject {
 public:
  DWORD ObjectType() const override { return OBJ_PAL; }
  int Describe(void* buffer, int size) const override;

  std::vector<PALETTEENTRY> entries;
};

// The object behind a GDI handle of any kind (pen, brush, font, bitmap, region, palette), with
// its handle kind; null for anything else.
std::shared_ptr<GdiObject> FindGdiObject(HGDIOBJ handle, HandleKind* kind = nullptr);

// Registers an object and returns its handle (null when the table is full).
template <class H>
H AddGdiObject(HandleKind kind, std::shared_ptr<GdiObject> object) {
  return ToHandle<H>(AllocateHandle(kind, std::move(object)));
}

// Creates a bitmap object with fresh zeroed storage: stride is DibStride, rows top-down unless
// bottomUp. Null when the size is not positive or too big.
std::shared_ptr<BitmapObject> NewBitmap(int width, int height, const PixelFormat& format,
                                        bool bottomUp);

// The 1x1 monochrome bitmap every new memory DC starts with (a stock object).
HBITMAP StockBitmap();

// The screen's pixel format: CORVANE_SCREEN's depth (8 bits with the default palette).
PixelFormat ScreenFormat();
// The 20 static colours plus the colour cube of the emulated 8-bit screen.
const std::vector<RGBQUAD>& DefaultPalette();

// Stock fonts are made by the text code: it registers a maker for the font indices of
// GetStockObject (OEM_FIXED_FONT .. DEFAULT_GUI_FONT), called once per index.
using StockFontMaker = HGDIOBJ (*)(int index);
void SetStockFontMaker(StockFontMaker maker);

// A bitmap from DIB rows (null rows: zeroed): a DIB section in the DIB's own format, or a bitmap
// of the screen's depth (monochrome for 1-bit DIBs).
struct DibLayout;
HBITMAP BitmapFromDib(const DibLayout& layout, const uint8_t* rows, bool dibSection);

// Icons and cursors are loaded by the icon code: it registers the loader LoadImage hands
// IMAGE_ICON and IMAGE_CURSOR to.
using IconImageLoader = HANDLE (*)(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
void SetIconImageLoader(IconImageLoader loader);

// DrawState draws text and icons through the text and icon code: its renderer for DST_TEXT,
// DST_PREFIXTEXT and DST_ICON draws the content with its top-left at logical (0, 0) of hdc in
// the DC's text colour, or, with hdc null, only stores the content's size in *size.
using DrawStateRenderer = BOOL (*)(HDC hdc, UINT kind, LPARAM data, WPARAM extra, SIZE* size);
void SetDrawStateRenderer(DrawStateRenderer renderer);

// ---- Device contexts ----------------------------------------------------------------------------

// Everything SaveDC saves.
struct DcState {
  HBITMAP bitmapHandle = nullptr;
  std::shared_ptr<BitmapObject> bitmap;  // memory DCs
  HBRUSH brushHandle = nullptr;
  std::shared_ptr<BrushObject> brush;
  HPEN penHandle = nullptr;
  std::shared_ptr<PenObject> pen;
  HGDIOBJ fontHandle = nullptr;
  std::shared_ptr<GdiObject> font;  // the text code's font object
  HPALETTE paletteHandle = nullptr;
  std::shared_ptr<PaletteObject> palette;

  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  int polyFillMode = ALTERNATE;
  COLORREF dcBrushColor = RGB(255, 255, 255);
  COLORREF dcPenColor = RGB(0, 0, 0);
  POINT brushOrg{0, 0};
  POINT windowOrg{0, 0};
  POINT viewportOrg{0, 0};
  POINT currentPos{0, 0};
  // Kept here for the text code (SetTextAlign, SetTextCharacterExtra, SetTextJustification).
  UINT textAlign = 0;
  int charExtra = 0;

  std::optional<Region> clip;  // device units; none: no clip region
};

class DeviceContext : public HandleObject {
 public:
  enum class Kind { Memory, Surface };

  Kind kind = Kind::Memory;
  std::shared_ptr<Surface> surface;  // memory DCs: the selected bitmap's surface
  POINT origin{0, 0};                // surface position of device point (0, 0)
  std::optional<Region> visible;     // device units; none: the whole surface

  DcState state;
  std::vector<DcState> saved;

  POINT ToDevice(POINT logical) const;
  POINT ToLogical(POINT device) const;
  RECT ToDevice(const RECT& logical) const;
  // Device-unit region drawing may touch: surface bounds, visible region and clip region.
  const Region& DrawClip() const;
  // Forget the cached DrawClip after any change of surface, origin, visible or clip.
  void ClipChanged() { drawClip_.reset(); }

  // Colour of a brush/pen/text colour as the DC means it (PALETTEINDEX through its palette).
  COLORREF Resolve(COLORREF color) const;


 private:
  mutable std::optional<Region> drawClip_;
};

std::shared_ptr<DeviceContext> FindDC(HDC hdc);

// For the window layer: a DC drawing onto a surface it owns (the screen framebuffer), with device
// point (0, 0) at origin and drawing limited to visible (device units).
HDC MakeSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, const Region& visible);
void SetSurfaceDCPlacement(HDC hdc, POINT origin, const Region& visible);
// For the window layer: told when RealizePalette on one of those DCs changed entries of the
// screen's colour table (and with them every pixel showing those entries).
void SetScreenPaletteListener(void (*changed)(HDC hdc));

// ---- Drawing primitives for other drawing code (device units, clipped) ---------------------

// Fills device rectangle with a colour (R2_COPYPEN semantics, no brush).
void FillDeviceRect(DeviceContext& dc, const RECT& rect, COLORREF color);
// Paints color where the 8-bit coverage mask is non-zero, blending by coverage on surfaces of 16
// bits and more and taking coverage >= 128 as set on indexed ones. mask row 0 is at device y.
void PaintCoverage(DeviceContext& dc, int x, int y, int width, int height, const uint8_t* mask,
                   ptrdiff_t maskStride, COLORREF color);
// Fills a device region with a brush using the DC's brush origin, background colour and mode,
// through the ternary raster operation rop (PATCOPY for ordinary fills).
void FillDeviceRegion(DeviceContext& dc, const Region& region, const BrushObject& brush, DWORD rop);

// Writes a DC's surface (the part its device coordinates reach) as a PNG file.
bool WriteSurfacePng(const Surface& surface, const char* path);

}  // namespace win32::gdi
