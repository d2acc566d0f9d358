// Painting: update regions, erase semantics, RedrawWindow, clipping of children and siblings,
// window regions, exposure of uncovered areas, window DCs and WM_PRINT.
#include <algorithm>
#include <functional>
#include <map>

#include "user_fixture.h"

namespace win32_test {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class PaintTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    // Each window paints its client area in its colour; erasing is left to the class brush.
    CurrentHandler() = [this](HWND h, UINT m, WPARAM w, LPARAM, LRESULT*) {
      if (m == WM_ERASEBKGND) erased.push_back(h);
      if (m == WM_NCPAINT) ncPainted.push_back(h);
      if (m != WM_PAINT || !colors.count(h)) return false;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      lastPaint[h] = ps;
      HBRUSH brush = CreateSolidBrush(colors[h]);
      RECT r;
      GetClientRect(h, &r);
      FillRect(dc, &r, brush);
      DeleteObject(brush);
      EndPaint(h, &ps);
      painted.push_back(h);
      (void)w;
      return true;
    };
  }
  void Forget() {
    painted.clear();
    erased.clear();
    ncPainted.clear();
  }
  static COLORREF At(int x, int y) { return wu::ScreenPixel(x, y); }

  std::map<HWND, COLORREF> colors;
  std::map<HWND, PAINTSTRUCT> lastPaint;
  std::vector<HWND> painted, erased, ncPainted;
};

TEST_F(PaintTest, ShownWindowsPaintFrameBackgroundAndClient) {
  HWND plain = Top(10, 10, 40, 40, WS_POPUP | WS_VISIBLE | WS_BORDER);
  HWND red = Top(100, 10, 40, 40);
  colors[red] = kRed;
  wu::PumpUntilIdle();
  EXPECT_EQ(At(10, 10), GetSysColor(COLOR_WINDOWFRAME));  // the border
  EXPECT_EQ(At(30, 30), GetSysColor(COLOR_WINDOW));       // the class brush
  EXPECT_EQ(At(120, 30), kRed);
  EXPECT_EQ(At(5, 5), GetSysColor(COLOR_BACKGROUND));      // the desktop
  EXPECT_EQ(ncPainted, (std::vector<HWND>{red, plain}));  // the upper window first
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(PaintTest, CaptionsShowWhetherTheWindowIsActive) {
  HWND a = Top(0, 0, 200, 100, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU);
  SetWindowTextA(a, "Caption");
  wu::PumpUntilIdle();
  ASSERT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(At(150, 8), GetSysColor(COLOR_ACTIVECAPTION));
  EXPECT_EQ(At(150, 21), GetSysColor(COLOR_3DFACE));  // the line under the caption
  HWND b = Top(300, 0, 50, 50);
  wu::PumpUntilIdle();
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(At(150, 8), GetSysColor(COLOR_INACTIVECAPTION));
}

TEST_F(PaintTest, BeginPaintErasesOnlyWhenAsked) {
  HWND h = Top(0, 0, 100, 100);
  colors[h] = kRed;
  wu::PumpUntilIdle();
  Forget();
  RECT part{10, 20, 30, 40};
  InvalidateRect(h, &part, FALSE);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(h, &update, FALSE));
  EXPECT_TRUE(EqualRect(&update, &part));
  wu::PumpUntilIdle();
  EXPECT_TRUE(erased.empty());
  EXPECT_TRUE(ncPainted.empty());  // the frame was not invalidated
  EXPECT_FALSE(lastPaint[h].fErase);
  EXPECT_TRUE(EqualRect(&lastPaint[h].rcPaint, &part));

  InvalidateRect(h, &part, TRUE);
  wu::PumpUntilIdle();
  EXPECT_EQ(erased, std::vector<HWND>{h});
  EXPECT_FALSE(lastPaint[h].fErase);  // the class brush erased it

  // A window that does not erase leaves the erasing to its painting.
  CurrentHandler() = [this, inner = CurrentHandler()](HWND w, UINT m, WPARAM a, LPARAM b, LRESULT* r) {
    if (m == WM_ERASEBKGND) {
      *r = 0;
      return true;
    }
    return inner(w, m, a, b, r);
  };
  InvalidateRect(h, nullptr, TRUE);
  wu::PumpUntilIdle();
  EXPECT_TRUE(lastPaint[h].fErase);
}

TEST_F(PaintTest, ValidateAndUpdateRegions) {
  HWND h = Top(0, 0, 100, 100);
  colors[h] = kRed;
  wu::PumpUntilIdle();
  InvalidateRect(h, nullptr, FALSE);
  RECT top{0, 0, 100, 50};
  ValidateRect(h, &top);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetUpdateRgn(h, rgn, FALSE), SIMPLEREGION);
  RECT box;
  GetRgnBox(rgn, &box);
  EXPECT_EQ(box.top, 50);
  EXPECT_EQ(box.bottom, 100);
  ValidateRect(h, nullptr);
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
  DeleteObject(rgn);
  Forget();
  wu::PumpUntilIdle();
  EXPECT_TRUE(painted.empty());
}

TEST_F(PaintTest, UpdateWindowAndRedrawWindowPaintAtOnce) {
  HWND parent = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
  HWND child = Child(parent, 10, 10, 30, 30);
  colors[parent] = kRed;
  colors[child] = kGreen;
  wu::PumpUntilIdle();
  Forget();
  RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(painted, (std::vector<HWND>{parent, child}));
  Forget();
  // Without RDW_ALLCHILDREN a clip-children parent repaints alone.
  RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(painted, std::vector<HWND>{parent});
  Forget();
  RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ERASENOW);
  EXPECT_EQ(ncPainted, std::vector<HWND>{parent});
  EXPECT_EQ(erased, std::vector<HWND>{parent});
  EXPECT_TRUE(painted.empty());
  UpdateWindow(parent);
  EXPECT_EQ(painted, std::vector<HWND>{parent});
  EXPECT_EQ(At(50, 50), kRed);
  EXPECT_EQ(At(20, 20), kGreen);
}

TEST_F(PaintTest, WindowDcsClipChildrenAndSiblingsByStyle) {
  HWND parent = Top(0, 0, 100, 100);
  HWND lower = Child(parent, 10, 10, 40, 40, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
  HWND upper = Child(parent, 30, 30, 40, 40);
  SetWindowPos(upper, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  wu::PumpUntilIdle();
  auto fill = [](HWND h, COLORREF c) {
    HDC dc = GetDC(h);
    EXPECT_EQ(WindowFromDC(dc), h);
    HBRUSH b = CreateSolidBrush(c);
    RECT r{0, 0, 100, 100};
    FillRect(dc, &r, b);
    DeleteObject(b);
    ReleaseDC(h, dc);
  };
  fill(parent, kRed);  // no WS_CLIPCHILDREN: paints over the children
  EXPECT_EQ(At(20, 20), kRed);
  fill(lower, kGreen);  // clipped by the sibling above it
  EXPECT_EQ(At(20, 20), kGreen);
  EXPECT_EQ(At(45, 45), kRed);
  SetWindowLongA(parent, GWL_STYLE, GetWindowLongA(parent, GWL_STYLE) | WS_CLIPCHILDREN);
  fill(parent, kBlue);
  EXPECT_EQ(At(5, 5), kBlue);
  EXPECT_EQ(At(20, 20), kGreen);
  EXPECT_EQ(At(80, 80), kBlue);
}

TEST_F(PaintTest, WindowRegionsShapeDrawingAndTheScreen) {
  HWND h = Top(0, 0, 100, 100);
  colors[h] = kRed;
  SetWindowRgn(h, CreateRectRgn(20, 20, 60, 60), TRUE);
  wu::PumpUntilIdle();
  EXPECT_EQ(At(30, 30), kRed);
  EXPECT_EQ(At(10, 10), GetSysColor(COLOR_BACKGROUND));  // cut away: the desktop shows
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(h, copy), SIMPLEREGION);
  RECT box;
  GetRgnBox(copy, &box);
  EXPECT_EQ(box.left, 20);
  DeleteObject(copy);
  SetWindowRgn(h, nullptr, TRUE);
  wu::PumpUntilIdle();
  EXPECT_EQ(At(10, 10), kRed);
}

TEST_F(PaintTest, HidingAndMovingExposeWhatWasUnderneath) {
  HWND below = Top(0, 0, 100, 100);
  HWND above = Top(50, 50, 100, 100);
  colors[below] = kRed;
  colors[above] = kGreen;
  wu::PumpUntilIdle();
  EXPECT_EQ(At(75, 75), kGreen);
  Forget();
  ShowWindow(above, SW_HIDE);
  wu::PumpUntilIdle();
  EXPECT_EQ(painted, std::vector<HWND>{below});
  RECT expected{50, 50, 100, 100};
  EXPECT_TRUE(EqualRect(&lastPaint[below].rcPaint, &expected));
  EXPECT_EQ(At(75, 75), kRed);
  EXPECT_EQ(At(120, 120), GetSysColor(COLOR_BACKGROUND));

  ShowWindow(above, SW_SHOWNA);
  wu::PumpUntilIdle();
  EXPECT_EQ(At(120, 120), kGreen);
  Forget();
  MoveWindow(above, 200, 200, 100, 100, TRUE);
  wu::PumpUntilIdle();
  EXPECT_EQ(At(75, 75), kRed);
  EXPECT_EQ(At(120, 120), GetSysColor(COLOR_BACKGROUND));
  EXPECT_EQ(At(250, 250), kGreen);
}

TEST_F(PaintTest, SaveBitsWindowsPutTheScreenBackUnlessItChanged) {
  WNDCLASSA wc{};
  wc.style = CS_SAVEBITS;
  wc.lpfnWndProc = TestProc;
  wc.lpszClassName = "SavesBits";
  RegisterClassA(&wc);
  HWND below = Top(0, 0, 100, 100);
  colors[below] = kRed;
  wu::PumpUntilIdle();
  HWND popup = Top(20, 20, 40, 40, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST, "SavesBits");
  colors[popup] = kGreen;
  wu::PumpUntilIdle();
  EXPECT_EQ(At(30, 30), kGreen);
  Forget();
  ShowWindow(popup, SW_HIDE);
  wu::PumpUntilIdle();
  EXPECT_TRUE(painted.empty());  // nothing under it was asked to paint
  EXPECT_EQ(At(30, 30), kRed);

  // Once the area under it is invalidated, hiding repaints as usual.
  ShowWindow(popup, SW_SHOWNA);
  wu::PumpUntilIdle();
  colors[below] = kBlue;
  InvalidateRect(below, nullptr, FALSE);
  wu::PumpUntilIdle();
  EXPECT_EQ(At(30, 30), kGreen);
  EXPECT_EQ(At(80, 80), kBlue);
  Forget();
  ShowWindow(popup, SW_HIDE);
  wu::PumpUntilIdle();
  EXPECT_EQ(painted, std::vector<HWND>{below});
  EXPECT_EQ(At(30, 30), kBlue);
}

TEST_F(PaintTest, DropShadowsDarkenTheScreenBelowAndRightOfTheirWindow) {
  WNDCLASSA wc{};
  wc.style = CS_DROPSHADOW;
  wc.lpfnWndProc = TestProc;
  wc.lpszClassName = "Shadowed";
  RegisterClassA(&wc);
  HWND below = Top(0, 0, 200, 200);
  colors[below] = RGB(200, 100, 40);
  wu::PumpUntilIdle();
  HWND popup = Top(20, 20, 50, 40, WS_POPUP | WS_VISIBLE, 0, "Shadowed");
  colors[popup] = kGreen;
  wu::PumpUntilIdle();
  // Darkest next to the window, lighter outwards, nothing beyond; the window itself unshaded.
  EXPECT_EQ(At(69, 40), kGreen);
  EXPECT_EQ(At(70, 40), RGB(100, 50, 20));
  EXPECT_EQ(At(73, 40), RGB(175, 87, 35));
  EXPECT_EQ(At(74, 40), RGB(200, 100, 40));
  EXPECT_EQ(At(40, 60), RGB(100, 50, 20));
  EXPECT_EQ(At(22, 60), RGB(200, 100, 40));  // the bottom shadow starts a little in
  EXPECT_EQ(At(70, 22), RGB(200, 100, 40));  // and so does the right one
  // The shadow takes no clicks: they reach the window under it.
  EXPECT_EQ(WindowFromPoint(POINT{71, 40}), below);

  // The shadow goes with its window. Moved left, the new right shadow lies where the window was
  // and the new bottom one over the old: both darken the window below, not what was left there.
  const COLORREF underColour = RGB(200, 100, 40), darkest = RGB(100, 50, 20);
  MoveWindow(popup, 10, 20, 50, 40, TRUE);
  wu::PumpUntilIdle();
  EXPECT_EQ(At(59, 40), kGreen);
  EXPECT_EQ(At(60, 40), darkest);
  EXPECT_EQ(At(40, 61), RGB(125, 62, 25));
  EXPECT_EQ(At(64, 40), underColour);
  EXPECT_EQ(At(70, 40), underColour);  // where the old shadow was
  // Resized, it takes the new edges.
  SetWindowPos(popup, nullptr, 0, 0, 30, 30, SWP_NOMOVE | SWP_NOZORDER);
  wu::PumpUntilIdle();
  EXPECT_EQ(At(40, 30), darkest);
  EXPECT_EQ(At(30, 50), darkest);
  EXPECT_EQ(At(60, 40), underColour);
  EXPECT_EQ(At(40, 61), underColour);
  // Hiding takes it away; showing casts it anew; destroying takes it away again.
  ShowWindow(popup, SW_HIDE);
  wu::PumpUntilIdle();
  EXPECT_EQ(At(40, 30), underColour);
  EXPECT_EQ(At(30, 50), underColour);
  ShowWindow(popup, SW_SHOW);
  wu::PumpUntilIdle();
  EXPECT_EQ(At(40, 30), darkest);
  DestroyWindow(popup);
  wu::PumpUntilIdle();
  EXPECT_EQ(At(40, 30), underColour);
  EXPECT_EQ(At(30, 50), underColour);
}

TEST_F(PaintTest, WindowScrollBarsAreDrawnAndPressedThroughTheirHandlers) {
  HWND h = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
  wu::PumpUntilIdle();
  EXPECT_EQ(At(90, 90), GetSysColor(COLOR_3DFACE));  // the corner between them
  static std::vector<std::pair<int, RECT>> drawn;
  static std::vector<int> pressed;
  drawn.clear();
  pressed.clear();
  wu::WindowScrollBars handlers;
  handlers.paint = [](HWND, HDC dc, int bar, const RECT& area) {
    drawn.push_back({bar, area});
    HBRUSH b = CreateSolidBrush(kBlue);
    FillRect(dc, &area, b);
    DeleteObject(b);
  };
  handlers.press = [](HWND, int bar, POINT) { pressed.push_back(bar); };
  const wu::WindowScrollBars standard = wu::SetWindowScrollBars(handlers);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0].first, 1);
  RECT vertical{84, 0, 100, 84};
  EXPECT_TRUE(EqualRect(&drawn[0].second, &vertical));
  EXPECT_EQ(At(90, 10), kBlue);
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(90, 10)), HTVSCROLL);
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(10, 90)), HTHSCROLL);
  SendMessageA(h, WM_NCLBUTTONDOWN, HTHSCROLL, MAKELPARAM(10, 90));
  EXPECT_EQ(pressed, std::vector<int>{0});
  wu::SetWindowScrollBars(standard);
}

TEST_F(PaintTest, AnObserverHearsOfScreenChangesAndTopLevelWindows) {
  struct Observer : wu::ScreenObserver {
    void ScreenChanged(const RECT& area) override { areas.push_back(area); }
    void TopLevelChanged(HWND hwnd) override { windows.push_back({hwnd, IsWindow(hwnd) != FALSE}); }
    std::vector<RECT> areas;
    std::vector<std::pair<HWND, bool>> windows;
  } observer;
  wu::SetScreenObserver(&observer);
  HWND h = Top(10, 10, 30, 30);
  HWND child = Child(h, 0, 0, 5, 5);
  colors[h] = kRed;
  wu::PumpUntilIdle();
  ASSERT_FALSE(observer.windows.empty());
  EXPECT_EQ(observer.windows.front(), std::make_pair(h, true));
  bool covered = false;
  for (const RECT& r : observer.areas) covered |= r.left <= 10 && r.top <= 10 && r.right >= 40 && r.bottom >= 40;
  EXPECT_TRUE(covered);
  observer.windows.clear();
  MoveWindow(child, 1, 1, 5, 5, TRUE);  // a child's change is its top-level window's
  EXPECT_EQ(observer.windows, (std::vector<std::pair<HWND, bool>>{{h, true}}));
  observer.windows.clear();
  DestroyWindow(h);
  ASSERT_FALSE(observer.windows.empty());
  EXPECT_EQ(observer.windows.back(), std::make_pair(h, false));
  wu::SetScreenObserver(nullptr);
}

// A palette realised on the screen that brings colours its table lacks changes what shows those
// entries: the display hears of the whole screen and every top-level window, shown or not, of
// which window did it. A palette that brings nothing new, or one realised off the screen, changes
// nothing; a true-colour screen has no table to change.
TEST_F(PaintTest, PaletteScreenTellsTopLevelWindowsWhoChangedItsColours) {
  HWND realising = Top(0, 0, 50, 50);
  HWND shown = Top(100, 0, 50, 50);
  HWND hidden = Top(200, 0, 50, 50, WS_POPUP);
  HWND child = Child(shown, 0, 0, 10, 10);
  wu::PumpUntilIdle();
  std::vector<std::pair<HWND, WPARAM>> told;
  CurrentHandler() = [&told](HWND h, UINT m, WPARAM w, LPARAM, LRESULT*) {
    if (m == WM_PALETTECHANGED) told.push_back({h, w});
    return false;
  };
  struct Observer : wu::ScreenObserver {
    void ScreenChanged(const RECT& area) override { areas.push_back(area); }
    void TopLevelChanged(HWND) override {}
    std::vector<RECT> areas;
  } observer;
  wu::SetScreenObserver(&observer);

  auto makePalette = [](std::initializer_list<PALETTEENTRY> colours) {
    std::vector<uint8_t> storage(sizeof(LOGPALETTE) + colours.size() * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(storage.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = WORD(colours.size());
    std::copy(colours.begin(), colours.end(), lp->palPalEntry);
    return CreatePalette(lp);
  };
  HPALETTE brown = makePalette({{165, 42, 0, 0}, {255, 0, 0, 0}});
  HDC dc = GetDC(realising);
  const bool paletteScreen = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
  HPALETTE old = SelectPalette(dc, brown, FALSE);
  RealizePalette(dc);
  const auto realisingWp = reinterpret_cast<WPARAM>(realising);
  if (paletteScreen) {
    EXPECT_EQ(told.size(), 3u);
    for (HWND top : {realising, shown, hidden}) {
      EXPECT_NE(std::find(told.begin(), told.end(), std::make_pair(top, realisingWp)), told.end());
    }
    for (const auto& [h, w] : told) EXPECT_NE(h, child);
    ASSERT_EQ(observer.areas.size(), 1u);
    const RECT wholeScreen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_TRUE(EqualRect(&observer.areas[0], &wholeScreen));
  } else {
    EXPECT_TRUE(told.empty());
    EXPECT_TRUE(observer.areas.empty());
  }
  told.clear();
  RealizePalette(dc);  // its colours are there now
  EXPECT_TRUE(told.empty());

  HPALETTE olive = makePalette({{97, 113, 5, 0}});
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  HPALETTE oldMemory = SelectPalette(memory, olive, FALSE);
  RealizePalette(memory);
  EXPECT_TRUE(told.empty());

  wu::SetScreenObserver(nullptr);
  SelectPalette(memory, oldMemory, FALSE);
  SelectObject(memory, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
  SelectPalette(dc, old, FALSE);
  ReleaseDC(realising, dc);
  DeleteObject(olive);
  DeleteObject(brown);
}

// Windows answering a palette change by realising palettes of their own with colours the table
// lacks change it again: those changes reach the others later through their queues, never from
// inside the answer, so the answers cannot nest without end.
TEST_F(PaintTest, PaletteScreenAnswersToAPaletteChangeDoNotNest) {
  HWND first = Top(0, 0, 50, 50);
  HWND second = Top(100, 0, 50, 50);
  wu::PumpUntilIdle();
  int depth = 0, deepest = 0, realised = 0;
  BYTE shade = 0;
  std::function<void(HWND)> realiseNewColour = [&](HWND h) {
    LOGPALETTE lp{0x300, 1, {{shade, BYTE(255 - shade), 77, 0}}};
    ++shade;
    HPALETTE palette = CreatePalette(&lp);
    HDC dc = GetDC(h);
    HPALETTE old = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    SelectPalette(dc, old, FALSE);
    ReleaseDC(h, dc);
    DeleteObject(palette);
    ++realised;
  };
  CurrentHandler() = [&](HWND h, UINT m, WPARAM w, LPARAM, LRESULT*) {
    if (m != WM_PALETTECHANGED || reinterpret_cast<HWND>(w) == h || realised >= 20) return false;
    deepest = std::max(deepest, ++depth);
    realiseNewColour(h);
    --depth;
    return false;
  };
  realiseNewColour(first);
  const bool paletteScreen = realised > 1;
  wu::PumpUntilIdle();
  if (paletteScreen) {
    EXPECT_LE(deepest, 2);  // an answer, and the answer to it; never more
    EXPECT_EQ(realised, 20);  // the answers went on through the queues
  } else {
    EXPECT_EQ(realised, 1);  // a true-colour screen has no table to change
  }
  (void)second;
}

// On a palette screen the window coming to the front is asked to realise its palette before it is
// told of its activation; a true-colour screen asks nobody.
TEST_F(PaintTest, PaletteScreenAsksTheWindowComingToTheFrontForItsPalette) {
  HWND first = Top(0, 0, 50, 50);
  HWND second = Top(100, 0, 50, 50);
  wu::PumpUntilIdle();
  ASSERT_EQ(GetActiveWindow(), second);
  Received().clear();
  SetActiveWindow(first);
  std::vector<std::pair<HWND, UINT>> seen;
  for (const auto& m : Received()) {
    if (m.second == WM_QUERYNEWPALETTE || m.second == WM_NCACTIVATE) seen.push_back(m);
  }
  HDC screen = GetDC(nullptr);
  const bool paletteScreen = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
  ReleaseDC(nullptr, screen);
  using Seen = std::vector<std::pair<HWND, UINT>>;
  if (paletteScreen) {
    EXPECT_EQ(seen, (Seen{{second, WM_NCACTIVATE}, {first, WM_QUERYNEWPALETTE}, {first, WM_NCACTIVATE}}));
  } else {
    EXPECT_EQ(seen, (Seen{{second, WM_NCACTIVATE}, {first, WM_NCACTIVATE}}));
  }
}

TEST_F(PaintTest, ScreenDcReadsTheFramebuffer) {
  HWND h = Top(0, 0, 50, 50);
  colors[h] = kBlue;
  wu::PumpUntilIdle();
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, 25, 25), kBlue);
  EXPECT_EQ(GetPixel(screen, 60, 60), GetSysColor(COLOR_BACKGROUND));
  EXPECT_EQ(WindowFromDC(screen), nullptr);
  ReleaseDC(nullptr, screen);
}

TEST_F(PaintTest, PrintDrawsFrameBackgroundClientAndChildrenIntoAnyDc) {
  HWND parent = Top(0, 0, 40, 40, WS_POPUP | WS_VISIBLE | WS_BORDER);
  HWND child = Child(parent, 10, 10, 10, 10);
  CurrentHandler() = [&](HWND h, UINT m, WPARAM w, LPARAM, LRESULT*) {
    if (m == WM_PRINTCLIENT && h == child) {
      RECT r{0, 0, 10, 10};
      HBRUSH b = CreateSolidBrush(kGreen);
      FillRect(reinterpret_cast<HDC>(w), &r, b);
      DeleteObject(b);
      return true;
    }
    return false;
  };
  HDC mem = CreateCompatibleDC(nullptr);
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 40, 40);
  ReleaseDC(nullptr, screen);
  SelectObject(mem, bmp);
  SendMessageA(parent, WM_PRINT, reinterpret_cast<WPARAM>(mem),
               PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT | PRF_CHILDREN);
  EXPECT_EQ(GetPixel(mem, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(GetPixel(mem, 5, 5), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(GetPixel(mem, 15, 15), kGreen);  // the child at its place inside the client area
  DeleteDC(mem);
  DeleteObject(bmp);
}

}  // namespace
}  // namespace win32_test
