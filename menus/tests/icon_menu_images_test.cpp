// The icon menus' shared image list and the washed-out and shadow pictures beside its images.
#include <gtest/gtest.h>

#include <cstdint>

#include "icon_menu_images.h"
#include "icon_menu_look.h"

namespace menus_test {
namespace {

constexpr int kWidth = 16, kHeight = 15;
constexpr COLORREF kKey = RGB(255, 0, 255);

// Two images: a red and a blue square in the middle of a keyed-out frame.
HIMAGELIST SourceList() {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2 * kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP strip = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* px = static_cast<uint32_t*>(bits);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < 2 * kWidth; ++x) {
      const int local = x % kWidth;
      const bool inside = local >= 4 && local < 12 && y >= 4 && y < 11;
      px[y * 2 * kWidth + x] = !inside ? 0xFF00FFu : x < kWidth ? 0xFF0000u : 0x0000FFu;
    }
  HIMAGELIST list = ImageList_Create(kWidth, kHeight, ILC_COLORDDB | ILC_MASK, 2, 1);
  ImageList_AddMasked(list, strip, kKey);
  DeleteObject(strip);
  return list;
}

// The colour image `index` of a list shows at (x, y), drawn over white.
COLORREF DrawnPixel(HIMAGELIST list, int index, int x, int y) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, kWidth, kHeight);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, canvas);
  RECT all{0, 0, kWidth, kHeight};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ImageList_Draw(list, index, dc, 0, 0, ILD_TRANSPARENT);
  const COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteDC(dc);
  return c;
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

TEST(IconMenuImagesTest, LightenMovesEachChannelTowardsWhite) {
  EXPECT_EQ(RGB(76, 146, 255), icon_menu::Lighten(RGB(0, 100, 255), 0.3));
  EXPECT_EQ(RGB(255, 255, 255), icon_menu::Lighten(RGB(10, 20, 30), 1.0));
  EXPECT_EQ(RGB(10, 20, 30), icon_menu::Lighten(RGB(10, 20, 30), 0.0));
  EXPECT_EQ(RGB(10, 20, 30), icon_menu::Lighten(RGB(10, 20, 30), 1.5));
}

TEST(IconMenuImagesTest, WashedOutAndShadowPicturesChangeOnlyWhatTheImageDraws) {
  HIMAGELIST source = SourceList();
  HICON red = ImageList_GetIcon(source, 0, ILD_NORMAL);
  ASSERT_NE(nullptr, red);
  HBITMAP washed = icon_menu::WashedOutImage(red, kWidth, kHeight);
  HBITMAP shadow = icon_menu::ShadowImage(red, kWidth, kHeight);
  ASSERT_NE(nullptr, washed);
  ASSERT_NE(nullptr, shadow);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(icon_menu::Lighten(RGB(255, 0, 0), 0.3), BitmapPixel(washed, 6, 6));
  EXPECT_EQ(face, BitmapPixel(washed, 1, 1));
  const COLORREF shade = GetSysColor(COLOR_BTNSHADOW);
  EXPECT_EQ(icon_menu::IsXpThemeActive() ? shade : icon_menu::Lighten(shade, 0.49), BitmapPixel(shadow, 6, 6));
  EXPECT_EQ(face, BitmapPixel(shadow, 14, 13));
  DeleteObject(washed);
  DeleteObject(shadow);
  DestroyIcon(red);
  ImageList_Destroy(source);
}

// The list is the process's: each case uses command ids of its own.
TEST(IconMenuImagesTest, ACommandKeepsOneImageThatANewImageReplaces) {
  ASSERT_TRUE(icon_menu::UsesXpDrawing());  // the default look here: three entries per image
  HIMAGELIST source = SourceList();
  const UINT command = 4101;
  const int before = icon_menu::SharedImageList() ? ImageList_GetImageCount(icon_menu::SharedImageList()) : 0;
  const int at = icon_menu::AddSharedImage(command, source, 0, kWidth, kHeight);
  ASSERT_EQ(before, at);
  HIMAGELIST shared = icon_menu::SharedImageList();
  ASSERT_NE(nullptr, shared);
  ASSERT_EQ(before + 3, ImageList_GetImageCount(shared));
  const std::vector<UINT>& ids = icon_menu::SharedImageIds();
  ASSERT_EQ(size_t(before + 3), ids.size());
  EXPECT_EQ(command, ids[size_t(at)]);
  EXPECT_EQ(command, ids[size_t(at) + 1]);
  EXPECT_EQ(command, ids[size_t(at) + 2]);
  EXPECT_EQ(at, icon_menu::FindSharedImage(command));
  EXPECT_EQ(RGB(255, 0, 0), DrawnPixel(shared, at, 6, 6));
  EXPECT_EQ(icon_menu::Lighten(RGB(255, 0, 0), 0.3), DrawnPixel(shared, at + 1, 6, 6));
  EXPECT_EQ(RGB(255, 255, 255), DrawnPixel(shared, at + 1, 1, 1));  // keyed out

  // A second item of the command shares the entry; a new image replaces all three pictures.
  EXPECT_EQ(at, icon_menu::AddSharedImage(command, source, 1, kWidth, kHeight));
  EXPECT_EQ(before + 3, ImageList_GetImageCount(shared));
  EXPECT_EQ(RGB(0, 0, 255), DrawnPixel(shared, at, 6, 6));
  EXPECT_EQ(icon_menu::Lighten(RGB(0, 0, 255), 0.3), DrawnPixel(shared, at + 1, 6, 6));

  // No such image: nothing changes.
  EXPECT_EQ(-1, icon_menu::AddSharedImage(command + 1, source, 5, kWidth, kHeight));
  EXPECT_EQ(-1, icon_menu::FindSharedImage(command + 1));
  EXPECT_EQ(before + 3, ImageList_GetImageCount(shared));
  ImageList_Destroy(source);
}

TEST(IconMenuImagesTest, TheClassicLookKeepsOneEntryPerImage) {
  HIMAGELIST source = SourceList();
  icon_menu::SetMenuDrawMode(0);
  const UINT command = 4102;
  const int at = icon_menu::AddSharedImage(command, source, 0, kWidth, kHeight);
  ASSERT_GE(at, 0);
  HIMAGELIST shared = icon_menu::SharedImageList();
  EXPECT_EQ(at + 1, ImageList_GetImageCount(shared));
  EXPECT_EQ(size_t(at + 1), icon_menu::SharedImageIds().size());
  // Replaced in place, also once the look has changed: a single entry stays single.
  icon_menu::Settings() = icon_menu::DrawSettings();
  EXPECT_EQ(at, icon_menu::AddSharedImage(command, source, 1, kWidth, kHeight));
  EXPECT_EQ(at + 1, ImageList_GetImageCount(shared));
  EXPECT_EQ(RGB(0, 0, 255), DrawnPixel(shared, at, 6, 6));
  ImageList_Destroy(source);
}

}  // namespace
}  // namespace menus_test
