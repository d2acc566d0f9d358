// Window shapes cut from skin pictures: which pixels are in, keyed corners, and the shapes that
// must never leave a window without pixels.
#include "skin/skin_region.h"

#include <gtest/gtest.h>

#include <functional>

#include "mfc/afxwin.h"
#include "skin/skin_bitmap.h"
#include "skin_fixtures.h"

namespace {

using skin_test::Bmp24;
using skin_test::Bmp8;
using skin_test::FreshFolder;
using skin_test::WriteFile;

constexpr COLORREF kKey = RGB(255, 0, 255);

SkinBitmap LoadPicture(const std::string& bytes) {
  const std::string path = FreshFolder() + "/picture.bmp";
  WriteFile(path, bytes);
  SkinBitmap bitmap;
  EXPECT_TRUE(bitmap.Load(path.c_str()));
  return bitmap;
}

// Every pixel of a width x height picture is in the region exactly when keyed says it is not,
// and nothing outside the picture is.
void ExpectShape(HRGN region, int width, int height, const std::function<bool(int, int)>& keyed) {
  ASSERT_NE(region, nullptr);
  for (int y = -1; y <= height; ++y)
    for (int x = -1; x <= width; ++x) {
      const bool inside = x >= 0 && y >= 0 && x < width && y < height && !keyed(x, y);
      ASSERT_EQ(PtInRegion(region, x, y) != 0, inside) << "pixel " << x << "," << y;
    }
}

TEST(SkinRegion, KeyedPixelsAreLeftOut) {
  // Rounded corners, a hole in the middle and a keyed column at the right.
  auto keyed = [](int x, int y) {
    const bool corner = (x + y < 3) || ((19 - x) + y < 3) || (x + (9 - y) < 3) || ((19 - x) + (9 - y) < 3);
    return corner || (x >= 8 && x < 11 && y >= 4 && y < 6) || x == 15;
  };
  SkinBitmap picture =
      LoadPicture(Bmp24(20, 10, [&](int x, int y) { return keyed(x, y) ? kKey : RGB(x * 10, y * 20, 7); }));
  bool anyKeyed = false;
  SkinRegion region(CreateSkinRegion(picture.Get(), kKey, &anyKeyed));
  EXPECT_TRUE(anyKeyed);
  ExpectShape(region.Get(), 20, 10, keyed);
  RECT box;
  EXPECT_EQ(GetRgnBox(region.Get(), &box), COMPLEXREGION);
  EXPECT_EQ(CRect(box), CRect(0, 0, 20, 10));
}

TEST(SkinRegion, PalettePicturesAreKeyedByColour) {
  SkinBitmap picture = LoadPicture(
      Bmp8(6, 4, {RGB(0, 0, 0), kKey, RGB(200, 200, 200)}, [](int x, int y) { return x == y ? 1 : (x + y) % 2 * 2; }));
  SkinRegion region(CreateSkinRegion(picture.Get(), kKey));
  ExpectShape(region.Get(), 6, 4, [](int x, int y) { return x == y; });
}

TEST(SkinRegion, AWindowNeverLosesEveryPixel) {
  bool anyKeyed = false;
  SkinBitmap allKey = LoadPicture(Bmp24(5, 3, kKey));
  SkinRegion whole(CreateSkinRegion(allKey.Get(), kKey, &anyKeyed));
  EXPECT_TRUE(anyKeyed);
  ExpectShape(whole.Get(), 5, 3, [](int, int) { return false; });

  SkinBitmap noKey = LoadPicture(Bmp24(5, 3, RGB(1, 2, 3)));
  SkinRegion plain(CreateSkinRegion(noKey.Get(), kKey, &anyKeyed));
  EXPECT_FALSE(anyKeyed);
  ExpectShape(plain.Get(), 5, 3, [](int, int) { return false; });

  // No key colour: nothing is keyed, not even white.
  SkinBitmap white = LoadPicture(Bmp24(5, 3, RGB(255, 255, 255)));
  SkinRegion unkeyed(CreateSkinRegion(white.Get(), CLR_INVALID, &anyKeyed));
  EXPECT_FALSE(anyKeyed);
  ExpectShape(unkeyed.Get(), 5, 3, [](int, int) { return false; });

  EXPECT_EQ(CreateSkinRegion(nullptr, kKey), nullptr);
}

TEST(SkinRegion, EqualRowsShareOneBand) {
  // A 300x200 face with keyed corners: a few bands, not a rectangle per row or per pixel.
  auto keyed = [](int x, int y) {
    const int dx = x < 12 ? 12 - x : x >= 288 ? x - 287 : 0, dy = y < 12 ? 12 - y : y >= 188 ? y - 187 : 0;
    return dx * dx + dy * dy > 144;
  };
  SkinBitmap picture = LoadPicture(Bmp24(300, 200, [&](int x, int y) { return keyed(x, y) ? kKey : RGB(40, 50, 60); }));
  SkinRegion region(CreateSkinRegion(picture.Get(), kKey));
  ExpectShape(region.Get(), 300, 200, keyed);
  const DWORD bytes = GetRegionData(region.Get(), 0, nullptr);
  std::vector<char> data(bytes);
  ASSERT_EQ(GetRegionData(region.Get(), bytes, reinterpret_cast<RGNDATA*>(data.data())), bytes);
  EXPECT_LE(reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount, 30u);
}

TEST(SkinBitmap, OwnsItsHandleAndHandsItOver) {
  SkinBitmap picture = LoadPicture(Bmp24(7, 5, RGB(10, 20, 30)));
  EXPECT_EQ(picture.Width(), 7);
  EXPECT_EQ(picture.Height(), 5);
  EXPECT_EQ(skin_test::PixelOf(picture.Get(), 3, 2), RGB(10, 20, 30));
  SkinBitmap moved = std::move(picture);
  EXPECT_TRUE(picture.IsEmpty());
  EXPECT_EQ(moved.Width(), 7);
  HBITMAP handle = moved.Detach();
  EXPECT_TRUE(moved.IsEmpty());
  EXPECT_EQ(GetObjectType(handle), DWORD(OBJ_BITMAP));
  DeleteObject(handle);

  SkinBitmap missing;
  EXPECT_FALSE(missing.Load((FreshFolder() + "/none.bmp").c_str()));
  EXPECT_TRUE(missing.IsEmpty());
  EXPECT_EQ(missing.Width(), 0);
}

}  // namespace
