// The framework's toolbar loaded from a toolbar resource and its bitmap: buttons and separators,
// sizes from the resource, the bitmap's greys in the button colours, reloading at another size,
// and resources that are missing or malformed.
#include <cstdint>
#include <cstring>
#include <vector>

#include "mfc/afxext.h"
#include "wnd_fixture.h"

namespace mfc_test {
namespace {

constexpr UINT kSmallBar = 300;   // 500, separator, 501, 502 at 16 x 15
constexpr UINT kLargeBar = 301;   // 600, 601 at 20 x 18
constexpr UINT kNewerBar = 302;   // a version this framework does not know
constexpr UINT kNoBitmap = 303;   // buttons but no bitmap
constexpr UINT kCutShort = 304;   // more buttons than the resource holds
constexpr UINT kHeaderOnly = 305; // not even the whole header
constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);

// A bottom-up 24-bit bitmap resource of images cx x cy, each a colour inside a silver border.
std::vector<uint8_t> Strip(int cx, int cy, const std::vector<COLORREF>& colours) {
  const int width = cx * int(colours.size());
  const int stride = (width * 3 + 3) & ~3;
  BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), width, cy, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint8_t> bytes(sizeof header + size_t(stride) * size_t(cy));
  std::memcpy(bytes.data(), &header, sizeof header);
  for (int y = 0; y < cy; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool border = x % cx == 0 || x % cx == cx - 1 || y == 0 || y == cy - 1;
      const COLORREF c = border ? kSilver : colours[size_t(x / cx)];
      uint8_t* p = bytes.data() + sizeof header + size_t(y) * size_t(stride) + size_t(x) * 3;
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  }
  return bytes;
}

const WORD kSmall[] = {1, 16, 15, 4, 500, 0, 501, 502};
const WORD kLarge[] = {1, 20, 18, 2, 600, 601};
const WORD kNewer[] = {2, 16, 15, 1, 500};
const WORD kBitmapless[] = {1, 16, 15, 1, 700};
const WORD kCutShortWords[] = {1, 16, 15, 200, 500};
const std::vector<uint8_t> kSmallImages = Strip(16, 15, {kRed, kGrey, RGB(0, 0, 255)});
const std::vector<uint8_t> kLargeImages = Strip(20, 18, {kRed, kRed});
const ResourceEntry kResources[] = {
    {RT_TOOLBAR, MAKEINTRESOURCE(kSmallBar), kSmall, sizeof kSmall},
    {RT_BITMAP, MAKEINTRESOURCE(kSmallBar), kSmallImages.data(), DWORD(kSmallImages.size())},
    {RT_TOOLBAR, MAKEINTRESOURCE(kLargeBar), kLarge, sizeof kLarge},
    {RT_BITMAP, MAKEINTRESOURCE(kLargeBar), kLargeImages.data(), DWORD(kLargeImages.size())},
    {RT_TOOLBAR, MAKEINTRESOURCE(kNewerBar), kNewer, sizeof kNewer},
    {RT_BITMAP, MAKEINTRESOURCE(kNewerBar), kSmallImages.data(), DWORD(kSmallImages.size())},
    {RT_TOOLBAR, MAKEINTRESOURCE(kNoBitmap), kBitmapless, sizeof kBitmapless},
    {RT_TOOLBAR, MAKEINTRESOURCE(kCutShort), kCutShortWords, sizeof kCutShortWords},
    {RT_BITMAP, MAKEINTRESOURCE(kCutShort), kSmallImages.data(), DWORD(kSmallImages.size())},
    {RT_TOOLBAR, MAKEINTRESOURCE(kHeaderOnly), kSmall, 3 * sizeof(WORD)},
    {RT_BITMAP, MAKEINTRESOURCE(kHeaderOnly), kSmallImages.data(), DWORD(kSmallImages.size())},
};
const ModuleResources kRegistered(kResources);

class ToolBarTest : public WndTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    ASSERT_TRUE(bar.Create(&parent));
  }
  void TearDown() override {
    bar.DestroyWindow();
    parent.DestroyWindow();
    WndTest::TearDown();
  }
  CSize ImageSize() {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(bar.GetToolBarCtrl().GetImageList()->m_hImageList, &cx, &cy);
    return CSize(cx, cy);
  }
  // Image i drawn over a blue cell: its pixel at (x, y).
  COLORREF ImagePixel(int image, int x, int y) {
    CWindowDC screen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    CBitmap cell;
    cell.CreateCompatibleBitmap(&screen, 32, 32);
    CBitmap* old = dc.SelectObject(&cell);
    dc.FillSolidRect(0, 0, 32, 32, RGB(0, 0, 255));
    bar.GetToolBarCtrl().GetImageList()->Draw(&dc, image, CPoint(0, 0), ILD_TRANSPARENT);
    const COLORREF pixel = dc.GetPixel(x, y);
    dc.SelectObject(old);
    return pixel;
  }

  CWnd parent;
  CToolBar bar;
};

TEST_F(ToolBarTest, LoadsButtonsSizesAndTheMappedBitmapOfTheResource) {
  // Bar styles stay the bar's.
  EXPECT_EQ(bar.GetBarStyle(), DWORD(CBRS_TOP));
  EXPECT_EQ(bar.GetStyle() & CBRS_ALL, 0u);
  EXPECT_EQ(bar.GetDlgCtrlID(), AFX_IDW_TOOLBAR);

  ASSERT_TRUE(bar.LoadToolBar(kSmallBar));
  CToolBarCtrl& control = bar.GetToolBarCtrl();
  ASSERT_EQ(control.GetButtonCount(), 4);
  EXPECT_EQ(bar.GetItemID(0), 500u);
  EXPECT_EQ(bar.GetItemID(1), UINT(ID_SEPARATOR));
  EXPECT_EQ(bar.GetItemID(3), 502u);
  TBBUTTONINFO info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_IMAGE;
  EXPECT_EQ(control.GetButtonInfo(502, &info), 3);
  EXPECT_EQ(info.iImage, 2);  // separators take no image
  EXPECT_EQ(control.GetButtonSize(), CSize(23, 22));
  EXPECT_EQ(ImageSize(), CSize(16, 15));
  EXPECT_EQ(control.GetImageList()->GetImageCount(), 3);

  // Silver is the button face, and so the mask; grey is the scheme's shadow.
  EXPECT_EQ(ImagePixel(0, 8, 7), kRed);
  EXPECT_EQ(ImagePixel(1, 8, 7), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(ImagePixel(1, 0, 0), RGB(0, 0, 255));
}

TEST_F(ToolBarTest, ReloadingReplacesButtonsImagesAndSizes) {
  ASSERT_TRUE(bar.LoadToolBar(kSmallBar));
  ASSERT_TRUE(bar.LoadToolBar(MAKEINTRESOURCE(kLargeBar)));
  EXPECT_EQ(bar.GetToolBarCtrl().GetButtonCount(), 2);
  EXPECT_EQ(bar.GetItemID(1), 601u);
  EXPECT_EQ(bar.GetToolBarCtrl().GetButtonSize(), CSize(27, 25));
  EXPECT_EQ(ImageSize(), CSize(20, 18));
  EXPECT_EQ(bar.GetToolBarCtrl().GetImageList()->GetImageCount(), 2);
}

TEST_F(ToolBarTest, MissingOrUnknownResourcesFail) {
  EXPECT_FALSE(bar.LoadToolBar(999));
  EXPECT_FALSE(bar.LoadToolBar(kNewerBar));
  EXPECT_FALSE(bar.LoadToolBar(kNoBitmap));
  EXPECT_EQ(bar.GetToolBarCtrl().GetImageList(), nullptr);
  // Resources shorter than they say are refused without reading past their end.
  ASSERT_TRUE(bar.LoadToolBar(kLargeBar));
  EXPECT_FALSE(bar.LoadToolBar(kCutShort));
  EXPECT_FALSE(bar.LoadToolBar(kHeaderOnly));
  EXPECT_EQ(bar.GetToolBarCtrl().GetButtonCount(), 2) << "the buttons loaded before stay";
}

}  // namespace
}  // namespace mfc_test
