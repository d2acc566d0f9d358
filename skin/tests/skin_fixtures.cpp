#include "skin_fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "testing/sandbox.h"

namespace skin_test {

namespace {

void Put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::string BmpHeaders(int width, int height, int bits, int paletteEntries) {
  const uint32_t stride = (static_cast<uint32_t>(width) * bits / 8 + 3) & ~3u;
  const uint32_t offset = 14 + 40 + 4 * paletteEntries;
  std::string file = "BM";
  Put32(file, offset + stride * height);
  Put32(file, 0);
  Put32(file, offset);
  Put32(file, 40);
  Put32(file, width);
  Put32(file, height);
  Put16(file, 1);
  Put16(file, bits);
  Put32(file, BI_RGB);
  Put32(file, stride * height);
  Put32(file, 0);
  Put32(file, 0);
  Put32(file, paletteEntries);
  Put32(file, 0);
  return file;
}

}  // namespace

std::string FreshFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string folder = testing_support::SandboxDir() + "/" + info->test_suite_name() + "." + info->name();
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Bmp24(int width, int height, const std::function<COLORREF(int x, int y)>& colour) {
  std::string file = BmpHeaders(width, height, 24, 0);
  for (int y = height - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colour(x, y);
      row += static_cast<char>(GetBValue(c));
      row += static_cast<char>(GetGValue(c));
      row += static_cast<char>(GetRValue(c));
    }
    row.resize((row.size() + 3) & ~size_t(3), '\0');
    file += row;
  }
  return file;
}

std::string Bmp24(int width, int height, COLORREF fill) {
  return Bmp24(width, height, [fill](int, int) { return fill; });
}

std::string Bmp8(int width, int height, const std::vector<COLORREF>& palette,
                 const std::function<int(int x, int y)>& index) {
  std::string file = BmpHeaders(width, height, 8, static_cast<int>(palette.size()));
  for (COLORREF c : palette) {
    file += static_cast<char>(GetBValue(c));
    file += static_cast<char>(GetGValue(c));
    file += static_cast<char>(GetRValue(c));
    file += '\0';
  }
  for (int y = height - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < width; ++x) row += static_cast<char>(index(x, y));
    row.resize((row.size() + 3) & ~size_t(3), '\0');
    file += row;
  }
  return file;
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const COLORREF colour = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return colour;
}

}  // namespace skin_test
