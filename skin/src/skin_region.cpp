#include "skin/skin_region.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

SkinRegion::SkinRegion(SkinRegion&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

SkinRegion& SkinRegion::operator=(SkinRegion&& other) noexcept {
  if (this != &other) {
    Reset();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

void SkinRegion::Reset() {
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
}

HRGN SkinRegion::Detach() { return std::exchange(handle_, nullptr); }

namespace {

// The bitmap's pixels as 0x00RRGGBB, top row first, whatever its depth.
bool ReadPixels(HBITMAP bitmap, int* width, int* height, std::vector<uint32_t>* pixels) {
  BITMAP info{};
  if (!bitmap || !GetObject(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
  BITMAPINFO request{};
  request.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  pixels->assign(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight), 0);
  HDC dc = CreateCompatibleDC(nullptr);
  const int rows = GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels->data(), &request, DIB_RGB_COLORS);
  DeleteDC(dc);
  *width = info.bmWidth;
  *height = info.bmHeight;
  return rows == info.bmHeight;
}

HRGN RegionFromRects(const std::vector<RECT>& rects) {
  std::vector<char> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  RGNDATAHEADER header{sizeof(RGNDATAHEADER), RDH_RECTANGLES, static_cast<DWORD>(rects.size()),
                       static_cast<DWORD>(rects.size() * sizeof(RECT)), RECT{}};
  std::memcpy(data.data(), &header, sizeof header);
  if (!rects.empty()) std::memcpy(data.data() + sizeof header, rects.data(), rects.size() * sizeof(RECT));
  return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
}

}  // namespace

HRGN CreateSkinRegion(HBITMAP bitmap, COLORREF key, bool* keyed) {
  if (keyed) *keyed = false;
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  if (!ReadPixels(bitmap, &width, &height, &pixels)) return nullptr;
  // No key colour keys nothing out; any pixel value above 24 bits matches no pixel.
  const uint32_t keyPixel = key == CLR_INVALID
                                ? 0xFF000000u
                                : (uint32_t(GetRValue(key)) << 16) | (uint32_t(GetGValue(key)) << 8) | GetBValue(key);

  // One rectangle per run of pixels that are not the key; a row whose runs equal those of the
  // row above makes that row's rectangles one taller instead.
  std::vector<RECT> rects;
  size_t bandStart = 0;  // first rectangle of the previous row
  size_t keyedPixels = 0;
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = pixels.data() + static_cast<size_t>(y) * width;
    const size_t rowStart = rects.size();
    for (int x = 0; x < width;) {
      if ((row[x] & 0x00FFFFFF) == keyPixel) {
        ++keyedPixels;
        ++x;
        continue;
      }
      const int left = x;
      while (x < width && (row[x] & 0x00FFFFFF) != keyPixel) ++x;
      rects.push_back(RECT{left, y, x, y + 1});
    }
    const size_t count = rects.size() - rowStart;
    bool sameAsAbove = count > 0 && count == rowStart - bandStart && rects[bandStart].bottom == y;
    for (size_t i = 0; sameAsAbove && i < count; ++i)
      sameAsAbove = rects[bandStart + i].left == rects[rowStart + i].left &&
                    rects[bandStart + i].right == rects[rowStart + i].right;
    if (sameAsAbove) {
      for (size_t i = 0; i < count; ++i) rects[bandStart + i].bottom = y + 1;
      rects.resize(rowStart);
    } else {
      bandStart = rowStart;
    }
  }
  if (keyed) *keyed = keyedPixels > 0;
  if (rects.empty()) return CreateRectRgn(0, 0, width, height);
  return RegionFromRects(rects);
}
