// Icons with masks drawn over a background, icon resources, and image lists.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "canvas.h"

namespace {

// A top-down 32-bit DIB section filled by a function of (x, y).
template <class F>
HBITMAP ColourBitmap(int w, int h, F colourAt) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bm = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* px = static_cast<uint32_t*>(bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      COLORREF c = colourAt(x, y);
      px[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  return bm;
}

// A monochrome bitmap, 1 where set(x, y).
template <class F>
HBITMAP MaskBitmap(int w, int h, F set) {
  const int stride = (w + 15) / 16 * 2;
  std::vector<BYTE> rows(size_t(stride * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (set(x, y)) rows[size_t(y * stride + x / 8)] |= BYTE(0x80 >> (x % 8));
  return CreateBitmap(w, h, 1, 1, rows.data());
}

// 4 x 4: the left half red and opaque, the right half transparent.
HICON HalfIcon() {
  HBITMAP mask = MaskBitmap(4, 4, [](int x, int) { return x >= 2; });
  HBITMAP colour = ColourBitmap(4, 4, [](int x, int) { return x < 2 ? kRed : kBlack; });
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  // The icon keeps copies: the caller's bitmaps can go.
  DeleteObject(mask);
  DeleteObject(colour);
  return icon;
}

TEST(Icons, MaskLetsTheBackgroundThrough) {
  Canvas canvas(16, 16, kGreen);
  HICON icon = HalfIcon();
  ASSERT_NE(icon, nullptr);
  ASSERT_TRUE(DrawIconEx(canvas.dc(), 2, 3, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.At(2, 3), kRed);
  EXPECT_EQ(canvas.At(3, 6), kRed);
  EXPECT_EQ(canvas.At(4, 3), kGreen);
  EXPECT_EQ(canvas.At(5, 6), kGreen);
  EXPECT_EQ(canvas.Count(kRed), 8);
  canvas.Fill(kGreen);
  DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_MASK);
  EXPECT_EQ(canvas.At(0, 0), kBlack);
  EXPECT_EQ(canvas.At(3, 0), kGreen);
  canvas.Fill(kGreen);
  DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_IMAGE);
  EXPECT_EQ(canvas.At(0, 0), kRed);
  EXPECT_EQ(canvas.At(3, 0), kBlack);
  // Stretched to 8 x 8, over a flicker-free brush.
  canvas.Fill(kGreen);
  HBRUSH blue = CreateSolidBrush(kBlue);
  DrawIconEx(canvas.dc(), 0, 0, icon, 8, 8, 0, blue, DI_NORMAL);
  DeleteObject(blue);
  EXPECT_EQ(canvas.Count(kRed), 32);
  EXPECT_EQ(canvas.Count(kBlue), 32);
  EXPECT_EQ(canvas.At(7, 7), kBlue);
  EXPECT_EQ(canvas.At(8, 8), kGreen);
  // DrawIcon uses the default icon size.
  canvas.Fill(kGreen);
  DrawIcon(canvas.dc(), 0, 0, icon);
  EXPECT_EQ(canvas.At(15, 15), kRed);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
  EXPECT_FALSE(DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
}

TEST(Icons, DrawStateAndLoadImageReachTheIconCode) {
  Canvas canvas(16, 16, kGreen);
  HICON icon = HalfIcon();
  ASSERT_TRUE(DrawStateA(canvas.dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 3, 3, 0, 0, DST_ICON));
  EXPECT_EQ(canvas.At(3, 3), kRed);
  EXPECT_EQ(canvas.At(4, 6), kRed);
  EXPECT_EQ(canvas.At(5, 3), kGreen);
  EXPECT_EQ(canvas.At(3, 7), kGreen);
  // Disabled: the icon's shape embossed, shadow over a highlight one pixel down and right.
  canvas.Fill(kGreen);
  ASSERT_TRUE(DrawStateA(canvas.dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 3, 3, 0, 0,
                         DST_ICON | DSS_DISABLED));
  EXPECT_EQ(canvas.Count(kRed), 0);
  EXPECT_EQ(canvas.At(3, 3), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas.At(4, 6), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas.At(5, 4), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas.At(4, 7), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas.At(6, 4), kGreen);
  DestroyIcon(icon);
}

TEST(Icons, InfoAndCopiesAreIndependent) {
  HICON icon = HalfIcon();
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  EXPECT_TRUE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 2u);
  BITMAP bm{};
  GetObjectA(info.hbmMask, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 4);
  EXPECT_EQ(bm.bmHeight, 4);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  ASSERT_NE(info.hbmColor, nullptr);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  HICON copy = CopyIcon(icon);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, icon);
  DestroyIcon(icon);
  Canvas canvas(4, 4, kGreen);
  ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, copy, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.At(1, 1), kRed);
  EXPECT_EQ(canvas.At(2, 1), kGreen);
  DestroyIcon(copy);
  EXPECT_FALSE(GetIconInfo(icon, &info));
  ICONINFO noMask{TRUE, 0, 0, nullptr, nullptr};
  EXPECT_EQ(CreateIconIndirect(&noMask), nullptr);
}

TEST(Icons, MonochromeIconInvertsWhereBothHalvesAreSet) {
  // AND half on top, XOR half below: (0,0) black, (1,0) white, (0,1) background, (1,1) inverted.
  HBITMAP mask = MaskBitmap(2, 4, [](int x, int y) { return y < 2 ? y == 1 : x == 1; });
  ICONINFO info{TRUE, 0, 0, mask, nullptr};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  Canvas canvas(2, 2, RGB(0, 255, 255));
  ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.At(0, 0), kBlack);
  EXPECT_EQ(canvas.At(1, 0), kWhite);
  EXPECT_EQ(canvas.At(0, 1), RGB(0, 255, 255));
  EXPECT_EQ(canvas.At(1, 1), RGB(255, 0, 0));
  DestroyIcon(icon);
}

// An RT_ICON image: header of twice the height, 32-bit colour rows, mask rows (bottom-up).
std::vector<BYTE> IconImage(int size, COLORREF colour) {
  BITMAPINFOHEADER h{sizeof h, size, size * 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<BYTE> data(sizeof h);
  std::memcpy(data.data(), &h, sizeof h);
  // The bottom row (first in the data) is transparent and, as in real icons, black.
  for (int i = 0; i < size * size; ++i) {
    COLORREF c = i < size ? kBlack : colour;
    data.push_back(GetBValue(c));
    data.push_back(GetGValue(c));
    data.push_back(GetRValue(c));
    data.push_back(0);
  }
  const int maskStride = (size + 31) / 32 * 4;
  for (int y = 0; y < size; ++y)
    for (int b = 0; b < maskStride; ++b) data.push_back(y == 0 ? 0xFF : 0x00);
  return data;
}

std::vector<BYTE> GroupOf(std::initializer_list<std::pair<int, WORD>> entries) {
  std::vector<BYTE> d = {0, 0, 1, 0, BYTE(entries.size()), 0};
  for (auto [size, id] : entries) {
    const BYTE e[14] = {BYTE(size), BYTE(size), 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, BYTE(id & 0xFF), BYTE(id >> 8)};
    d.insert(d.end(), e, e + 14);
  }
  return d;
}

const std::vector<BYTE> kSmall = IconImage(16, kBlue);
const std::vector<BYTE> kLarge = IconImage(32, kRed);
const std::vector<BYTE> kGroup = GroupOf({{16, 1}, {32, 2}});
const std::vector<BYTE> kBadGroup = GroupOf({{16, 3}});
const std::vector<BYTE> kTruncated(kSmall.begin(), kSmall.end() - 1);
const ResourceEntry kResources[] = {
    {RT_ICON, MAKEINTRESOURCE(1), kSmall.data(), DWORD(kSmall.size())},
    {RT_ICON, MAKEINTRESOURCE(2), kLarge.data(), DWORD(kLarge.size())},
    {RT_ICON, MAKEINTRESOURCE(3), kTruncated.data(), DWORD(kTruncated.size())},
    {RT_GROUP_ICON, MAKEINTRESOURCE(128), kGroup.data(), DWORD(kGroup.size())},
    {RT_GROUP_ICON, MAKEINTRESOURCE(129), kBadGroup.data(), DWORD(kBadGroup.size())},
};
const ModuleResources kRegistered(kResources);

TEST(Icons, LoadIconPicksTheDefaultSizeFromTheGroup) {
  HICON icon = LoadIconA(nullptr, MAKEINTRESOURCE(128));
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP bm{};
  GetObjectA(info.hbmColor, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 32);
  EXPECT_EQ(bm.bmHeight, 32);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  Canvas canvas(32, 32, kGreen);
  DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(canvas.At(5, 0), kRed);
  EXPECT_EQ(canvas.At(5, 31), kGreen);  // the bottom row is transparent
  DestroyIcon(icon);
  HICON viaLoadImage = static_cast<HICON>(LoadImageA(nullptr, MAKEINTRESOURCE(128), IMAGE_ICON, 16, 16, 0));
  ASSERT_TRUE(GetIconInfo(viaLoadImage, &info));
  GetObjectA(info.hbmColor, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 16);  // the entry nearest the size asked for
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  DestroyIcon(viaLoadImage);
  // A size no entry has: the nearest one stretched to it.
  HICON scaled = static_cast<HICON>(LoadImageA(nullptr, MAKEINTRESOURCE(128), IMAGE_ICON, 64, 48, 0));
  ASSERT_TRUE(GetIconInfo(scaled, &info));
  GetObjectA(info.hbmColor, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 64);
  EXPECT_EQ(bm.bmHeight, 48);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  Canvas big(64, 48, kGreen);
  DrawIconEx(big.dc(), 0, 0, scaled, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(big.At(30, 0), kRed);
  EXPECT_EQ(big.At(30, 47), kGreen);  // the transparent bottom row
  EXPECT_EQ(big.At(30, 46), kRed);
  DestroyIcon(scaled);
  // A truncated image and a missing group fail cleanly.
  EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCE(129)), nullptr);
  EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCE(130)), nullptr);
  std::vector<BYTE> bad = kSmall;
  reinterpret_cast<BITMAPINFOHEADER*>(bad.data())->biHeight = 33;  // odd: not colour plus mask
  EXPECT_EQ(CreateIconFromResourceEx(bad.data(), DWORD(bad.size()), TRUE, 0x30000, 0, 0, 0), nullptr);
  bad = kSmall;
  reinterpret_cast<BITMAPINFOHEADER*>(bad.data())->biClrUsed = 300;
  reinterpret_cast<BITMAPINFOHEADER*>(bad.data())->biBitCount = 8;
  EXPECT_EQ(CreateIconFromResourceEx(bad.data(), DWORD(bad.size()), TRUE, 0x30000, 0, 0, 0), nullptr);
}

// Three 4 x 4 images side by side; magenta is the key colour.
HBITMAP Strip() {
  return ColourBitmap(12, 4, [](int x, int y) {
    if (y == 0) return RGB(255, 0, 255);
    return x < 4 ? kRed : x < 8 ? kBlue : kWhite;
  });
}

TEST(ImageLists, AddMaskedCutsImagesAndKeysOutTheColour) {
  HIMAGELIST list = ImageList_Create(4, 4, ILC_COLORDDB | ILC_MASK, 1, 1);
  ASSERT_NE(list, nullptr);
  HBITMAP strip = Strip();
  EXPECT_EQ(ImageList_AddMasked(list, strip, RGB(255, 0, 255)), 0);
  EXPECT_EQ(ImageList_AddMasked(list, strip, RGB(255, 0, 255)), 3);
  DeleteObject(strip);
  EXPECT_EQ(ImageList_GetImageCount(list), 6);
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
  EXPECT_EQ(cx, 4);
  EXPECT_EQ(cy, 4);

  Canvas canvas(8, 8, kGreen);
  ASSERT_TRUE(ImageList_Draw(list, 1, canvas.dc(), 2, 2, ILD_TRANSPARENT));
  EXPECT_EQ(canvas.At(2, 2), kGreen);  // key row
  EXPECT_EQ(canvas.At(2, 3), kBlue);
  EXPECT_EQ(canvas.At(5, 5), kBlue);
  EXPECT_EQ(canvas.At(6, 5), kGreen);
  // ILD_NORMAL over the list's background colour; CLR_NONE is transparent.
  EXPECT_EQ(ImageList_SetBkColor(list, kBlack), CLR_NONE);
  ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_NORMAL);
  EXPECT_EQ(canvas.At(0, 0), kBlack);
  EXPECT_EQ(canvas.At(0, 1), kRed);
  ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(canvas.At(0, 0), kBlack);  // untouched by a transparent draw
  canvas.Fill(kGreen);
  ImageList_SetBkColor(list, CLR_NONE);
  ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_NORMAL);
  EXPECT_EQ(canvas.At(0, 0), kGreen);
  // The mask alone: transparent white, opaque black.
  ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_MASK);
  EXPECT_EQ(canvas.At(0, 0), kWhite);
  EXPECT_EQ(canvas.At(0, 1), kBlack);
  // Part of an image.
  canvas.Fill(kGreen);
  ImageList_DrawEx(list, 2, canvas.dc(), 0, 0, 2, 2, CLR_NONE, CLR_NONE, ILD_NORMAL);
  EXPECT_EQ(canvas.At(1, 1), kWhite);
  EXPECT_EQ(canvas.At(2, 1), kGreen);
  EXPECT_FALSE(ImageList_Draw(list, 6, canvas.dc(), 0, 0, ILD_NORMAL));
  EXPECT_TRUE(ImageList_Destroy(list));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  EXPECT_FALSE(ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_NORMAL));
  EXPECT_FALSE(ImageList_Destroy(list));
}

TEST(ImageLists, BlendingMixesTheForegroundIntoVisiblePixels) {
  HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR24 | ILC_MASK, 1, 1);
  HBITMAP strip = Strip();
  ImageList_AddMasked(list, strip, RGB(255, 0, 255));
  DeleteObject(strip);
  Canvas canvas(4, 4, kGreen);
  ImageList_DrawEx(list, 0, canvas.dc(), 0, 0, 0, 0, CLR_NONE, kWhite, ILD_TRANSPARENT | ILD_BLEND50);
  EXPECT_EQ(canvas.At(0, 0), kGreen);
  EXPECT_EQ(canvas.At(0, 1), RGB(255, 127, 127));
  ImageList_DrawEx(list, 0, canvas.dc(), 0, 0, 0, 0, CLR_NONE, kWhite, ILD_TRANSPARENT | ILD_BLEND25);
  EXPECT_EQ(canvas.At(0, 1), RGB(255, 63, 63));
  // The stored image is not changed by blending.
  ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(canvas.At(0, 1), kRed);
  ImageList_Destroy(list);
}

TEST(ImageLists, IconsGoInAndComeOut) {
  HIMAGELIST list = ImageList_Create(4, 4, ILC_COLORDDB | ILC_MASK, 1, 1);
  HICON icon = HalfIcon();
  EXPECT_EQ(ImageList_AddIcon(list, icon), 0);
  EXPECT_EQ(ImageList_AddIcon(list, icon), 1);
  HBITMAP strip = ColourBitmap(4, 4, [](int, int) { return kRed; });
  // Add with an explicit mask: the top row and the right column transparent.
  HBITMAP mask = MaskBitmap(4, 4, [](int x, int y) { return y == 0 || x == 3; });
  EXPECT_EQ(ImageList_Add(list, strip, mask), 2);
  DeleteObject(strip);
  DeleteObject(mask);
  EXPECT_EQ(ImageList_GetImageCount(list), 3);

  Canvas canvas(8, 8, kGreen);
  ImageList_Draw(list, 1, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(canvas.At(1, 1), kRed);
  EXPECT_EQ(canvas.At(2, 1), kGreen);
  ImageList_Draw(list, 2, canvas.dc(), 4, 4, ILD_TRANSPARENT);
  EXPECT_EQ(canvas.At(4, 4), kGreen);
  EXPECT_EQ(canvas.At(4, 5), kRed);
  EXPECT_EQ(canvas.At(7, 5), kGreen);

  // An icon taken out draws like the image.
  HICON out = ImageList_GetIcon(list, 2, ILD_NORMAL);
  ASSERT_NE(out, nullptr);
  canvas.Fill(kGreen);
  DrawIconEx(canvas.dc(), 0, 0, out, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(canvas.At(0, 0), kGreen);
  EXPECT_EQ(canvas.At(0, 1), kRed);
  DestroyIcon(out);

  // Replacing and removing.
  EXPECT_EQ(ImageList_ReplaceIcon(list, 2, icon), 2);
  EXPECT_EQ(ImageList_ReplaceIcon(list, 3, icon), -1);
  EXPECT_TRUE(ImageList_Remove(list, 0));
  EXPECT_EQ(ImageList_GetImageCount(list), 2);
  EXPECT_FALSE(ImageList_Remove(list, 2));
  EXPECT_TRUE(ImageList_RemoveAll(list));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  DestroyIcon(icon);
  ImageList_Destroy(list);
}

TEST(ImageLists, ReplacedImagesAndDuplicatesStandOnTheirOwn) {
  HIMAGELIST list = ImageList_Create(4, 4, ILC_COLORDDB | ILC_MASK, 1, 1);
  HBITMAP strip = Strip();
  ASSERT_EQ(ImageList_AddMasked(list, strip, RGB(255, 0, 255)), 0);
  DeleteObject(strip);
  ImageList_SetBkColor(list, kBlack);

  // Image 1 becomes white with its left column transparent.
  HBITMAP white = ColourBitmap(8, 4, [](int, int) { return kWhite; });
  HBITMAP mask = MaskBitmap(8, 4, [](int x, int) { return x == 0; });
  ASSERT_TRUE(ImageList_Replace(list, 1, white, mask));
  EXPECT_FALSE(ImageList_Replace(list, 3, white, mask));
  EXPECT_FALSE(ImageList_Replace(list, -1, white, mask));
  EXPECT_EQ(ImageList_GetImageCount(list), 3);
  Canvas canvas(4, 4, kGreen);
  ImageList_Draw(list, 1, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(canvas.At(0, 2), kGreen);
  EXPECT_EQ(canvas.At(1, 2), kWhite);
  EXPECT_EQ(canvas.At(3, 3), kWhite);
  // Without a mask the whole image shows.
  ASSERT_TRUE(ImageList_Replace(list, 2, white, nullptr));
  canvas.Fill(kGreen);
  ImageList_Draw(list, 2, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(canvas.At(0, 0), kWhite);

  HIMAGELIST copy = ImageList_Duplicate(list);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy, list);
  EXPECT_EQ(ImageList_GetImageCount(copy), 3);
  EXPECT_EQ(ImageList_GetBkColor(copy), kBlack);
  // Changing or destroying the original leaves the copy as it was.
  HBITMAP blue = ColourBitmap(4, 4, [](int, int) { return kBlue; });
  ASSERT_TRUE(ImageList_Replace(list, 1, blue, nullptr));
  ImageList_Destroy(list);
  canvas.Fill(kGreen);
  ASSERT_TRUE(ImageList_Draw(copy, 1, canvas.dc(), 0, 0, ILD_TRANSPARENT));
  EXPECT_EQ(canvas.At(0, 2), kGreen);
  EXPECT_EQ(canvas.At(1, 2), kWhite);
  canvas.Fill(kGreen);
  ImageList_Draw(copy, 0, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(canvas.At(0, 0), kGreen);  // the key row stays transparent
  EXPECT_EQ(canvas.At(0, 1), kRed);
  EXPECT_EQ(ImageList_Duplicate(list), nullptr);
  DeleteObject(white);
  DeleteObject(mask);
  DeleteObject(blue);
  ImageList_Destroy(copy);
}

TEST(ImageLists, ListWithoutMaskDrawsOpaque) {
  HIMAGELIST list = ImageList_Create(4, 4, ILC_COLORDDB, 1, 1);
  HBITMAP strip = Strip();
  EXPECT_EQ(ImageList_AddMasked(list, strip, RGB(255, 0, 255)), 0);
  DeleteObject(strip);
  Canvas canvas(4, 4, kGreen);
  ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 255));
  HICON icon = ImageList_GetIcon(list, 0, 0);
  ASSERT_NE(icon, nullptr);
  DestroyIcon(icon);
  EXPECT_EQ(ImageList_Create(0, 4, ILC_MASK, 1, 1), nullptr);
  ImageList_Destroy(list);
}

}  // namespace
