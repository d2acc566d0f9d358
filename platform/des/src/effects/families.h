#pragma once
// The makers of each family of transitions and effects, from their parameters.
#include <cstdint>
#include <memory>

#include "video_effect.h"

namespace des {

// Wipes drawn as masks.
std::unique_ptr<VideoTransition> MakeGradientWipe(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeWheel(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeBarn(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeBlinds(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeCheckerboard(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeIris(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeRadialWipe(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeRandomBars(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeRandomDissolve(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeSpiral(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeStrips(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeZigzag(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeInset(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeSmpteWipe(const EffectParameters& p);

// Transitions that move or change the pictures.
std::unique_ptr<VideoTransition> MakeFade(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeSlide(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakeStretch(const EffectParameters& p);
std::unique_ptr<VideoTransition> MakePixelateTransition(const EffectParameters& p);
// The three-dimensional moves, page curls and particle scatters, chosen by "InternalName".
std::unique_ptr<VideoTransition> MakeTransition3D(const EffectParameters& p);

// Effects.
std::unique_ptr<VideoEffect> MakeBlur(const EffectParameters& p);
std::unique_ptr<VideoEffect> MakeBrightness(const EffectParameters& p);
std::unique_ptr<VideoEffect> MakeFadeEffect(const EffectParameters& p);
std::unique_ptr<VideoEffect> MakeFilmAging(const EffectParameters& p);
std::unique_ptr<VideoEffect> MakeFilterEffect(const EffectParameters& p);
std::unique_ptr<VideoEffect> MakeMirrorGrayscale(const EffectParameters& p);
std::unique_ptr<VideoEffect> MakePixelate(const EffectParameters& p);
// The "Standard" adjustments chosen by "InternalName" (unknown ones change nothing).
std::unique_ptr<VideoEffect> MakeStandardEffect(const EffectParameters& p);

// A repeatable pseudo-random number from a few integers.
inline uint32_t Scramble(uint64_t a, uint64_t b = 0, uint64_t c = 0) {
  uint64_t h = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full ^ c * 0x165667B19E3779F9ull;
  h ^= h >> 31;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 29;
  return uint32_t(h >> 16);
}
// The same as a number from 0 up to 1.
inline double ScrambleUnit(uint64_t a, uint64_t b = 0, uint64_t c = 0) { return Scramble(a, b, c) / 4294967296.0; }

}  // namespace des
