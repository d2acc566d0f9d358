// Lines and filled shapes drawn with the DC's pen and brush.
#include "gdi/shapes.h"

#include <algorithm>
#include <cmath>

#include "gdi/raster.h"
#include "last_error.h"
#include "win32/winerror.h"

namespace win32::gdi {

namespace {

// The part of [first, last) inside [low, high).
std::pair<int, int> Within(int first, int last, int low, int high) {
  return {std::max(first, low), std::min(last, high)};
}

const RECT kEverywhere{-int(kCoordinateLimit), -int(kCoordinateLimit), int(kCoordinateLimit), int(kCoordinateLimit)};

}  // namespace

Region RoundRectRegion(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight,
                       const RECT* limit) {
  left = Coordinate(left), top = Coordinate(top), right = Coordinate(right), bottom = Coordinate(bottom);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (!limit) limit = &kEverywhere;
  double rx = std::min(Coordinate(cornerWidth), right - left) / 2.0;
  double ry = std::min(Coordinate(cornerHeight), bottom - top) / 2.0;
  Region::RunBuilder runs;
  const auto [firstRow, endRow] = Within(top, bottom, limit->top, limit->bottom);
  for (int y = firstRow; y < endRow; ++y) {
    double cy = y + 0.5, dy = 0;
    if (cy < top + ry) dy = top + ry - cy;
    if (cy > bottom - ry) dy = cy - (bottom - ry);
    double half = rx;
    if (dy > 0) {
      if (ry <= 0) continue;
      double t = 1 - (dy / ry) * (dy / ry);
      if (t < 0) continue;
      half = rx * std::sqrt(t);
    }
    int x0 = static_cast<int>(std::ceil(left + rx - half - 0.5 - 1e-9));
    int x1 = static_cast<int>(std::floor(right - rx + half - 0.5 + 1e-9)) + 1;
    const auto [from, to] = Within(std::max(x0, left), std::min(x1, right), limit->left, limit->right);
    runs.AddRun(y, from, to);
  }
  return runs.Finish();
}

Region PolygonRegion(const POINT* points, int count, int fillMode, const RECT* limit) {
  if (!points || count < 3) return Region();
  if (!limit) limit = &kEverywhere;
  int top = points[0].y, bottom = points[0].y;
  for (int i = 1; i < count; ++i) {
    top = std::min<int>(top, points[i].y);
    bottom = std::max<int>(bottom, points[i].y);
  }
  Region::RunBuilder runs;
  std::vector<std::pair<double, int>> crossings;
  const auto [firstRow, endRow] = Within(top, bottom, limit->top, limit->bottom);
  for (int y = firstRow; y < endRow; ++y) {
    double cy = y + 0.5;
    crossings.clear();
    for (int i = 0; i < count; ++i) {
      const POINT& a = points[i];
      const POINT& b = points[(i + 1) % count];
      if (a.y == b.y) continue;
      bool down = b.y > a.y;
      double y0 = down ? a.y : b.y, y1 = down ? b.y : a.y;
      if (cy < y0 || cy >= y1) continue;
      double x = a.x + (cy - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y);
      crossings.push_back({x, down ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += fillMode == WINDING ? crossings[i].second : 1;
      bool inside = fillMode == WINDING ? winding != 0 : (winding & 1);
      if (!inside) continue;
      // Pixels whose centres lie in [xa, xb).
      const double edge = double(kCoordinateLimit);
      auto column = [edge](double x) { return static_cast<int>(std::clamp(std::ceil(x - 0.5), -edge, edge)); };
      const auto [from, to] = Within(column(crossings[i].first), column(crossings[i + 1].first), limit->left,
                                     limit->right);
      runs.AddRun(y, from, to);
    }
  }
  return runs.Finish();
}

Region InnerBorder(const Region& region) {
  // A pixel stays inside when its four neighbours are in the region too.
  Region core = region;
  for (POINT d : {POINT{1, 0}, POINT{-1, 0}, POINT{0, 1}, POINT{0, -1}}) {
    Region moved = region;
    moved.Offset(d.x, d.y);
    core = core.Intersect(moved);
  }
  return region.Subtract(core);
}

}  // namespace win32::gdi

using namespace win32;
using namespace win32::gdi;

namespace {

// On/off run lengths of the styled cosmetic pens, starting with "on".
std::vector<int> DashPattern(UINT style) {
  switch (style) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    default: return {};
  }
}

class PenPainter {
 public:
  explicit PenPainter(DeviceContext& dc) : dc_(dc), pen_(*dc.state.pen) {
    Surface& s = *dc.surface;
    color_ = s.FromColor(dc.Resolve(pen_.dcPen ? dc.state.dcPenColor : pen_.color));
    background_ = s.FromColor(dc.Resolve(dc.state.bkColor));
    rop_ = Rop2ToRop3(dc.state.rop2);
    mask_ = s.ValueMask();
    if (pen_.width <= 1) dashes_ = DashPattern(pen_.style);
  }

  bool IsNull() const { return pen_.style == PS_NULL; }
  int Width() const { return pen_.width; }

  // Device-unit line from a to b, b excluded.
  void Line(POINT a, POINT b) {
    if (IsNull()) return;
    int dx = b.x - a.x, dy = b.y - a.y;
    int adx = std::abs(dx), ady = std::abs(dy);
    int steps = std::max(adx, ady);
    // Only the steps whose dots can reach the clip are taken; the dash pattern keeps its phase.
    const RECT clip = dc_.DrawClip().Box();
    const int64_t half = (Width() - 1) / 2, width = Width();
    const bool horizontal = adx >= ady;
    const int64_t start = horizontal ? a.x : a.y, low = horizontal ? clip.left : clip.top,
                  high = horizontal ? clip.right : clip.bottom;
    const bool forward = (horizontal ? dx : dy) > 0;
    // A dot at c covers [c - half, c - half + width).
    int64_t first = forward ? low + half - width + 1 - start : start - high - half + 1;
    int64_t end = forward ? high + half - start : start - low - half + width;
    first = std::clamp<int64_t>(first, 0, steps);
    end = std::clamp<int64_t>(end, first, steps);
    step_ += first;
    // The pixel nearest the ideal line in the minor direction. A line passing exactly between two
    // pixels lights the one whose diamond owns that corner: the upper one for mostly horizontal
    // lines, the right one for mostly vertical lines, whichever way the line runs.
    for (int i = static_cast<int>(first); i < end; ++i) {
      int x, y;
      if (adx >= ady) {
        x = a.x + (dx > 0 ? i : -i);
        y = a.y - FloorDiv(adx - 2 * int64_t(i) * dy, 2 * int64_t(adx));
      } else {
        y = a.y + (dy > 0 ? i : -i);
        x = a.x + FloorDiv(2 * int64_t(i) * dx + ady, 2 * int64_t(ady));
      }
      Dot(x, y);
    }
    step_ += steps - end;
  }

  // Paints a pixel set with the pen colour through the ROP2.
  void Paint(const Region& region) {
    Region area = dc_.DrawClip().Intersect(region);
    PatternFill pen = PenFill();
    ApplyRop(dc_, area, rop_, nullptr, &pen);
  }

 private:
  static int FloorDiv(int64_t a, int64_t b) { return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b)); }

  PatternFill PenFill() const {
    return PatternFill(*dc_.surface, dc_.surface->ToColor(color_));
  }

  void Dot(int x, int y) {
    uint32_t value = color_;
    if (!dashes_.empty()) {
      int total = 0;
      for (int d : dashes_) total += d;
      int at = static_cast<int>(step_++ % total), i = 0;
      while (at >= dashes_[static_cast<size_t>(i)]) at -= dashes_[static_cast<size_t>(i++)];
      if (i % 2) {  // a gap: background colour when opaque
        if (dc_.state.bkMode == TRANSPARENT) return;
        value = background_;
      }
    }
    const RECT clip = dc_.DrawClip().Box();
    const int64_t w = Width(), half = (w - 1) / 2;
    const int64_t top = std::max<int64_t>(y - half, clip.top), bottom = std::min<int64_t>(y - half + w, clip.bottom);
    const int64_t left = std::max<int64_t>(x - half, clip.left), right = std::min<int64_t>(x - half + w, clip.right);
    for (int64_t py = top; py < bottom; ++py)
      for (int64_t px = left; px < right; ++px) Put(static_cast<int>(px), static_cast<int>(py), value);
  }

  void Put(int x, int y, uint32_t value) {
    if (!dc_.DrawClip().Contains(x, y)) return;
    Surface& s = *dc_.surface;
    int sx = x + dc_.origin.x, sy = y + dc_.origin.y;
    s.Put(sx, sy, Rop3(rop_, value, 0, s.Get(sx, sy)) & mask_);
  }

  DeviceContext& dc_;
  const PenObject& pen_;
  uint32_t color_ = 0, background_ = 0, mask_ = 0;
  uint8_t rop_ = 0xF0;
  std::vector<int> dashes_;
  int64_t step_ = 0;
};

// Fills a shape's pixels with the brush and frames them with the pen, as Rectangle, Ellipse,
// RoundRect and Polygon do.
void FillAndFrame(DeviceContext& dc, const Region& shape, const Region& frame) {
  PenPainter pen(dc);
  Region inside = pen.IsNull() ? shape : shape.Subtract(frame);
  FillDeviceRegion(dc, inside, *dc.state.brush, static_cast<DWORD>(Rop2ToRop3(dc.state.rop2)) << 16);
  if (!pen.IsNull()) pen.Paint(frame);
}

// The frame of a shape for the DC's pen: its one-pixel border, or a border as thick as the pen
// inside the shape.
Region FrameOf(const Region& shape, int width) {
  Region frame;
  Region rest = shape;
  for (int i = 0; i < std::max(1, width) && !rest.IsEmpty(); ++i) {
    Region ring = InnerBorder(rest);
    frame = frame.Union(ring);
    rest = rest.Subtract(ring);
  }
  return frame;
}

Region DeviceShape(const DeviceContext& dc, Region shape) {
  POINT o = dc.ToDevice(POINT{0, 0});
  shape.Offset(o.x, o.y);
  return shape;
}

}  // namespace

#define DC_OR_FAIL(hdc)                       \
  auto dc = FindDC(hdc);                      \
  if (!dc) return Fail(ERROR_INVALID_HANDLE);

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  DC_OR_FAIL(hdc);
  if (lppt) *lppt = dc->state.currentPos;
  dc->state.currentPos = POINT{x, y};
  return TRUE;
}

BOOL GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
  DC_OR_FAIL(hdc);
  if (!lppt) return FALSE;
  *lppt = dc->state.currentPos;
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  DC_OR_FAIL(hdc);
  PenPainter pen(*dc);
  pen.Line(dc->ToDevice(dc->state.currentPos), dc->ToDevice(POINT{x, y}));
  dc->state.currentPos = POINT{x, y};
  return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* apt, int cpt) {
  DC_OR_FAIL(hdc);
  if (!apt || cpt < 2) return FALSE;
  PenPainter pen(*dc);
  for (int i = 0; i + 1 < cpt; ++i) pen.Line(dc->ToDevice(apt[i]), dc->ToDevice(apt[i + 1]));
  return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* apt, int cpt) {
  DC_OR_FAIL(hdc);
  if (!apt || cpt < 2) return FALSE;
  std::vector<POINT> device(apt, apt + cpt);
  for (POINT& p : device) p = dc->ToDevice(p);
  const RECT clip = dc->DrawClip().Box();
  Region shape = PolygonRegion(device.data(), cpt, dc->state.polyFillMode, &clip);
  FillDeviceRegion(*dc, shape, *dc->state.brush, static_cast<DWORD>(Rop2ToRop3(dc->state.rop2)) << 16);
  PenPainter pen(*dc);
  for (int i = 0; i < cpt; ++i) pen.Line(device[static_cast<size_t>(i)], device[static_cast<size_t>((i + 1) % cpt)]);
  return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  DC_OR_FAIL(hdc);
  RECT r = dc->ToDevice(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
  PenPainter pen(*dc);
  // Without a pen the filled area loses its last column and row, as on the platform.
  if (pen.IsNull()) {
    FillDeviceRegion(*dc, Region(r.left, r.top, r.right - 1, r.bottom - 1), *dc->state.brush,
                     static_cast<DWORD>(Rop2ToRop3(dc->state.rop2)) << 16);
    return TRUE;
  }
  Region shape(r);
  FillAndFrame(*dc, shape, FrameOf(shape, pen.Width()));
  return TRUE;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
  DC_OR_FAIL(hdc);
  // Only the part that can reach the clip is made, with room for the pen's frame inside the shape.
  const POINT o = dc->ToDevice(POINT{0, 0});
  const RECT clip = dc->DrawClip().Box();
  const int margin = Coordinate(int64_t{dc->state.pen->width} + 1);
  const RECT limit = {Coordinate(int64_t{clip.left} - o.x - margin), Coordinate(int64_t{clip.top} - o.y - margin),
                      Coordinate(int64_t{clip.right} - o.x + margin), Coordinate(int64_t{clip.bottom} - o.y + margin)};
  Region shape = DeviceShape(*dc, RoundRectRegion(left, top, right, bottom, width, height, &limit));
  FillAndFrame(*dc, shape, FrameOf(shape, dc->state.pen->width));
  return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  DC_OR_FAIL(hdc);
  return RoundRect(hdc, left, top, right, bottom, Coordinate(std::abs(int64_t{right} - left)),
                   Coordinate(std::abs(int64_t{bottom} - top)));
}
