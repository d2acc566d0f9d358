// The video effects.
#include <algorithm>
#include <cmath>
#include <functional>

#include "band_helper.h"
#include "families.h"
#include "picture_operations.h"

namespace des {

namespace {

// An effect that is one function of the picture (and its progress and time).
class FunctionEffect : public VideoEffect {
 public:
  using Function = std::function<void(Picture*, double, REFERENCE_TIME)>;
  explicit FunctionEffect(Function f) : f_(std::move(f)) {}
  void Apply(Picture* picture, double progress, REFERENCE_TIME t) override { f_(picture, progress, t); }

 private:
  Function f_;
};

std::unique_ptr<VideoEffect> Effect(FunctionEffect::Function f) { return std::make_unique<FunctionEffect>(std::move(f)); }

// "#RRGGBB" or "0xRRGGBB" as hexadecimal; a plain number as a colour value 0x00BBGGRR.
uint32_t ParseColour(const std::string& text) {
  std::string t = text;
  t.erase(std::remove_if(t.begin(), t.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
          t.end());
  const bool hex = !t.empty() && t[0] == '#';
  const bool prefixed = t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X');
  if (hex || prefixed) {
    char* end = nullptr;
    const std::string digits = t.substr(hex ? 1 : 2);
    const unsigned long v = std::strtoul(digits.c_str(), &end, 16);
    return digits.empty() || *end ? 0 : uint32_t(v & 0xFFFFFF);
  }
  double v;
  if (!ParseNumber(t, &v) || v < 0) return 0;
  const uint32_t ref = uint32_t(std::min(v, double(0xFFFFFF)));
  return Pixel(int(ref & 255), int(ref >> 8 & 255), int(ref >> 16 & 255));
}

// Edges of a picture's light, for emboss and edge detection: a 3x3 kernel over the luma, added
// to base.
void Convolve(Picture* picture, const int kernel[3][3], int base, double strength, Picture* scratch) {
  *scratch = *picture;
  const int w = picture->Width(), h = picture->Height();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int sum = 0;
      for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i)
          sum += kernel[j + 1][i + 1] * Luma(scratch->At(std::clamp(x + i, 0, w - 1), std::clamp(y + j, 0, h - 1)));
      const int v = Clamp8(base + sum);
      picture->At(x, y) = Mix(scratch->At(x, y), Pixel(v, v, v), int(std::lround(std::clamp(strength, 0.0, 1.0) * 256)));
    }
  }
}

void Sharpen(Picture* picture, double amount, Picture* scratch) {
  Picture blurred = *picture;
  BoxBlur(&blurred, 1, scratch);
  uint32_t* p = picture->Data();
  const uint32_t* b = blurred.Data();
  for (size_t i = 0, n = picture->Count(); i < n; ++i) {
    auto channel = [&](int v, int soft) { return Clamp8(int(std::lround(v + amount * (v - soft)))); };
    p[i] = Pixel(channel(Red(p[i]), Red(b[i])), channel(Green(p[i]), Green(b[i])), channel(Blue(p[i]), Blue(b[i])));
  }
}

void Noise(Picture* picture, double amount, REFERENCE_TIME t) {
  const uint64_t seed = Scramble(uint64_t(t));
  uint32_t* p = picture->Data();
  for (size_t i = 0, n = picture->Count(); i < n; ++i) {
    const int d = int(std::lround((ScrambleUnit(seed, i) * 2 - 1) * amount));
    p[i] = Pixel(Clamp8(Red(p[i]) + d), Clamp8(Green(p[i]) + d), Clamp8(Blue(p[i]) + d));
  }
}

}  // namespace

std::unique_ptr<VideoEffect> MakeBlur(const EffectParameters& p) {
  const double radius = p.Number("PixelRadius", 2);
  const int r = radius < 1 ? 0 : int(std::lround(std::min(radius, 128.0)));
  auto scratch = std::make_shared<Picture>();
  auto helper = std::make_shared<BandHelper>();
  return Effect([r, scratch, helper](Picture* picture, double, REFERENCE_TIME) {
    BoxBlur(picture, r, scratch.get(), helper.get());
  });
}

std::unique_ptr<VideoEffect> MakeBrightness(const EffectParameters& p) {
  const double added = std::clamp(p.Number("Brightness", 0), -1.0, 1.0) * 255;
  return Effect([added](Picture* picture, double, REFERENCE_TIME) {
    if (added != 0) ApplyMatrix(ColourMatrix::Brightness(added), picture);
  });
}

// "FadeIn" true: from the colour to the picture over the span; false: from the picture to the
// colour.
std::unique_ptr<VideoEffect> MakeFadeEffect(const EffectParameters& p) {
  const bool in = p.Flag("FadeIn", true);
  const uint32_t colour = ParseColour(p.Text("FadeColor"));
  return Effect([in, colour](Picture* picture, double progress, REFERENCE_TIME) {
    const int weight = int(std::lround((in ? progress : 1 - progress) * 256));
    uint32_t* px = picture->Data();
    for (size_t i = 0, n = picture->Count(); i < n; ++i) px[i] = Mix(colour, px[i], weight);
  });
}

// "Age" 0 to 100: faded sepia, grain, flicker, scratches and dust, different in every frame and
// the same in every render of it.
std::unique_ptr<VideoEffect> MakeFilmAging(const EffectParameters& p) {
  const double age = std::clamp(p.Number("Age", 50), 0.0, 100.0) / 100;
  return Effect([age](Picture* picture, double, REFERENCE_TIME t) {
    if (age <= 0) return;
    const uint64_t seed = Scramble(uint64_t(t), 0xA9E);
    ApplyMatrix(ColourMatrix::Sepia(0.7 * age), picture);
    ApplyMatrix(ColourMatrix::Brightness((ScrambleUnit(seed, 1) - 0.5) * 30 * age), picture);
    Noise(picture, 24 * age, t);
    const int w = picture->Width(), h = picture->Height();
    const int scratches = int(std::lround(4 * age * ScrambleUnit(seed, 2) + age));
    for (int s = 0; s < scratches; ++s) {
      const int x = int(ScrambleUnit(seed, 10 + s) * w);
      for (int y = 0; y < h; ++y) picture->At(x, y) = Mix(picture->At(x, y), Pixel(230, 225, 210), 160);
    }
    const int specks = int(std::lround(12 * age));
    for (int s = 0; s < specks; ++s) {
      const int cx = int(ScrambleUnit(seed, 100 + s) * w), cy = int(ScrambleUnit(seed, 200 + s) * h);
      const int r = 1 + int(ScrambleUnit(seed, 300 + s) * 3);
      for (int y = std::max(0, cy - r); y < std::min(h, cy + r); ++y)
        for (int x = std::max(0, cx - r); x < std::min(w, cx + r); ++x) picture->At(x, y) = Pixel(20, 18, 15);
    }
  });
}

// "EffectID" picks the filter and "Control1Value" its strength (the other two are not used by
// any of them):
//   1 invert (share 0-1, default 1)        7 posterize (levels per channel, default 4)
//   2 grayscale (share, default 1)         8 threshold (level 0-255, default 128)
//   3 sepia (share, default 1)             9 noise (amount 0-255, default 32)
//   4 emboss (share, default 1)           10 hue rotation (degrees, default 90)
//   5 edge detection (share, default 1)   11 saturation (factor, default 2; 1 unchanged)
//   6 sharpen (amount, default 1)         12 contrast (factor, default 1.5; 1 unchanged)
// Other numbers leave the picture as it is.
std::unique_ptr<VideoEffect> MakeFilterEffect(const EffectParameters& p) {
  const int id = p.Integer("EffectID", 0);
  static const double kDefaults[13] = {0, 1, 1, 1, 1, 1, 1, 4, 128, 32, 90, 2, 1.5};
  const double c = id >= 1 && id <= 12 ? p.Number("Control1Value", kDefaults[id]) : 0;
  auto scratch = std::make_shared<Picture>();
  return Effect([id, c, scratch](Picture* picture, double, REFERENCE_TIME t) {
    static const int kEmboss[3][3] = {{-2, -1, 0}, {-1, 0, 1}, {0, 1, 2}};
    static const int kEdges[3][3] = {{-1, -1, -1}, {-1, 8, -1}, {-1, -1, -1}};
    switch (id) {
      case 1: ApplyMatrix(ColourMatrix::Invert(std::clamp(c, 0.0, 1.0)), picture); break;
      case 2: ApplyMatrix(ColourMatrix::Grayscale(std::clamp(c, 0.0, 1.0)), picture); break;
      case 3: ApplyMatrix(ColourMatrix::Sepia(std::clamp(c, 0.0, 1.0)), picture); break;
      case 4: Convolve(picture, kEmboss, 128, c, scratch.get()); break;
      case 5: Convolve(picture, kEdges, 0, c, scratch.get()); break;
      case 6: Sharpen(picture, std::clamp(c, 0.0, 10.0), scratch.get()); break;
      case 7: {
        const int levels = std::clamp(int(c), 2, 256);
        uint32_t* px = picture->Data();
        auto q = [levels](int v) { return (v * levels / 256) * 255 / (levels - 1); };
        for (size_t i = 0, n = picture->Count(); i < n; ++i) px[i] = Pixel(q(Red(px[i])), q(Green(px[i])), q(Blue(px[i])));
        break;
      }
      case 8: {
        uint32_t* px = picture->Data();
        for (size_t i = 0, n = picture->Count(); i < n; ++i) px[i] = Luma(px[i]) >= c ? 0xFFFFFF : 0;
        break;
      }
      case 9: Noise(picture, std::clamp(c, 0.0, 255.0), t); break;
      case 10: ApplyMatrix(ColourMatrix::HueRotation(c), picture); break;
      case 11: ApplyMatrix(ColourMatrix::Saturation(std::clamp(c, 0.0, 10.0)), picture); break;
      case 12: ApplyMatrix(ColourMatrix::Contrast(std::clamp(c, 0.0, 10.0)), picture); break;
      default: break;
    }
  });
}

// "Mirror" swaps left and right, "Grayscale" takes the colour out (both on unless set false).
std::unique_ptr<VideoEffect> MakeMirrorGrayscale(const EffectParameters& p) {
  const bool mirror = p.Flag("Mirror", true), gray = p.Flag("Grayscale", true);
  return Effect([mirror, gray](Picture* picture, double, REFERENCE_TIME) {
    if (mirror) MirrorLeftRight(picture);
    if (gray) ApplyMatrix(ColourMatrix::Grayscale(1), picture);
  });
}

// "MaxSquare": the side of the blocks in pixels (default 10; below 2 unchanged).
std::unique_ptr<VideoEffect> MakePixelate(const EffectParameters& p) {
  const int side = std::clamp(p.Integer("MaxSquare", 10), 0, 4096);
  return Effect([side](Picture* picture, double, REFERENCE_TIME) { Pixelate(picture, side); });
}

// "InternalName" = "Standard" with adjustments by name: Brightness (-1 to 1, times 255 added),
// Contrast, Saturation, Red, Green, Blue (factors, 1 unchanged), Hue (degrees), Grayscale, Sepia,
// Invert (true or a share 0-1), MirrorVertical (left and right swapped), MirrorHorizontal (top
// and bottom swapped), Rotate2DA (degrees clockwise). Other names change nothing.
std::unique_ptr<VideoEffect> MakeStandardEffect(const EffectParameters& p) {
  if (p.Word("InternalName") != "standard") return nullptr;
  std::vector<ColourMatrix> colours;
  if (p.Has("Brightness")) colours.push_back(ColourMatrix::Brightness(std::clamp(p.Number("Brightness", 0), -1.0, 1.0) * 255));
  if (p.Has("Contrast")) colours.push_back(ColourMatrix::Contrast(std::clamp(p.Number("Contrast", 1), 0.0, 10.0)));
  if (p.Has("Saturation")) colours.push_back(ColourMatrix::Saturation(std::clamp(p.Number("Saturation", 1), 0.0, 10.0)));
  if (p.Has("Hue")) colours.push_back(ColourMatrix::HueRotation(p.Number("Hue", 0)));
  if (p.Has("Red") || p.Has("Green") || p.Has("Blue"))
    colours.push_back(ColourMatrix::Channels(std::clamp(p.Number("Red", 1), 0.0, 10.0),
                                             std::clamp(p.Number("Green", 1), 0.0, 10.0),
                                             std::clamp(p.Number("Blue", 1), 0.0, 10.0)));
  auto share = [&p](const char* name) { return p.Flag(name, false) ? std::clamp(p.Number(name, 1), 0.0, 1.0) : 0.0; };
  if (share("Grayscale") > 0) colours.push_back(ColourMatrix::Grayscale(share("Grayscale")));
  if (share("Sepia") > 0) colours.push_back(ColourMatrix::Sepia(share("Sepia")));
  if (share("Invert") > 0) colours.push_back(ColourMatrix::Invert(share("Invert")));
  const bool leftRight = p.Flag("MirrorVertical", false), topBottom = p.Flag("MirrorHorizontal", false);
  const double turn = p.Number("Rotate2DA", 0);
  auto scratch = std::make_shared<Picture>();
  return Effect([colours, leftRight, topBottom, turn, scratch](Picture* picture, double, REFERENCE_TIME) {
    for (const ColourMatrix& m : colours) ApplyMatrix(m, picture);
    if (leftRight) MirrorLeftRight(picture);
    if (topBottom) MirrorTopBottom(picture);
    if (turn != 0) Rotate(picture, turn, scratch.get());
  });
}

}  // namespace des
