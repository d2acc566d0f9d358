// Bitmaps: DIB sections, the DIB transfer functions, BMP files at every depth and their strict
// reading, and bitmaps from resources.
#include <fstream>

#include "canvas.h"
#include "gdi/bmp_file.h"
#include "testing/sandbox.h"

namespace {

using namespace win32::gdi;

std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = testing_support::SandboxDir() + "/" + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return path;
}

std::shared_ptr<BitmapObject> ObjectOf(HBITMAP h) {
  return win32::LookupHandle<BitmapObject>(h, win32::HandleKind::Bitmap);
}

// A DIB section of the given format filled with a value pattern.
HBITMAP PatternedDib(int bits, DWORD compression, const DWORD* masks, int width, int height) {
  std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
  bmi->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, static_cast<WORD>(bits), compression,
                                    0, 0, 0, 0, 0};
  if (masks) std::memcpy(bmi->bmiColors, masks, 12);
  if (bits == 1) {  // black and white, so that a screen bitmap stays monochrome
    bmi->bmiColors[1] = RGBQUAD{255, 255, 255, 0};
  } else if (bits <= 8) {
    for (int i = 0; i < (1 << bits); ++i)
      bmi->bmiColors[i] = RGBQUAD{static_cast<BYTE>(i * 7), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 3), 0};
  }
  HBITMAP h = CreateDIBSection(nullptr, bmi, DIB_RGB_COLORS, nullptr, nullptr, 0);
  Surface& s = *ObjectOf(h)->surface;
  uint32_t mask = s.ValueMask();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) s.Put(x, y, static_cast<uint32_t>((x * 2654435761u) ^ (y * 40503u)) & mask);
  return h;
}

TEST(BmpFiles, RoundTripAtEveryDepth) {
  const DWORD k565[3] = {0xF800, 0x07E0, 0x001F};
  const DWORD kBgr32[3] = {0x000000FF, 0x0000FF00, 0x00FF0000};
  struct Case {
    int bits;
    DWORD compression;
    const DWORD* masks;
  } cases[] = {{1, BI_RGB, nullptr},  {4, BI_RGB, nullptr},      {8, BI_RGB, nullptr},       {16, BI_RGB, nullptr},
               {16, BI_BITFIELDS, k565}, {24, BI_RGB, nullptr}, {32, BI_RGB, nullptr}, {32, BI_BITFIELDS, kBgr32}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    HBITMAP original = PatternedDib(c.bits, c.compression, c.masks, 13, 5);
    const Surface& a = *ObjectOf(original)->surface;
    std::string path = WriteFile("round.bmp", EncodeBmp(a));
    HBITMAP loaded = static_cast<HBITMAP>(LoadImage(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                    LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(loaded, nullptr);
    const Surface& b = *ObjectOf(loaded)->surface;
    ASSERT_EQ(b.width, 13);
    ASSERT_EQ(b.height, 5);
    EXPECT_TRUE(b.format == a.format);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x) ASSERT_EQ(b.Get(x, y), a.Get(x, y)) << x << "," << y;
    // Loaded as a screen bitmap, every pixel keeps its colour (monochrome stays monochrome).
    HBITMAP screen = static_cast<HBITMAP>(LoadImage(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    const Surface& d = *ObjectOf(screen)->surface;
    EXPECT_EQ(d.format.bitsPerPixel, c.bits == 1 ? 1 : 32);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x) ASSERT_EQ(d.ToColor(d.Get(x, y)), a.ToColor(a.Get(x, y)));
    DeleteObject(original);
    DeleteObject(loaded);
    DeleteObject(screen);
  }
}

std::vector<uint8_t> SmallBmp() {
  HBITMAP h = PatternedDib(8, BI_RGB, nullptr, 4, 3);
  std::vector<uint8_t> bytes = EncodeBmp(*ObjectOf(h)->surface);
  DeleteObject(h);
  return bytes;
}

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

TEST(BmpFiles, TopDownFilesReadTopRowFirst) {
  std::vector<uint8_t> bytes = SmallBmp();
  DibLayout layout;
  size_t offset = 0;
  ASSERT_TRUE(ParseBmpFile(bytes.data(), bytes.size(), &layout, &offset));
  Surface bottomUp = DibSurface(layout, bytes.data() + offset);
  std::vector<uint8_t> flipped = bytes;
  Put32(flipped, 22, static_cast<uint32_t>(-3));
  HBITMAP h = static_cast<HBITMAP>(
      LoadImage(nullptr, WriteFile("top.bmp", flipped).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  ASSERT_NE(h, nullptr);
  const Surface& s = *ObjectOf(h)->surface;
  // The same bytes read top-down are the picture upside down.
  for (int x = 0; x < 4; ++x) EXPECT_EQ(s.Get(x, 0), bottomUp.Get(x, 2));
  DIBSECTION ds{};
  GetObject(h, sizeof ds, &ds);
  EXPECT_EQ(ds.dsBmih.biHeight, -3);
  DeleteObject(h);
}

TEST(BmpFiles, CraftedFilesFailCleanly) {
  const std::vector<uint8_t> good = SmallBmp();
  struct Mutation {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> apply;
  } mutations[] = {
      {"signature", [](auto& v) { v[0] = 'X'; }},
      {"truncated rows", [](auto& v) { v.pop_back(); }},
      {"offset past the end", [](auto& v) { Put32(v, 10, static_cast<uint32_t>(v.size() + 1)); }},
      {"offset inside the colour table", [](auto& v) { Put32(v, 10, 14 + 40 + 10); }},
      {"header size", [](auto& v) { Put32(v, 14, 39); }},
      {"zero width", [](auto& v) { Put32(v, 18, 0); }},
      {"negative width", [](auto& v) { Put32(v, 18, static_cast<uint32_t>(-4)); }},
      {"zero height", [](auto& v) { Put32(v, 22, 0); }},
      {"huge width", [](auto& v) { Put32(v, 18, 0x7FFFFFFF); }},
      {"planes", [](auto& v) { v[26] = 2; }},
      {"bit count", [](auto& v) { v[28] = 7; }},
      {"run-length compression", [](auto& v) { Put32(v, 30, BI_RLE8); }},
      {"bit fields at 8 bits", [](auto& v) { Put32(v, 30, BI_BITFIELDS); }},
      {"too many colours", [](auto& v) { Put32(v, 46, 257); }},
      {"tiny file", [](auto& v) { v.resize(20); }},
  };
  for (const Mutation& m : mutations) {
    std::vector<uint8_t> bad = good;
    m.apply(bad);
    SetLastError(0);
    HANDLE h = LoadImage(nullptr, WriteFile("bad.bmp", bad).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    EXPECT_EQ(h, nullptr) << m.what;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA)) << m.what;
  }
  // Bad bit-field masks: overlapping and not contiguous.
  const DWORD overlap[3] = {0xF800, 0x0FE0, 0x001F};
  const DWORD gappy[3] = {0xF801, 0x07E0, 0x001E};
  for (const DWORD* masks : {overlap, gappy}) {
    BITMAPINFO* bmi = static_cast<BITMAPINFO*>(calloc(1, sizeof(BITMAPINFOHEADER) + 12));
    bmi->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, 2, 1, 16, BI_BITFIELDS, 0, 0, 0, 0, 0};
    std::memcpy(bmi->bmiColors, masks, 12);
    EXPECT_EQ(CreateDIBSection(nullptr, bmi, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
    free(bmi);
  }
  EXPECT_EQ(LoadImage(nullptr, (testing_support::SandboxDir() + "/missing.bmp").c_str(), IMAGE_BITMAP, 0, 0,
                      LR_LOADFROMFILE),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(Dibs, SectionRowsAreBottomUpAndGetObjectDescribesThem) {
  BITMAPINFO bmi{};
  bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 3, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP h = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bits, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, h);
  SetPixel(dc, 0, 1, RGB(10, 20, 30));  // bottom row comes first in memory
  const uint8_t* b = static_cast<const uint8_t*>(bits);
  EXPECT_EQ(b[0], 30);
  EXPECT_EQ(b[1], 20);
  EXPECT_EQ(b[2], 10);
  DIBSECTION ds{};
  ASSERT_EQ(GetObject(h, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmWidthBytes, 12);  // rows padded to 4 bytes
  EXPECT_EQ(ds.dsBm.bmBits, bits);
  EXPECT_EQ(ds.dsBmih.biSizeImage, 24u);
  BITMAP bm{};
  EXPECT_EQ(GetObject(h, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(GetObject(h, 0, nullptr), static_cast<int>(sizeof ds));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(h);
}

TEST(Dibs, SetAndGetDibitsConvertBetweenFormats) {
  HBITMAP h = CreateBitmap(3, 2, 1, 32, nullptr);
  // 24-bit bottom-up rows of 12 bytes: the bottom row blue, the top row red.
  uint8_t rows[24] = {};
  for (int x = 0; x < 3; ++x) {
    rows[3 * x] = 255;           // bottom row: blue
    rows[12 + 3 * x + 2] = 255;  // top row: red
  }
  BITMAPINFO in{};
  in.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 3, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  EXPECT_EQ(SetDIBits(nullptr, h, 0, 2, rows, &in, DIB_RGB_COLORS), 2);
  BITMAPINFO out{};
  out.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  EXPECT_EQ(GetDIBits(nullptr, h, 0, 0, nullptr, &out, DIB_RGB_COLORS), 2);
  EXPECT_EQ(out.bmiHeader.biBitCount, 32);
  EXPECT_EQ(out.bmiHeader.biWidth, 3);
  out.bmiHeader.biHeight = -2;  // top-down
  uint32_t pixels[6] = {};
  EXPECT_EQ(GetDIBits(nullptr, h, 0, 2, pixels, &out, DIB_RGB_COLORS), 2);
  EXPECT_EQ(pixels[0], 0x00FF0000u);
  EXPECT_EQ(pixels[5], 0x000000FFu);
  // A monochrome copy with its black-and-white colour table.
  std::vector<uint8_t> monoInfo(sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD));
  auto* mono = reinterpret_cast<BITMAPINFO*>(monoInfo.data());
  mono->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 3, 2, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
  uint8_t monoRows[8] = {};
  EXPECT_EQ(GetDIBits(nullptr, h, 0, 2, monoRows, mono, DIB_RGB_COLORS), 2);
  EXPECT_EQ(mono->bmiColors[1].rgbRed, 255);
  DeleteObject(h);
}

// More rows than the bitmap has: the ones past its bottom are dropped, every channel of the
// others lands where it belongs.
TEST(Dibs, SetDibitsDropsRowsPastTheBitmap) {
  HBITMAP h = CreateBitmap(2, 1, 1, 32, nullptr);
  const uint8_t rows[3][8] = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}, {13, 14, 15, 16, 17, 18}};
  BITMAPINFO in{};
  in.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, -3, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  EXPECT_EQ(SetDIBits(nullptr, h, 0, 3, rows, &in, DIB_RGB_COLORS), 3);
  BITMAPINFO out{};
  out.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  uint32_t pixels[2] = {};
  EXPECT_EQ(GetDIBits(nullptr, h, 0, 1, pixels, &out, DIB_RGB_COLORS), 1);
  EXPECT_EQ(pixels[0], 0x00030201u);
  EXPECT_EQ(pixels[1], 0x00060504u);
  DeleteObject(h);
}

TEST(Dibs, BitmapBitsUseWordAlignedRows) {
  const uint8_t bits[4] = {0xA0, 0x00, 0x50, 0x00};  // 3x2 monochrome, rows of 2 bytes
  HBITMAP h = CreateBitmap(3, 2, 1, 1, bits);
  EXPECT_EQ(GetBitmapBits(h, 0, nullptr), 4);
  uint8_t back[4] = {};
  EXPECT_EQ(GetBitmapBits(h, 4, back), 4);
  EXPECT_EQ(back[0] & 0xE0, 0xA0);
  EXPECT_EQ(back[2] & 0xE0, 0x40);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, h);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 255, 255));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(h);
  EXPECT_EQ(CreateBitmap(0, 5, 1, 32, nullptr), CreateBitmap(5, 0, 1, 1, nullptr));  // the stock 1x1
}

TEST(Dibs, StretchDibitsDrawsCallerRows) {
  Canvas c(4, 2);
  uint32_t rows[2] = {0x000000FF, 0x00FF0000};  // 1x2 bottom-up: bottom blue, top red
  BITMAPINFO bmi{};
  bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 1, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  EXPECT_EQ(StretchDIBits(c.dc(), 0, 0, 4, 2, 0, 0, 1, 2, rows, &bmi, DIB_RGB_COLORS, SRCCOPY), 2);
  EXPECT_EQ(c.At(3, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.At(0, 1), RGB(0, 0, 255));
  c.Fill(RGB(255, 255, 255));
  EXPECT_EQ(SetDIBitsToDevice(c.dc(), 1, 0, 1, 2, 0, 0, 0, 2, rows, &bmi, DIB_RGB_COLORS), 2);
  EXPECT_EQ(c.At(1, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.At(1, 1), RGB(0, 0, 255));
  EXPECT_EQ(c.At(0, 0), RGB(255, 255, 255));
}

// Packed pictures reach another packed format field by field (widened by shifting, narrowed by
// dropping low bits), the same at equal size as stretched and mirrored.
TEST(Dibs, StretchDibitsConvertsPackedFields) {
  struct Case {
    WORD bits;
    DWORD compression;
    DWORD masks[3];
    uint8_t row[12];  // three pixels, bottom-up rows of one
    COLORREF want[3];
  };
  const Case cases[] = {
      {16, BI_RGB, {}, {0xFF, 0x7F, 0x00, 0x7C, 0x10, 0x02}, {RGB(248, 248, 248), RGB(248, 0, 0), RGB(0, 128, 128)}},
      {16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, {0x00, 0xF8, 0xE0, 0x07, 0x41, 0x08},
       {RGB(248, 0, 0), RGB(0, 252, 0), RGB(8, 8, 8)}},
      {24, BI_RGB, {}, {1, 2, 3, 0xFF, 0, 0x80, 0, 0xFF, 0}, {RGB(3, 2, 1), RGB(0x80, 0, 0xFF), RGB(0, 0xFF, 0)}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.bits * 10 + k.compression);
    struct {
      BITMAPINFOHEADER header;
      DWORD masks[3];
    } info{{sizeof(BITMAPINFOHEADER), 3, 1, 1, k.bits, k.compression, 0, 0, 0, 0, 0},
           {k.masks[0], k.masks[1], k.masks[2]}};
    const auto* bmi = reinterpret_cast<const BITMAPINFO*>(&info);
    Canvas c(6, 3);
    EXPECT_EQ(StretchDIBits(c.dc(), 0, 0, 3, 1, 0, 0, 3, 1, k.row, bmi, DIB_RGB_COLORS, SRCCOPY), 1);
    EXPECT_EQ(StretchDIBits(c.dc(), 5, 1, -6, 2, 0, 0, 3, 1, k.row, bmi, DIB_RGB_COLORS, SRCCOPY), 1);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(c.At(i, 0), k.want[i]);
      EXPECT_EQ(c.At(5 - 2 * i, 1), k.want[i]);
      EXPECT_EQ(c.At(4 - 2 * i, 2), k.want[i]);
    }
  }
  // Into a 5-6-5 section: 8-bit fields lose their low bits.
  struct {
    BITMAPINFOHEADER header;
    DWORD masks[3];
  } section{{sizeof(BITMAPINFOHEADER), 3, -1, 1, 16, BI_BITFIELDS, 0, 0, 0, 0, 0}, {0xF800, 0x07E0, 0x001F}};
  void* bits = nullptr;
  HBITMAP h = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&section), DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_TRUE(h);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, h);
  const uint8_t row[12] = {0xFF, 0xFF, 0xFF, 0, 4, 8, 0x80, 0x80, 0x80};
  BITMAPINFO in{};
  in.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 3, 1, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  EXPECT_EQ(StretchDIBits(dc, 0, 0, 3, 1, 0, 0, 3, 1, row, &in, DIB_RGB_COLORS, SRCCOPY), 1);
  const auto* out = static_cast<const uint16_t*>(bits);
  EXPECT_EQ(out[0], 0xFFFF);
  EXPECT_EQ(out[1], 0x0820);
  EXPECT_EQ(out[2], 0x8410);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(h);
}

// A 2x2 4-bit picture as a bitmap resource: header, 16 colours, rows.
std::vector<uint8_t> ResourceDib() {
  std::vector<uint8_t> dib(sizeof(BITMAPINFOHEADER) + 16 * 4 + 8);
  BITMAPINFOHEADER h{sizeof(BITMAPINFOHEADER), 2, 2, 1, 4, BI_RGB, 0, 0, 0, 0, 0};
  std::memcpy(dib.data(), &h, sizeof h);
  uint8_t* colors = dib.data() + sizeof h;
  colors[4 * 1 + 2] = 255;  // index 1: red
  colors[4 * 2 + 1] = 255;  // index 2: green
  uint8_t* rows = colors + 64;
  rows[0] = 0x12;  // bottom row: red, green
  rows[4] = 0x21;  // top row: green, red
  return dib;
}
const std::vector<uint8_t> kResourceDib = ResourceDib();
const ResourceEntry kResources[] = {{RT_BITMAP, MAKEINTRESOURCE(7), kResourceDib.data(), static_cast<DWORD>(kResourceDib.size())}};
const ModuleResources kRegistered(kResources);

TEST(Dibs, LoadBitmapFromResources) {
  HBITMAP h = LoadBitmap(GetModuleHandle(nullptr), MAKEINTRESOURCE(7));
  ASSERT_NE(h, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, h);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(255, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(h);
  HBITMAP sized = static_cast<HBITMAP>(LoadImage(GetModuleHandle(nullptr), MAKEINTRESOURCE(7), IMAGE_BITMAP, 4, 6, 0));
  BITMAP bm{};
  GetObject(sized, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 4);
  EXPECT_EQ(bm.bmHeight, 6);
  DeleteObject(sized);
  EXPECT_EQ(LoadBitmap(GetModuleHandle(nullptr), MAKEINTRESOURCE(8)), nullptr);
}

TEST(Dibs, ColourTablesOfSelectedSectionsAndMonochromeLoading) {
  HBITMAP h = PatternedDib(8, BI_RGB, nullptr, 2, 2);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, h);
  RGBQUAD q[2] = {};
  EXPECT_EQ(GetDIBColorTable(dc, 254, 4, q), 2u);
  EXPECT_EQ(q[1].rgbGreen, 0);
  RGBQUAD red{0, 0, 255, 0};
  uint32_t index = ObjectOf(h)->surface->Get(0, 0);
  EXPECT_EQ(SetDIBColorTable(dc, index, 1, &red), 1u);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  SelectObject(dc, old);
  EXPECT_EQ(GetDIBColorTable(dc, 0, 1, q), 0u);  // the default bitmap has no colour table
  // LR_MONOCHROME turns a colour file into black and white.
  std::string path = WriteFile("colour.bmp", EncodeBmp(*ObjectOf(h)->surface));
  HBITMAP mono = static_cast<HBITMAP>(LoadImage(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_MONOCHROME));
  BITMAP bm{};
  GetObject(mono, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  DeleteObject(mono);
  DeleteDC(dc);
  DeleteObject(h);
}

}  // namespace
