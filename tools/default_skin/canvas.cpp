#include "canvas.h"

#include <algorithm>
#include <cmath>

Shape RoundRect(float left, float top, float right, float bottom, float radius) {
  const float cx = (left + right) / 2, cy = (top + bottom) / 2;
  const float hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
  return {[=](float x, float y) {
            const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
            const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
            return outside + std::min(std::max(qx, qy), 0.0f) - radius;
          },
          left, top, right, bottom};
}

Shape Circle(float cx, float cy, float radius) {
  return {[=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; }, cx - radius, cy - radius, cx + radius,
          cy + radius};
}

Shape Line(float x0, float y0, float x1, float y1, float width) {
  const float dx = x1 - x0, dy = y1 - y0, length2 = dx * dx + dy * dy, half = width / 2;
  return {[=](float x, float y) {
            float t = length2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / length2 : 0.0f;
            t = std::clamp(t, 0.0f, 1.0f);
            return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - half;
          },
          std::min(x0, x1) - half, std::min(y0, y1) - half, std::max(x0, x1) + half, std::max(y0, y1) + half};
}

Shape Polygon(std::vector<std::pair<float, float>> points) {
  float area = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const auto& [ax, ay] = points[i];
    const auto& [bx, by] = points[(i + 1) % points.size()];
    area += ax * by - bx * ay;
  }
  if (area < 0) std::reverse(points.begin(), points.end());
  // Each edge as an outward unit normal and its offset; the distance is the largest.
  struct Edge {
    float nx, ny, offset;
  };
  std::vector<Edge> edges;
  Shape shape{nullptr, 1e9f, 1e9f, -1e9f, -1e9f};
  for (size_t i = 0; i < points.size(); ++i) {
    const auto& [ax, ay] = points[i];
    const auto& [bx, by] = points[(i + 1) % points.size()];
    const float length = std::hypot(bx - ax, by - ay);
    const float nx = (by - ay) / length, ny = -(bx - ax) / length;
    edges.push_back({nx, ny, nx * ax + ny * ay});
    shape.left = std::min(shape.left, ax);
    shape.top = std::min(shape.top, ay);
    shape.right = std::max(shape.right, ax);
    shape.bottom = std::max(shape.bottom, ay);
  }
  shape.distance = [edges](float x, float y) {
    float d = -1e9f;
    for (const Edge& e : edges) d = std::max(d, e.nx * x + e.ny * y - e.offset);
    return d;
  };
  return shape;
}

Shape Union(const Shape& a, const Shape& b) {
  return {[a, b](float x, float y) { return std::min(a.distance(x, y), b.distance(x, y)); }, std::min(a.left, b.left),
          std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

Shape Intersection(const Shape& a, const Shape& b) {
  return {[a, b](float x, float y) { return std::max(a.distance(x, y), b.distance(x, y)); }, std::max(a.left, b.left),
          std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

Shape Outline(const Shape& shape, float width) {
  Shape band = shape;
  band.distance = [shape, width](float x, float y) {
    const float d = shape.distance(x, y);
    return std::max(d, -d - width);
  };
  return band;
}

Paint Solid(Colour colour) {
  return [colour](int, int) { return colour; };
}

Colour Mix(Colour a, Colour b, float t) {
  auto channel = [t](uint8_t from, uint8_t to) {
    return static_cast<uint8_t>(std::lround(from + (to - from) * std::clamp(t, 0.0f, 1.0f)));
  };
  return Colour{channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

Paint VerticalGradient(Colour top, Colour bottom, float y0, float y1) {
  return [=](int, int y) { return Mix(top, bottom, (y + 0.5f - y0) / std::max(y1 - y0, 1.0f)); };
}

Canvas::Canvas(int width, int height, Colour fill)
    : width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * height, fill),
      keyed_(static_cast<size_t>(width) * height, 0) {}

void Canvas::Blend(int x, int y, Colour colour, float alpha) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0) return;
  Colour& pixel = pixels_[Index(x, y)];
  pixel = Mix(pixel, colour, alpha);
}

void Canvas::Fill(const Shape& shape, const Paint& paint, float opacity) {
  const int x0 = std::max(0, static_cast<int>(std::floor(shape.left)) - 1);
  const int y0 = std::max(0, static_cast<int>(std::floor(shape.top)) - 1);
  const int x1 = std::min(width_, static_cast<int>(std::ceil(shape.right)) + 1);
  const int y1 = std::min(height_, static_cast<int>(std::ceil(shape.bottom)) + 1);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const float coverage = std::clamp(0.5f - shape.distance(x + 0.5f, y + 0.5f), 0.0f, 1.0f);
      if (coverage > 0) Blend(x, y, paint(x, y), coverage * opacity);
    }
}

void Canvas::KeyOutside(const Shape& shape, float threshold) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (0.5f - shape.distance(x + 0.5f, y + 0.5f) < threshold) keyed_[Index(x, y)] = 1;
}

Canvas Canvas::Crop(const Box& box) const {
  Canvas part(box.Width(), box.Height(), Colour{});
  for (int y = 0; y < part.height_; ++y)
    for (int x = 0; x < part.width_; ++x) {
      part.pixels_[part.Index(x, y)] = pixels_[Index(box.left + x, box.top + y)];
      part.keyed_[part.Index(x, y)] = keyed_[Index(box.left + x, box.top + y)];
    }
  return part;
}

void Canvas::Paste(const Canvas& other, int x0, int y0) {
  for (int y = 0; y < other.height_; ++y)
    for (int x = 0; x < other.width_; ++x) {
      pixels_[Index(x0 + x, y0 + y)] = other.pixels_[other.Index(x, y)];
      keyed_[Index(x0 + x, y0 + y)] = other.keyed_[other.Index(x, y)];
    }
}

namespace {

void Put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

std::string Canvas::BmpFile() const {
  const uint32_t stride = (static_cast<uint32_t>(width_) * 3 + 3) & ~3u;
  const uint32_t imageSize = stride * static_cast<uint32_t>(height_);
  std::string file;
  file += "BM";
  Put32(file, 14 + 40 + imageSize);
  Put32(file, 0);  // reserved
  Put32(file, 14 + 40);
  Put32(file, 40);
  Put32(file, static_cast<uint32_t>(width_));
  Put32(file, static_cast<uint32_t>(height_));  // bottom-up
  Put16(file, 1);                               // planes
  Put16(file, 24);
  Put32(file, 0);  // BI_RGB
  Put32(file, imageSize);
  Put32(file, 2835);  // 72 dots per inch
  Put32(file, 2835);
  Put32(file, 0);
  Put32(file, 0);
  for (int y = height_ - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < width_; ++x) {
      Colour c = keyed_[Index(x, y)] ? kKeyColour : pixels_[Index(x, y)];
      if (!keyed_[Index(x, y)] && c.r == kKeyColour.r && c.g == kKeyColour.g && c.b == kKeyColour.b) c.r -= 1;
      row += static_cast<char>(c.b);
      row += static_cast<char>(c.g);
      row += static_cast<char>(c.r);
    }
    row.resize(stride, '\0');
    file += row;
  }
  return file;
}
