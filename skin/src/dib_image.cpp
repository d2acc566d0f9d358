#include "skin/dib_image.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

CDibImage::~CDibImage() { Free(); }

void CDibImage::Free() {
  if (memoryDC_.m_hDC) {
    ::SelectObject(memoryDC_.m_hDC, oldBitmap_);
    memoryDC_.DeleteDC();
  }
  if (section_) ::DeleteObject(section_);
  section_ = nullptr;
  sectionBits_ = nullptr;
  oldBitmap_ = nullptr;
  delete[] block_;
  block_ = nullptr;
  stride_ = 0;
  paletteEntries_ = 0;
}

BITMAPINFOHEADER* CDibImage::Create(int width, int height, int bitsPerPixel) {
  Free();
  if (width <= 0 || height <= 0 || bitsPerPixel <= 0 || bitsPerPixel > 32) return nullptr;
  const int entries = bitsPerPixel == 1 ? 2 : bitsPerPixel == 4 ? 16 : bitsPerPixel == 8 ? 256 : 0;
  // Rows whose total does not fit the header's 32-bit image size are refused.
  const uint64_t stride = (uint64_t(width) * uint64_t(bitsPerPixel) + 31) / 32 * 4;
  const uint64_t image = stride * uint64_t(height);
  const uint64_t total = sizeof(BITMAPINFOHEADER) + 4 * uint64_t(entries) + image;
  if (image > INT32_MAX || total > INT32_MAX) return nullptr;
  block_ = new (std::nothrow) BYTE[size_t(total)]();
  if (!block_) return nullptr;
  stride_ = int(stride);
  paletteEntries_ = entries;
  BITMAPINFOHEADER* h = Header();
  h->biSize = sizeof(BITMAPINFOHEADER);
  h->biWidth = width;
  h->biHeight = height;
  h->biPlanes = 1;
  h->biBitCount = WORD(bitsPerPixel);
  h->biCompression = BI_RGB;
  h->biSizeImage = DWORD(image);
  return h;
}

int CDibImage::GetWidth() const { return block_ ? Header()->biWidth : 0; }
int CDibImage::GetHeight() const { return block_ ? Header()->biHeight : 0; }

BYTE* CDibImage::GetBits() const {
  return block_ ? block_ + sizeof(BITMAPINFOHEADER) + GetPaletteSize() : nullptr;
}

DWORD CDibImage::GetTotalSize() const {
  return block_ ? DWORD(sizeof(BITMAPINFOHEADER) + GetPaletteSize() + Header()->biSizeImage) : 0;
}

void CDibImage::SetPaletteEntry(int index, BYTE red, BYTE green, BYTE blue) {
  if (index < 0 || index >= paletteEntries_) return;
  Palette()[index] = RGBQUAD{blue, green, red, 0};
}

void CDibImage::BlendPalette(COLORREF colour, int percent) {
  percent = std::clamp(percent, 0, 100);
  auto mix = [percent](BYTE channel, BYTE target) {
    return BYTE((channel * (100 - percent) + target * percent) / 100);
  };
  for (int i = 0; i < paletteEntries_; ++i) {
    RGBQUAD& e = Palette()[i];
    e.rgbRed = mix(e.rgbRed, GetRValue(colour));
    e.rgbGreen = mix(e.rgbGreen, GetGValue(colour));
    e.rgbBlue = mix(e.rgbBlue, GetBValue(colour));
  }
}

void CDibImage::GreyPalette() {
  if (paletteEntries_ == 0) return;
  for (int i = 0; i < paletteEntries_; ++i) SetPaletteEntry(i, BYTE(i), BYTE(i), BYTE(i));
  SetPaletteEntry(paletteEntries_ - 1, 255, 255, 255);
}

void CDibImage::Fill(BYTE value) {
  if (block_) std::memset(GetBits(), value, Header()->biSizeImage);
}

void CDibImage::SetPixelIndex(int x, int y, BYTE index) {
  if (!paletteEntries_ || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return;
  BYTE* row = GetBits() + size_t(GetHeight() - y - 1) * size_t(stride_);
  const int bits = Header()->biBitCount;
  if (bits == 8) {
    row[x] = index;
    return;
  }
  // 1 and 4 bits: the pixel's bits within its byte, leftmost pixel in the high bits.
  const int perByte = 8 / bits;
  const int shift = (perByte - 1 - x % perByte) * bits;
  const BYTE mask = BYTE(((1 << bits) - 1) << shift);
  BYTE& b = row[x / perByte];
  b = BYTE((b & ~mask) | ((index << shift) & mask));
}

BOOL CDibImage::CopyFrom(const CDibImage& other) {
  if (&other == this) return block_ != nullptr;
  if (!other.block_ || !Create(other.GetWidth(), other.GetHeight(), other.Header()->biBitCount)) return FALSE;
  std::memcpy(block_, other.block_, other.GetTotalSize());
  return TRUE;
}

void CDibImage::Draw(CDC* pDC, int x, int y) {
  if (!block_ || !pDC) return;
  if (!section_) {
    void* bits = nullptr;
    section_ = ::CreateDIBSection(pDC->m_hDC, reinterpret_cast<const BITMAPINFO*>(block_), DIB_RGB_COLORS, &bits,
                                  nullptr, 0);
    if (!section_) return;
    sectionBits_ = static_cast<BYTE*>(bits);
    if (!memoryDC_.CreateCompatibleDC(pDC)) {
      ::DeleteObject(section_);
      section_ = nullptr;
      return;
    }
    oldBitmap_ = ::SelectObject(memoryDC_.m_hDC, section_);
  }
  std::memcpy(sectionBits_, GetBits(), Header()->biSizeImage);
  // The palette may have changed since the section was made.
  if (paletteEntries_) ::SetDIBColorTable(memoryDC_.m_hDC, 0, UINT(paletteEntries_), Palette());
  pDC->BitBlt(x, y, GetWidth(), GetHeight(), &memoryDC_, 0, 0, SRCCOPY);
}

BOOL CDibImage::SaveBmp(LPCTSTR path) const {
  if (!path || !*path || !block_) return FALSE;
  HANDLE file = ::CreateFile(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;  // "BM"
  header.bfSize = GetTotalSize() + 14;
  header.bfOffBits = DWORD(14 + sizeof(BITMAPINFOHEADER) + GetPaletteSize());
  DWORD written = 0, blockWritten = 0;
  BOOL ok = ::WriteFile(file, &header, 14, &written, nullptr) && written == 14 &&
            ::WriteFile(file, block_, GetTotalSize(), &blockWritten, nullptr) && blockWritten == GetTotalSize();
  ok = ::CloseHandle(file) && ok;
  return ok;
}
