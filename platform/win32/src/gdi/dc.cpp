// Device contexts: creation, state, selection, mapping, device capabilities and clipping.
#include "gdi/dc.h"

#include <algorithm>

#include "last_error.h"
#include "win32/platform_config.h"
#include "win32/winerror.h"

namespace win32::gdi {
namespace {

std::shared_ptr<DeviceContext> NewDC(DeviceContext::Kind kind) {
  auto dc = std::make_shared<DeviceContext>();
  dc->kind = kind;
  dc->state.brushHandle = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  dc->state.brush = LookupHandle<BrushObject>(dc->state.brushHandle, HandleKind::Brush);
  dc->state.penHandle = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  dc->state.pen = LookupHandle<PenObject>(dc->state.penHandle, HandleKind::Pen);
  dc->state.paletteHandle = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  dc->state.palette = LookupHandle<PaletteObject>(dc->state.paletteHandle, HandleKind::Palette);
  dc->state.fontHandle = GetStockObject(SYSTEM_FONT);
  dc->state.font = FindGdiObject(dc->state.fontHandle);
  return dc;
}

// Puts a bitmap into a memory DC's current state and makes its surface the DC's.
void UseBitmap(DeviceContext& dc, HDC self, HBITMAP handle, std::shared_ptr<BitmapObject> bitmap) {
  if (dc.state.bitmap && dc.state.bitmap->selectedInto == self) dc.state.bitmap->selectedInto = nullptr;
  bitmap->selectedInto = self;
  dc.surface = bitmap->surface;
  dc.state.bitmapHandle = handle;
  dc.state.bitmap = std::move(bitmap);
  dc.ClipChanged();
}

// The clip region as combining sees it: the selected one, or everything the surface shows.
Region CurrentClip(const DeviceContext& dc) {
  if (dc.state.clip) return *dc.state.clip;
  return Region(-dc.origin.x, -dc.origin.y, dc.surface->width - dc.origin.x, dc.surface->height - dc.origin.y);
}

// Who hears of changes to the screen's colour table.
void (*screenPaletteListener)(HDC) = nullptr;

int SetClip(DeviceContext& dc, std::optional<Region> clip) {
  dc.state.clip = std::move(clip);
  dc.ClipChanged();
  return dc.DrawClip().Type();
}

}  // namespace

POINT DeviceContext::ToDevice(POINT p) const {
  return POINT{Coordinate(int64_t{p.x} - state.windowOrg.x + state.viewportOrg.x),
               Coordinate(int64_t{p.y} - state.windowOrg.y + state.viewportOrg.y)};
}

POINT DeviceContext::ToLogical(POINT p) const {
  return POINT{Coordinate(int64_t{p.x} + state.windowOrg.x - state.viewportOrg.x),
               Coordinate(int64_t{p.y} + state.windowOrg.y - state.viewportOrg.y)};
}

RECT DeviceContext::ToDevice(const RECT& r) const {
  POINT a = ToDevice(POINT{r.left, r.top}), b = ToDevice(POINT{r.right, r.bottom});
  return RECT{a.x, a.y, b.x, b.y};
}

const Region& DeviceContext::DrawClip() const {
  if (!drawClip_) {
    Region clip(-origin.x, -origin.y, surface->width - origin.x, surface->height - origin.y);
    if (visible) clip = clip.Intersect(*visible);
    if (state.clip) clip = clip.Intersect(*state.clip);
    drawClip_ = std::move(clip);
  }
  return *drawClip_;
}

COLORREF DeviceContext::Resolve(COLORREF color) const {
  switch (color >> 24) {
    case 0x01: {
      size_t index = color & 0xFFFF;
      const std::vector<PALETTEENTRY>* entries = state.palette ? &state.palette->entries : nullptr;
      if (!entries || index >= entries->size()) return RGB(0, 0, 0);
      const PALETTEENTRY& e = (*entries)[index];
      return RGB(e.peRed, e.peGreen, e.peBlue);
    }
    default: return color & 0x00FFFFFF;
  }
}

std::shared_ptr<DeviceContext> FindDC(HDC hdc) { return LookupHandle<DeviceContext>(hdc, HandleKind::DeviceContext); }

HDC MakeSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, const Region& visible) {
  auto dc = NewDC(DeviceContext::Kind::Surface);
  dc->surface = std::move(surface);
  dc->origin = origin;
  dc->visible = visible;
  return ToHandle<HDC>(AllocateHandle(HandleKind::DeviceContext, dc));
}

void SetSurfaceDCPlacement(HDC hdc, POINT origin, const Region& visible) {
  if (auto dc = FindDC(hdc)) {
    dc->origin = origin;
    dc->visible = visible;
    dc->ClipChanged();
  }
}

void SetScreenPaletteListener(void (*changed)(HDC hdc)) { screenPaletteListener = changed; }

}  // namespace win32::gdi

using namespace win32;
using namespace win32::gdi;

#define DC_OR(hdc, failure)        \
  auto dc = FindDC(hdc);           \
  if (!dc) {                       \
    Fail(ERROR_INVALID_HANDLE);    \
    return failure;                \
  }

HDC CreateCompatibleDC(HDC) {
  auto dc = NewDC(DeviceContext::Kind::Memory);
  HBITMAP stock = StockBitmap();
  dc->state.bitmapHandle = stock;
  dc->state.bitmap = LookupHandle<BitmapObject>(stock, HandleKind::Bitmap);
  dc->surface = dc->state.bitmap->surface;
  return ToHandle<HDC>(AllocateHandle(HandleKind::DeviceContext, dc));
}

BOOL DeleteDC(HDC hdc) {
  DC_OR(hdc, FALSE);
  auto release = [hdc](DcState& s) {
    if (s.bitmap && s.bitmap->selectedInto == hdc) s.bitmap->selectedInto = nullptr;
  };
  release(dc->state);
  for (DcState& s : dc->saved) release(s);
  return ReleaseHandle(reinterpret_cast<uintptr_t>(hdc), HandleKind::DeviceContext) ? TRUE : FALSE;
}

int SaveDC(HDC hdc) {
  DC_OR(hdc, 0);
  dc->saved.push_back(dc->state);
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int nSavedDC) {
  DC_OR(hdc, FALSE);
  int depth = static_cast<int>(dc->saved.size());
  int target = nSavedDC < 0 ? depth + nSavedDC + 1 : nSavedDC;
  if (nSavedDC == 0 || target < 1 || target > depth) return FALSE;
  DcState restored = std::move(dc->saved[target - 1]);
  dc->saved.resize(target - 1);
  if (dc->kind == DeviceContext::Kind::Memory && restored.bitmap != dc->state.bitmap) {
    HBITMAP handle = restored.bitmapHandle;
    auto bitmap = restored.bitmap;
    UseBitmap(*dc, hdc, handle, bitmap);
  }
  dc->state = std::move(restored);
  dc->ClipChanged();
  return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  DC_OR(hdc, nullptr);
  HandleKind kind{};
  auto object = FindGdiObject(h, &kind);
  if (!object) {
    Fail(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  DcState& s = dc->state;
  switch (kind) {
    case HandleKind::Pen: {
      HGDIOBJ old = s.penHandle;
      s.penHandle = static_cast<HPEN>(h);
      s.pen = std::static_pointer_cast<PenObject>(object);
      return old;
    }
    case HandleKind::Brush: {
      HGDIOBJ old = s.brushHandle;
      s.brushHandle = static_cast<HBRUSH>(h);
      s.brush = std::static_pointer_cast<BrushObject>(object);
      return old;
    }
    case HandleKind::Font: {
      HGDIOBJ old = s.fontHandle;
      s.fontHandle = h;
      s.font = object;
      return old;
    }
    case HandleKind::Bitmap: {
      auto bitmap = std::static_pointer_cast<BitmapObject>(object);
      if (dc->kind != DeviceContext::Kind::Memory) return nullptr;
      if (bitmap->selectedInto && bitmap->selectedInto != hdc && !bitmap->stock && FindDC(bitmap->selectedInto))
        return nullptr;  // in another DC
      HGDIOBJ old = s.bitmapHandle;
      UseBitmap(*dc, hdc, static_cast<HBITMAP>(h), bitmap);
      return old;
    }
    case HandleKind::Region: {
      const Region& r = std::static_pointer_cast<RegionObject>(object)->region.Get();
      return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(SetClip(*dc, r)));
    }
    default: return nullptr;  // palettes go through SelectPalette
  }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  DC_OR(hdc, nullptr);
  switch (type) {
    case OBJ_PEN: return dc->state.penHandle;
    case OBJ_BRUSH: return dc->state.brushHandle;
    case OBJ_FONT: return dc->state.fontHandle;
    case OBJ_BITMAP: return dc->state.bitmapHandle;
    case OBJ_PAL: return dc->state.paletteHandle;
    default: return nullptr;
  }
}

HPALETTE SelectPalette(HDC hdc, HPALETTE hPal, BOOL) {
  DC_OR(hdc, nullptr);
  auto palette = LookupHandle<PaletteObject>(hPal, HandleKind::Palette);
  if (!palette) {
    Fail(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  HPALETTE old = dc->state.paletteHandle;
  dc->state.paletteHandle = hPal;
  dc->state.palette = std::move(palette);
  return old;
}

UINT RealizePalette(HDC hdc) {
  DC_OR(hdc, GDI_ERROR);
  // Only a palette display maps entries; true-colour screens need no realising.
  if (platform_config::Config().screenDepth != 8 || !dc->state.palette) return 0;
  // Drawn on the screen, the palette's colours the screen's table lacks take its free entries,
  // in turn, as the hardware palette would; what already shows those entries changes with them.
  Surface* screen = dc->kind == DeviceContext::Kind::Surface ? dc->surface.get() : nullptr;
  bool tableChanged = false;
  if (screen && screen->format.bitsPerPixel == 8 && screen->colors.size() == 256) {
    constexpr int kFirstFree = 10, kEndFree = 246;
    for (const PALETTEENTRY& e : dc->state.palette->entries) {
      const RGBQUAD wanted{e.peBlue, e.peGreen, e.peRed, 0};
      const bool present = std::any_of(screen->colors.begin(), screen->colors.end(), [&](const RGBQUAD& c) {
        return c.rgbRed == wanted.rgbRed && c.rgbGreen == wanted.rgbGreen && c.rgbBlue == wanted.rgbBlue;
      });
      if (present) continue;
      if (screen->nextRealizedEntry < kFirstFree || screen->nextRealizedEntry >= kEndFree) {
        screen->nextRealizedEntry = kFirstFree;
      }
      screen->colors[size_t(screen->nextRealizedEntry++)] = wanted;
      tableChanged = true;
    }
  }
  const auto entries = static_cast<UINT>(dc->state.palette->entries.size());
  if (tableChanged && screenPaletteListener) screenPaletteListener(hdc);
  return entries;
}

int GetDeviceCaps(HDC hdc, int index) {
  DC_OR(hdc, 0);
  const auto& config = platform_config::Config();
  bool palette = config.screenDepth == 8;
  switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZRES:
    case DESKTOPHORZRES: return config.screenWidth;
    case VERTRES:
    case DESKTOPVERTRES: return config.screenHeight;
    case HORZSIZE: return config.screenWidth * 254 / 960;
    case VERTSIZE: return config.screenHeight * 254 / 960;
    case BITSPIXEL: return ScreenFormat().bitsPerPixel;
    case PLANES: return 1;
    case NUMBRUSHES:
    case NUMPENS: return -1;
    case NUMFONTS: return 0;
    case NUMCOLORS: return palette ? 20 : -1;
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case RASTERCAPS:
      return RC_BITBLT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB | (palette ? RC_PALETTE : 0);
    case SIZEPALETTE: return palette ? 256 : 0;
    case NUMRESERVED: return palette ? 20 : 0;
    case COLORRES: return palette ? 18 : 24;
    default: return 0;
  }
}

COLORREF GetNearestColor(HDC hdc, COLORREF color) {
  DC_OR(hdc, CLR_INVALID);
  Surface screen;
  screen.format = ScreenFormat();
  if (screen.format.bitsPerPixel == 8) screen.colors = DefaultPalette();
  COLORREF c = dc->Resolve(color);
  return screen.ToColor(screen.FromColor(c));
}

#define DC_ATTRIBUTE(Setter, Getter, type, field, failure) \
  type Setter(HDC hdc, type value) {                       \
    DC_OR(hdc, failure);                                   \
    type old = dc->state.field;                            \
    dc->state.field = value;                               \
    return old;                                            \
  }                                                        \
  type Getter(HDC hdc) {                                   \
    DC_OR(hdc, failure);                                   \
    return dc->state.field;                                \
  }

DC_ATTRIBUTE(SetTextColor, GetTextColor, COLORREF, textColor, CLR_INVALID)
DC_ATTRIBUTE(SetBkColor, GetBkColor, COLORREF, bkColor, CLR_INVALID)

// A mode of the DC: the setter refuses values outside the mode's range and answers 0.
#define DC_MODE(Setter, Getter, field, first, last) \
  int Setter(HDC hdc, int mode) {                   \
    DC_OR(hdc, 0);                                  \
    if (mode < (first) || mode > (last)) return 0;  \
    int old = dc->state.field;                      \
    dc->state.field = mode;                         \
    return old;                                     \
  }                                                 \
  int Getter(HDC hdc) {                             \
    DC_OR(hdc, 0);                                  \
    return dc->state.field;                         \
  }

static_assert(TRANSPARENT + 1 == OPAQUE && ALTERNATE + 1 == WINDING, "two-valued modes are ranges");
DC_MODE(SetBkMode, GetBkMode, bkMode, TRANSPARENT, OPAQUE)
DC_MODE(SetROP2, GetROP2, rop2, R2_BLACK, R2_WHITE)
DC_MODE(SetStretchBltMode, GetStretchBltMode, stretchMode, BLACKONWHITE, HALFTONE)
DC_MODE(SetPolyFillMode, GetPolyFillMode, polyFillMode, ALTERNATE, WINDING)

COLORREF SetDCBrushColor(HDC hdc, COLORREF color) {
  DC_OR(hdc, CLR_INVALID);
  COLORREF old = dc->state.dcBrushColor;
  dc->state.dcBrushColor = color;
  return old;
}

COLORREF SetDCPenColor(HDC hdc, COLORREF color) {
  DC_OR(hdc, CLR_INVALID);
  COLORREF old = dc->state.dcPenColor;
  dc->state.dcPenColor = color;
  return old;
}

namespace {

BOOL SetPoint(HDC hdc, POINT DcState::*field, int x, int y, LPPOINT previous, bool offset) {
  DC_OR(hdc, FALSE);
  POINT& p = dc->state.*field;
  if (previous) *previous = p;
  p = offset ? POINT{p.x + x, p.y + y} : POINT{x, y};
  return TRUE;
}

BOOL GetPoint(HDC hdc, POINT DcState::*field, LPPOINT out) {
  DC_OR(hdc, FALSE);
  if (!out) return FALSE;
  *out = dc->state.*field;
  return TRUE;
}

}  // namespace

BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) { return SetPoint(hdc, &DcState::brushOrg, x, y, lppt, false); }
BOOL GetBrushOrgEx(HDC hdc, LPPOINT lppt) { return GetPoint(hdc, &DcState::brushOrg, lppt); }
BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) { return SetPoint(hdc, &DcState::windowOrg, x, y, lppt, false); }
BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppt) { return GetPoint(hdc, &DcState::windowOrg, lppt); }
BOOL OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) { return SetPoint(hdc, &DcState::windowOrg, x, y, lppt, true); }
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) { return SetPoint(hdc, &DcState::viewportOrg, x, y, lppt, false); }
BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppt) { return GetPoint(hdc, &DcState::viewportOrg, lppt); }
BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) { return SetPoint(hdc, &DcState::viewportOrg, x, y, lppt, true); }

int SetMapMode(HDC hdc, int mode) {
  DC_OR(hdc, 0);
  return mode == MM_TEXT ? MM_TEXT : 0;
}

int GetMapMode(HDC hdc) {
  DC_OR(hdc, 0);
  return MM_TEXT;
}

// In MM_TEXT the extents are fixed at (1, 1) and setting them is ignored, as on the platform.
namespace {
BOOL Extent(HDC hdc, LPSIZE out) {
  DC_OR(hdc, FALSE);
  if (out) *out = SIZE{1, 1};
  return TRUE;
}
}  // namespace

BOOL SetWindowExtEx(HDC hdc, int, int, LPSIZE lpsz) { return Extent(hdc, lpsz); }
BOOL GetWindowExtEx(HDC hdc, LPSIZE lpsize) { return lpsize ? Extent(hdc, lpsize) : FALSE; }
BOOL SetViewportExtEx(HDC hdc, int, int, LPSIZE lpsz) { return Extent(hdc, lpsz); }
BOOL GetViewportExtEx(HDC hdc, LPSIZE lpsize) { return lpsize ? Extent(hdc, lpsize) : FALSE; }

BOOL LPtoDP(HDC hdc, LPPOINT lppt, int c) {
  DC_OR(hdc, FALSE);
  for (int i = 0; i < c; ++i) lppt[i] = dc->ToDevice(lppt[i]);
  return TRUE;
}

BOOL DPtoLP(HDC hdc, LPPOINT lppt, int c) {
  DC_OR(hdc, FALSE);
  for (int i = 0; i < c; ++i) lppt[i] = dc->ToLogical(lppt[i]);
  return TRUE;
}

// ---- Clipping -----------------------------------------------------------------------------------

int SelectClipRgn(HDC hdc, HRGN hrgn) { return ExtSelectClipRgn(hdc, hrgn, RGN_COPY); }

int ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode) {
  DC_OR(hdc, ERROR);
  if (mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (!hrgn) {
    if (mode != RGN_COPY) return ERROR;
    return SetClip(*dc, std::nullopt);
  }
  auto region = LookupHandle<RegionObject>(hrgn, HandleKind::Region);
  if (!region) return ERROR;
  if (mode == RGN_COPY) return SetClip(*dc, region->region.Get());
  return SetClip(*dc, CurrentClip(*dc).Combine(region->region.Get(), mode));
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  DC_OR(hdc, ERROR);
  Region r(dc->ToDevice(RECT{left, top, right, bottom}));
  return SetClip(*dc, CurrentClip(*dc).Intersect(r));
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  DC_OR(hdc, ERROR);
  Region r(dc->ToDevice(RECT{left, top, right, bottom}));
  return SetClip(*dc, CurrentClip(*dc).Subtract(r));
}

int OffsetClipRgn(HDC hdc, int x, int y) {
  DC_OR(hdc, ERROR);
  if (!dc->state.clip) return dc->DrawClip().Type();
  Region moved = *dc->state.clip;
  moved.Offset(x, y);
  return SetClip(*dc, std::move(moved));
}

int GetClipBox(HDC hdc, LPRECT lprect) {
  DC_OR(hdc, ERROR);
  if (!lprect) return ERROR;
  const Region& clip = dc->DrawClip();
  RECT box = clip.Box();
  if (clip.IsEmpty()) {
    *lprect = RECT{0, 0, 0, 0};
    return NULLREGION;
  }
  POINT a = dc->ToLogical(POINT{box.left, box.top}), b = dc->ToLogical(POINT{box.right, box.bottom});
  *lprect = RECT{a.x, a.y, b.x, b.y};
  return clip.Type();
}

int GetClipRgn(HDC hdc, HRGN hrgn) {
  DC_OR(hdc, -1);
  auto region = LookupHandle<RegionObject>(hrgn, HandleKind::Region);
  if (!region) return -1;
  if (!dc->state.clip) return 0;
  region->region = *dc->state.clip;
  return 1;
}

BOOL PtVisible(HDC hdc, int x, int y) {
  DC_OR(hdc, -1);
  POINT p = dc->ToDevice(POINT{x, y});
  return dc->DrawClip().Contains(p.x, p.y) ? TRUE : FALSE;
}

BOOL RectVisible(HDC hdc, const RECT* lprect) {
  DC_OR(hdc, FALSE);
  if (!lprect) return FALSE;
  return dc->DrawClip().Intersects(dc->ToDevice(*lprect)) ? TRUE : FALSE;
}
