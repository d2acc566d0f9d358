#include "skin/shaded_button.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CShadedButton, CHoverButton)

namespace {

constexpr int kStrokes = 200;
constexpr int kStrokeIndices = 41;

// A steep S-curve of v across 0..n, between about -128 and 128.
int Bump(int v, int n) {
  const int a = v * 255 / n - 127;
  return a * a * a / 16384;
}

}  // namespace

void CShadedButton::SetShade(int shade, int granularity, int highlight, int colouring, COLORREF colour) {
  CRect client(0, 0, 0, 0);
  if (GetSafeHwnd()) GetClientRect(&client);
  const int w = std::max(1, int(client.Width()));
  const int h = std::max(1, int(client.Height()));
  // Beyond 127 the grain would swallow the whole range of shades.
  const int g = std::clamp(granularity, 0, 127);
  const int k = 255 - 2 * g;

  normal_.Create(w, h, 8);
  horizontalEdge_.Create(w, 1, 8);
  verticalEdge_.Create(1, h, 8);

  // From the shadow through the face (entry 128) to the highlight.
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  auto mix = [](COLORREF from, COLORREF to, int i) {
    return RGB((GetRValue(from) * (128 - i) + GetRValue(to) * i) / 128,
               (GetGValue(from) * (128 - i) + GetGValue(to) * i) / 128,
               (GetBValue(from) * (128 - i) + GetBValue(to) * i) / 128);
  };
  auto setEntry = [this](int index, COLORREF c) {
    for (CDibImage* image : {&normal_, &horizontalEdge_, &verticalEdge_}) {
      image->SetPaletteEntry(index, GetRValue(c), GetGValue(c), GetBValue(c));
    }
  };
  for (int i = 0; i <= 128; ++i) setEntry(i, mix(shadow, face, i));
  for (int i = 1; i <= 128; ++i) setEntry(127 + i, mix(face, light, i));
  normal_.BlendPalette(colour, std::clamp(colouring, 0, 100));

  for (int x = 0; x < w; ++x) horizontalEdge_.SetPixelIndex(x, 0, x % 2 ? 255 : 0);
  for (int y = 0; y < h; ++y) verticalEdge_.SetPixelIndex(0, y, y % 2 ? 255 : 0);

  std::vector<int> value(size_t(w) * size_t(h), 0);
  auto at = [&](int x, int y) -> int& { return value[size_t(y) * size_t(w) + size_t(x)]; };
  if (shade == kMetal) {
    const int longest = std::max(1, std::min(w, h) / 2);
    for (int i = 0; i < kStrokes; ++i) {
      const int x0 = Random15() % w, y0 = Random15() % h;
      const int length = Random15() % longest;
      const int index = Random15() % kStrokeIndices;
      for (int j = 0; j < length && x0 + j < w && y0 + j < h; ++j) at(x0 + j, y0 + j) = index;
    }
    const int k2 = (255 - 2 * g - 40) / 2;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) at(x, y) += k2 * y / h + (w - x) * k2 / w + Noise(g) + g;
    }
  } else if (shade == kHardBump) {
    // Rounded ends, at most 16 pixels long; the guards keep narrow or one-row buttons defined.
    const int r = std::max(1, std::min(w / 6, 16));
    const long long quarter = std::max(1LL, (long long)h * h / 4);
    for (int y = 0; y < h; ++y) {
      const long long dy = y - h / 2;
      const int u = int(w / 2 + dy * dy * r / quarter - r);
      for (int x = 0; x < w; ++x) {
        const int dx = x - w / 2;
        int v = Bump(y, h) * (128 - 2 * g) / 128 + 128 + Noise(g);
        if (dx > u) {
          v = (w - x) * 128 / r + g + Noise(g);
        } else if (dx + u < 0) {
          v = (255 - g) - x * 128 / r + Noise(g);
        }
        at(x, y) = v;
      }
    }
  } else {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        int v;
        switch (shade) {
          case kDiagonal: v = (k / 2) * y / h + g + (w - x) * (k / 2) / w; break;
          case kVertical: v = k * y / h + g; break;
          case kHorizontal: v = (w - x) * k / w + g; break;
          case kVerticalBump: v = Bump(y, h) * (128 - g) / 128 + 128; break;
          case kHorizontalBump: v = Bump(w - x, w) * (128 - g) / 128 + 128; break;
          case kSoftBump:
            v = std::clamp((Bump(y, h) + Bump(w - x, w)) * (128 - g) / 128 + 128, g, 255 - g);
            break;
          default: v = 128; break;
        }
        at(x, y) = v + Noise(g);
      }
    }
  }
  // Stored as bytes: what leaves 0..255 wraps around.
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) normal_.SetPixelIndex(x, y, BYTE(at(x, y) & 0xFF));
  }

  copyNormal_.CopyFrom(normal_);
  hover_.CopyFrom(normal_);
  hover_.BlendPalette(light, std::clamp(highlight, 0, 100));
  pressedImage_.CopyFrom(hover_);
}

void CShadedButton::PaintBackground(CDC* pDC, CRect* pRect) {
  if (!normal_.GetWidth()) {  // not shaded yet
    CHoverButton::PaintBackground(pDC, pRect);
    return;
  }
  if (mouseOver_) {
    const int offset = pressed_ ? 1 : 0;
    hover_.Draw(pDC, offset, offset);
  } else {
    normal_.Draw(pDC, 0, 0);
  }
}

void CShadedButton::PaintBorder(CDC* pDC, CRect* pRect) { CHoverButton::PaintBorder(pDC, pRect); }
