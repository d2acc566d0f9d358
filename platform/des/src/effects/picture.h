#pragma once
// The pictures effects and transitions work on: 32-bit pixels (blue, green, red, unused byte, as
// a little-endian 0x00RRGGBB word), row 0 at the top. Group frames of any depth are read into
// and written back from them.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace des {

class BandHelper;

class Picture {
 public:
  Picture() = default;
  Picture(int width, int height) { Resize(width, height); }

  // Keeps the pixels when the size does not change.
  void Resize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  uint32_t* Row(int y) { return pixels_.data() + size_t(y) * size_t(width_); }
  const uint32_t* Row(int y) const { return pixels_.data() + size_t(y) * size_t(width_); }
  uint32_t& At(int x, int y) { return Row(y)[x]; }
  uint32_t At(int x, int y) const { return Row(y)[x]; }
  uint32_t* Data() { return pixels_.data(); }
  const uint32_t* Data() const { return pixels_.data(); }
  size_t Count() const { return pixels_.size(); }
  void Fill(uint32_t pixel);

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint32_t> pixels_;
};

inline constexpr uint32_t Pixel(int r, int g, int b) {
  return uint32_t(r & 255) << 16 | uint32_t(g & 255) << 8 | uint32_t(b & 255);
}
inline constexpr int Red(uint32_t p) { return int(p >> 16 & 255); }
inline constexpr int Green(uint32_t p) { return int(p >> 8 & 255); }
inline constexpr int Blue(uint32_t p) { return int(p & 255); }
inline constexpr uint8_t Clamp8(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// Mixes a and b: weight 0 gives a, 256 gives b.
inline uint32_t Mix(uint32_t a, uint32_t b, int weight) {
  const uint32_t rbA = a & 0xFF00FF, gA = a & 0x00FF00;
  const uint32_t rbB = b & 0xFF00FF, gB = b & 0x00FF00;
  const uint32_t rb = (rbA * uint32_t(256 - weight) + rbB * uint32_t(weight)) >> 8 & 0xFF00FF;
  const uint32_t g = (gA * uint32_t(256 - weight) + gB * uint32_t(weight)) >> 8 & 0x00FF00;
  return rb | g;
}

// Group frames: bottom-up DIB rows of 16 (RGB555), 24 or 32 bits, padded to 4 bytes.
// A helper, when given, takes half of the rows.
void ReadFrame(const uint8_t* frame, int bits, Picture* picture, BandHelper* helper = nullptr);
void WriteFrame(const Picture& picture, int bits, uint8_t* frame, BandHelper* helper = nullptr);

}  // namespace des
