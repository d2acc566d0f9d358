#include "mask_transition.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace des {

namespace {
constexpr int kLevels = 4096;
}

MaskTransition::MaskTransition(double softness) : softness_(std::clamp(softness, 0.0, 1.0)) {}

void MaskTransition::Prepare(int width, int height) {
  if (width == width_ && height == height_ && !levels_.empty()) return;
  std::vector<float> pattern(size_t(width) * size_t(height));
  MakePattern(width, height, pattern.data());
  levels_.resize(pattern.size());
  for (size_t i = 0; i < pattern.size(); ++i)
    levels_[i] = uint16_t(std::lround(std::clamp(pattern[i], 0.0f, 1.0f) * (kLevels - 1)));
  width_ = width;
  height_ = height;
}

float MaskTransition::PatternAt(int x, int y, int width, int height) {
  Prepare(width, height);
  return float(levels_[size_t(y) * size_t(width) + size_t(x)]) / (kLevels - 1);
}

void MaskTransition::Draw(const Picture& from, const Picture& to, double progress, REFERENCE_TIME, Picture* out) {
  const size_t n = out->Count();
  if (progress <= 0 || progress >= 1) {
    std::memcpy(out->Data(), (progress <= 0 ? from : to).Data(), n * sizeof(uint32_t));
    return;
  }
  Prepare(out->Width(), out->Height());
  // The border runs ahead of the pattern by the softness: every pixel is whole at both ends.
  const double edge = progress * (1 + softness_);
  weights_.resize(kLevels);
  for (int level = 0; level < kLevels; ++level) {
    const double value = double(level) / (kLevels - 1);
    const double weight = softness_ > 0 ? (edge - value) / softness_ : (edge > value ? 1 : 0);
    weights_[size_t(level)] = uint16_t(std::lround(std::clamp(weight, 0.0, 1.0) * 256));
  }
  const uint32_t* a = from.Data();
  const uint32_t* b = to.Data();
  uint32_t* o = out->Data();
  const size_t width = size_t(out->Width());
  if (!helper_) helper_ = std::make_unique<BandHelper>();
  helper_->Split(out->Height(), [&](int first, int end) {
    for (size_t i = size_t(first) * width, last = size_t(end) * width; i < last; ++i) {
      const int w = weights_[levels_[i]];
      o[i] = w == 0 ? a[i] : w == 256 ? b[i] : Mix(a[i], b[i], w);
    }
  });
}

}  // namespace des
