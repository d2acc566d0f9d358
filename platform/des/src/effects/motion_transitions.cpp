// Transitions that move, warp or change the pictures: drawn in two dimensions, the same for the
// same progress and time in every render.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "band_helper.h"
#include "families.h"
#include "picture_operations.h"

namespace des {

namespace {

constexpr double kPi = std::numbers::pi;

// A transition whose two ends are the pictures themselves; Between draws the rest.
class MotionTransition : public VideoTransition {
 public:
  void Draw(const Picture& from, const Picture& to, double progress, REFERENCE_TIME t, Picture* out) final {
    if (progress <= 0 || progress >= 1) {
      std::memcpy(out->Data(), (progress <= 0 ? from : to).Data(), out->Count() * sizeof(uint32_t));
      return;
    }
    Between(from, to, progress, t, out);
  }

 protected:
  virtual void Between(const Picture& from, const Picture& to, double progress, REFERENCE_TIME t, Picture* out) = 0;
};

// Where a pixel of the output comes from in the moving picture: source = m * (x, y) + offset.
struct Affine {
  double a = 1, b = 0, c = 0;  // source x = a x + b y + c
  double d = 0, e = 1, f = 0;  // source y = d x + e y + f
};

// The moving picture drawn through the map over the background; alpha 0-256 how much it covers.
void DrawMapped(const Picture& moving, const Affine& map, int alpha, Picture* out) {
  const int w = out->Width(), h = out->Height();
  for (int y = 0; y < h; ++y) {
    uint32_t* row = out->Row(y);
    double sx = map.a * 0.5 + map.b * (y + 0.5) + map.c, sy = map.d * 0.5 + map.e * (y + 0.5) + map.f;
    for (int x = 0; x < w; ++x, sx += map.a, sy += map.d) {
      if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;
      const uint32_t p = moving.At(int(sx), int(sy));
      row[x] = alpha >= 256 ? p : Mix(row[x], p, alpha);
    }
  }
}

// The map that shows the moving picture scaled by s about (cx, cy) of the frame, turned
// clockwise by angle, and moved by (dx, dy).
Affine Placed(double scale, double angle, double cx, double cy, double dx, double dy) {
  // Output = R * S * (source - c) + c + d; the source is found from the output.
  const double cs = std::cos(angle), sn = std::sin(angle), k = scale > 1e-6 ? 1 / scale : 1e6;
  Affine m;
  m.a = cs * k, m.b = sn * k;
  m.d = -sn * k, m.e = cs * k;
  const double ox = cx + dx, oy = cy + dy;
  m.c = cx - (m.a * ox + m.b * oy);
  m.f = cy - (m.d * ox + m.e * oy);
  return m;
}

class Fade : public MotionTransition {
  void Between(const Picture& from, const Picture& to, double p, REFERENCE_TIME, Picture* out) override {
    const int weight = int(std::lround(p * 256));
    for (size_t i = 0, n = out->Count(); i < n; ++i) out->Data()[i] = Mix(from.Data()[i], to.Data()[i], weight);
  }
};

// The first picture slides off to the left, uncovering the second.
class Slide : public MotionTransition {
  void Between(const Picture& from, const Picture& to, double p, REFERENCE_TIME, Picture* out) override {
    *out = to;
    DrawMapped(from, Placed(1, 0, 0, 0, -p * out->Width(), 0), 256, out);
  }
};

// The second picture widens from the middle over the first.
class Stretch : public MotionTransition {
  void Between(const Picture& from, const Picture& to, double p, REFERENCE_TIME, Picture* out) override {
    *out = from;
    const int w = out->Width();
    Affine m;
    m.a = 1 / p;
    m.c = w / 2.0 - m.a * (w / 2.0);
    DrawMapped(to, m, 256, out);
  }
};

// Blocks growing over the first picture until the middle, then shrinking over the second.
class PixelateTransition : public MotionTransition {
 public:
  explicit PixelateTransition(int largest) : largest_(largest) {}

 private:
  void Between(const Picture& from, const Picture& to, double p, REFERENCE_TIME, Picture* out) override {
    *out = p < 0.5 ? from : to;
    Pixelate(out, int(std::lround(1 + (1 - std::fabs(2 * p - 1)) * (largest_ - 1))));
  }
  int largest_;
};

// ---- The three-dimensional presets, in two dimensions --------------------------------------------

// Progress that has reached scale at duration: slow then fast when scale is below duration.
double Eased(double p, double duration, double scale) {
  if (duration <= 0 || duration >= 1 || scale <= 0 || scale >= 1) return p;
  return p < duration ? scale * p / duration : scale + (1 - scale) * (p - duration) / (1 - duration);
}

struct Direction {
  double x = 0, y = 0;
};

// "up", "down", "left", "right" or two of them joined by a comma.
Direction DirectionOf(const std::string& words) {
  Direction d;
  size_t from = 0;
  while (from <= words.size()) {
    const size_t comma = std::min(words.find(',', from), words.size());
    const std::string w = words.substr(from, comma - from);
    if (w == "up") d.y -= 1;
    if (w == "down") d.y += 1;
    if (w == "left") d.x -= 1;
    if (w == "right") d.x += 1;
    from = comma + 1;
  }
  return d;
}

// The first picture moves away: slid ("MoveA" up, down, left, right, "MoveSpeedA"), shrunk
// ("ScaleA" smaller, from "ZScaleAStart" of its size), turned ("RotateA" left or right) about its
// middle or a corner ("RotateCenterA"), tipped away ("RotateA" up), faded from "FadeStartA" on.
class Simple3D : public MotionTransition {
 public:
  explicit Simple3D(const EffectParameters& p)
      : move_(DirectionOf(p.Word("MoveA"))),
        speed_(std::clamp(p.Number("MoveSpeedA", 1), 0.05, 10.0)),
        smaller_(p.Word("ScaleA") == "smaller"),
        depth_(std::clamp(p.Number("ZScaleAStart", 0), 0.0, 1.0)),
        turn_(p.Word("RotateA")),
        corner_(p.Word("RotateCenterA")),
        fadeStart_(p.Has("FadeStartA") ? std::clamp(p.Number("FadeStartA", 1), 0.0, 1.0) : 1.0) {}

 private:
  void Between(const Picture& from, const Picture& to, double p, REFERENCE_TIME, Picture* out) override {
    *out = to;
    const int w = out->Width(), h = out->Height();
    double scale = 1, angle = 0, cx = w / 2.0, cy = h / 2.0;
    if (smaller_) scale = depth_ > 0 ? 1 - p * (1 - depth_) : 1 - p;
    const double dx = move_.x * p * speed_ * w, dy = move_.y * p * speed_ * h;
    Affine m;
    if (turn_ == "up") {
      // Tipped back about its bottom edge: it flattens towards the bottom.
      const double across = std::max(scale, 1e-6), down = std::max(std::cos(p * kPi / 2) * scale, 1e-6);
      m.a = 1 / across;
      m.c = cx - (cx + dx) / across;
      m.e = 1 / down;
      m.f = h - (h + dy) / down;
    } else {
      if (turn_ == "left" || turn_ == "right") {
        const double sign = turn_ == "right" ? 1 : -1;
        if (corner_.empty()) {
          angle = sign * p * 2 * kPi;
          if (!smaller_) scale = 1 - p;  // a spin that leaves: it shrinks as it turns
        } else {
          angle = sign * p * kPi / 2;
          cx = corner_.find("left") != std::string::npos ? 0 : w;
          cy = corner_.find("upper") != std::string::npos ? 0 : h;
        }
      }
      m = Placed(scale, angle, cx, cy, dx, dy);
    }
    const double fade = p <= fadeStart_ ? 1 : 1 - (p - fadeStart_) / std::max(1e-6, 1 - fadeStart_);
    DrawMapped(from, m, int(std::lround(fade * 256)), out);
  }

  Direction move_;
  double speed_;
  bool smaller_;
  double depth_;
  std::string turn_, corner_;
  double fadeStart_;
};

// The first picture lifts from a corner ("PageCurlA") like a page, its back ("ShowABack") folded
// over it, uncovering the second.
class PageCurl : public MotionTransition {
 public:
  explicit PageCurl(const EffectParameters& p) : corner_(p.Word("PageCurlA")), back_(p.Flag("ShowABack", true)) {}

 private:
  void Between(const Picture& from, const Picture& to, double p, REFERENCE_TIME, Picture* out) override {
    const int w = out->Width(), h = out->Height();
    const double cx = corner_.find("right") != std::string::npos ? w : 0;
    const double cy = corner_.find("upper") != std::string::npos ? 0 : h;
    const double diagonal = std::hypot(w, h);
    const double ux = (w - 2 * cx) / diagonal, uy = (h - 2 * cy) / diagonal;  // towards the far corner
    const double fold = p * diagonal;
    if (!helper_) helper_ = std::make_unique<BandHelper>();
    helper_->Split(h, [&](int first, int end) {
      for (int y = first; y < end; ++y) {
        uint32_t* row = out->Row(y);
        for (int x = 0; x < w; ++x) {
          const double qx = x + 0.5, qy = y + 0.5;
          const double along = (qx - cx) * ux + (qy - cy) * uy;
          if (along < fold) {
            row[x] = to.At(x, y);
            continue;
          }
          // The lifted part lies folded over the line: its mirror image lands here.
          const double rx = qx - 2 * (along - fold) * ux, ry = qy - 2 * (along - fold) * uy;
          if (rx >= 0 && ry >= 0 && rx < w && ry < h) {
            const uint32_t back = back_ ? from.At(int(rx), int(ry)) : Pixel(235, 235, 235);
            row[x] = Mix(0, back, 200);
          } else {
            row[x] = from.At(x, y);
          }
        }
      }
    });
  }
  std::string corner_;
  bool back_;
  std::unique_ptr<BandHelper> helper_;  // made at the first draw
};

// The camera goes round a card: the first picture narrows to its edge, then the second
// ("RevolveCamera") widens from it, over black.
class CardFlip : public MotionTransition {
  void Between(const Picture& from, const Picture& to, double p, REFERENCE_TIME, Picture* out) override {
    out->Fill(0);
    const int w = out->Width();
    const double width = std::fabs(std::cos(p * kPi));
    if (width < 1e-3) return;
    Affine m;
    m.a = 1 / width;
    m.c = w / 2.0 - m.a * (w / 2.0);
    DrawMapped(p >= 0.5 ? to : from, m, 256, out);
  }
};

// The first picture breaks into blocks ("MaxParticles") that fly off ("ScatterDirection": right,
// left, up, down, two of them joined, or "in" to the middle; "BothDirections" sends every other
// block the other way), shrinking to nothing over the second.
class Particles : public MotionTransition {
 public:
  explicit Particles(const EffectParameters& p)
      : count_(std::clamp(p.Integer("MaxParticles", 200), 1, 10000)),
        scatter_(p.Word("ScatterDirection")),
        both_(p.Flag("BothDirections", false)),
        speed_(std::clamp(p.Number("ParticleSpeed", 20) / 20, 0.2, 5.0)),
        duration_(p.Has("ExponentialProgressDurations") ? p.Number("ExponentialProgressDurations", 0)
                                                        : p.Number("ExponentialProgressDuration", 0)),
        scale_(p.Number("ExponentialProgressScale", 0)) {}

 private:
  void Between(const Picture& from, const Picture& to, double p, REFERENCE_TIME, Picture* out) override {
    *out = to;
    const double q = Eased(p, duration_, scale_);
    const int w = out->Width(), h = out->Height();
    const int cols = std::max(1, int(std::lround(std::sqrt(double(count_) * w / h))));
    const int rows = std::max(1, (count_ + cols - 1) / cols);
    Direction dir = DirectionOf(scatter_.empty() ? "right" : scatter_);
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) {
        const int x0 = c * w / cols, x1 = (c + 1) * w / cols, y0 = r * h / rows, y1 = (r + 1) * h / rows;
        if (x1 <= x0 || y1 <= y0) continue;
        const double pace = (0.6 + 0.8 * ScrambleUnit(uint64_t(r), uint64_t(c), 5)) * speed_;
        double mx = (x0 + x1) / 2.0, my = (y0 + y1) / 2.0;
        Direction d = dir;
        if (scatter_ == "in") d = {(w / 2.0 - mx) / w * 2, (h / 2.0 - my) / h * 2};
        if (both_ && (r + c) % 2) d.x = -d.x, d.y = -d.y;
        mx += d.x * q * pace * w;
        my += d.y * q * pace * h;
        const double size = 1 - q;
        const double bw = (x1 - x0) * size, bh = (y1 - y0) * size;
        const int ox0 = std::max(0, int(std::lround(mx - bw / 2))), ox1 = std::min(w, int(std::lround(mx + bw / 2)));
        const int oy0 = std::max(0, int(std::lround(my - bh / 2))), oy1 = std::min(h, int(std::lround(my + bh / 2)));
        for (int y = oy0; y < oy1; ++y) {
          const int sy = std::clamp(y0 + int((y + 0.5 - (my - bh / 2)) / size), y0, y1 - 1);
          for (int x = ox0; x < ox1; ++x) {
            const int sx = std::clamp(x0 + int((x + 0.5 - (mx - bw / 2)) / size), x0, x1 - 1);
            out->At(x, y) = from.At(sx, sy);
          }
        }
      }
    }
  }
  int count_;
  std::string scatter_;
  bool both_;
  double speed_, duration_, scale_;
};

}  // namespace

std::unique_ptr<VideoTransition> MakeFade(const EffectParameters&) { return std::make_unique<Fade>(); }
std::unique_ptr<VideoTransition> MakeSlide(const EffectParameters&) { return std::make_unique<Slide>(); }
std::unique_ptr<VideoTransition> MakeStretch(const EffectParameters&) { return std::make_unique<Stretch>(); }

// "MaxSquare": the largest block, at the middle (default 50).
std::unique_ptr<VideoTransition> MakePixelateTransition(const EffectParameters& p) {
  return std::make_unique<PixelateTransition>(std::clamp(p.Integer("MaxSquare", 50), 2, 4096));
}

std::unique_ptr<VideoTransition> MakeTransition3D(const EffectParameters& p) {
  if (p.Word("InternalName") == "particlesystem") return std::make_unique<Particles>(p);
  if (p.Has("PageCurlA")) return std::make_unique<PageCurl>(p);
  const bool moves = p.Has("MoveA") || p.Has("ScaleA") || p.Has("RotateA");
  if (p.Flag("RevolveCamera", false) || !moves) return std::make_unique<CardFlip>();
  return std::make_unique<Simple3D>(p);
}

}  // namespace des
