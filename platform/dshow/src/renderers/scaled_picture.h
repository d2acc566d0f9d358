#pragma once
// A frame drawn at the size the Video Renderer's window shows it, so that the window only copies it.
#include <vector>

#include "win32/windows.h"

namespace dshow::renderers {

// A 32-bit top-down picture of its own, drawn by whichever thread holds it.
class ScaledPicture {
 public:
  ScaledPicture();
  ~ScaledPicture();
  ScaledPicture(const ScaledPicture&) = delete;
  ScaledPicture& operator=(const ScaledPicture&) = delete;

  // Stretches part (top-down frame coordinates) of a bottom-up frame to width x height, taking
  // the nearest pixels as the window's own stretch would. False when there is no memory for it.
  bool Draw(const BYTE* frame, const BITMAPINFO* format, const RECT& part, LONG width, LONG height);
  // Whether the picture shows part of a frame at width x height.
  bool Shows(LONG width, LONG height, const RECT& part) const;
  // Copies the whole picture to (x, y) of dc.
  bool CopyTo(HDC dc, int x, int y) const;

 private:
  void PickPixels(const BYTE* frame, const BITMAPINFOHEADER& format, const RECT& part);

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ original_ = nullptr;  // the bitmap dc_ came with
  void* bits_ = nullptr;
  BITMAPINFOHEADER header_{};
  RECT part_{};
  std::vector<size_t> columns_;  // byte offset in a frame row of each picture column
};

}  // namespace dshow::renderers
