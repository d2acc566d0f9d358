#pragma once
// An in-memory device-independent bitmap: one block holding the header, the palette and the
// bottom-up pixel rows. Controls fill it pixel by pixel (through palette indices) and blit it.
#include "mfc/afxwin.h"

class CDibImage {
 public:
  CDibImage() = default;
  virtual ~CDibImage();
  CDibImage(const CDibImage&) = delete;
  CDibImage& operator=(const CDibImage&) = delete;

  // Frees any previous content and makes a zeroed image: 2, 16 or 256 palette entries for 1, 4
  // and 8 bits, none otherwise. Returns the header, or null for a size that is not positive or
  // whose rows do not fit in memory (the image is then empty).
  BITMAPINFOHEADER* Create(int width, int height, int bitsPerPixel);

  int GetWidth() const;
  int GetHeight() const;
  int GetStride() const { return stride_; }
  // The first byte of the pixel rows (the bottom row); null when empty.
  BYTE* GetBits() const;
  int GetPaletteSize() const { return paletteEntries_ * 4; }  // bytes
  DWORD GetTotalSize() const;                                // header + palette + rows

  void SetPaletteEntry(int index, BYTE red, BYTE green, BYTE blue);
  // Moves every entry toward colour by percent (0 to 100).
  void BlendPalette(COLORREF colour, int percent);
  // Entry i is (i, i, i); entry 0 black and the last entry white.
  void GreyPalette();
  // Sets every byte of the pixel rows.
  void Fill(BYTE value);
  // Palette images only; y counts from the top row.
  void SetPixelIndex(int x, int y, BYTE index);
  // Takes the size, depth and content of another image; FALSE when it is empty.
  BOOL CopyFrom(const CDibImage& other);
  // Copies the image to (x, y) of the DC.
  void Draw(CDC* pDC, int x, int y);
  // Writes a BMP file (always overwriting); FALSE for an empty path or image or a failed write.
  BOOL SaveBmp(LPCTSTR path) const;

 private:
  void Free();
  BITMAPINFOHEADER* Header() const { return reinterpret_cast<BITMAPINFOHEADER*>(block_); }
  RGBQUAD* Palette() const { return reinterpret_cast<RGBQUAD*>(block_ + sizeof(BITMAPINFOHEADER)); }

  BYTE* block_ = nullptr;
  int stride_ = 0;
  int paletteEntries_ = 0;
  HBITMAP section_ = nullptr;
  BYTE* sectionBits_ = nullptr;
  CDC memoryDC_;
  HGDIOBJ oldBitmap_ = nullptr;
};
