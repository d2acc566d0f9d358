// Region algebra, region data, the run builder, clipping, DC state and mapping.
#include <chrono>

#include "canvas.h"
#include "gdi/banded_region.h"

namespace {

using win32::gdi::Region;

TEST(Regions, CombineModesAndTheirResultTypes) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(5, 5, 15, 15);
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  RECT box{};
  EXPECT_EQ(CombineRgn(r, a, b, RGN_AND), SIMPLEREGION);
  GetRgnBox(r, &box);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.right, 10);
  EXPECT_EQ(CombineRgn(r, a, b, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(r, 14, 14));
  EXPECT_FALSE(PtInRegion(r, 14, 2));
  EXPECT_EQ(CombineRgn(r, a, b, RGN_XOR), COMPLEXREGION);
  EXPECT_FALSE(PtInRegion(r, 7, 7));
  EXPECT_TRUE(PtInRegion(r, 2, 2));
  EXPECT_EQ(CombineRgn(r, a, b, RGN_DIFF), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(r, 9, 2));
  EXPECT_FALSE(PtInRegion(r, 9, 9));
  EXPECT_EQ(CombineRgn(r, a, a, RGN_DIFF), NULLREGION);
  EXPECT_EQ(GetRgnBox(r, &box), NULLREGION);
  EXPECT_EQ(CombineRgn(r, b, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(r, b));
  // The destination may be a source.
  EXPECT_EQ(CombineRgn(a, a, b, RGN_AND), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(a, CreateRectRgn(10, 10, 5, 5)));  // corners are sorted
  EXPECT_EQ(CombineRgn(r, a, nullptr, RGN_OR), ERROR);
  EXPECT_EQ(CombineRgn(r, a, b, 9), ERROR);
  EXPECT_EQ(OffsetRgn(a, 5, 0), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(a, 14, 9));
  RECT probe{0, 0, 11, 6};
  EXPECT_TRUE(RectInRegion(a, &probe));
  probe = RECT{0, 0, 10, 5};
  EXPECT_FALSE(RectInRegion(a, &probe));
  for (HRGN h : {a, b, r}) DeleteObject(h);
  // A deleted region is gone for good.
  EXPECT_EQ(CombineRgn(r, a, b, RGN_AND), ERROR);
}

TEST(Regions, RegionDataRoundTripsThroughExtCreateRegion) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(5, 5, 15, 15);
  CombineRgn(a, a, b, RGN_OR);
  DWORD size = GetRegionData(a, 0, nullptr);
  ASSERT_EQ(size, sizeof(RGNDATAHEADER) + 3 * sizeof(RECT));
  std::vector<char> buffer(size);
  RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
  EXPECT_EQ(GetRegionData(a, size - 1, data), 0u);
  ASSERT_EQ(GetRegionData(a, size, data), size);
  EXPECT_EQ(data->rdh.nCount, 3u);
  EXPECT_EQ(data->rdh.rcBound.right, 15);
  const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
  EXPECT_EQ(rects[0].top, 0);  // y-x bands
  EXPECT_EQ(rects[1].top, 5);
  EXPECT_LT(rects[1].left, rects[2].left);
  HRGN copy = ExtCreateRegion(nullptr, size, data);
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(EqualRgn(copy, a));
  data->rdh.nCount = 1000;  // more rectangles than the buffer holds
  EXPECT_EQ(ExtCreateRegion(nullptr, size, data), nullptr);
  for (HRGN h : {a, b, copy}) DeleteObject(h);
}

TEST(Regions, EllipsePolygonAndRoundRectRegions) {
  HRGN e = CreateEllipticRgn(0, 0, 20, 10);
  RECT box{};
  EXPECT_EQ(GetRgnBox(e, &box), COMPLEXREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, 20);
  EXPECT_EQ(box.bottom, 10);
  EXPECT_FALSE(PtInRegion(e, 0, 0));
  EXPECT_TRUE(PtInRegion(e, 10, 5));
  POINT triangle[3] = {{0, 0}, {10, 0}, {0, 10}};
  HRGN t = CreatePolygonRgn(triangle, 3, ALTERNATE);
  EXPECT_TRUE(PtInRegion(t, 1, 1));
  EXPECT_FALSE(PtInRegion(t, 8, 8));
  EXPECT_EQ(CreatePolygonRgn(triangle, 3, 7), nullptr);
  HRGN rr = CreateRoundRectRgn(0, 0, 20, 20, 20, 20);
  EXPECT_TRUE(EqualRgn(rr, CreateEllipticRgn(0, 0, 20, 20)));
  for (HRGN h : {e, t, rr}) DeleteObject(h);
}

TEST(Regions, RunBuilderMatchesTheUnionOfItsRuns) {
  // A checkered key mask: runs that repeat over rows merge into bands.
  Region::RunBuilder builder;
  std::vector<RECT> rects;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; x += 8) {
      int shift = (y / 10) % 2 ? 4 : 0;
      builder.AddRun(y, x + shift, x + shift + 3);
      builder.AddRun(y, x + shift + 3, x + shift + 4);  // touching runs join
      rects.push_back(RECT{x + shift, y, x + shift + 4, y + 1});
    }
  }
  Region built = builder.Finish();
  EXPECT_TRUE(built == Region::FromRects(rects));
  EXPECT_EQ(built.Rects().size(), 20u);  // 4 bands of 5 runs
}

TEST(Regions, RunBuilderIsFastOnAKeyColourMask) {
  // A 640x480 mask with thousands of runs builds quickly (reported, never asserted on time).
  auto start = std::chrono::steady_clock::now();
  Region::RunBuilder builder;
  size_t runs = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = (y % 7); x < 640; x += 9) {
      builder.AddRun(y, x, x + 5);
      ++runs;
    }
  Region r = builder.Finish();
  auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_FALSE(r.IsEmpty());
  EXPECT_TRUE(r.Contains(9, 7));
  EXPECT_FALSE(r.Contains(5, 0));
  RecordProperty("runs", static_cast<int>(runs));
  RecordProperty("microseconds", static_cast<int>(us));
}

TEST(Regions, PixelByPixelExclusiveOrMatchesTheRegionAlgebra) {
  // Random single-pixel toggles on a region handle against the same toggles done in full.
  HRGN h = CreateRectRgn(2, 2, 12, 9);
  Region expected(2, 2, 12, 9);
  uint32_t seed = 12345;
  for (int i = 0; i < 600; ++i) {
    seed = seed * 1103515245 + 12345;
    int x = (seed >> 8) % 16, y = (seed >> 16) % 12;
    HRGN pixel = CreateRectRgn(x, y, x + 1, y + 1);
    int type = CombineRgn(h, h, pixel, RGN_XOR);
    DeleteObject(pixel);
    expected = expected.Xor(Region(x, y, x + 1, y + 1));
    ASSERT_EQ(type, expected.Type()) << i;
    if (i % 97 == 0) {  // reads in between switch back and forth
      RECT box{};
      GetRgnBox(h, &box);
      EXPECT_EQ(box.right, expected.Box().right);
    }
  }
  HRGN check = CreateRectRgn(0, 0, 0, 0);
  auto object = win32::LookupHandle<win32::gdi::RegionObject>(check, win32::HandleKind::Region);
  object->region = expected;
  EXPECT_TRUE(EqualRgn(h, check));
  // Cutting a rectangle down pixel by pixel keeps the type exact on the way.
  HRGN bar = CreateRectRgn(0, 0, 3, 2);
  HRGN p = CreateRectRgn(2, 0, 3, 1);
  EXPECT_EQ(CombineRgn(bar, bar, p, RGN_XOR), COMPLEXREGION);
  SetRectRgn(p, 2, 1, 3, 2);
  EXPECT_EQ(CombineRgn(bar, bar, p, RGN_XOR), SIMPLEREGION);
  for (int x = 0; x < 2; ++x)
    for (int y = 0; y < 2; ++y) {
      SetRectRgn(p, x, y, x + 1, y + 1);
      CombineRgn(bar, bar, p, RGN_XOR);
    }
  RECT box{1, 1, 1, 1};
  EXPECT_EQ(GetRgnBox(bar, &box), NULLREGION);
  for (HRGN r : {h, check, bar, p}) DeleteObject(r);
}

TEST(Regions, WindowShapeFromAKeyColourBitmapPixelByPixel) {
  // A skin cuts its window out of a bitmap: the rectangle minus every key-coloured pixel,
  // visited column by column with one exclusive-or per pixel.
  const COLORREF key = RGB(255, 0, 255);
  Canvas bitmap(64, 48, RGB(10, 20, 30));
  Region::RunBuilder runs;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      bool keyed = (x * x + y * y < 200) || ((x + 2 * y) % 13 == 0);
      if (keyed) bitmap.Set(x, y, key);
      else runs.AddRun(y, x, x + 1);
    }
  HRGN shape = CreateRectRgn(0, 0, 64, 48);
  for (int x = 0; x < 64; ++x)
    for (int y = 0; y < 48; ++y) {
      if (GetPixel(bitmap.dc(), x, y) != key) continue;
      HRGN pixel = CreateRectRgn(x, y, x + 1, y + 1);
      CombineRgn(shape, shape, pixel, RGN_XOR);
      DeleteObject(pixel);
    }
  auto object = win32::LookupHandle<win32::gdi::RegionObject>(shape, win32::HandleKind::Region);
  EXPECT_TRUE(object->region.Get() == runs.Finish());
  EXPECT_FALSE(PtInRegion(shape, 0, 0));
  EXPECT_TRUE(PtInRegion(shape, 63, 47));
  DeleteObject(shape);
}

TEST(Clipping, ClipRectanglesRegionsAndTheClipBox) {
  Canvas c(10, 10);
  RECT all{0, 0, 10, 10};
  EXPECT_EQ(IntersectClipRect(c.dc(), 2, 2, 8, 8), SIMPLEREGION);
  EXPECT_EQ(ExcludeClipRect(c.dc(), 4, 4, 6, 6), COMPLEXREGION);
  FillRect(c.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.Count(RGB(0, 0, 0)), 36 - 4);
  EXPECT_EQ(c.At(5, 5), RGB(255, 255, 255));
  RECT box{};
  EXPECT_EQ(GetClipBox(c.dc(), &box), COMPLEXREGION);
  EXPECT_EQ(box.left, 2);
  EXPECT_EQ(box.right, 8);
  HRGN clip = CreateRectRgn(0, 0, 1, 1);
  EXPECT_EQ(GetClipRgn(c.dc(), clip), 1);
  EXPECT_FALSE(PtInRegion(clip, 5, 5));
  EXPECT_TRUE(PtInRegion(clip, 2, 2));
  EXPECT_EQ(SelectClipRgn(c.dc(), nullptr), SIMPLEREGION);
  EXPECT_EQ(GetClipRgn(c.dc(), clip), 0);
  EXPECT_FALSE(PtVisible(c.dc(), 10, 0));
  EXPECT_TRUE(PtVisible(c.dc(), 9, 0));
  DeleteObject(clip);
}

TEST(Clipping, ClipRegionsAreInDeviceUnitsAndClipRectanglesInLogicalUnits) {
  Canvas c(10, 10);
  SetViewportOrgEx(c.dc(), 3, 0, nullptr);
  HRGN clip = CreateRectRgn(0, 0, 5, 10);
  SelectClipRgn(c.dc(), clip);  // device 0..5
  RECT box{};
  GetClipBox(c.dc(), &box);
  EXPECT_EQ(box.left, -3);  // logical
  EXPECT_EQ(box.right, 2);
  ExtSelectClipRgn(c.dc(), nullptr, RGN_COPY);
  IntersectClipRect(c.dc(), 0, 0, 2, 10);  // logical 0..2 is device 3..5
  RECT all{-3, 0, 7, 10};
  FillRect(c.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.At(2, 0), RGB(255, 255, 255));
  EXPECT_EQ(c.At(3, 0), RGB(0, 0, 0));
  EXPECT_EQ(c.At(4, 0), RGB(0, 0, 0));
  EXPECT_EQ(c.At(5, 0), RGB(255, 255, 255));
  // RGN_DIFF of a DC without a clip region starts from the whole surface.
  SelectClipRgn(c.dc(), nullptr);
  EXPECT_EQ(ExtSelectClipRgn(c.dc(), clip, RGN_DIFF), SIMPLEREGION);
  EXPECT_FALSE(PtVisible(c.dc(), 0, 0));  // logical 0 is device 3
  EXPECT_TRUE(PtVisible(c.dc(), 3, 0));
  DeleteObject(clip);
}

TEST(DeviceContexts, SaveAndRestoreBringBackStateObjectsAndClip) {
  Canvas c(4, 4);
  SetTextColor(c.dc(), RGB(1, 2, 3));
  int first = SaveDC(c.dc());
  EXPECT_EQ(first, 1);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ before = SelectObject(c.dc(), red);
  SetTextColor(c.dc(), RGB(4, 5, 6));
  SetWindowOrgEx(c.dc(), 1, 1, nullptr);
  IntersectClipRect(c.dc(), 1, 1, 2, 2);
  EXPECT_EQ(SaveDC(c.dc()), 2);
  SetBkMode(c.dc(), TRANSPARENT);
  EXPECT_TRUE(RestoreDC(c.dc(), -1));
  EXPECT_EQ(GetBkMode(c.dc()), OPAQUE);
  EXPECT_EQ(GetTextColor(c.dc()), RGB(4, 5, 6));
  EXPECT_TRUE(RestoreDC(c.dc(), first));
  EXPECT_EQ(GetTextColor(c.dc()), RGB(1, 2, 3));
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_BRUSH), before);
  POINT org{};
  GetWindowOrgEx(c.dc(), &org);
  EXPECT_EQ(org.x, 0);
  RECT box{};
  EXPECT_EQ(GetClipBox(c.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 4);
  EXPECT_FALSE(RestoreDC(c.dc(), 1));  // nothing saved any more
  DeleteObject(red);
}

TEST(DeviceContexts, MappingMovesDrawingByTheOrigins) {
  Canvas c(8, 8);
  SetWindowOrgEx(c.dc(), 2, 0, nullptr);
  SetViewportOrgEx(c.dc(), 0, 3, nullptr);
  POINT p{5, 5};
  LPtoDP(c.dc(), &p, 1);
  EXPECT_EQ(p.x, 3);
  EXPECT_EQ(p.y, 8);
  DPtoLP(c.dc(), &p, 1);
  EXPECT_EQ(p.x, 5);
  SetPixel(c.dc(), 3, 1, RGB(0, 0, 0));
  EXPECT_EQ(c.At(1, 4), RGB(0, 0, 0));
  EXPECT_EQ(SetMapMode(c.dc(), MM_TEXT), MM_TEXT);
  EXPECT_EQ(SetMapMode(c.dc(), 8), 0);
  SIZE ext{};
  GetWindowExtEx(c.dc(), &ext);
  EXPECT_EQ(ext.cx, 1);
}

TEST(DeviceContexts, ObjectsSelectionStockObjectsAndStaleHandles) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  HPEN pen = CreatePen(PS_SOLID, 3, RGB(1, 2, 3));
  LOGPEN lp{};
  ASSERT_EQ(GetObject(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnWidth.x, 3);
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
  // A bitmap is in one DC at a time and cannot be deleted while selected.
  HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  HDC other = CreateCompatibleDC(nullptr);
  ASSERT_NE(SelectObject(dc, bitmap), nullptr);
  EXPECT_EQ(SelectObject(other, bitmap), nullptr);
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
  DeleteDC(dc);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(GetObjectType(dc), 0u);
  EXPECT_EQ(SelectObject(dc, pen), nullptr);
  DeleteObject(pen);
  DeleteDC(other);
}

TEST(DeviceContexts, DeviceCapsOfTheDefaultScreen) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), -1);
  EXPECT_EQ(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE, 0);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
  EXPECT_EQ(GetNearestColor(dc, RGB(1, 2, 3)), RGB(1, 2, 3));
  DeleteDC(dc);
}

TEST(DeviceContexts, SurfaceDcDrawsOnlyInsideItsVisibleRegion) {
  // What the window layer does: a DC over part of a framebuffer with a visible region.
  auto frame = win32::gdi::NewBitmap(20, 10, win32::gdi::PixelFormat::Bits(32), false);
  auto& s = *frame->surface;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) s.Put(x, y, 0xFFFFFF);
  Region visible(0, 0, 5, 5);
  HDC dc = win32::gdi::MakeSurfaceDC(frame->surface, POINT{10, 2}, visible);
  RECT r{0, 0, 100, 100};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(s.Get(10, 2), 0u);
  EXPECT_EQ(s.Get(14, 6), 0u);
  EXPECT_EQ(s.Get(15, 6), 0xFFFFFFu);
  EXPECT_EQ(s.Get(9, 2), 0xFFFFFFu);
  RECT box{};
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 5);
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
  // Copies land at the DC's origin too, keyed ones included.
  Canvas source(2, 1, RGB(0, 0, 255));
  source.Set(1, 0, RGB(255, 0, 255));
  ASSERT_TRUE(TransparentBlt(dc, 1, 1, 2, 1, source.dc(), 0, 0, 2, 1, RGB(255, 0, 255)));
  EXPECT_EQ(s.Get(11, 3), 0x0000FFu);
  EXPECT_EQ(s.Get(12, 3), 0u);
  win32::gdi::SetSurfaceDCPlacement(dc, POINT{0, 0}, Region(0, 0, 20, 10));
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(s.Get(19, 9), 0u);
  DeleteDC(dc);
}

}  // namespace
