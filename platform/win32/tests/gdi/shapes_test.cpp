// Lines, shapes, brushes, edges, focus rectangles and state drawing.
#include <climits>

#include "canvas.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

TEST(Lines, EndPointIsExcludedInEveryDirection) {
  Canvas c(10, 10);
  MoveToEx(c.dc(), 1, 1, nullptr);
  LineTo(c.dc(), 8, 1);
  EXPECT_EQ(c.At(1, 1), kBlack);
  EXPECT_EQ(c.At(7, 1), kBlack);
  EXPECT_EQ(c.At(8, 1), kWhite);
  LineTo(c.dc(), 8, 8);  // continues from the last end point, drawing it now
  EXPECT_EQ(c.At(8, 1), kBlack);
  EXPECT_EQ(c.At(8, 7), kBlack);
  EXPECT_EQ(c.At(8, 8), kWhite);
  POINT p{};
  GetCurrentPositionEx(c.dc(), &p);
  EXPECT_EQ(p.x, 8);
  EXPECT_EQ(p.y, 8);
  c.Fill(kWhite);
  MoveToEx(c.dc(), 8, 8, nullptr);
  LineTo(c.dc(), 1, 1);  // diagonal backwards
  for (int i = 2; i <= 8; ++i) EXPECT_EQ(c.At(i, i), kBlack) << i;
  EXPECT_EQ(c.At(1, 1), kWhite);
  EXPECT_EQ(c.Count(kBlack), 7);
}

TEST(Lines, ShallowLineStepsOncePerRunAndCoversEachColumn) {
  Canvas c(12, 4);
  MoveToEx(c.dc(), 0, 0, nullptr);
  LineTo(c.dc(), 10, 2);
  for (int x = 0; x < 10; ++x) {
    int n = 0;
    for (int y = 0; y < 4; ++y) n += c.At(x, y) == kBlack;
    EXPECT_EQ(n, 1) << x;
  }
  EXPECT_EQ(c.At(0, 0), kBlack);
  EXPECT_EQ(c.At(9, 2), kBlack);
  EXPECT_EQ(c.Count(kBlack), 10);
}

TEST(Lines, HalfwayPointsGoUpForFlatLinesAndRightForSteepOnesInBothDirections) {
  Canvas c(6, 6);
  MoveToEx(c.dc(), 0, 0, nullptr);
  LineTo(c.dc(), 4, 2);  // passes exactly between rows at x = 1 and x = 3
  EXPECT_EQ(c.At(1, 0), kBlack);
  EXPECT_EQ(c.At(3, 1), kBlack);
  c.Fill(kWhite);
  MoveToEx(c.dc(), 4, 2, nullptr);
  LineTo(c.dc(), 0, 0);
  EXPECT_EQ(c.At(3, 1), kBlack);
  EXPECT_EQ(c.At(1, 0), kBlack);
  c.Fill(kWhite);
  MoveToEx(c.dc(), 0, 0, nullptr);
  LineTo(c.dc(), 2, 4);
  EXPECT_EQ(c.At(1, 1), kBlack);
  EXPECT_EQ(c.At(2, 3), kBlack);
}

TEST(Lines, Rop2AndNullPen) {
  Canvas c(4, 1, RGB(0x0F, 0x0F, 0x0F));
  SetROP2(c.dc(), R2_NOT);
  MoveToEx(c.dc(), 0, 0, nullptr);
  LineTo(c.dc(), 2, 0);
  EXPECT_EQ(c.At(0, 0), RGB(0xF0, 0xF0, 0xF0));
  EXPECT_EQ(c.At(2, 0), RGB(0x0F, 0x0F, 0x0F));
  SetROP2(c.dc(), R2_COPYPEN);
  SelectObject(c.dc(), GetStockObject(NULL_PEN));
  LineTo(c.dc(), 4, 0);
  EXPECT_EQ(c.At(3, 0), RGB(0x0F, 0x0F, 0x0F));
}

TEST(Lines, DottedPenLeavesGaps) {
  Canvas c(12, 1);
  HPEN pen = CreatePen(PS_DOT, 1, kBlack);
  HGDIOBJ old = SelectObject(c.dc(), pen);
  SetBkMode(c.dc(), TRANSPARENT);
  MoveToEx(c.dc(), 0, 0, nullptr);
  LineTo(c.dc(), 12, 0);
  EXPECT_EQ(c.At(0, 0), kBlack);
  EXPECT_EQ(c.At(2, 0), kBlack);
  EXPECT_EQ(c.At(3, 0), kWhite);
  EXPECT_EQ(c.At(6, 0), kBlack);
  DeleteObject(SelectObject(c.dc(), old));
}

TEST(Shapes, RectangleFramesWithPenFillsWithBrushAndShrinksWithoutPen) {
  Canvas c(10, 10);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ oldBrush = SelectObject(c.dc(), red);
  ASSERT_TRUE(Rectangle(c.dc(), 1, 1, 5, 5));
  EXPECT_EQ(c.At(1, 1), kBlack);
  EXPECT_EQ(c.At(4, 4), kBlack);
  EXPECT_EQ(c.At(5, 5), kWhite);
  EXPECT_EQ(c.At(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(c.Count(RGB(255, 0, 0)), 4);
  c.Fill(kWhite);
  SelectObject(c.dc(), GetStockObject(NULL_PEN));
  Rectangle(c.dc(), 1, 1, 5, 5);
  EXPECT_EQ(c.Count(RGB(255, 0, 0)), 9);  // 3 x 3: the last row and column are left out
  SelectObject(c.dc(), oldBrush);
  DeleteObject(red);
}

TEST(Shapes, EllipseAndRoundRectStayInsideTheirBoxAndAreSymmetric) {
  Canvas c(24, 16);
  SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
  ASSERT_TRUE(Ellipse(c.dc(), 2, 2, 22, 14));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x) {
      bool inBox = x >= 2 && x < 22 && y >= 2 && y < 14;
      if (!inBox) {
        EXPECT_EQ(c.At(x, y), kWhite) << x << "," << y;
      }
      EXPECT_EQ(c.At(x, y), c.At(23 - x, y)) << x << "," << y;
      EXPECT_EQ(c.At(x, y), c.At(x, 15 - y)) << x << "," << y;
    }
  EXPECT_EQ(c.At(2, 2), kWhite);  // corners are cut
  EXPECT_EQ(c.At(2, 7), kBlack);
  EXPECT_EQ(c.At(12, 2), kBlack);
  c.Fill(kWhite);
  RoundRect(c.dc(), 0, 0, 24, 16, 6, 6);
  EXPECT_EQ(c.At(0, 0), kWhite);
  EXPECT_EQ(c.At(0, 8), kBlack);
  EXPECT_EQ(c.At(12, 0), kBlack);
  EXPECT_EQ(c.At(23, 15), kWhite);
}

TEST(Shapes, PolygonFillModes) {
  // A pentagram: its centre is outside with ALTERNATE and inside with WINDING.
  POINT star[5] = {{20, 0}, {32, 38}, {0, 14}, {40, 14}, {8, 38}};
  Canvas c(41, 40);
  SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
  SelectObject(c.dc(), GetStockObject(NULL_PEN));
  Polygon(c.dc(), star, 5);
  EXPECT_EQ(c.At(20, 22), kWhite);
  EXPECT_EQ(c.At(20, 8), kBlack);
  SetPolyFillMode(c.dc(), WINDING);
  Polygon(c.dc(), star, 5);
  EXPECT_EQ(c.At(20, 22), kBlack);
}

TEST(Brushes, HatchPatternsFollowTheBrushOriginAndBackgroundMode) {
  Canvas c(8, 8, RGB(0, 255, 0));
  HBRUSH hatch = CreateHatchBrush(HS_HORIZONTAL, RGB(255, 0, 0));
  RECT r{0, 0, 8, 8};
  SetBkMode(c.dc(), TRANSPARENT);
  FillRect(c.dc(), &r, hatch);
  EXPECT_EQ(c.Count(RGB(255, 0, 0)), 8);
  EXPECT_EQ(c.At(0, 3), RGB(255, 0, 0));
  EXPECT_EQ(c.At(0, 0), RGB(0, 255, 0));  // background left alone
  SetBkMode(c.dc(), OPAQUE);
  SetBkColor(c.dc(), RGB(0, 0, 255));
  SetBrushOrgEx(c.dc(), 0, 2, nullptr);
  FillRect(c.dc(), &r, hatch);
  EXPECT_EQ(c.At(0, 5), RGB(255, 0, 0));
  EXPECT_EQ(c.At(0, 3), RGB(0, 0, 255));
  LOGBRUSH lb{};
  ASSERT_EQ(GetObject(hatch, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HATCHED));
  EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_HORIZONTAL));
  DeleteObject(hatch);
}

TEST(Brushes, MonochromePatternBrushUsesTextAndBackgroundColours) {
  MonoCanvas pattern({"01", "10"});
  HBRUSH brush = CreatePatternBrush(pattern.bitmap());
  Canvas c(4, 2);
  SetTextColor(c.dc(), RGB(255, 0, 0));
  SetBkColor(c.dc(), RGB(0, 0, 255));
  RECT r{0, 0, 4, 2};
  FillRect(c.dc(), &r, brush);
  EXPECT_EQ(c.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.At(1, 0), RGB(0, 0, 255));
  EXPECT_EQ(c.At(2, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.At(0, 1), RGB(0, 0, 255));
  DeleteObject(brush);
}

TEST(UserDrawing, FillFrameInvertAndSystemColourBrushes) {
  Canvas c(6, 6);
  RECT r{1, 1, 5, 5};
  EXPECT_EQ(FillRect(c.dc(), &r, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), 1);
  EXPECT_EQ(c.At(1, 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(c.At(5, 5), kWhite);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
  FrameRect(c.dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.At(1, 4), kBlack);
  EXPECT_EQ(c.At(2, 2), GetSysColor(COLOR_BTNFACE));
  InvertRect(c.dc(), &r);
  EXPECT_EQ(c.At(1, 1), kWhite);
  // System colour brushes are stock objects: deleting them changes nothing.
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  EXPECT_TRUE(DeleteObject(face));
  EXPECT_EQ(GetObjectType(face), static_cast<DWORD>(OBJ_BRUSH));
}

TEST(UserDrawing, FocusRectangleIsDottedAndUndoneByASecondCall) {
  Canvas c(8, 8);
  RECT r{0, 0, 8, 8};
  DrawFocusRect(c.dc(), &r);
  EXPECT_EQ(c.At(0, 0), kBlack);
  EXPECT_EQ(c.At(1, 0), kWhite);
  EXPECT_EQ(c.At(2, 0), kBlack);
  EXPECT_EQ(c.At(3, 3), kWhite);
  EXPECT_EQ(c.Count(kBlack), 14);
  DrawFocusRect(c.dc(), &r);
  EXPECT_EQ(c.Count(kWhite), 64);
}

TEST(UserDrawing, EdgesUseTheThreeDimensionalColours) {
  Canvas c(10, 10);
  RECT r{0, 0, 10, 10};
  ASSERT_TRUE(DrawEdge(c.dc(), &r, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE));
  EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(c.At(9, 9), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(c.At(9, 0), GetSysColor(COLOR_3DDKSHADOW));  // the top-right corner belongs to the right side
  EXPECT_EQ(c.At(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(c.At(8, 8), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(5, 5), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(r.left, 2);
  EXPECT_EQ(r.bottom, 8);
  c.Fill(kWhite);
  RECT line{0, 4, 10, 10};
  DrawEdge(c.dc(), &line, EDGE_ETCHED, BF_TOP);
  EXPECT_EQ(c.At(3, 4), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(3, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(c.At(3, 6), kWhite);
}

TEST(UserDrawing, DisabledStateIsEmbossedAndMonoUsesTheBrush) {
  MonoCanvas glyph({"00", "01"});  // black pixels are the ink
  Canvas c(4, 4, RGB(0, 128, 0));
  ASSERT_TRUE(DrawState(c.dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(glyph.bitmap()), 0, 1, 1, 0, 0,
                        DST_BITMAP | DSS_DISABLED));
  EXPECT_EQ(c.At(1, 1), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(2, 2), GetSysColor(COLOR_BTNHIGHLIGHT));  // highlight one pixel down-right of the ink
  EXPECT_EQ(c.At(0, 0), RGB(0, 128, 0));
  c.Fill(RGB(0, 128, 0));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  DrawState(c.dc(), red, nullptr, reinterpret_cast<LPARAM>(glyph.bitmap()), 0, 0, 0, 0, 0, DST_BITMAP | DSS_MONO);
  EXPECT_EQ(c.Count(RGB(255, 0, 0)), 3);
  EXPECT_EQ(c.At(1, 1), RGB(0, 128, 0));
  DeleteObject(red);
}

BOOL CALLBACK DrawBar(HDC hdc, LPARAM, WPARAM, int cx, int) {
  RECT r{0, 0, cx, 1};
  return FillRect(hdc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

TEST(UserDrawing, ComplexStateDrawsThroughTheCallbackAtThePosition) {
  Canvas c(6, 4, RGB(0, 128, 0));
  ASSERT_TRUE(DrawState(c.dc(), nullptr, &DrawBar, 0, 0, 1, 2, 3, 1, DST_COMPLEX));
  EXPECT_EQ(c.At(1, 2), kBlack);
  EXPECT_EQ(c.At(3, 2), kBlack);
  EXPECT_EQ(c.At(4, 2), RGB(0, 128, 0));
  EXPECT_EQ(c.At(0, 0), RGB(0, 128, 0));
  POINT org{};
  GetViewportOrgEx(c.dc(), &org);
  EXPECT_EQ(org.x, 0);  // the DC is left as it was
  ASSERT_TRUE(DrawState(c.dc(), nullptr, &DrawBar, 0, 0, 1, 0, 3, 1, DST_COMPLEX | DSS_DISABLED));
  EXPECT_EQ(c.At(1, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(4, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_FALSE(DrawState(c.dc(), nullptr, &DrawBar, 0, 0, 0, 0, 0, 0, DST_COMPLEX));  // no size to go by
}

TEST(UserDrawing, FrameControlPushButtonCheckBoxAndCloseBox) {
  Canvas c(16, 16);
  RECT r{0, 0, 16, 16};
  ASSERT_TRUE(DrawFrameControl(c.dc(), &r, DFC_BUTTON, DFCS_BUTTONPUSH));
  EXPECT_EQ(c.At(8, 8), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(c.At(15, 15), GetSysColor(COLOR_3DDKSHADOW));
  c.Fill(kWhite);
  ASSERT_TRUE(DrawFrameControl(c.dc(), &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED));
  EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_GT(c.Count(GetSysColor(COLOR_WINDOWTEXT)), 10);
  // The close box: an X through the middle of a flat face, grey when inactive.
  c.Fill(kWhite);
  ASSERT_TRUE(DrawFrameControl(c.dc(), &r, DFC_CAPTION, DFCS_CAPTIONCLOSE));
  EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_3DFACE));
  EXPECT_EQ(c.At(7, 7), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(c.At(4, 4), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(c.At(11, 4), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(c.At(7, 3), GetSysColor(COLOR_3DFACE));
  ASSERT_TRUE(DrawFrameControl(c.dc(), &r, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_INACTIVE));
  EXPECT_EQ(c.At(7, 7), GetSysColor(COLOR_GRAYTEXT));
  EXPECT_FALSE(DrawFrameControl(c.dc(), &r, DFC_CAPTION, DFCS_CAPTIONMIN));
}

TEST(UserDrawing, FrameControlScrollArrowsPointTheirWay) {
  Canvas c(16, 16);
  RECT r{0, 0, 16, 16};
  const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
  // The arrow's point is one pixel; its base, four rows away, is seven.
  ASSERT_TRUE(DrawFrameControl(c.dc(), &r, DFC_SCROLL, DFCS_SCROLLUP));
  EXPECT_EQ(c.At(8, 6), ink);
  EXPECT_NE(c.At(7, 6), ink);
  EXPECT_EQ(c.At(5, 9), ink);
  EXPECT_EQ(c.At(15, 15), GetSysColor(COLOR_3DDKSHADOW));
  // Down, and the combo box's drop button.
  for (UINT kind : {UINT(DFCS_SCROLLDOWN), UINT(DFCS_SCROLLCOMBOBOX)}) {
    c.Fill(kWhite);
    ASSERT_TRUE(DrawFrameControl(c.dc(), &r, DFC_SCROLL, kind));
    EXPECT_EQ(c.At(8, 10), ink);
    EXPECT_NE(c.At(7, 10), ink);
    EXPECT_EQ(c.At(5, 7), ink);
  }
  c.Fill(kWhite);
  ASSERT_TRUE(DrawFrameControl(c.dc(), &r, DFC_SCROLL, DFCS_SCROLLLEFT));
  EXPECT_EQ(c.At(6, 8), ink);
  EXPECT_NE(c.At(6, 7), ink);
  EXPECT_EQ(c.At(9, 5), ink);
  c.Fill(kWhite);
  ASSERT_TRUE(DrawFrameControl(c.dc(), &r, DFC_SCROLL, DFCS_SCROLLRIGHT));
  EXPECT_EQ(c.At(10, 8), ink);
  EXPECT_NE(c.At(10, 7), ink);
  EXPECT_EQ(c.At(7, 5), ink);
  // Pushed: sunken and the arrow a pixel down and right; inactive: grey.
  c.Fill(kWhite);
  ASSERT_TRUE(DrawFrameControl(c.dc(), &r, DFC_SCROLL, DFCS_SCROLLUP | DFCS_PUSHED | DFCS_INACTIVE));
  EXPECT_EQ(c.At(9, 7), GetSysColor(COLOR_GRAYTEXT));
  EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_FALSE(DrawFrameControl(c.dc(), &r, DFC_SCROLL, 0x0004));
}

TEST(Regions, PaintingRegionsFillFrameAndInvert) {
  Canvas c(10, 10);
  HRGN r = CreateRectRgn(2, 2, 8, 8);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  ASSERT_TRUE(FrameRgn(c.dc(), r, red, 2, 1));
  EXPECT_EQ(c.At(2, 4), RGB(255, 0, 0));
  EXPECT_EQ(c.At(3, 4), RGB(255, 0, 0));
  EXPECT_EQ(c.At(4, 4), kWhite);
  EXPECT_EQ(c.At(4, 2), RGB(255, 0, 0));
  EXPECT_EQ(c.At(4, 3), kWhite);
  EXPECT_EQ(c.Count(RGB(255, 0, 0)), 36 - 2 * 4);
  ASSERT_TRUE(InvertRgn(c.dc(), r));
  EXPECT_EQ(c.At(4, 4), kBlack);
  EXPECT_EQ(c.At(2, 2), RGB(0, 255, 255));
  SetWindowOrgEx(c.dc(), 2, 2, nullptr);  // regions given to painting calls are logical
  ASSERT_TRUE(FillRgn(c.dc(), r, red));
  EXPECT_EQ(c.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.At(6, 6), RGB(0, 255, 255));  // outside the moved fill: still inverted frame
  SetWindowOrgEx(c.dc(), 0, 0, nullptr);
  SelectObject(c.dc(), GetStockObject(DC_BRUSH));
  SetDCBrushColor(c.dc(), RGB(0, 0, 255));
  ASSERT_TRUE(PaintRgn(c.dc(), r));
  EXPECT_EQ(c.At(7, 7), RGB(0, 0, 255));
  DeleteObject(red);
  DeleteObject(r);
}

TEST(Lines, PolylineLeavesItsLastPointAndRoundRectFramesWithThePen) {
  Canvas c(10, 10);
  POINT pts[3] = {{0, 0}, {5, 0}, {5, 5}};
  ASSERT_TRUE(Polyline(c.dc(), pts, 3));
  EXPECT_EQ(c.At(5, 0), kBlack);
  EXPECT_EQ(c.At(5, 4), kBlack);
  EXPECT_EQ(c.At(5, 5), kWhite);
  EXPECT_EQ(c.Count(kBlack), 10);
  c.Fill(kWhite);
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  SelectObject(c.dc(), red);
  SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
  RoundRect(c.dc(), 0, 0, 10, 10, 4, 4);
  EXPECT_EQ(c.At(5, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.At(9, 5), RGB(255, 0, 0));
  EXPECT_EQ(c.At(5, 5), kBlack);
  EXPECT_EQ(c.At(0, 0), kWhite);
  SelectObject(c.dc(), GetStockObject(BLACK_PEN));
  DeleteObject(red);
}

TEST(UserDrawing, RectangleHelpers) {
  RECT a{0, 0, 10, 10}, b{5, 5, 15, 15}, r{};
  EXPECT_TRUE(IntersectRect(&r, &a, &b));
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.right, 10);
  RECT far{20, 20, 30, 30};
  EXPECT_FALSE(IntersectRect(&r, &a, &far));
  EXPECT_TRUE(IsRectEmpty(&r));
  EXPECT_TRUE(UnionRect(&r, &a, &b));
  EXPECT_EQ(r.right, 15);
  RECT top{0, 0, 10, 4};
  EXPECT_TRUE(SubtractRect(&r, &a, &top));
  EXPECT_EQ(r.top, 4);
  EXPECT_TRUE(SubtractRect(&r, &a, &b));  // a corner cut leaves the rectangle whole
  EXPECT_TRUE(EqualRect(&r, &a));
  EXPECT_TRUE(PtInRect(&a, POINT{0, 9}));
  EXPECT_FALSE(PtInRect(&a, POINT{10, 9}));
  InflateRect(&r, 1, 2);
  OffsetRect(&r, 1, 1);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.bottom, 13);
}

}  // namespace

// Coordinates from skin descriptions may be anything: far-off shapes and blits draw what falls on
// the surface, quickly, and never overflow.
TEST(FarCoordinates, DrawOnlyWhatReachesTheSurface) {
  const int kMin = INT_MIN, kMax = INT_MAX;
  Canvas canvas(16, 8);
  HDC dc = canvas.dc();
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  SelectObject(dc, black);
  SelectObject(dc, GetStockObject(NULL_PEN));

  EXPECT_TRUE(PatBlt(dc, kMin, kMin, kMax, kMax, BLACKNESS));
  EXPECT_EQ(canvas.Count(RGB(0, 0, 0)), 0) << "the box ends just before the surface";
  EXPECT_TRUE(PatBlt(dc, kMin / 2, kMin / 2, kMax, kMax, BLACKNESS));
  EXPECT_EQ(canvas.Count(RGB(0, 0, 0)), 16 * 8);

  canvas.Fill(RGB(255, 255, 255));
  Canvas source(4, 4, RGB(255, 0, 0));
  EXPECT_TRUE(BitBlt(dc, kMin, kMin, kMax, kMax, source.dc(), kMin, kMin, SRCCOPY));
  EXPECT_TRUE(StretchBlt(dc, kMax - 1, 0, kMin, 8, source.dc(), 0, 0, 4, 4, SRCCOPY));
  EXPECT_EQ(canvas.Count(RGB(255, 0, 0)), 16 * 8) << "a mirrored stretch from far right covers it all";

  canvas.Fill(RGB(255, 255, 255));
  SetWindowOrgEx(dc, kMin, kMax, nullptr);
  EXPECT_TRUE(PatBlt(dc, kMax, kMin, 4, 4, BLACKNESS));
  SetWindowOrgEx(dc, 0, 0, nullptr);
  EXPECT_EQ(canvas.Count(RGB(0, 0, 0)), 0);

  EXPECT_TRUE(Ellipse(dc, kMin, kMin, kMax, kMax));
  EXPECT_EQ(canvas.Count(RGB(0, 0, 0)), 16 * 8) << "the middle of a huge ellipse";
  canvas.Fill(RGB(255, 255, 255));
  const POINT triangle[] = {{kMin, kMin}, {kMax, kMin}, {0, kMax}};
  EXPECT_TRUE(Polygon(dc, triangle, 3));
  EXPECT_EQ(canvas.Count(RGB(0, 0, 0)), 16 * 8);

  canvas.Fill(RGB(255, 255, 255));
  HPEN wide = CreatePen(PS_SOLID, 1000, RGB(0, 0, 255));
  SelectObject(dc, wide);
  MoveToEx(dc, kMin, 3, nullptr);
  EXPECT_TRUE(LineTo(dc, kMax, 3));
  EXPECT_EQ(canvas.Count(RGB(0, 0, 255)), 16 * 8);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  DeleteObject(wide);

  // A pen wider than the shape frames all of it, however wide.
  HPEN widest = CreatePen(PS_SOLID, kMax, RGB(0, 255, 0));
  SelectObject(dc, widest);
  EXPECT_TRUE(Rectangle(dc, 2, 2, 6, 6));
  EXPECT_EQ(canvas.Count(RGB(0, 255, 0)), 16);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  DeleteObject(widest);

  HRGN far = CreateRectRgn(kMin, kMin, kMax, kMax);
  ASSERT_NE(far, nullptr);
  EXPECT_TRUE(PtInRegion(far, 0, 0));
  DeleteObject(far);
}
