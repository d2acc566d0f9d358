// The user32 side of drawing: rectangles, system colours, filled and framed rectangles, edges,
// frame controls, focus rectangles and state drawing.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <mutex>
#include <string>

#include "gdi/raster.h"
#include "last_error.h"
#include "win32/platform_config.h"
#include "win32/winerror.h"
#include "win32/winuser_draw.h"

namespace win32::gdi {
namespace {
DrawStateRenderer g_drawStateRenderer = nullptr;
}  // namespace

void SetDrawStateRenderer(DrawStateRenderer renderer) { g_drawStateRenderer = renderer; }

}  // namespace win32::gdi

using namespace win32;
using namespace win32::gdi;

// ---- Rectangles ---------------------------------------------------------------------------------

BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
  if (!lprc) return FALSE;
  *lprc = RECT{xLeft, yTop, xRight, yBottom};
  return TRUE;
}

BOOL SetRectEmpty(LPRECT lprc) { return SetRect(lprc, 0, 0, 0, 0); }

BOOL CopyRect(LPRECT lprcDst, const RECT* lprcSrc) {
  if (!lprcDst || !lprcSrc) return FALSE;
  *lprcDst = *lprcSrc;
  return TRUE;
}

BOOL InflateRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  *lprc = RECT{lprc->left - dx, lprc->top - dy, lprc->right + dx, lprc->bottom + dy};
  return TRUE;
}

BOOL OffsetRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  *lprc = RECT{lprc->left + dx, lprc->top + dy, lprc->right + dx, lprc->bottom + dy};
  return TRUE;
}

BOOL IsRectEmpty(const RECT* lprc) { return !lprc || lprc->left >= lprc->right || lprc->top >= lprc->bottom; }

BOOL EqualRect(const RECT* a, const RECT* b) {
  return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* lprc, POINT pt) {
  return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

BOOL IntersectRect(LPRECT lprcDst, const RECT* a, const RECT* b) {
  if (!lprcDst || !a || !b) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(a) || IsRectEmpty(b) || IsRectEmpty(&r)) {
    *lprcDst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *lprcDst = r;
  return TRUE;
}

BOOL UnionRect(LPRECT lprcDst, const RECT* a, const RECT* b) {
  if (!lprcDst || !a || !b) return FALSE;
  bool ea = IsRectEmpty(a), eb = IsRectEmpty(b);
  if (ea && eb) {
    *lprcDst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  if (ea) *lprcDst = *b;
  else if (eb) *lprcDst = *a;
  else
    *lprcDst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                    std::max(a->bottom, b->bottom)};
  return TRUE;
}

BOOL SubtractRect(LPRECT lprcDst, const RECT* a, const RECT* b) {
  if (!lprcDst || !a || !b) return FALSE;
  // The result shrinks only when b covers a whole side of a.
  RECT r = *a, cut;
  if (IntersectRect(&cut, a, b)) {
    if (cut.top == a->top && cut.bottom == a->bottom) {
      if (cut.left == a->left) r.left = cut.right;
      else if (cut.right == a->right) r.right = cut.left;
    } else if (cut.left == a->left && cut.right == a->right) {
      if (cut.top == a->top) r.top = cut.bottom;
      else if (cut.bottom == a->bottom) r.bottom = cut.top;
    }
  }
  if (IsRectEmpty(&r)) {
    *lprcDst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *lprcDst = r;
  return TRUE;
}

// ---- System colours -----------------------------------------------------------------------------

namespace {

constexpr int kSysColorCount = COLOR_MENUBAR + 1;

struct SysColors {
  std::array<COLORREF, kSysColorCount> colors{};
  std::array<HBRUSH, kSysColorCount> brushes{};
  std::mutex lock;
};

SysColors& Colors() {
  static SysColors* table = [] {
    auto* t = new SysColors;  // never destroyed: used from static destructors
    // A flat, light face with a blue caption. The selection, grey text and menu colours are the
    // ones the styled menus are drawn against and stay as they were.
    t->colors = {RGB(240, 240, 240), RGB(0, 78, 152),    RGB(0, 120, 215),   RGB(243, 243, 243),
                 RGB(255, 255, 255), RGB(255, 255, 255), RGB(122, 122, 122), RGB(0, 0, 0),
                 RGB(0, 0, 0),       RGB(255, 255, 255), RGB(240, 240, 240), RGB(240, 240, 240),
                 RGB(171, 171, 171), RGB(49, 106, 197),  RGB(255, 255, 255), RGB(240, 240, 240),
                 RGB(160, 160, 160), RGB(172, 168, 153), RGB(0, 0, 0),       RGB(120, 120, 120),
                 RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
                 RGB(255, 255, 225), RGB(181, 181, 181), RGB(0, 102, 204),   RGB(0, 120, 215),
                 RGB(243, 243, 243), RGB(49, 106, 197),  RGB(236, 233, 216)};
    // Overrides: "index=RRGGBB" separated by ';' or ','.
    const std::string& overrides = platform_config::Config().systemColors;
    size_t at = 0;
    while (at < overrides.size()) {
      size_t end = overrides.find_first_of(";,", at);
      if (end == std::string::npos) end = overrides.size();
      std::string entry = overrides.substr(at, end - at);
      size_t eq = entry.find('=');
      if (eq != std::string::npos && eq > 0 && entry.size() - eq - 1 == 6) {
        char* stop = nullptr;
        long index = std::strtol(entry.c_str(), &stop, 10);
        unsigned long rgb = std::strtoul(entry.c_str() + eq + 1, nullptr, 16);
        if (stop == entry.c_str() + eq && index >= 0 && index < kSysColorCount)
          t->colors[static_cast<size_t>(index)] = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
      }
      at = end + 1;
    }
    return t;
  }();
  return *table;
}

// FillRect and friends take a system colour index + 1 in place of a brush.
std::shared_ptr<BrushObject> BrushOf(HBRUSH hbr) {
  uintptr_t value = reinterpret_cast<uintptr_t>(hbr);
  if (value > 0 && value <= kSysColorCount) hbr = GetSysColorBrush(static_cast<int>(value - 1));
  return LookupHandle<BrushObject>(hbr, HandleKind::Brush);
}

}  // namespace

DWORD GetSysColor(int nIndex) {
  if (nIndex < 0 || nIndex >= kSysColorCount) return 0;
  return Colors().colors[static_cast<size_t>(nIndex)];
}

HBRUSH GetSysColorBrush(int nIndex) {
  if (nIndex < 0 || nIndex >= kSysColorCount) return nullptr;
  SysColors& c = Colors();
  std::lock_guard<std::mutex> guard(c.lock);
  HBRUSH& brush = c.brushes[static_cast<size_t>(nIndex)];
  if (!brush) {
    auto object = std::make_shared<BrushObject>();
    object->color = c.colors[static_cast<size_t>(nIndex)];
    object->stock = true;
    brush = AddGdiObject<HBRUSH>(HandleKind::Brush, object);
  }
  return brush;
}

// ---- Filling and framing ------------------------------------------------------------------------

namespace {

void FillLogical(DeviceContext& dc, const RECT& r, const BrushObject& brush) {
  if (r.left >= r.right || r.top >= r.bottom) return;
  FillDeviceRegion(dc, Region(dc.ToDevice(r)), brush, PATCOPY);
}

void FillColor(DeviceContext& dc, const RECT& r, COLORREF color) {
  if (r.left >= r.right || r.top >= r.bottom) return;
  FillDeviceRect(dc, dc.ToDevice(r), color);
}

}  // namespace

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  auto dc = FindDC(hDC);
  auto brush = BrushOf(hbr);
  if (!dc || !lprc || !brush) return 0;
  FillLogical(*dc, *lprc, *brush);
  return 1;
}

int FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  auto dc = FindDC(hDC);
  auto brush = BrushOf(hbr);
  if (!dc || !lprc || !brush) return 0;
  const RECT r = Clamped(*lprc);
  if (r.left >= r.right || r.top >= r.bottom) return 1;
  Region frame = Region(dc->ToDevice(r)).Subtract(Region(dc->ToDevice(RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1})));
  FillDeviceRegion(*dc, frame, *brush, PATCOPY);
  return 1;
}

BOOL InvertRect(HDC hDC, const RECT* lprc) {
  auto dc = FindDC(hDC);
  if (!dc || !lprc) return FALSE;
  ApplyRop(*dc, ClipTo(*dc, dc->ToDevice(*lprc)), RopIndex(DSTINVERT), nullptr, nullptr);
  return TRUE;
}

BOOL DrawFocusRect(HDC hDC, const RECT* lprc) {
  auto dc = FindDC(hDC);
  if (!dc || !lprc) return FALSE;
  RECT r = dc->ToDevice(*lprc);
  if (r.left >= r.right || r.top >= r.bottom) return TRUE;
  Region frame = Region(r).Subtract(Region(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1));
  // Every other pixel (checkerboard in device units) is inverted, so a second call undoes it.
  Surface& s = *dc->surface;
  uint32_t mask = s.ValueMask();
  for (const RECT& c : dc->DrawClip().Intersect(frame).Rects()) {
    for (int y = c.top; y < c.bottom; ++y) {
      for (int x = c.left; x < c.right; ++x) {
        if ((x + y) & 1) continue;
        int sx = x + dc->origin.x, sy = y + dc->origin.y;
        s.Put(sx, sy, ~s.Get(sx, sy) & mask);
      }
    }
  }
  return TRUE;
}

// ---- Edges --------------------------------------------------------------------------------------

namespace {

// One ring of an edge: top and left in one colour, right and bottom in another.
void Ring(DeviceContext& dc, RECT& r, UINT sides, COLORREF topLeft, COLORREF bottomRight) {
  if (sides & BF_TOP) FillColor(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  if (sides & BF_LEFT) FillColor(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
  if (sides & BF_RIGHT) FillColor(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
  if (sides & BF_BOTTOM) FillColor(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  if (sides & BF_LEFT) ++r.left;
  if (sides & BF_TOP) ++r.top;
  if (sides & BF_RIGHT) --r.right;
  if (sides & BF_BOTTOM) --r.bottom;
}

void DiagonalEdge(DeviceContext& dc, const RECT& r, UINT flags, COLORREF color) {
  // From the corner the flags do not name to the one they do.
  int w = r.right - r.left, h = r.bottom - r.top, n = std::min(w, h);
  bool endRight = flags & BF_RIGHT, endTop = flags & BF_TOP;
  // Only the steps whose column can reach the clip are taken.
  const RECT clip = dc.DrawClip().Box();
  const int left = dc.ToLogical(POINT{clip.left, 0}).x, right = dc.ToLogical(POINT{clip.right, 0}).x;
  const int first = std::max(0, endRight ? left - r.left : r.right - right);
  n = std::min(n, endRight ? right - r.left : r.right - left);
  for (int i = first; i < n; ++i) {
    int x = endRight ? r.left + i : r.right - 1 - i;
    int y = endTop ? r.bottom - 1 - i : r.top + i;
    FillColor(dc, RECT{x, y, x + 1, y + 1}, color);
  }
}

}  // namespace

BOOL DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags) {
  auto dc = FindDC(hdc);
  if (!dc || !qrc) return FALSE;
  RECT r = Clamped(*qrc);
  UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
  COLORREF light = GetSysColor(COLOR_3DLIGHT), highlight = GetSysColor(COLOR_BTNHIGHLIGHT),
           shadow = GetSysColor(COLOR_BTNSHADOW), dark = GetSysColor(COLOR_3DDKSHADOW), face = GetSysColor(COLOR_BTNFACE);
  if (grfFlags & BF_DIAGONAL) {
    COLORREF color = (outer & BDR_RAISEDOUTER) ? dark : (outer & BDR_SUNKENOUTER) ? highlight : shadow;
    DiagonalEdge(*dc, r, grfFlags, color);
    return TRUE;
  }
  UINT sides = grfFlags & BF_RECT;
  COLORREF middle = face;
  if (grfFlags & BF_MONO) {
    COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
    if (outer) Ring(*dc, r, sides, frame, frame);
    if (inner) Ring(*dc, r, sides, frame, frame);
    middle = GetSysColor(COLOR_WINDOW);
  } else if (grfFlags & BF_FLAT) {
    if (outer) Ring(*dc, r, sides, shadow, shadow);
    if (inner) Ring(*dc, r, sides, face, face);
  } else {
    bool soft = grfFlags & BF_SOFT;
    // Raised: light outside, highlight inside (swapped when soft); sunken the reverse.
    if (outer == BDR_RAISEDOUTER) Ring(*dc, r, sides, soft ? highlight : light, dark);
    else if (outer == BDR_SUNKENOUTER) Ring(*dc, r, sides, soft ? dark : shadow, highlight);
    else if (outer) Ring(*dc, r, sides, light, dark);
    if (inner == BDR_RAISEDINNER) Ring(*dc, r, sides, soft ? light : highlight, shadow);
    else if (inner == BDR_SUNKENINNER) Ring(*dc, r, sides, soft ? shadow : dark, light);
    else if (inner) Ring(*dc, r, sides, highlight, shadow);
  }
  if (grfFlags & BF_MIDDLE) FillColor(*dc, r, middle);
  if (grfFlags & BF_ADJUST) *qrc = r;
  return TRUE;
}

// ---- Frame controls -----------------------------------------------------------------------------

BOOL DrawFrameControl(HDC hdc, LPRECT lprc, UINT uType, UINT uState) {
  auto dc = FindDC(hdc);
  if (!dc || !lprc) return FALSE;
  RECT r = Clamped(*lprc);
  if (uType == DFC_CAPTION) {
    if ((uState & 0xFF) != DFCS_CAPTIONCLOSE) return FALSE;
    // A flat face with an X two pixels thick, half the face's smaller side.
    FillColor(*dc, r, GetSysColor((uState & DFCS_PUSHED) ? COLOR_3DSHADOW : COLOR_3DFACE));
    const COLORREF ink = GetSysColor((uState & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int size = std::max(4, std::min(w, h) / 2);
    const int x0 = r.left + (w - size) / 2 + ((uState & DFCS_PUSHED) ? 1 : 0);
    const int y0 = r.top + (h - size) / 2 + ((uState & DFCS_PUSHED) ? 1 : 0);
    for (int i = 0; i < size; ++i) {
      FillColor(*dc, RECT{x0 + i, y0 + i, x0 + i + 2, y0 + i + 1}, ink);
      FillColor(*dc, RECT{x0 + size - 2 - i, y0 + i, x0 + size - i, y0 + i + 1}, ink);
    }
    return TRUE;
  }
  if (uType == DFC_SCROLL) {
    const UINT kind = uState & 0xFF;
    if (kind > DFCS_SCROLLRIGHT && kind != DFCS_SCROLLCOMBOBOX) return FALSE;
    // A push-button face with a solid arrow, moved a pixel down and right while pushed.
    const bool pushed = uState & DFCS_PUSHED;
    DrawEdge(hdc, &r, pushed ? EDGE_SUNKEN : EDGE_RAISED,
             BF_RECT | BF_MIDDLE | ((uState & DFCS_FLAT) ? BF_FLAT : 0));
    const COLORREF ink = GetSysColor((uState & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int half = std::max(1, std::min(w, h) / 4);  // rows of the arrow
    const int cx = r.left + w / 2 + (pushed ? 1 : 0), cy = r.top + h / 2 + (pushed ? 1 : 0);
    for (int i = 0; i < half; ++i) {
      // Row i of the arrow, counted from its point: 2i + 1 pixels long.
      switch (kind) {
        case DFCS_SCROLLUP:
          FillColor(*dc, RECT{cx - i, cy - half / 2 + i, cx + i + 1, cy - half / 2 + i + 1}, ink);
          break;
        case DFCS_SCROLLLEFT:
          FillColor(*dc, RECT{cx - half / 2 + i, cy - i, cx - half / 2 + i + 1, cy + i + 1}, ink);
          break;
        case DFCS_SCROLLRIGHT:
          FillColor(*dc, RECT{cx + half / 2 - i, cy - i, cx + half / 2 - i + 1, cy + i + 1}, ink);
          break;
        default:  // down, and the combo box's drop button
          FillColor(*dc, RECT{cx - i, cy + half / 2 - i, cx + i + 1, cy + half / 2 - i + 1}, ink);
          break;
      }
    }
    return TRUE;
  }
  if (uType != DFC_BUTTON) return FALSE;
  if (uState & DFCS_BUTTONPUSH) {
    UINT edge = (uState & (DFCS_PUSHED | DFCS_CHECKED)) ? EDGE_SUNKEN : EDGE_RAISED;
    UINT flags = BF_RECT | BF_MIDDLE | BF_SOFT | ((uState & DFCS_FLAT) ? BF_FLAT : 0) | ((uState & DFCS_MONO) ? BF_MONO : 0);
    return DrawEdge(hdc, &r, edge, flags);
  }
  if ((uState & 0xFF) != DFCS_BUTTONCHECK) return FALSE;
  // A check box: a square of the smaller side, sunken, window-coloured, with the check mark.
  int size = std::min(r.right - r.left, r.bottom - r.top);
  RECT box{r.left, r.top + (r.bottom - r.top - size) / 2, r.left + size, r.top + (r.bottom - r.top - size) / 2 + size};
  UINT flags = BF_RECT | BF_ADJUST | ((uState & DFCS_FLAT) ? BF_FLAT : 0) | ((uState & DFCS_MONO) ? BF_MONO : 0);
  DrawEdge(hdc, &box, EDGE_SUNKEN, flags);
  bool grey = uState & (DFCS_PUSHED | DFCS_INACTIVE);
  FillColor(*dc, box, GetSysColor(grey ? COLOR_BTNFACE : COLOR_WINDOW));
  if (uState & DFCS_CHECKED) {
    // The seven-pixel tick, three pixels thick, centred in the box.
    COLORREF ink = GetSysColor((uState & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
    int x0 = box.left + (box.right - box.left - 7) / 2, y0 = box.top + (box.bottom - box.top - 7) / 2;
    static const int kDrop[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int i = 0; i < 7; ++i) FillColor(*dc, RECT{x0 + i, y0 + kDrop[i], x0 + i + 1, y0 + kDrop[i] + 3}, ink);
  }
  return TRUE;
}

// ---- State drawing ------------------------------------------------------------------------------

namespace {

bool ContentSize(UINT kind, LPARAM lData, WPARAM wData, SIZE* size) {
  if (kind == DST_BITMAP) {
    BITMAP bm{};
    if (!GetObjectA(reinterpret_cast<HBITMAP>(lData), sizeof bm, &bm)) return false;
    *size = SIZE{bm.bmWidth, bm.bmHeight};
    return true;
  }
  if (kind == DST_COMPLEX) return false;  // only the caller knows
  return g_drawStateRenderer && g_drawStateRenderer(nullptr, kind, lData, wData, size);
}

// Draws the content with its top-left at logical (0, 0) of hdc.
bool DrawContent(HDC hdc, UINT kind, DRAWSTATEPROC callback, LPARAM lData, WPARAM wData, int cx, int cy) {
  if (kind == DST_BITMAP) {  // read in place: the bitmap may be selected into another DC
    auto dc = FindDC(hdc);
    auto bitmap = LookupHandle<BitmapObject>(reinterpret_cast<HBITMAP>(lData), HandleKind::Bitmap);
    return dc && bitmap &&
           BlitSurface(*dc, 0, 0, cx, cy, *bitmap->surface, 0, 0, cx, cy, SRCCOPY, RGB(255, 255, 255), false);
  }
  if (kind == DST_COMPLEX) return callback && callback(hdc, lData, wData, cx, cy);
  return g_drawStateRenderer && g_drawStateRenderer(hdc, kind, lData, wData, nullptr);
}

}  // namespace

BOOL DrawStateA(HDC hdc, HBRUSH hbrFore, DRAWSTATEPROC qfnCallBack, LPARAM lData, WPARAM wData, int x, int y, int cx,
                int cy, UINT uFlags) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  UINT kind = uFlags & 0x000F;
  if (kind > DST_BITMAP) return FALSE;
  if (cx == 0 || cy == 0) {
    SIZE size{};
    if (!ContentSize(kind, lData, wData, &size)) return FALSE;
    if (cx == 0) cx = size.cx;
    if (cy == 0) cy = size.cy;
  }
  if (cx <= 0 || cy <= 0) return TRUE;
  UINT effect = uFlags & (DSS_UNION | DSS_DISABLED | DSS_MONO);
  if (effect == 0) {  // drawn as it is, straight onto the DC
    int saved = SaveDC(hdc);
    OffsetViewportOrgEx(hdc, x, y, nullptr);
    bool ok = DrawContent(hdc, kind, qfnCallBack, lData, wData, cx, cy);
    RestoreDC(hdc, saved);
    return ok;
  }
  // The content's ink: what it draws that is not the white background of a scratch bitmap.
  HDC scratch = CreateCompatibleDC(hdc);
  auto ink = NewBitmap(cx, cy, PixelFormat::Bits(32), false);
  if (!ink) {
    DeleteDC(scratch);
    return FALSE;
  }
  HBITMAP inkHandle = AddGdiObject<HBITMAP>(HandleKind::Bitmap, ink);
  HGDIOBJ old = SelectObject(scratch, inkHandle);
  PatBlt(scratch, 0, 0, cx, cy, WHITENESS);
  SetTextColor(scratch, RGB(0, 0, 0));
  SetBkColor(scratch, RGB(255, 255, 255));
  SetBkMode(scratch, TRANSPARENT);
  bool ok = DrawContent(scratch, kind, qfnCallBack, lData, wData, cx, cy);
  POINT at = dc->ToDevice(POINT{x, y});
  Region::RunBuilder runs;
  const Surface& s = *ink->surface;
  for (int row = 0; row < cy; ++row) {
    int start = -1;
    for (int col = 0; col <= cx; ++col) {
      bool set = col < cx && (s.Get(col, row) & 0x00FFFFFF) != 0x00FFFFFF &&
                 (effect != DSS_UNION || ((col + row) & 1) == 0);
      if (set && start < 0) start = col;
      if (!set && start >= 0) {
        runs.AddRun(at.y + row, at.x + start, at.x + col);
        start = -1;
      }
    }
  }
  Region shape = runs.Finish();
  SelectObject(scratch, old);
  DeleteDC(scratch);
  DeleteObject(inkHandle);
  if (!ok) return FALSE;
  BrushObject solid;
  if (effect & DSS_DISABLED) {  // embossed: highlight one pixel down-right, shadow on top
    Region lower = shape;
    lower.Offset(1, 1);
    solid.color = GetSysColor(COLOR_BTNHIGHLIGHT);
    FillDeviceRegion(*dc, lower, solid, PATCOPY);
    solid.color = GetSysColor(COLOR_BTNSHADOW);
    FillDeviceRegion(*dc, shape, solid, PATCOPY);
    return TRUE;
  }
  auto fore = hbrFore ? LookupHandle<BrushObject>(hbrFore, HandleKind::Brush) : nullptr;
  solid.color = GetSysColor(effect & DSS_MONO ? COLOR_WINDOWTEXT : COLOR_HIGHLIGHT);
  FillDeviceRegion(*dc, shape, fore ? *fore : solid, PATCOPY);
  return TRUE;
}
