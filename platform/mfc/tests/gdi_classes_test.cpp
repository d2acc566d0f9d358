// The drawing classes: rectangle arithmetic, object ownership and handle maps, CDC drawing
// members with their platform side effects, point fonts and image lists.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "mfc/afxwin.h"
#include "testing/ui_driver.h"

namespace {

// An RT_BITMAP resource: 8 x 2 at 24 bits, the left half magenta, the right half red.
std::vector<BYTE> StripResource() {
  BITMAPINFOHEADER h{sizeof h, 8, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<BYTE> data(sizeof h);
  std::memcpy(data.data(), &h, sizeof h);
  for (int row = 0; row < 2; ++row)
    for (int x = 0; x < 8; ++x) {
      const BYTE blue = x < 4 ? 255 : 0;
      data.insert(data.end(), {blue, 0, 255});
    }
  return data;
}

const std::vector<BYTE> kStrip = StripResource();
const ResourceEntry kResources[] = {{RT_BITMAP, MAKEINTRESOURCE(300), kStrip.data(), DWORD(kStrip.size())}};
const ModuleResources kRegistered(kResources);

TEST(CRectTest, GeometryAndOperators) {
  CRect r(10, 20, 50, 80);
  EXPECT_EQ(r.Width(), 40);
  EXPECT_EQ(r.Height(), 60);
  EXPECT_EQ(r.Size(), CSize(40, 60));
  EXPECT_EQ(r.TopLeft(), CPoint(10, 20));
  EXPECT_EQ(r.BottomRight(), CPoint(50, 80));
  EXPECT_EQ(r.CenterPoint(), CPoint(30, 50));
  r.TopLeft() = CPoint(0, 0);  // references into the rectangle
  EXPECT_EQ(r, CRect(0, 0, 50, 80));
  EXPECT_TRUE(r.PtInRect(CPoint(0, 0)));
  EXPECT_FALSE(r.PtInRect(CPoint(50, 10)));  // right and bottom are outside
  EXPECT_FALSE(r.PtInRect(CPoint(10, 80)));

  CRect a(0, 0, 10, 10);
  a.InflateRect(2, 3);
  EXPECT_EQ(a, CRect(-2, -3, 12, 13));
  a.DeflateRect(1, 2, 3, 4);
  EXPECT_EQ(a, CRect(-1, -1, 9, 9));
  a.OffsetRect(CPoint(1, 1));
  EXPECT_EQ(a, CRect(0, 0, 10, 10));
  EXPECT_EQ(a + CPoint(5, 5), CRect(5, 5, 15, 15));
  EXPECT_EQ(a - CSize(5, 5), CRect(-5, -5, 5, 5));
  const RECT sides{1, 2, 3, 4};
  LPCRECT border = &sides;
  EXPECT_EQ(a + border, CRect(-1, -2, 13, 14));
  EXPECT_EQ(a - border, CRect(1, 2, 7, 6));
  EXPECT_EQ(a & CRect(5, 5, 20, 20), CRect(5, 5, 10, 10));
  EXPECT_EQ(a | CRect(5, 5, 20, 20), CRect(0, 0, 20, 20));
  // Disjoint rectangles intersect to the null rectangle.
  CRect none = a & CRect(20, 20, 30, 30);
  EXPECT_TRUE(none.IsRectNull());
  EXPECT_FALSE(none.IntersectRect(&a, CRect(20, 20, 30, 30)));
  a.MoveToXY(100, 200);
  EXPECT_EQ(a, CRect(100, 200, 110, 210));

  CRect inverted(10, 10, 0, 0);
  EXPECT_TRUE(inverted.IsRectEmpty());
  EXPECT_FALSE(inverted.IsRectNull());
  inverted.NormalizeRect();
  EXPECT_EQ(inverted, CRect(0, 0, 10, 10));
  CRect cut;
  EXPECT_TRUE(cut.SubtractRect(CRect(0, 0, 10, 10), CRect(5, -1, 11, 11)));
  EXPECT_EQ(cut, CRect(0, 0, 5, 10));
  cut.SetRectEmpty();
  EXPECT_TRUE(cut.IsRectNull());
}

TEST(CPointSizeTest, Arithmetic) {
  CPoint p(3, 4);
  EXPECT_EQ(p + CSize(1, 1), CPoint(4, 5));
  EXPECT_EQ(p - CPoint(1, 1), CSize(2, 3));
  EXPECT_EQ(-p, CPoint(-3, -4));
  p += CSize(2, 2);
  EXPECT_EQ(p, CPoint(5, 6));
  // Packed coordinates are signed words.
  EXPECT_EQ(CPoint(DWORD(MAKELONG(-2, 7))), CPoint(-2, 7));
  CSize s(5, 6);
  EXPECT_EQ(s + CSize(1, 1), CSize(6, 7));
  EXPECT_NE(s, CSize(6, 5));
}

// A 32-bit memory DC made through CDC.
class DcTest : public ::testing::Test {
 protected:
  DcTest() {
    dc_.CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<uint32_t*>(bits);
    old_ = dc_.SelectObject(&bitmap_);
    dc_.FillSolidRect(0, 0, 32, 32, RGB(255, 255, 255));
  }
  // With DUMP_DIR set, what the test drew is written there as <suite>.<test>.png.
  ~DcTest() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    testing_ui::Image drawn{32, 32, {}};
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) drawn.pixels.push_back(At(x, y));
    testing_ui::UiDriver::Dump(drawn, std::string(test->test_suite_name()) + "." + test->name());
    dc_.SelectObject(old_);
    CGdiObject::DeleteTempMap();
    CDC::DeleteTempMap();
  }
  COLORREF At(int x, int y) const {
    uint32_t p = bits_[y * 32 + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

  CDC dc_;
  CBitmap bitmap_;
  CBitmap* old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

TEST_F(DcTest, FillSolidRectLeavesItsColourAsBackground) {
  dc_.FillSolidRect(CRect(2, 2, 6, 6), RGB(255, 0, 0));
  EXPECT_EQ(At(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(At(5, 5), RGB(255, 0, 0));
  EXPECT_EQ(At(6, 5), RGB(255, 255, 255));
  EXPECT_EQ(dc_.GetBkColor(), RGB(255, 0, 0));
  // A rectangle given with its sides swapped is filled all the same.
  dc_.FillSolidRect(20, 20, -4, -4, RGB(0, 0, 255));
  EXPECT_EQ(At(16, 16), RGB(0, 0, 255));
  EXPECT_EQ(At(19, 19), RGB(0, 0, 255));
  EXPECT_EQ(At(20, 20), RGB(255, 255, 255));
}

TEST_F(DcTest, Draw3dRectFramesTheRectangle) {
  const COLORREF light = RGB(255, 255, 0), dark = RGB(0, 0, 128);
  dc_.Draw3dRect(CRect(4, 4, 14, 10), light, dark);
  EXPECT_EQ(At(4, 4), light);    // top-left corner
  EXPECT_EQ(At(12, 4), light);   // top edge to right - 2
  EXPECT_EQ(At(13, 4), dark);    // top-right corner belongs to the right edge
  EXPECT_EQ(At(4, 8), light);
  EXPECT_EQ(At(4, 9), dark);     // bottom-left corner belongs to the bottom edge
  EXPECT_EQ(At(13, 9), dark);
  EXPECT_EQ(At(8, 6), RGB(255, 255, 255));
  EXPECT_EQ(At(14, 9), RGB(255, 255, 255));
  EXPECT_EQ(At(8, 10), RGB(255, 255, 255));
}

TEST_F(DcTest, SelectionReturnsWrappersOfThePreviousObjects) {
  CPen red(PS_SOLID, 1, RGB(255, 0, 0));
  CPen* previous = dc_.SelectObject(&red);
  ASSERT_NE(previous, nullptr);
  EXPECT_EQ(previous->m_hObject, GetStockObject(BLACK_PEN));
  EXPECT_TRUE(previous->IsKindOf(RUNTIME_CLASS(CPen)));
  // The attached object comes back as itself.
  EXPECT_EQ(dc_.SelectObject(previous), &red);
  EXPECT_EQ(CPen::FromHandle(red), &red);
  EXPECT_EQ(CDC::FromHandle(dc_.m_hDC), &dc_);
  EXPECT_EQ(dc_.GetCurrentBitmap(), &bitmap_);
  CGdiObject* stock = dc_.SelectStockObject(NULL_BRUSH);
  EXPECT_TRUE(stock->IsKindOf(RUNTIME_CLASS(CBrush)));
  // Lines through the wrapper.
  dc_.SelectObject(&red);
  dc_.MoveTo(0, 30);
  dc_.LineTo(10, 30);
  dc_.SelectObject(previous);
  EXPECT_EQ(At(9, 30), RGB(255, 0, 0));
  EXPECT_EQ(At(10, 30), RGB(255, 255, 255));
  EXPECT_EQ(dc_.GetCurrentPosition(), CPoint(10, 30));
}

TEST_F(DcTest, TextThroughTheWrapper) {
  CFont font;
  ASSERT_TRUE(font.CreateFont(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Corvane Test Box"));
  CFont* old = dc_.SelectObject(&font);
  EXPECT_EQ(dc_.GetTextExtent(CString("abc")), CSize(24, 16));
  CString face;
  dc_.GetTextFace(face);
  EXPECT_EQ(face, "Corvane Test Box");
  dc_.SetBkMode(TRANSPARENT);
  dc_.SetTextColor(RGB(0, 128, 0));
  CRect r(0, 0, 32, 32);
  EXPECT_EQ(dc_.DrawText(CString("a"), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE), 8 + 16);
  EXPECT_EQ(At(12, 8), RGB(0, 128, 0));
  EXPECT_EQ(At(11, 8), RGB(255, 255, 255));
  dc_.SelectObject(old);
}

TEST(CGdiObjectTest, DestructorDeletesOnlyWhatIsAttached) {
  HBRUSH handle;
  {
    CBrush brush(RGB(1, 2, 3));
    handle = brush;
    EXPECT_EQ(GetObjectType(handle), DWORD(OBJ_BRUSH));
  }
  EXPECT_EQ(GetObjectType(handle), 0u);  // deleted with its wrapper
  {
    CBrush brush(RGB(1, 2, 3));
    handle = static_cast<HBRUSH>(brush.Detach());
  }
  EXPECT_EQ(GetObjectType(handle), DWORD(OBJ_BRUSH));
  CBrush again;
  EXPECT_TRUE(again.Attach(handle));
  EXPECT_FALSE(again.Attach(handle));  // already holds one
  LOGBRUSH lb{};
  again.GetLogBrush(&lb);
  EXPECT_EQ(lb.lbColor, RGB(1, 2, 3));
  EXPECT_TRUE(again.DeleteObject());
  EXPECT_FALSE(again.DeleteObject());
  // A temporary wrapper does not delete the object when the map is cleared.
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  CPen* temp = CPen::FromHandle(pen);
  EXPECT_EQ(CPen::FromHandle(pen), temp);
  CGdiObject::DeleteTempMap();
  EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_PEN));
  DeleteObject(pen);
  EXPECT_EQ(CGdiObject::FromHandle(nullptr), nullptr);
  bool thrown = false;
  try {
    CBrush pattern(static_cast<CBitmap*>(nullptr));
  } catch (CResourceException* e) {
    thrown = true;
    e->Delete();
  }
  EXPECT_TRUE(thrown);
}

// Objects with static storage detach themselves at exit, after everything else has gone.
CBrush g_staticBrush(RGB(9, 9, 9));

TEST(CGdiObjectTest, StaticObjectsAreAttachedLikeAnyOther) {
  EXPECT_EQ(CBrush::FromHandle(g_staticBrush), &g_staticBrush);
  LOGBRUSH lb{};
  g_staticBrush.GetLogBrush(&lb);
  EXPECT_EQ(lb.lbColor, RGB(9, 9, 9));
}

TEST(CFontTest, PointFontsUseTheScreenResolution) {
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(80, "MS Shell Dlg"));
  LOGFONT lf{};
  font.GetLogFont(&lf);
  EXPECT_EQ(lf.lfHeight, -11);  // 8 points at 96 pixels per inch
  EXPECT_STREQ(lf.lfFaceName, "MS Shell Dlg");
  CFont big;
  LOGFONT in{};
  in.lfHeight = 120;
  in.lfWeight = FW_BOLD;
  ASSERT_TRUE(big.CreatePointFontIndirect(&in));
  big.GetLogFont(&lf);
  EXPECT_EQ(lf.lfHeight, -16);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
}

TEST(CRgnTest, RegionWrappers) {
  CRgn a, b, both;
  a.CreateRectRgn(0, 0, 10, 10);
  b.CreateRectRgn(5, 5, 15, 15);
  both.CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(both.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
  CRect box;
  both.GetRgnBox(&box);
  EXPECT_EQ(box, CRect(5, 5, 10, 10));
  EXPECT_TRUE(both.PtInRegion(CPoint(5, 5)));
  EXPECT_FALSE(both.PtInRegion(4, 5));
  both.OffsetRgn(CPoint(-5, -5));
  CRgn expected;
  expected.CreateRectRgnIndirect(CRect(0, 0, 5, 5));
  EXPECT_TRUE(both.EqualRgn(&expected));
}

TEST(CImageListTest, FromABitmapResource) {
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.LoadBitmap(300));
  BITMAP bm{};
  bitmap.GetBitmap(&bm);
  EXPECT_EQ(bm.bmWidth, 8);
  CImageList list;
  ASSERT_TRUE(list.Create(300, 4, 1, RGB(255, 0, 255)));
  EXPECT_EQ(list.GetImageCount(), 2);
  EXPECT_FALSE(CImageList().Create(301, 4, 1, RGB(255, 0, 255)));

  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  CBitmap target;
  target.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  CBitmap* old = dc.SelectObject(&target);
  dc.FillSolidRect(0, 0, 8, 2, RGB(0, 255, 0));
  list.Draw(&dc, 0, CPoint(0, 0), ILD_TRANSPARENT);
  list.Draw(&dc, 1, CPoint(4, 0), ILD_TRANSPARENT);
  const auto* px = static_cast<const uint32_t*>(bits);
  EXPECT_EQ(px[0] & 0xFFFFFF, 0x00FF00u);  // the key colour is transparent
  EXPECT_EQ(px[4] & 0xFFFFFF, 0xFF0000u);
  dc.SelectObject(old);
  CGdiObject::DeleteTempMap();
}

TEST(CImageListTest, OwnsItsListUnlessDetached) {
  HIMAGELIST handle;
  {
    CImageList list;
    ASSERT_TRUE(list.Create(4, 4, ILC_COLORDDB | ILC_MASK, 1, 1));
    handle = list;
    CBitmap bitmap;
    bitmap.CreateBitmap(8, 4, 1, 32, nullptr);
    EXPECT_EQ(list.Add(&bitmap, RGB(255, 0, 255)), 0);
    EXPECT_EQ(list.GetImageCount(), 2);
    EXPECT_EQ(CImageList::FromHandle(handle), &list);
    HICON icon = list.ExtractIcon(1);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(list.Add(icon), 2);
    EXPECT_TRUE(list.Remove(0));
    DestroyIcon(icon);
  }
  EXPECT_EQ(ImageList_GetImageCount(handle), 0);
  EXPECT_FALSE(ImageList_Destroy(handle));  // already gone
  CImageList kept;
  kept.Create(4, 4, ILC_COLOR32, 1, 1);
  handle = kept.Detach();
  EXPECT_TRUE(ImageList_Destroy(handle));
}

}  // namespace
