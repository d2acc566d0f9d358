// Painting on the framebuffer screen: visible regions, update regions, window DCs, WM_PAINT and
// exposure of uncovered areas.
#include <algorithm>
#include <functional>

#include "gdi/dc.h"
#include "user/display.h"
#include "user/user_state.h"
#include "win32/winbase.h"
#include "win32/winerror.h"
#include "win32/platform_config.h"
#include "win32/winuser_draw.h"

namespace win32::user {
namespace {

struct Screen {
  std::shared_ptr<gdi::BitmapObject> bitmap;
  ScreenObserver* observer = nullptr;
};

void ScreenPaletteChanged(HDC hdc);

Screen& TheScreen() {
  static Screen* screen = [] {
    gdi::SetScreenPaletteListener(ScreenPaletteChanged);
    auto* s = new Screen;
    const auto& config = platform_config::Config();
    s->bitmap = gdi::NewBitmap(config.screenWidth, config.screenHeight, gdi::ScreenFormat(), false);
    gdi::Surface& fb = *s->bitmap->surface;
    const uint32_t desktop = fb.FromColor(GetSysColor(COLOR_BACKGROUND));
    for (int y = 0; y < fb.height; ++y) {
      for (int x = 0; x < fb.width; ++x) fb.Put(x, y, desktop);
    }
    return s;
  }();
  return *screen;
}

// A window DC handed out by GetDCEx or BeginPaint.
struct WindowDc {
  HWND hwnd;
  DWORD flags;                // DCX_WINDOW, DCX_CLIPCHILDREN, DCX_CLIPSIBLINGS
  std::optional<Region> clip;  // screen coordinates (intersected)
  std::optional<Region> exclude;
};

// The screen under a shown CS_SAVEBITS window.
struct SavedBits {
  Region area;  // screen coordinates
  RECT box;
  std::vector<uint32_t> pixels;  // the box's stored values, row by row
};

std::map<HWND, SavedBits>& Saved() {
  static auto* saved = new std::map<HWND, SavedBits>;
  return *saved;
}

// Something under saved bits changes: they no longer show what is there.
void InvalidateSavedBits(HWND changing, const Region& screen) {
  auto& saved = Saved();
  for (auto it = saved.begin(); it != saved.end();) {
    const bool own = changing == it->first || IsDescendant(it->first, changing);
    if (!own && !screen.Intersect(it->second.area).IsEmpty()) {
      it = saved.erase(it);
    } else {
      ++it;
    }
  }
}

std::map<HDC, WindowDc>& WindowDcs() {
  static auto* dcs = new std::map<HDC, WindowDc>;
  return *dcs;
}

// A palette realised on the screen changed its colour table: whatever shows those entries looks
// different now, so every top-level window hears which window did it and may paint again.
void ScreenPaletteChanged(HDC hdc) {
  auto entry = WindowDcs().find(hdc);
  const auto realising = reinterpret_cast<WPARAM>(entry == WindowDcs().end() ? nullptr : entry->second.hwnd);
  const auto& config = platform_config::Config();
  NotifyScreenChanged(RECT{0, 0, config.screenWidth, config.screenHeight});
  // A window answering by realising its own palette changes the table again; told from inside
  // that answer, the windows hear of it later, so palettes that do not fit cannot recurse forever.
  static thread_local bool telling = false;
  const bool nested = telling;
  telling = true;
  for (HWND top : ChildrenOf(*Win(Desktop()))) {
    auto t = Win(top);
    if (!t) continue;
    // Windows of other threads are told without waiting for them.
    if (t->thread == GetCurrentThreadId() && !nested) {
      Send(top, WM_PALETTECHANGED, realising, 0);
    } else {
      PostMessageA(top, WM_PALETTECHANGED, realising, 0);
    }
  }
  telling = nested;
}

Region ShapeOnScreen(const Window& w) {
  RECT r = ScreenWindowRect(w);
  Region area(r);
  if (w.region) {
    Region shape = *w.region;
    shape.Offset(r.left, r.top);
    area = area.Intersect(shape);
  }
  return area;
}

void SubtractSiblingsAbove(Region& rgn, const Window& w) {
  auto parent = Win(w.parent);
  if (!parent) return;
  for (HWND h : ChildrenOf(*parent)) {
    if (h == w.handle) break;
    auto s = Win(h);
    if (s && (s->style & WS_VISIBLE)) rgn = rgn.Subtract(ShapeOnScreen(*s));
  }
}

void Place(HDC hdc, const WindowDc& entry) {
  auto w = Win(entry.hwnd);
  if (!w) return;
  const bool whole = entry.flags & DCX_WINDOW;
  RECT r = whole ? ScreenWindowRect(*w) : ScreenClientRect(*w);
  Region visible;
  if (entry.hwnd == Desktop()) {
    visible = Region(r);
  } else {
    visible = VisibleRegion(entry.hwnd, !whole, entry.flags & DCX_CLIPCHILDREN, entry.flags & DCX_CLIPSIBLINGS);
  }
  if (entry.clip) visible = visible.Intersect(*entry.clip);
  if (entry.exclude) visible = visible.Subtract(*entry.exclude);
  visible.Offset(-r.left, -r.top);
  gdi::SetSurfaceDCPlacement(hdc, {r.left, r.top}, visible);
}

HDC MakeWindowDc(HWND hwnd, DWORD flags, std::optional<Region> clip, std::optional<Region> exclude) {
  HDC hdc = gdi::MakeSurfaceDC(Framebuffer(), {0, 0}, Region());
  if (!hdc) return nullptr;
  WindowDc entry{hwnd, flags, std::move(clip), std::move(exclude)};
  Place(hdc, entry);
  WindowDcs()[hdc] = std::move(entry);
  return hdc;
}

DWORD StyleClipFlags(const Window& w) {
  DWORD flags = 0;
  if (w.style & WS_CLIPCHILDREN) flags |= DCX_CLIPCHILDREN;
  if (w.style & WS_CLIPSIBLINGS) flags |= DCX_CLIPSIBLINGS;
  return flags;
}

HRGN NewRegionHandle(const Region& region) {
  HRGN h = CreateRectRgn(0, 0, 0, 0);
  if (auto object = std::dynamic_pointer_cast<gdi::RegionObject>(gdi::FindGdiObject(h))) object->region = region;
  return h;
}

std::optional<Region> RegionOf(HRGN h) {
  auto object = std::dynamic_pointer_cast<gdi::RegionObject>(gdi::FindGdiObject(h));
  if (!object) return std::nullopt;
  return object->region;
}

void PaintDesktop(const Region& area) {
  if (area.IsEmpty()) return;
  if (!Saved().empty()) InvalidateSavedBits(Desktop(), area);
  HDC hdc = gdi::MakeSurfaceDC(Framebuffer(), {0, 0}, area);
  if (auto dc = gdi::FindDC(hdc)) {
    for (const RECT& r : area.Rects()) gdi::FillDeviceRect(*dc, r, GetSysColor(COLOR_BACKGROUND));
  }
  DeleteDC(hdc);
  NotifyScreenChanged(area.Box());
}

// Sends WM_NCPAINT when the frame is due; the update region goes as wParam in screen coordinates.
void SendNcPaint(Window& w) {
  if (!w.frame) return;
  w.frame = false;
  RECT r = ScreenWindowRect(w);
  Region area = w.update;
  area.Offset(r.left, r.top);
  HRGN rgn = NewRegionHandle(area);
  Send(w.handle, WM_NCPAINT, reinterpret_cast<WPARAM>(rgn), 0);
  DeleteObject(rgn);
}

// The update region's client part in screen coordinates.
Region ClientUpdate(const Window& w) {
  RECT wr = ScreenWindowRect(w);
  Region area = w.update;
  area.Offset(wr.left, wr.top);
  return area.Intersect(Region(ScreenClientRect(w)));
}

}  // namespace

std::shared_ptr<gdi::Surface> Framebuffer() { return TheScreen().bitmap->surface; }

COLORREF ScreenPixel(int x, int y) {
  const gdi::Surface& s = *Framebuffer();
  if (x < 0 || y < 0 || x >= s.width || y >= s.height) return CLR_INVALID;
  return s.ToColor(s.Get(x, y));
}

void SetScreenObserver(ScreenObserver* observer) { TheScreen().observer = observer; }

void NotifyScreenChanged(const RECT& area) {
  if (auto* o = TheScreen().observer; o && !IsRectEmpty(&area)) o->ScreenChanged(area);
}

void NotifyTopLevelChanged(HWND hwnd) {
  if (auto* o = TheScreen().observer; o && hwnd) o->TopLevelChanged(hwnd);
}

Region VisibleRegion(HWND hwnd, bool clientOnly, bool clipChildren, bool clipSiblings) {
  auto w = Win(hwnd);
  if (!w || !IsVisibleNow(*w)) return Region();
  Region rgn(clientOnly ? ScreenClientRect(*w) : ScreenWindowRect(*w));
  if (w->region) rgn = rgn.Intersect(ShapeOnScreen(*w));
  std::shared_ptr<Window> cur = w;
  bool siblings = clipSiblings;
  while (cur->parent && cur->parent != Desktop()) {
    auto parent = Win(cur->parent);
    if (!parent) return Region();
    if (siblings) SubtractSiblingsAbove(rgn, *cur);
    rgn = rgn.Intersect(Region(ScreenClientRect(*parent)));
    if (parent->region) rgn = rgn.Intersect(ShapeOnScreen(*parent));
    siblings = parent->style & WS_CLIPSIBLINGS;
    cur = parent;
  }
  if (cur->handle != Desktop()) SubtractSiblingsAbove(rgn, *cur);  // top-level windows always clip
  const auto& config = platform_config::Config();
  rgn = rgn.Intersect(Region(0, 0, config.screenWidth, config.screenHeight));
  if (clipChildren) {
    for (HWND h : ChildrenOf(*w)) {
      auto c = Win(h);
      if (c && (c->style & WS_VISIBLE)) rgn = rgn.Subtract(ShapeOnScreen(*c));
    }
  }
  return rgn;
}

void RedrawScreenRegion(HWND hwnd, const Region& screen, UINT flags) {
  auto w = Win(hwnd);
  if (!w || hwnd == Desktop() || !IsVisibleNow(*w)) return;
  if ((flags & RDW_INVALIDATE) && !Saved().empty()) InvalidateSavedBits(hwnd, screen);
  const RECT wr = ScreenWindowRect(*w);
  Region part = screen.Intersect(ShapeOnScreen(*w));
  const Region client(ScreenClientRect(*w));
  if (!(flags & RDW_FRAME)) part = part.Intersect(client);
  part.Offset(-wr.left, -wr.top);
  if (flags & RDW_INVALIDATE) {
    if (!part.IsEmpty()) {
      w->update = w->update.Union(part);
      if (flags & RDW_ERASE) w->erase = true;
      Region clientLocal = client;
      clientLocal.Offset(-wr.left, -wr.top);
      // RDW_FRAME asks for WM_NCPAINT even where there is no frame to speak of.
      if ((flags & RDW_FRAME) || !part.Subtract(clientLocal).IsEmpty()) w->frame = true;
    }
    if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
  } else if (flags & RDW_VALIDATE) {
    w->update = w->update.Subtract(part);
    if (w->update.IsEmpty()) {
      w->erase = false;
      w->frame = false;
    }
    if (flags & RDW_NOERASE) w->erase = false;
    if (flags & RDW_NOFRAME) w->frame = false;
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
  }
  const bool children = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
  if (children) {
    const Region inside = screen.Intersect(client);
    std::vector<HWND> list = ChildrenOf(*w);
    for (HWND child : list) RedrawScreenRegion(child, inside, flags | RDW_FRAME);
  }
  Wake(w->thread);
}

void ExposeScreenArea(const Region& screen) {
  const auto& config = platform_config::Config();
  Region remaining = screen.Intersect(Region(0, 0, config.screenWidth, config.screenHeight));
  if (remaining.IsEmpty()) return;
  std::vector<HWND> tops = ChildrenOf(*Win(Desktop()));
  for (HWND top : tops) {
    auto t = Win(top);
    if (!t || !(t->style & WS_VISIBLE)) continue;
    Region part = remaining.Intersect(ShapeOnScreen(*t));
    if (part.IsEmpty()) continue;
    RedrawScreenRegion(top, part, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    remaining = remaining.Subtract(part);
  }
  PaintDesktop(remaining);
}

void SaveBitsUnder(HWND hwnd) {
  auto w = Win(hwnd);
  if (!w) return;
  SavedBits bits;
  bits.area = VisibleRegion(hwnd, false, false, true);
  if (bits.area.IsEmpty()) return;
  bits.box = bits.area.Box();
  const gdi::Surface& fb = *Framebuffer();
  for (int y = bits.box.top; y < bits.box.bottom; ++y) {
    for (int x = bits.box.left; x < bits.box.right; ++x) bits.pixels.push_back(fb.Get(x, y));
  }
  Saved()[hwnd] = std::move(bits);
}

Region RestoreSavedBits(HWND hwnd) {
  auto& saved = Saved();
  auto it = saved.find(hwnd);
  if (it == saved.end()) return Region();
  SavedBits bits = std::move(it->second);
  saved.erase(it);
  gdi::Surface& fb = *Framebuffer();
  const int width = bits.box.right - bits.box.left;
  for (const RECT& r : bits.area.Rects()) {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        fb.Put(x, y, bits.pixels[static_cast<size_t>(y - bits.box.top) * width + (x - bits.box.left)]);
      }
    }
  }
  NotifyScreenChanged(bits.box);
  return bits.area;
}

void DiscardSavedBits(HWND hwnd) { Saved().erase(hwnd); }

void DropPaint(Window& w) {
  w.update = Region();
  w.erase = w.frame = w.internalPaint = false;
  for (HWND h : ChildrenOf(w)) {
    if (auto c = Win(h)) DropPaint(*c);
  }
}

bool NeedsPaint(const Window& w) {
  return IsVisibleNow(w) && (!w.update.IsEmpty() || w.internalPaint);
}

HWND FindWindowToPaint(DWORD thread, HWND filter) {
  // Walks every thread's windows; sends nothing, so it may hold the tree lock throughout.
  std::lock_guard<std::recursive_mutex> tree(TreeLock());
  std::function<HWND(HWND)> search = [&](HWND h) -> HWND {
    auto w = Win(h);
    if (!w || !(w->style & WS_VISIBLE)) return nullptr;
    if (h != Desktop() && w->thread == thread && NeedsPaint(*w) &&
        (!filter || h == filter || IsDescendant(filter, h))) {
      return h;
    }
    std::vector<HWND> children = w->children;
    for (HWND c : children) {
      if (HWND found = search(c)) return found;
    }
    return nullptr;
  };
  return search(Desktop());
}

void RefreshWindowDCs() {
  for (auto& [hdc, entry] : WindowDcs()) Place(hdc, entry);
}

void ForgetWindowDCs(HWND hwnd) {
  auto& dcs = WindowDcs();
  for (auto it = dcs.begin(); it != dcs.end();) {
    if (it->second.hwnd == hwnd) {
      DeleteDC(it->first);
      it = dcs.erase(it);
    } else {
      ++it;
    }
  }
}

void UpdateNow(HWND hwnd, bool allChildren, bool eraseOnly) {
  auto w = Win(hwnd);
  if (!w || !IsVisibleNow(*w)) return;
  if (NeedsPaint(*w)) {
    if (eraseOnly) {
      SendNcPaint(*w);
      if (auto again = Win(hwnd); again && again->erase) {
        again->erase = false;
        HDC hdc = MakeWindowDc(hwnd, StyleClipFlags(*again), ClientUpdate(*again), std::nullopt);
        Send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
        ReleaseDC(hwnd, hdc);
      }
    } else {
      Send(hwnd, WM_PAINT, 0, 0);
    }
  }
  auto again = Win(hwnd);
  if (!again) return;
  if (allChildren || !(again->style & WS_CLIPCHILDREN)) {
    std::vector<HWND> children = ChildrenOf(*again);
    for (HWND c : children) UpdateNow(c, allChildren, eraseOnly);
  }
}

}  // namespace win32::user

using namespace win32;
using namespace win32::user;

BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
  if (!hWnd) {
    // The whole screen: every top-level window and the desktop.
    const auto& config = platform_config::Config();
    Region all(0, 0, config.screenWidth, config.screenHeight);
    if (flags & RDW_INVALIDATE) ExposeScreenArea(all);
    return TRUE;
  }
  auto w = Win(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  RECT origin = ScreenClientRect(*w);
  Region area;
  if (hrgnUpdate) {
    auto r = RegionOf(hrgnUpdate);
    if (!r) return FALSE;
    area = *r;
    area.Offset(origin.left, origin.top);
  } else if (lprcUpdate) {
    RECT r = *lprcUpdate;
    OffsetRect(&r, origin.left, origin.top);
    area = Region(r);
  } else {
    area = Region((flags & RDW_FRAME) ? ScreenWindowRect(*w) : ScreenClientRect(*w));
  }
  if (flags & (RDW_INVALIDATE | RDW_VALIDATE)) RedrawScreenRegion(hWnd, area, flags);
  if (flags & RDW_UPDATENOW) {
    UpdateNow(hWnd, flags & RDW_ALLCHILDREN, false);
  } else if (flags & RDW_ERASENOW) {
    UpdateNow(hWnd, flags & RDW_ALLCHILDREN, true);
  }
  return TRUE;
}

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  return RedrawWindow(hWnd, lpRect, nullptr, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
  return RedrawWindow(hWnd, nullptr, hRgn, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hWnd, const RECT* lpRect) {
  return RedrawWindow(hWnd, lpRect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND hWnd, HRGN hRgn) { return RedrawWindow(hWnd, nullptr, hRgn, RDW_VALIDATE | RDW_NOCHILDREN); }

BOOL UpdateWindow(HWND hWnd) {
  if (!Win(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  UpdateNow(hWnd, true, false);
  return TRUE;
}

BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
  auto w = Win(hWnd);
  if (!w) return FALSE;
  Region area = ClientUpdate(*w);
  RECT c = ScreenClientRect(*w);
  area.Offset(-c.left, -c.top);
  if (lpRect) *lpRect = area.IsEmpty() ? RECT{0, 0, 0, 0} : area.Box();
  if (bErase && !area.IsEmpty()) UpdateNow(hWnd, false, true);
  return !area.IsEmpty();
}

int GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
  auto w = Win(hWnd);
  auto object = std::dynamic_pointer_cast<gdi::RegionObject>(gdi::FindGdiObject(hRgn));
  if (!w || !object) return ERROR;
  Region area = ClientUpdate(*w);
  RECT c = ScreenClientRect(*w);
  area.Offset(-c.left, -c.top);
  object->region = area;
  if (bErase && !area.IsEmpty()) UpdateNow(hWnd, false, true);
  return area.Type();
}

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  auto w = Win(hWnd);
  if (!w || !lpPaint) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  SendNcPaint(*w);
  w = Win(hWnd);
  if (!w) return nullptr;
  const Region area = ClientUpdate(*w);
  const bool erase = w->erase;
  w->update = Region();
  w->erase = w->frame = w->internalPaint = false;
  HDC hdc = MakeWindowDc(hWnd, StyleClipFlags(*w), area, std::nullopt);
  *lpPaint = {};
  lpPaint->hdc = hdc;
  if (!area.IsEmpty()) {
    RECT box = area.Box();
    RECT c = ScreenClientRect(*w);
    OffsetRect(&box, -c.left, -c.top);
    lpPaint->rcPaint = box;
  }
  lpPaint->fErase = erase ? !Send(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) : FALSE;
  return hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (!lpPaint) return FALSE;
  ReleaseDC(hWnd, lpPaint->hdc);
  return TRUE;
}

HDC GetDCEx(HWND hWnd, HRGN hrgnClip, DWORD flags) {
  if (!hWnd) return MakeWindowDc(Desktop(), DCX_WINDOW, std::nullopt, std::nullopt);
  auto w = Win(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  std::optional<Region> clip, exclude;
  // The region is in screen coordinates, as WM_NCPAINT hands it over; 1 stands for everything.
  const bool realRegion = hrgnClip && hrgnClip != reinterpret_cast<HRGN>(1);
  if ((flags & DCX_INTERSECTRGN) && realRegion) clip = RegionOf(hrgnClip);
  if ((flags & DCX_EXCLUDERGN) && realRegion) exclude = RegionOf(hrgnClip);
  if (flags & DCX_INTERSECTUPDATE) {
    RECT wr = ScreenWindowRect(*w);
    Region update = w->update;
    update.Offset(wr.left, wr.top);
    clip = clip ? clip->Intersect(update) : update;
    if (flags & DCX_VALIDATE) {
      w->update = Region();
      w->erase = w->frame = false;
    }
  }
  return MakeWindowDc(hWnd, flags & (DCX_WINDOW | DCX_CLIPCHILDREN | DCX_CLIPSIBLINGS), clip, exclude);
}

HDC GetDC(HWND hWnd) {
  if (!hWnd) return GetDCEx(nullptr, nullptr, 0);
  auto w = Win(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return GetDCEx(hWnd, nullptr, StyleClipFlags(*w));
}

HDC GetWindowDC(HWND hWnd) {
  if (!hWnd) return GetDC(nullptr);
  auto w = Win(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return GetDCEx(hWnd, nullptr, DCX_WINDOW | (StyleClipFlags(*w) & DCX_CLIPSIBLINGS));
}

int ReleaseDC(HWND /*hWnd*/, HDC hDC) {
  auto& dcs = WindowDcs();
  auto it = dcs.find(hDC);
  if (it == dcs.end()) return 0;
  if (auto dc = gdi::FindDC(hDC); dc && dc->visible) {
    RECT box = dc->visible->Box();
    OffsetRect(&box, dc->origin.x, dc->origin.y);
    NotifyScreenChanged(box);
  }
  dcs.erase(it);
  DeleteDC(hDC);
  return 1;
}

HWND WindowFromDC(HDC hDC) {
  auto& dcs = WindowDcs();
  auto it = dcs.find(hDC);
  if (it == dcs.end() || it->second.hwnd == Desktop()) return nullptr;
  return it->second.hwnd;
}
