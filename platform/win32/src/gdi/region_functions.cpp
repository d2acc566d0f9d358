// Region handles: construction, algebra, queries, region data and painting regions.
#include <algorithm>
#include <cstring>

#include "gdi/raster.h"
#include "gdi/shapes.h"
#include "last_error.h"
#include "win32/winerror.h"

using namespace win32;
using namespace win32::gdi;

namespace {

std::shared_ptr<RegionObject> FindRegion(HRGN h) { return LookupHandle<RegionObject>(h, HandleKind::Region); }

HRGN NewRegion(Region region) {
  auto object = std::make_shared<RegionObject>();
  object->region = std::move(region);
  return AddGdiObject<HRGN>(HandleKind::Region, object);
}

RECT Sorted(int x1, int y1, int x2, int y2) {
  return RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// A logical region in the DC's device units.
Region OnDevice(const DeviceContext& dc, Region region) {
  POINT o = dc.ToDevice(POINT{0, 0});
  region.Offset(o.x, o.y);
  return region;
}

}  // namespace

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) { return NewRegion(Region(Sorted(x1, y1, x2, y2))); }

HRGN CreateRectRgnIndirect(const RECT* lprect) {
  if (!lprect) return nullptr;
  return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN CreateEllipticRgn(int x1, int y1, int x2, int y2) {
  RECT r = Sorted(x1, y1, x2, y2);
  return NewRegion(RoundRectRegion(r.left, r.top, r.right, r.bottom, Coordinate(int64_t{r.right} - r.left),
                                   Coordinate(int64_t{r.bottom} - r.top)));
}

HRGN CreateEllipticRgnIndirect(const RECT* lprect) {
  if (!lprect) return nullptr;
  return CreateEllipticRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
  RECT r = Sorted(x1, y1, x2, y2);
  return NewRegion(RoundRectRegion(r.left, r.top, r.right, r.bottom, Coordinate(std::abs(int64_t{w})),
                                   Coordinate(std::abs(int64_t{h}))));
}

HRGN CreatePolygonRgn(const POINT* pptl, int cPoint, int iMode) {
  if (!pptl || cPoint < 0 || (iMode != ALTERNATE && iMode != WINDING)) {
    Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return NewRegion(PolygonRegion(pptl, cPoint, iMode));
}

int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
  auto dst = FindRegion(hrgnDst);
  auto a = FindRegion(hrgnSrc1);
  if (!dst || !a || iMode < RGN_AND || iMode > RGN_COPY) return ERROR;
  if (iMode == RGN_COPY) {
    dst->region = a->region.Get();
    return dst->region.Type();
  }
  auto b = FindRegion(hrgnSrc2);
  if (!b) return ERROR;
  const Region& other = b->region.Get();
  RECT box = other.Box();
  if (iMode == RGN_XOR && dst == a && other.Type() == SIMPLEREGION && box.right - box.left == 1 &&
      box.bottom - box.top == 1) {  // one pixel more or less: see HandleRegion
    dst->region.TogglePixel(box.left, box.top);
    return dst->region.Type();
  }
  dst->region = a->region.Get().Combine(other, iMode);
  return dst->region.Type();
}

BOOL SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom) {
  auto r = FindRegion(hrgn);
  if (!r) return FALSE;
  r->region = Region(Sorted(left, top, right, bottom));
  return TRUE;
}

int OffsetRgn(HRGN hrgn, int x, int y) {
  auto r = FindRegion(hrgn);
  if (!r) return ERROR;
  Region moved = r->region.Get();
  moved.Offset(x, y);
  r->region = std::move(moved);
  return r->region.Type();
}

BOOL PtInRegion(HRGN hrgn, int x, int y) {
  auto r = FindRegion(hrgn);
  return r && r->region.Get().Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN hrgn, const RECT* lprect) {
  auto r = FindRegion(hrgn);
  if (!r || !lprect) return FALSE;
  return r->region.Get().Intersects(Sorted(lprect->left, lprect->top, lprect->right, lprect->bottom)) ? TRUE : FALSE;
}

int GetRgnBox(HRGN hrgn, LPRECT lprc) {
  auto r = FindRegion(hrgn);
  if (!r || !lprc) return ERROR;
  *lprc = r->region.Get().Box();
  return r->region.Type();
}

BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2) {
  auto a = FindRegion(hrgn1);
  auto b = FindRegion(hrgn2);
  if (!a || !b) return ERROR;
  return a->region.Get() == b->region.Get() ? TRUE : FALSE;
}

DWORD GetRegionData(HRGN hrgn, DWORD nCount, LPRGNDATA lpRgnData) {
  auto r = FindRegion(hrgn);
  if (!r) return 0;
  std::vector<RECT> rects = r->region.Get().Rects();
  DWORD needed = static_cast<DWORD>(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  if (!lpRgnData) return needed;
  if (nCount < needed) return 0;
  RGNDATAHEADER& h = lpRgnData->rdh;
  h.dwSize = sizeof(RGNDATAHEADER);
  h.iType = RDH_RECTANGLES;
  h.nCount = static_cast<DWORD>(rects.size());
  h.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  h.rcBound = r->region.Get().Box();
  if (!rects.empty()) std::memcpy(lpRgnData->Buffer, rects.data(), rects.size() * sizeof(RECT));
  return nCount;
}

HRGN ExtCreateRegion(const void* lpx, DWORD nCount, const RGNDATA* lpData) {
  if (lpx || !lpData || nCount < sizeof(RGNDATAHEADER) || lpData->rdh.dwSize != sizeof(RGNDATAHEADER) ||
      lpData->rdh.iType != RDH_RECTANGLES ||
      lpData->rdh.nCount > (nCount - sizeof(RGNDATAHEADER)) / sizeof(RECT)) {
    Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<RECT> rects(lpData->rdh.nCount);
  if (!rects.empty()) std::memcpy(rects.data(), lpData->Buffer, rects.size() * sizeof(RECT));
  for (RECT& rc : rects) rc = Sorted(rc.left, rc.top, rc.right, rc.bottom);
  return NewRegion(Region::FromRects(rects));
}

BOOL FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr) {
  auto dc = FindDC(hdc);
  auto r = FindRegion(hrgn);
  auto brush = LookupHandle<BrushObject>(hbr, HandleKind::Brush);
  if (!dc || !r || !brush) return FALSE;
  FillDeviceRegion(*dc, OnDevice(*dc, r->region.Get()), *brush, PATCOPY);
  return TRUE;
}

BOOL PaintRgn(HDC hdc, HRGN hrgn) {
  auto dc = FindDC(hdc);
  auto r = FindRegion(hrgn);
  if (!dc || !r) return FALSE;
  FillDeviceRegion(*dc, OnDevice(*dc, r->region.Get()), *dc->state.brush,
                   static_cast<DWORD>(Rop2ToRop3(dc->state.rop2)) << 16);
  return TRUE;
}

BOOL InvertRgn(HDC hdc, HRGN hrgn) {
  auto dc = FindDC(hdc);
  auto r = FindRegion(hrgn);
  if (!dc || !r) return FALSE;
  ApplyRop(*dc, dc->DrawClip().Intersect(OnDevice(*dc, r->region.Get())), RopIndex(DSTINVERT), nullptr, nullptr);
  return TRUE;
}

BOOL FrameRgn(HDC hdc, HRGN hrgn, HBRUSH hbr, int w, int h) {
  auto dc = FindDC(hdc);
  auto r = FindRegion(hrgn);
  auto brush = LookupHandle<BrushObject>(hbr, HandleKind::Brush);
  if (!dc || !r || !brush || w <= 0 || h <= 0) return FALSE;
  // The frame is what is lost by shrinking the region w pixels sideways and h pixels up and down.
  Region core = r->region.Get();
  for (int d = 1; d <= w; ++d) {
    for (int sign : {1, -1}) {
      Region moved = r->region.Get();
      moved.Offset(sign * d, 0);
      core = core.Intersect(moved);
    }
  }
  for (int d = 1; d <= h; ++d) {
    for (int sign : {1, -1}) {
      Region moved = r->region.Get();
      moved.Offset(0, sign * d);
      core = core.Intersect(moved);
    }
  }
  FillDeviceRegion(*dc, OnDevice(*dc, r->region.Get().Subtract(core)), *brush, PATCOPY);
  return TRUE;
}
