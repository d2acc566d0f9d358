#pragma once
// Wipes drawn from a pattern: each pixel holds the progress (0 to 1) at which it turns from the
// first picture to the second. A soft border blends over that share of the progress. The
// pattern is made once per picture size.
#include <cstdint>
#include <memory>
#include <vector>

#include "band_helper.h"

#include "video_effect.h"

namespace des {

class MaskTransition : public VideoTransition {
 public:
  // softness: the width of the blended border, as a share of the pattern's range (0: hard).
  explicit MaskTransition(double softness);
  void Draw(const Picture& from, const Picture& to, double progress, REFERENCE_TIME t, Picture* out) override;

  // The pattern at one pixel (for tests and for makers of patterns).
  float PatternAt(int x, int y, int width, int height);

 protected:
  // Fills pattern (width x height, row 0 at the top) with values from 0 to 1.
  virtual void MakePattern(int width, int height, float* pattern) const = 0;

 private:
  void Prepare(int width, int height);

  double softness_;
  int width_ = 0, height_ = 0;
  std::vector<uint16_t> levels_;  // the pattern in kLevels steps
  std::vector<uint16_t> weights_;  // per level, for the current progress: 0 (from) to 256 (to)
  std::unique_ptr<BandHelper> helper_;  // made at the first draw
};

// Makes a mask transition from a pattern function of (x, y, width, height).
template <class PatternFunction>
class PatternTransition : public MaskTransition {
 public:
  PatternTransition(double softness, PatternFunction function) : MaskTransition(softness), function_(function) {}

 protected:
  void MakePattern(int width, int height, float* pattern) const override {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) pattern[size_t(y) * size_t(width) + size_t(x)] = function_(x, y, width, height);
  }

 private:
  PatternFunction function_;
};

template <class PatternFunction>
std::unique_ptr<VideoTransition> MakePatternTransition(double softness, PatternFunction function) {
  return std::make_unique<PatternTransition<PatternFunction>>(softness, function);
}

}  // namespace des
