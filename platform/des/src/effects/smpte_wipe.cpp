// The standard wipe codes ("MaskNum"): each a pattern over the picture (or over each cell of a
// "ReplicateX" x "ReplicateY" grid), with a soft border of "BorderSoftness" thousandths of the
// wipe's travel. Unknown codes draw the left-to-right bar.
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "families.h"
#include "mask_transition.h"

namespace des {

namespace {

constexpr double kPi = std::numbers::pi;

// A point of a cell: u, v from 0 to 1 (v down), X, Y from -1 to 1 about the middle, and the
// cell's size in pixels.
struct Point {
  double u, v, X, Y, w, h;
};

// The angle from pivot (px, py) (in cell shares) to the point, clockwise from the direction
// (dx, dy), as a share of a whole turn.
double SweepShare(const Point& p, double px, double py, double dx, double dy) {
  const double x = (p.u - px) * p.w, y = (p.v - py) * p.h;
  double a = std::atan2(dx * y - dy * x, dx * x + dy * y) / (2 * kPi);
  return a < 0 ? a + 1 : a;
}

// A closed shape about the middle, as a test of points in a box from -1 to 1: the pattern of a
// point is how far the shape must grow to reach it (then scaled so the whole cell is 1).
using Inside = std::function<bool(double x, double y)>;

class ShapeRadius {
 public:
  explicit ShapeRadius(const Inside& inside) {
    for (size_t i = 0; i < radius_.size(); ++i) {
      const double a = 2 * kPi * double(i) / double(radius_.size());
      const double dx = std::sin(a), dy = -std::cos(a);
      double lo = 0, hi = 2;
      for (int step = 0; step < 24; ++step) {
        const double mid = (lo + hi) / 2;
        (inside(dx * mid, dy * mid) ? lo : hi) = mid;
      }
      radius_[i] = std::max(lo, 1e-3);
    }
  }
  // Growth needed to reach (x, y).
  double Growth(double x, double y) const {
    double a = std::atan2(x, -y) / (2 * kPi);
    if (a < 0) a += 1;
    return std::hypot(x, y) / radius_[std::min(radius_.size() - 1, size_t(a * double(radius_.size())))];
  }

 private:
  std::array<double, 2048> radius_{};
};

bool InPolygon(const std::vector<std::array<double, 2>>& poly, double x, double y) {
  bool in = false;
  for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    const auto& a = poly[i];
    const auto& b = poly[j];
    if ((a[1] > y) != (b[1] > y) && x < (b[0] - a[0]) * (y - a[1]) / (b[1] - a[1]) + a[0]) in = !in;
  }
  return in;
}

Inside Star(int points) {
  std::vector<std::array<double, 2>> poly;
  const double inner = points == 4 ? 0.3 : 0.382;
  for (int i = 0; i < 2 * points; ++i) {
    const double a = kPi * i / points, r = i % 2 ? inner : 1.0;
    poly.push_back({r * std::sin(a), -r * std::cos(a)});
  }
  return [poly](double x, double y) { return InPolygon(poly, x, y); };
}

Inside Heart() {
  return [](double x, double y) {
    const double X = x * 1.2, Y = -(y * 1.2 - 0.15);  // up is positive in the curve
    const double a = X * X + Y * Y - 1;
    return a * a * a - X * X * Y * Y * Y <= 0;
  };
}

Inside Keyhole() {
  return [](double x, double y) {
    const bool head = std::hypot(x, y + 0.35) <= 0.45;
    const bool foot = y >= -0.35 && y <= 0.8 && std::fabs(x) <= 0.2 + 0.25 * (y + 0.35) / 1.15;
    return head || foot;
  };
}

double Triangle(double t) {  // 0 at whole numbers, 1 half way
  t -= std::floor(t);
  return 1 - std::fabs(2 * t - 1);
}

class SmpteWipe : public MaskTransition {
 public:
  SmpteWipe(int code, double softness, int across, int down)
      : MaskTransition(softness), code_(code), across_(across), down_(down) {}

 protected:
  void MakePattern(int width, int height, float* pattern) const override {
    const int cw = std::max(1, (width + across_ - 1) / across_), ch = std::max(1, (height + down_ - 1) / down_);
    std::vector<double> cell(size_t(cw) * size_t(ch));
    std::unique_ptr<ShapeRadius> shape = ShapeFor(code_);
    double largest = 0;
    for (int y = 0; y < ch; ++y)
      for (int x = 0; x < cw; ++x) {
        const Point p{(x + 0.5) / cw, (y + 0.5) / ch, 2 * (x + 0.5) / cw - 1, 2 * (y + 0.5) / ch - 1, double(cw), double(ch)};
        const double value = shape ? shape->Growth(p.X, p.Y) : Value(p);
        cell[size_t(y) * cw + x] = value;
        largest = std::max(largest, value);
      }
    // Shapes grow until they cover the cell's corners.
    const double scale = shape && largest > 0 ? 1 / largest : 1;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        pattern[size_t(y) * width + x] = float(cell[size_t(y % ch) * cw + size_t(x % cw)] * scale);
  }

 private:
  static std::unique_ptr<ShapeRadius> ShapeFor(int code) {
    switch (code) {
      case 127: return std::make_unique<ShapeRadius>(Star(4));
      case 128: return std::make_unique<ShapeRadius>(Star(5));
      case 129: return std::make_unique<ShapeRadius>(Star(6));
      case 130: return std::make_unique<ShapeRadius>(Heart());
      case 131: return std::make_unique<ShapeRadius>(Keyhole());
      default: return nullptr;
    }
  }

  double Value(const Point& p) const {
    const double ax = std::fabs(p.X), ay = std::fabs(p.Y);
    switch (code_) {
      case 2: return p.v;                                   // bar, top to bottom
      case 3: return std::max(p.u, p.v);                    // box from the top left
      case 4: return std::max(1 - p.u, p.v);                // from the top right
      case 5: return std::max(1 - p.u, 1 - p.v);            // from the bottom right
      case 6: return std::max(p.u, 1 - p.v);                // from the bottom left
      case 21: return ax;                                   // barn door opening sideways
      case 22: return ay;                                   // barn door opening up and down
      case 23: return std::max(ax, p.v);                    // box from the top middle
      case 24: return std::max(1 - p.u, ay);                // from the right middle
      case 25: return std::max(ax, 1 - p.v);                // from the bottom middle
      case 26: return std::max(p.u, ay);                    // from the left middle
      case 41: return (p.u + p.v) / 2;                      // diagonal from the top left
      case 42: return (1 - p.u + p.v) / 2;                  // diagonal from the top right
      case 43: return (ax - ay + 1) / 2;                    // bow tie, points meeting from top and bottom
      case 44: return (ay - ax + 1) / 2;                    // bow tie from the sides
      case 45: return std::fabs(p.X + p.Y) / 2;             // diagonal barn door, bottom left to top right
      case 46: return std::fabs(p.X - p.Y) / 2;             // diagonal barn door, top left to bottom right
      case 47: return std::min({std::fabs(p.X - p.Y), std::fabs(p.X + p.Y), 1.0});  // both diagonals
      case 48: return std::fabs(ax + ay - 1);               // double diamond
      case 61: return (2 * p.v + ax) / 3;                   // vee pointing down, from the top
      case 62: return (2 * (1 - p.u) + ay) / 3;             // vee pointing left, from the right
      case 63: return (2 * (1 - p.v) + ax) / 3;             // vee pointing up, from the bottom
      case 64: return (2 * p.u + ay) / 3;                   // vee pointing right, from the left
      case 71: return (p.u + 0.1 * Triangle(p.v * 5)) / 1.1;   // zig-zag from the left
      case 72: return (p.v + 0.1 * Triangle(p.u * 5)) / 1.1;   // zig-zag from the top
      case 73: return (ax + 0.1 * Triangle(p.v * 5)) / 1.1;    // zig-zag barn door opening sideways
      case 74: return (ay + 0.1 * Triangle(p.u * 5)) / 1.1;    // zig-zag barn door opening up and down
      case 101: return std::max(ax, ay);                    // iris: rectangle
      case 102: return (ax + ay) / 2;                       // diamond
      case 119: return std::hypot(p.X * p.w, p.Y * p.h) / std::hypot(p.w, p.h);  // circle
      case 120: return std::hypot(ax, ay) / std::sqrt(2.0);                      // ellipse
      case 122: return std::min(1.0, (ay + p.X * p.X) / 2);  // eye, wide
      case 123: return std::min(1.0, (ax + p.Y * p.Y) / 2);  // eye, tall
      case 201: return SweepShare(p, 0.5, 0.5, 0, -1);       // clock hand from twelve
      case 202: return SweepShare(p, 0.5, 0.5, 1, 0);        // from three
      case 203: return SweepShare(p, 0.5, 0.5, 0, 1);        // from six
      case 204: return SweepShare(p, 0.5, 0.5, -1, 0);       // from nine
      case 221: return SweepShare(p, 0.5, 0, 1, 0) * 2;      // single sweep about the top middle
      case 222: return SweepShare(p, 1, 0.5, 0, 1) * 2;      // about the right middle
      case 223: return SweepShare(p, 0.5, 1, -1, 0) * 2;     // about the bottom middle
      case 224: return SweepShare(p, 0, 0.5, 0, -1) * 2;     // about the left middle
      case 225: case 226: case 227: case 228: return DoubleSweep(p);
      case 211: case 231: return std::fabs(SweepShare(p, 0.5, 0, 0, 1) - (p.u > 0.5 ? 1 : 0)) * 4;  // fan from the top
      case 212: case 232: return std::fabs(SweepShare(p, 1, 0.5, -1, 0) - (p.v > 0.5 ? 1 : 0)) * 4;  // from the right
      case 233: return std::fabs(SweepShare(p, 0.5, 1, 0, -1) - (p.u < 0.5 ? 1 : 0)) * 4;  // from the bottom
      case 234: return std::fabs(SweepShare(p, 0, 0.5, 1, 0) - (p.v < 0.5 ? 1 : 0)) * 4;   // from the left
      case 251: case 252: case 253: case 254: return SaloonDoor(p);
      case 261: case 262: case 263: case 264: return Windshield(p);
      default: return p.u;                                  // bar, left to right
    }
  }

  // Two hands. 225: about the top and bottom middles, turning the same way; 226: about the top
  // left and bottom right corners; 227: about the top and bottom middles, turning opposite ways;
  // 228: about the left and right middles, turning opposite ways.
  double DoubleSweep(const Point& p) const {
    switch (code_) {
      case 225: return p.v < 0.5 ? SweepShare(p, 0.5, 0, 1, 0) * 2 : SweepShare(p, 0.5, 1, -1, 0) * 2;
      case 226: return p.u + p.v < 1 ? SweepShare(p, 0, 0, 1, 0) * 4 : SweepShare(p, 1, 1, -1, 0) * 4;
      case 227: return p.v < 0.5 ? SweepShare(p, 0.5, 0, 1, 0) * 2 : (1 - SweepShare(p, 0.5, 1, 1, 0)) * 2;
      default: return p.u < 0.5 ? SweepShare(p, 0, 0.5, 0, -1) * 2 : (1 - SweepShare(p, 1, 0.5, 0, -1)) * 2;
    }
  }

  // Two doors hinged at the corners of one edge (251 top, 252 left, 253 bottom, 254 right),
  // opening from along that edge towards the sides.
  double SaloonDoor(const Point& p) const {
    switch (code_) {
      case 251: return p.u < 0.5 ? SweepShare(p, 0, 0, 1, 0) * 4 : (1 - SweepShare(p, 1, 0, -1, 0)) * 4;
      case 252: return p.v < 0.5 ? (1 - SweepShare(p, 0, 0, 0, 1)) * 4 : SweepShare(p, 0, 1, 0, -1) * 4;
      case 253: return p.u < 0.5 ? (1 - SweepShare(p, 0, 1, 1, 0)) * 4 : SweepShare(p, 1, 1, -1, 0) * 4;
      default: return p.v < 0.5 ? SweepShare(p, 1, 0, 0, 1) * 4 : (1 - SweepShare(p, 1, 1, 0, -1)) * 4;
    }
  }

  // Two wiper blades. 261: pivots on the left edge's quarters sweeping to the right; 262: pivots
  // on the bottom edge's quarters sweeping up; 263: about the top and bottom middles, opposite
  // ways; 264: about the left and right middles, opposite ways.
  double Windshield(const Point& p) const {
    switch (code_) {
      case 261: return SweepShare(p, 0, p.v < 0.5 ? 0.25 : 0.75, 0, -1) * 2;
      case 262: return SweepShare(p, p.u < 0.5 ? 0.25 : 0.75, 1, -1, 0) * 2;
      case 263: return p.v < 0.5 ? SweepShare(p, 0.5, 0, 1, 0) * 2 : (1 - SweepShare(p, 0.5, 1, 1, 0)) * 2;
      default: return p.u < 0.5 ? SweepShare(p, 0, 0.5, 0, -1) * 2 : SweepShare(p, 1, 0.5, 0, 1) * 2;
    }
  }

  int code_, across_, down_;
};

}  // namespace

std::unique_ptr<VideoTransition> MakeSmpteWipe(const EffectParameters& p) {
  return std::make_unique<SmpteWipe>(p.Integer("MaskNum", 1), std::clamp(p.Number("BorderSoftness", 0), 0.0, 1000.0) / 1000,
                                     std::clamp(p.Integer("ReplicateX", 1), 1, 64), std::clamp(p.Integer("ReplicateY", 1), 1, 64));
}

}  // namespace des
