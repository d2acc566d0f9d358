#pragma once
// What the filter draws, as ILogoMixer sets it; a frame draws from one copy of it.
#include <array>

#include "win32/windows.h"

namespace overlay_filter {

struct Rgb {
  BYTE r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// Fixed string buffers with their terminator, as the interface defines them.
using PathBuffer = std::array<char, 260>;
using TextBuffer = std::array<char, 1024>;

// Copies a string into a buffer, cut to what fits before the terminator and never inside a
// character's bytes.
template <size_t N>
void CopyString(std::array<char, N>& buffer, LPCSTR text);

struct OverlaySettings {
  TextBuffer text{};
  PathBuffer fontFace{"Times New Roman"};
  int fontSize = 24;
  int fontStyle = 0;
  int brushMode = 0;
  int textX = 0, textY = 0;
  Rgb textColour{255, 0, 0};
  BYTE textAlpha = 255;
  Rgb outlineFill{255, 0, 0};
  Rgb outlineBorder{0, 255, 0};
  int hatchStyle = 0;
  Rgb hatchFore, hatchBack;
  PathBuffer texturePath{};
  BYTE showText = 1;

  PathBuffer imagePath{};
  int imageX = 0, imageY = 0;
  Rgb key;
  BYTE imageAlpha = 0;
  BYTE stretch = 0;
  BYTE showImage = 1;
};

// Values the interface keeps that no frame reads.
struct StoredSettings {
  int textBoxA = 0, textBoxB = 100;
  PathBuffer secondFontFace{"Times New Roman"};
  int secondFontSize = 12;
  Rgb extraColour{255, 255, 255};
  int reservedValue1 = 0, reservedValue2 = 0;
  BYTE reservedFlag1 = 1, reservedFlag2 = 1, reservedFlag3 = 1, reservedFlag4 = 0xFF;
  struct AnimatedImage {
    PathBuffer path{};
    int x = 0, y = 0, frames = 0;
  } animated1, animated2;
  TextBuffer reservedText{};
};

// What drawing measured and saw, read back through the interface.
struct FrameResults {
  int textWidth = 0, textHeight = 0;
  LONGLONG start = 0, stop = 0;  // 100-ns units
};

template <size_t N>
void CopyString(std::array<char, N>& buffer, LPCSTR text) {
  size_t length = 0;
  if (text)
    while (length < N - 1 && text[length]) ++length;
  // A cut inside a UTF-8 sequence backs off to the character's first byte.
  if (text && text[length] && length > 0) {
    size_t start = length;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    length = start;
  }
  for (size_t i = 0; i < length; ++i) buffer[i] = text[i];
  buffer[length] = '\0';
}

}  // namespace overlay_filter
