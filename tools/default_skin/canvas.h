#pragma once
// A 24-bit picture to draw a skin on: shapes given by signed distance functions and filled with
// anti-aliased edges, and a mask of the pixels that become the key colour when the picture is
// written as a bitmap file.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Colour {
  uint8_t r = 0, g = 0, b = 0;
};

constexpr Colour Hex(uint32_t rgb) {
  return Colour{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb)};
}

// The key colour of the skins; no drawn pixel keeps it.
inline constexpr Colour kKeyColour = Hex(0xFF00FF);

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// A shape: the signed distance of a point from its outline in pixels (negative inside) and the
// bounds outside which it has no pixel.
struct Shape {
  std::function<float(float x, float y)> distance;
  float left = 0, top = 0, right = 0, bottom = 0;
};

Shape RoundRect(float left, float top, float right, float bottom, float radius);
Shape Circle(float cx, float cy, float radius);
// A line from (x0, y0) to (x1, y1) with round ends, width thick.
Shape Line(float x0, float y0, float x1, float y1, float width);
// A convex polygon, points in either order round.
Shape Polygon(std::vector<std::pair<float, float>> points);
Shape Union(const Shape& a, const Shape& b);
Shape Intersection(const Shape& a, const Shape& b);
// The band of width along the inside of the outline.
Shape Outline(const Shape& shape, float width);

// The colour a fill gives a pixel.
using Paint = std::function<Colour(int x, int y)>;
Paint Solid(Colour colour);
// From top at row y0 to bottom at row y1.
Paint VerticalGradient(Colour top, Colour bottom, float y0, float y1);
Colour Mix(Colour a, Colour b, float t);

class Canvas {
 public:
  Canvas(int width, int height, Colour fill);

  int Width() const { return width_; }
  int Height() const { return height_; }
  Colour At(int x, int y) const { return pixels_[Index(x, y)]; }
  bool IsKeyed(int x, int y) const { return keyed_[Index(x, y)] != 0; }

  // Covers each pixel by the part of it inside the shape, times opacity.
  void Fill(const Shape& shape, const Paint& paint, float opacity = 1.0f);
  void Blend(int x, int y, Colour colour, float alpha);
  // Pixels less than threshold inside the shape (of the whole picture) get the key colour.
  void KeyOutside(const Shape& shape, float threshold);

  Canvas Crop(const Box& box) const;
  void Paste(const Canvas& other, int x, int y);

  // A Windows bitmap file, 24 bits per pixel, rows bottom-up. Keyed pixels are the key colour;
  // a drawn pixel that happens to be the key colour is moved off it by one step of red.
  std::string BmpFile() const;

 private:
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }

  int width_, height_;
  std::vector<Colour> pixels_;
  std::vector<uint8_t> keyed_;
};
