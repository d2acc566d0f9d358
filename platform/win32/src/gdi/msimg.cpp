// The msimg32 functions: keyed copies, gradients and alpha blending. Also exported by the built-in
// module "msimg32.dll" for code that binds them at run time.
#include <algorithm>
#include <cmath>

#include "gdi/raster.h"
#include "last_error.h"
#include "win32/winerror.h"
#include "win32/winmodule.h"

using namespace win32;
using namespace win32::gdi;

namespace {

// Nearest sampling: the source column (row) of destination column (row) i of n.
int Sample(int i, int n, int sn, int base) { return base + static_cast<int>(int64_t{i} * sn / n); }

struct Placement {
  RECT dest;            // device units
  int sx, sy, sw, sh;   // source surface rectangle
  int Column(int x) const { return Sample(x - dest.left, dest.right - dest.left, sw, sx); }
  int Row(int y) const { return Sample(y - dest.top, dest.bottom - dest.top, sh, sy); }
};

// Destination and source geometry of a copy; false when the arguments are unusable.
bool Place(const DeviceContext& dc, int xd, int yd, int wd, int hd, const DeviceContext& src, int xs, int ys, int ws,
           int hs, bool sourceMustFit, Placement* out) {
  if (wd < 0 || hd < 0 || ws < 0 || hs < 0) return false;
  POINT s = src.ToDevice(POINT{xs, ys});
  s.x += src.origin.x;
  s.y += src.origin.y;
  const Surface& surface = *src.surface;
  if (sourceMustFit && (s.x < 0 || s.y < 0 || int64_t{s.x} + ws > surface.width || int64_t{s.y} + hs > surface.height))
    return false;
  POINT d = dc.ToDevice(POINT{xd, yd});
  *out = Placement{Box(d.x, d.y, wd, hd), s.x, s.y, Coordinate(ws), Coordinate(hs)};
  return true;
}

bool Inside(const Surface& s, int x, int y) { return x >= 0 && y >= 0 && x < s.width && y < s.height; }

int Div255(int v) { return (v + 127) / 255; }

}  // namespace

BOOL TransparentBlt(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc, int xoriginSrc,
                    int yoriginSrc, int wSrc, int hSrc, UINT crTransparent) {
  auto dc = FindDC(hdcDest);
  auto src = FindDC(hdcSrc);
  if (!dc || !src) return Fail(ERROR_INVALID_HANDLE);
  Placement p;
  if (!Place(*dc, xoriginDest, yoriginDest, wDest, hDest, *src, xoriginSrc, yoriginSrc, wSrc, hSrc, false, &p))
    return Fail(ERROR_INVALID_PARAMETER);
  const Surface& from = *src->surface;
  Surface& to = *dc->surface;
  // The key is compared as the source stores it (the fourth byte of 32-bit pixels aside).
  uint32_t keyMask = from.format.bitsPerPixel == 32 ? 0x00FFFFFF : ~0u;
  uint32_t key = from.FromColor(crTransparent & 0x00FFFFFF) & keyMask;
  SourceMap map(from, src->Resolve(src->state.bkColor), to, dc->Resolve(dc->state.textColor),
                dc->Resolve(dc->state.bkColor));
  bool direct = map.IsIdentity() && from.format.bitsPerPixel == 32 && to.format.bitsPerPixel == 32;
  Region area = ClipTo(*dc, p.dest);
  int ox = dc->origin.x, oy = dc->origin.y;
  for (const RECT& r : area.Rects()) {
    for (int y = r.top; y < r.bottom; ++y) {
      int sy = p.Row(y);
      if (sy < 0 || sy >= from.height) continue;
      if (direct && p.Column(r.left) >= 0 && p.Column(r.right - 1) < from.width) {
        const uint32_t* in = reinterpret_cast<const uint32_t*>(from.Row(sy));
        uint32_t* out = reinterpret_cast<uint32_t*>(to.Row(y + oy));
        if (p.sw == p.dest.right - p.dest.left) {  // same width: no sampling
          const int shift = p.sx - p.dest.left;
          for (int x = r.left; x < r.right; ++x) {
            uint32_t v = in[x + shift];
            if ((v & 0x00FFFFFF) != key) out[x + ox] = v;
          }
          continue;
        }
        for (int x = r.left; x < r.right; ++x) {
          uint32_t v = in[p.Column(x)];
          if ((v & 0x00FFFFFF) != key) out[x + ox] = v;
        }
        continue;
      }
      for (int x = r.left; x < r.right; ++x) {
        int sx = p.Column(x);
        if (!Inside(from, sx, sy)) continue;
        uint32_t v = from.Get(sx, sy);
        if ((v & keyMask) == key) continue;
        to.Put(x + ox, y + oy, map(v));
      }
    }
  }
  return TRUE;
}

BOOL AlphaBlend(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc, int xoriginSrc,
                int yoriginSrc, int wSrc, int hSrc, BLENDFUNCTION ftn) {
  auto dc = FindDC(hdcDest);
  auto src = FindDC(hdcSrc);
  if (!dc || !src) return Fail(ERROR_INVALID_HANDLE);
  if (ftn.BlendOp != AC_SRC_OVER || ftn.BlendFlags != 0 || (ftn.AlphaFormat & ~AC_SRC_ALPHA))
    return Fail(ERROR_INVALID_PARAMETER);
  Placement p;
  if (!Place(*dc, xoriginDest, yoriginDest, wDest, hDest, *src, xoriginSrc, yoriginSrc, wSrc, hSrc, true, &p))
    return Fail(ERROR_INVALID_PARAMETER);
  const Surface& from = *src->surface;
  Surface& to = *dc->surface;
  bool perPixel = (ftn.AlphaFormat & AC_SRC_ALPHA) && from.format.bitsPerPixel == 32;
  int constant = ftn.SourceConstantAlpha;
  bool destAlpha = to.format.bitsPerPixel == 32;
  Region area = ClipTo(*dc, p.dest);
  for (const RECT& r : area.Rects()) {
    for (int y = r.top; y < r.bottom; ++y) {
      int sy = p.Row(y);
      for (int x = r.left; x < r.right; ++x) {
        int sx = p.Column(x);
        uint32_t sv = from.Get(sx, sy);
        COLORREF s = from.ToColor(sv);
        int dx = x + dc->origin.x, dy = y + dc->origin.y;
        uint32_t dv = to.Get(dx, dy);
        COLORREF d = to.ToColor(dv);
        // Source channels scaled by the constant alpha; the destination keeps 255 - the
        // effective alpha (the pixel's own alpha, premultiplied, times the constant).
        int sa = perPixel ? Div255(static_cast<int>(sv >> 24) * constant) : constant;
        auto blend = [&](int sc, int dcv) { return std::min(255, Div255(sc * constant) + Div255(dcv * (255 - sa))); };
        uint32_t out = to.FromColor(RGB(blend(GetRValue(s), GetRValue(d)), blend(GetGValue(s), GetGValue(d)),
                                        blend(GetBValue(s), GetBValue(d))));
        if (destAlpha) {
          int a = std::min(255, sa + Div255(static_cast<int>(dv >> 24) * (255 - sa)));
          out = (out & 0x00FFFFFF) | (static_cast<uint32_t>(a) << 24);
        }
        to.Put(dx, dy, out);
      }
    }
  }
  return TRUE;
}

namespace {

int Lerp(int a, int b, int64_t num, int64_t den) { return den ? static_cast<int>(a + (b - a) * num / den) : a; }

void FillGradientRect(DeviceContext& dc, const TRIVERTEX& a, const TRIVERTEX& b, bool vertical) {
  POINT p0 = dc.ToDevice(POINT{a.x, a.y}), p1 = dc.ToDevice(POINT{b.x, b.y});
  // A rectangle given right to left (bottom to top) runs its colours the same way.
  const TRIVERTEX* first = &a;
  const TRIVERTEX* last = &b;
  if ((vertical ? p0.y > p1.y : p0.x > p1.x)) std::swap(first, last);
  RECT r{std::min(p0.x, p1.x), std::min(p0.y, p1.y), std::max(p0.x, p1.x), std::max(p0.y, p1.y)};
  int span = vertical ? r.bottom - r.top : r.right - r.left;
  Surface& s = *dc.surface;
  Region area = ClipTo(dc, r);
  for (const RECT& c : area.Rects()) {
    for (int y = c.top; y < c.bottom; ++y) {
      for (int x = c.left; x < c.right; ++x) {
        int i = vertical ? y - r.top : x - r.left;
        COLORREF color = RGB(Lerp(first->Red, last->Red, i, span) >> 8, Lerp(first->Green, last->Green, i, span) >> 8,
                             Lerp(first->Blue, last->Blue, i, span) >> 8);
        s.Put(x + dc.origin.x, y + dc.origin.y, s.FromColor(color));
      }
    }
  }
}

void FillGradientTriangle(DeviceContext& dc, const TRIVERTEX& a, const TRIVERTEX& b, const TRIVERTEX& c) {
  POINT p[3] = {dc.ToDevice(POINT{a.x, a.y}), dc.ToDevice(POINT{b.x, b.y}), dc.ToDevice(POINT{c.x, c.y})};
  const TRIVERTEX* v[3] = {&a, &b, &c};
  // Twice the signed area; pixel centres are tested with the same edge functions.
  int64_t area2 = int64_t(p[1].x - p[0].x) * (p[2].y - p[0].y) - int64_t(p[2].x - p[0].x) * (p[1].y - p[0].y);
  if (area2 == 0) return;
  RECT box{std::min({p[0].x, p[1].x, p[2].x}), std::min({p[0].y, p[1].y, p[2].y}),
           std::max({p[0].x, p[1].x, p[2].x}) + 1, std::max({p[0].y, p[1].y, p[2].y}) + 1};
  Surface& s = *dc.surface;
  Region clip = ClipTo(dc, box);
  for (const RECT& r : clip.Rects()) {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        // Edge weights at the pixel centre, in units of half pixels.
        int64_t px = 2 * x + 1, py = 2 * y + 1;
        int64_t w[3];
        for (int i = 0; i < 3; ++i) {
          const POINT& e0 = p[(i + 1) % 3];
          const POINT& e1 = p[(i + 2) % 3];
          w[i] = int64_t(e1.x - e0.x) * (py - 2 * e0.y) - int64_t(e1.y - e0.y) * (px - 2 * e0.x);
          if (area2 < 0) w[i] = -w[i];
        }
        if (w[0] < 0 || w[1] < 0 || w[2] < 0) continue;
        int64_t total = w[0] + w[1] + w[2];
        auto channel = [&](COLOR16 TRIVERTEX::*field) {
          int64_t sum = 0;
          for (int i = 0; i < 3; ++i) sum += w[i] * (v[i]->*field);
          return static_cast<int>(sum / total) >> 8;
        };
        COLORREF color = RGB(channel(&TRIVERTEX::Red), channel(&TRIVERTEX::Green), channel(&TRIVERTEX::Blue));
        s.Put(x + dc.origin.x, y + dc.origin.y, s.FromColor(color));
      }
    }
  }
}

}  // namespace

BOOL GradientFill(HDC hdc, PTRIVERTEX pVertex, ULONG nVertex, PVOID pMesh, ULONG nMesh, ULONG ulMode) {
  auto dc = FindDC(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (!pVertex || !pMesh || ulMode > GRADIENT_FILL_TRIANGLE) return Fail(ERROR_INVALID_PARAMETER);
  if (ulMode == GRADIENT_FILL_TRIANGLE) {
    const GRADIENT_TRIANGLE* t = static_cast<const GRADIENT_TRIANGLE*>(pMesh);
    for (ULONG i = 0; i < nMesh; ++i)
      if (t[i].Vertex1 >= nVertex || t[i].Vertex2 >= nVertex || t[i].Vertex3 >= nVertex)
        return Fail(ERROR_INVALID_PARAMETER);
    for (ULONG i = 0; i < nMesh; ++i)
      FillGradientTriangle(*dc, pVertex[t[i].Vertex1], pVertex[t[i].Vertex2], pVertex[t[i].Vertex3]);
    return TRUE;
  }
  const GRADIENT_RECT* r = static_cast<const GRADIENT_RECT*>(pMesh);
  for (ULONG i = 0; i < nMesh; ++i)
    if (r[i].UpperLeft >= nVertex || r[i].LowerRight >= nVertex) return Fail(ERROR_INVALID_PARAMETER);
  for (ULONG i = 0; i < nMesh; ++i)
    FillGradientRect(*dc, pVertex[r[i].UpperLeft], pVertex[r[i].LowerRight], ulMode == GRADIENT_FILL_RECT_V);
  return TRUE;
}

namespace {

const BuiltinExport kMsimgExports[] = {
    {"TransparentBlt", reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&TransparentBlt))},
    {"GradientFill", reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&GradientFill))},
    {"AlphaBlend", reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&AlphaBlend))},
};

const bool kMsimgRegistered = [] {
  RegisterBuiltinModule("msimg32.dll", kMsimgExports, sizeof kMsimgExports / sizeof kMsimgExports[0]);
  return true;
}();

}  // namespace
