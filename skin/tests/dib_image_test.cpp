// The device-independent image: layout of its block, palette operations, pixel indices, drawing
// and BMP files.
#include "skin/dib_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "canvas.h"
#include "testing/sandbox.h"

namespace {

TEST(DibImage, LayoutOfTheBlock) {
  CDibImage image;
  BITMAPINFOHEADER* h = image.Create(1, 3, 8);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->biSize, 40u);
  EXPECT_EQ(h->biWidth, 1);
  EXPECT_EQ(h->biHeight, 3);
  EXPECT_EQ(h->biPlanes, 1);
  EXPECT_EQ(h->biBitCount, 8);
  EXPECT_EQ(h->biCompression, DWORD(BI_RGB));
  EXPECT_EQ(h->biClrUsed, 0u);
  EXPECT_EQ(image.GetStride(), 4);  // one pixel still takes a 4-byte row
  EXPECT_EQ(h->biSizeImage, 12u);
  EXPECT_EQ(image.GetPaletteSize(), 1024);
  EXPECT_EQ(image.GetTotalSize(), 40u + 1024u + 12u);
  EXPECT_EQ(image.GetBits(), reinterpret_cast<BYTE*>(h) + 40 + 1024);

  ASSERT_NE(image.Create(10, 2, 24), nullptr);  // replaces the previous content
  EXPECT_EQ(image.GetStride(), 32);
  EXPECT_EQ(image.GetPaletteSize(), 0);
  EXPECT_EQ(image.GetTotalSize(), 40u + 64u);
  ASSERT_NE(image.Create(9, 1, 4), nullptr);
  EXPECT_EQ(image.GetPaletteSize(), 64);
  EXPECT_EQ(image.GetStride(), 8);
  ASSERT_NE(image.Create(33, 1, 1), nullptr);
  EXPECT_EQ(image.GetPaletteSize(), 8);
  EXPECT_EQ(image.GetStride(), 8);
}

TEST(DibImage, SizesThatDoNotFitAreRefused) {
  CDibImage image;
  EXPECT_EQ(image.Create(0x7FFFFFFF, 0x7FFFFFFF, 32), nullptr);
  EXPECT_EQ(image.GetBits(), nullptr);
  EXPECT_EQ(image.GetTotalSize(), 0u);
  EXPECT_EQ(image.Create(100000, 100000, 24), nullptr);  // 30 GB of rows
  EXPECT_EQ(image.Create(0, 5, 8), nullptr);
  EXPECT_EQ(image.Create(5, -1, 8), nullptr);
  // An empty image ignores every operation.
  image.Fill(1);
  image.SetPixelIndex(0, 0, 1);
  image.GreyPalette();
  EXPECT_EQ(image.GetWidth(), 0);
}

TEST(DibImage, PaletteOperations) {
  CDibImage image;
  image.Create(2, 2, 8);
  const RGBQUAD* palette = reinterpret_cast<const RGBQUAD*>(image.GetBits() - 1024);
  image.GreyPalette();
  EXPECT_EQ(palette[0].rgbRed, 0);
  EXPECT_EQ(palette[10].rgbGreen, 10);
  EXPECT_EQ(palette[255].rgbBlue, 255);
  image.SetPaletteEntry(1, 200, 100, 0);
  EXPECT_EQ(palette[1].rgbRed, 200);
  EXPECT_EQ(palette[1].rgbGreen, 100);
  EXPECT_EQ(palette[1].rgbBlue, 0);
  image.SetPaletteEntry(256, 1, 1, 1);  // out of range: ignored
  image.BlendPalette(RGB(0, 0, 200), 50);
  EXPECT_EQ(palette[1].rgbRed, 100);
  EXPECT_EQ(palette[1].rgbGreen, 50);
  EXPECT_EQ(palette[1].rgbBlue, 100);
  image.BlendPalette(RGB(1, 2, 3), 150);  // acts as 100
  EXPECT_EQ(palette[1].rgbRed, 1);
  EXPECT_EQ(palette[200].rgbGreen, 2);
  EXPECT_EQ(palette[255].rgbBlue, 3);
  image.BlendPalette(RGB(255, 255, 255), -20);  // acts as 0
  EXPECT_EQ(palette[1].rgbRed, 1);

  CDibImage mono;
  mono.Create(8, 1, 1);
  mono.GreyPalette();
  const RGBQUAD* two = reinterpret_cast<const RGBQUAD*>(mono.GetBits() - 8);
  EXPECT_EQ(two[0].rgbRed, 0);
  EXPECT_EQ(two[1].rgbRed, 255);
}

TEST(DibImage, PixelIndicesCountRowsFromTheTop) {
  CDibImage image;
  image.Create(3, 4, 8);
  image.Fill(7);
  image.SetPixelIndex(0, 0, 1);  // the top row is the last one in memory
  EXPECT_EQ(image.GetBits()[3 * 4], 1);
  image.SetPixelIndex(2, 3, 2);
  EXPECT_EQ(image.GetBits()[2], 2);
  image.SetPixelIndex(3, 0, 9);   // outside
  image.SetPixelIndex(0, 4, 9);
  image.SetPixelIndex(-1, 0, 9);
  for (int i = 0; i < 16; ++i) EXPECT_NE(image.GetBits()[i], 9) << i;

  CDibImage deep;
  deep.Create(3, 4, 24);  // no palette: pixel indices mean nothing
  deep.Fill(7);
  deep.SetPixelIndex(0, 0, 1);
  EXPECT_EQ(deep.GetBits()[3 * 12], 7);
  deep.SetPaletteEntry(0, 1, 2, 3);
  EXPECT_EQ(deep.GetBits()[0], 7);

  // Four-bit images keep two pixels a byte: an index never lands past its row.
  CDibImage nibbles;
  nibbles.Create(3, 2, 4);
  nibbles.SetPixelIndex(1, 0, 0xA);
  nibbles.SetPixelIndex(0, 0, 0x5);
  nibbles.SetPixelIndex(2, 1, 0xF);
  EXPECT_EQ(nibbles.GetBits()[4], 0x5A);
  EXPECT_EQ(nibbles.GetBits()[1], 0xF0);
}

TEST(DibImage, CopiesAndDraws) {
  CDibImage image;
  image.Create(4, 3, 8);
  image.SetPaletteEntry(1, 255, 0, 0);
  image.SetPaletteEntry(2, 0, 0, 255);
  image.SetPixelIndex(0, 0, 1);
  image.SetPixelIndex(3, 2, 2);
  CDibImage copy;
  ASSERT_TRUE(copy.CopyFrom(image));
  EXPECT_EQ(copy.GetTotalSize(), image.GetTotalSize());
  EXPECT_EQ(std::memcmp(copy.GetBits() - 1064, image.GetBits() - 1064, image.GetTotalSize()), 0);
  CDibImage empty;
  EXPECT_FALSE(copy.CopyFrom(empty));

  Canvas target(12, 12, kWhite);
  image.Draw(&target.dc, 5, 5);
  EXPECT_EQ(target.At(5, 5), kRed);
  EXPECT_EQ(target.At(8, 7), kBlue);
  EXPECT_EQ(target.At(6, 6), kBlack);
  EXPECT_EQ(target.At(9, 5), kWhite);
  EXPECT_EQ(target.At(5, 8), kWhite);
  // A later palette change and new pixels show in the next drawing.
  image.SetPaletteEntry(1, 0, 255, 0);
  image.SetPixelIndex(1, 0, 1);
  image.Draw(&target.dc, 5, 5);
  EXPECT_EQ(target.At(5, 5), kGreen);
  EXPECT_EQ(target.At(6, 5), kGreen);
}

std::vector<char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

TEST(DibImage, SavesBmpFiles) {
  CDibImage image;
  image.Create(5, 2, 8);
  image.GreyPalette();
  image.SetPixelIndex(4, 0, 200);
  const std::string path = testing_support::SandboxDir() + "/image.bmp";
  ASSERT_TRUE(image.SaveBmp(path.c_str()));
  std::vector<char> file = ReadAll(path);
  ASSERT_EQ(file.size(), size_t(image.GetTotalSize()) + 14);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  DWORD size, offset;
  std::memcpy(&size, &file[2], 4);
  std::memcpy(&offset, &file[10], 4);
  EXPECT_EQ(size, image.GetTotalSize() + 14);
  EXPECT_EQ(offset, 14u + 40u + 1024u);
  EXPECT_EQ(std::memcmp(&file[14], image.GetBits() - 1064, image.GetTotalSize()), 0);
  // The platform's loader reads it back.
  HBITMAP loaded =
      static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  ASSERT_NE(loaded, nullptr);
  BITMAP bm{};
  GetObjectA(loaded, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 5);
  EXPECT_EQ(bm.bmHeight, 2);
  DeleteObject(loaded);
  // Saving again overwrites.
  image.Create(1, 1, 24);
  ASSERT_TRUE(image.SaveBmp(path.c_str()));
  EXPECT_EQ(ReadAll(path).size(), 14u + 40u + 4u);

  EXPECT_FALSE(image.SaveBmp(""));
  EXPECT_FALSE(image.SaveBmp(nullptr));
  CDibImage empty;
  EXPECT_FALSE(empty.SaveBmp(path.c_str()));
  EXPECT_FALSE(image.SaveBmp((testing_support::SandboxDir() + "/missing/folder/x.bmp").c_str()));
}

}  // namespace
