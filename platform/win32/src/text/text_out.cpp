// TextOut, ExtTextOut and GetTextExtentPoint32.
#include <algorithm>
#include <utility>

#include "last_error.h"
#include "text/font_object.h"
#include "text/text_draw.h"
#include "text/text_units.h"
#include "win32/winfont.h"

namespace win32::text {
namespace {

// Quarter turns counter-clockwise for an escapement in tenths of a degree.
int QuarterTurns(LONG escapement) {
  long e = ((long(escapement) % 3600) + 3600) % 3600;
  return int(((e + 450) / 900) % 4);
}

// The device offset of the pixel at text-frame cell (u, v) from the reference point: u runs
// along the baseline, v down across it.
POINT Turn(int q, int u, int v) {
  switch (q) {
    case 1:
      return {v, -u - 1};
    case 2:
      return {-u - 1, -v - 1};
    case 3:
      return {-v - 1, u};
    default:
      return {u, v};
  }
}

// The device rectangle covering text-frame cells [u0, u1) x [v0, v1).
RECT TurnBox(int q, int u0, int v0, int u1, int v1) {
  POINT a = Turn(q, u0, v0), b = Turn(q, u1 - 1, v1 - 1);
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
}

RECT Offset(RECT r, POINT by) { return {r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y}; }

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.left >= r.right || r.top >= r.bottom) r = {0, 0, 0, 0};
  return r;
}

bool Empty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

}  // namespace

void DrawRun(gdi::DeviceContext& dc, std::u32string_view text, const RunRequest& request) {
  SelectedFont font = FontOf(dc);
  const FontMetrics& m = font.face->Metrics();
  CoverageMask mask = RenderRun(*font.face, text, request.advances, request.underlined);
  const int width = mask.advance;
  const int q = QuarterTurns(font.logFont.lfEscapement);
  const bool useCp = (request.align & TA_UPDATECP) != 0;

  POINT ref = useCp ? dc.state.currentPos : POINT{request.x, request.y};
  POINT dref = dc.ToDevice(ref);
  int u0 = 0;
  if ((request.align & TA_CENTER) == TA_CENTER)
    u0 = -width / 2;
  else if ((request.align & TA_CENTER) == TA_RIGHT)
    u0 = -width;
  int v0 = 0;
  if ((request.align & TA_BASELINE) == TA_BASELINE)
    v0 = -m.ascent;
  else if ((request.align & TA_BASELINE) == TA_BOTTOM)
    v0 = -m.height;

  RECT limit{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2};
  if (request.rect) {
    // The rectangle's sides may come in either order.
    RECT r = *request.rect;
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    RECT device = dc.ToDevice(r);
    if ((request.options & ETO_OPAQUE) && !Empty(device)) gdi::FillDeviceRect(dc, device, dc.Resolve(dc.state.bkColor));
    if (request.options & ETO_CLIPPED) limit = device;
  }
  if (dc.state.bkMode == OPAQUE && width > 0) {
    RECT box = Intersect(Offset(TurnBox(q, u0, v0, u0 + width, v0 + m.height), dref), limit);
    if (!Empty(box)) gdi::FillDeviceRect(dc, box, dc.Resolve(dc.state.bkColor));
  }

  if (mask.width > 0 && mask.height > 0) {
    const int mu = u0 - mask.originX;
    RECT box = Offset(TurnBox(q, mu, v0, mu + mask.width, v0 + mask.height), dref);
    const int bw = box.right - box.left, bh = box.bottom - box.top;
    std::vector<uint8_t> turned(size_t(bw) * size_t(bh));
    for (int j = 0; j < mask.height; ++j) {
      for (int i = 0; i < mask.width; ++i) {
        uint8_t c = mask.at(i, j);
        if (!c) continue;
        POINT p = Turn(q, mu + i, v0 + j);
        turned[size_t(p.y + dref.y - box.top) * size_t(bw) + size_t(p.x + dref.x - box.left)] = c;
      }
    }
    RECT clip = Intersect(box, limit);
    if (!Empty(clip)) {
      const uint8_t* first = turned.data() + size_t(clip.top - box.top) * size_t(bw) + size_t(clip.left - box.left);
      gdi::PaintCoverage(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, first, bw,
                         dc.Resolve(dc.state.textColor));
    }
  }

  if (useCp) {
    int along = 0;
    if ((request.align & TA_CENTER) == TA_LEFT) along = width;
    if ((request.align & TA_CENTER) == TA_RIGHT) along = -width;
    static constexpr POINT kStep[4] = {{1, 0}, {0, -1}, {-1, 0}, {0, 1}};
    dc.state.currentPos.x += kStep[q].x * along;
    dc.state.currentPos.y += kStep[q].y * along;
  }
}

}  // namespace win32::text

using namespace win32;
using namespace win32::text;

namespace {

// Per code point advances from lpDx, which has one entry per input unit: the entries of a code
// point's units add up.
std::vector<int> AdvancesFrom(const INT* lpDx, const std::vector<size_t>& starts, size_t units) {
  std::vector<int> advances;
  for (size_t k = 0; k < starts.size(); ++k) {
    size_t end = k + 1 < starts.size() ? starts[k + 1] : units;
    int sum = 0;
    for (size_t i = starts[k]; i < end; ++i) sum += lpDx[i];
    advances.push_back(sum);
  }
  return advances;
}

BOOL ExtTextOutCommon(HDC hdc, int x, int y, UINT options, const RECT* lprect, const std::u32string& text,
                      const INT* lpDx, const std::vector<size_t>& starts, size_t units) {
  auto dc = gdi::FindDC(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  std::vector<int> advances;
  RunRequest request;
  request.x = x;
  request.y = y;
  request.align = dc->state.textAlign;
  request.options = options;
  request.rect = lprect;
  if (lpDx) {
    advances = AdvancesFrom(lpDx, starts, units);
    request.advances = &advances;
  }
  DrawRun(*dc, text, request);
  return TRUE;
}

}  // namespace

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCWSTR lpString, UINT c,
                 const INT* lpDx) {
  if (!lpString && c > 0) return Fail(ERROR_INVALID_PARAMETER);
  std::vector<size_t> starts;
  std::u32string text = FromWide(lpString, int(c), &starts);
  return ExtTextOutCommon(hdc, x, y, options, lprect, text, lpDx, starts, c);
}

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c,
                 const INT* lpDx) {
  if (!lpString && c > 0) return Fail(ERROR_INVALID_PARAMETER);
  std::vector<size_t> starts;
  std::u32string text = FromAnsi(lpString, int(c), &starts);
  return ExtTextOutCommon(hdc, x, y, options, lprect, text, lpDx, starts, c);
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c) {
  if (c < 0) return Fail(ERROR_INVALID_PARAMETER);
  return ExtTextOutW(hdc, x, y, 0, nullptr, lpString, UINT(c), nullptr);
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  if (c < 0) return Fail(ERROR_INVALID_PARAMETER);
  return ExtTextOutA(hdc, x, y, 0, nullptr, lpString, UINT(c), nullptr);
}

namespace {

BOOL Extent(HDC hdc, const std::u32string& text, LPSIZE psizl) {
  auto dc = gdi::FindDC(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (!psizl) return Fail(ERROR_INVALID_PARAMETER);
  SelectedFont font = FontOf(*dc);
  psizl->cx = MeasureRun(*font.face, text);
  psizl->cy = font.face->Metrics().height;
  return TRUE;
}

}  // namespace

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
  if (c < 0 || (!lpString && c > 0)) return Fail(ERROR_INVALID_PARAMETER);
  return Extent(hdc, FromWide(lpString, c), psizl);
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  if (c < 0 || (!lpString && c > 0)) return Fail(ERROR_INVALID_PARAMETER);
  return Extent(hdc, FromAnsi(lpString, c), psizl);
}
