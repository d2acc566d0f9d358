// Wipes drawn as masks over the whole picture.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "families.h"
#include "mask_transition.h"

namespace des {

namespace {

constexpr double kPi = std::numbers::pi;

// Position of a pixel's centre as a share of the length.
double Share(int i, int length) { return (i + 0.5) / length; }

// The angle of (x, y) about the centre, clockwise from twelve o'clock, as a share of a turn.
double TurnShare(int x, int y, int width, int height) {
  const double dx = x + 0.5 - width / 2.0, dy = y + 0.5 - height / 2.0;
  double a = std::atan2(dx, -dy) / (2 * kPi);
  return a < 0 ? a + 1 : a;
}

}  // namespace

// "WipeStyle" 0 sweeps from left to right, 1 from top to bottom; "GradientSize" is the width of
// the soft band, as a share of the picture.
std::unique_ptr<VideoTransition> MakeGradientWipe(const EffectParameters& p) {
  const double band = std::clamp(p.Number("GradientSize", 0.25), 0.0, 1.0);
  const bool vertical = p.Integer("WipeStyle", 0) == 1;
  return MakePatternTransition(band, [vertical](int x, int y, int w, int h) {
    return float(vertical ? Share(y, h) : Share(x, w));
  });
}

// "spokes" sectors, each swept clockwise from its spoke.
std::unique_ptr<VideoTransition> MakeWheel(const EffectParameters& p) {
  const int spokes = std::clamp(p.Integer("spokes", 4), 1, 360);
  return MakePatternTransition(0.0, [spokes](int x, int y, int w, int h) {
    const double a = TurnShare(x, y, w, h) * spokes;
    return float(a - std::floor(a));
  });
}

// Two doors opening from the middle ("Motion" out, the default) or closing in, side by side
// ("Orientation" vertical, the default) or one above the other.
std::unique_ptr<VideoTransition> MakeBarn(const EffectParameters& p) {
  const bool in = p.Word("Motion") == "in";
  const bool horizontal = p.Word("Orientation") == "horizontal";
  return MakePatternTransition(0.0, [in, horizontal](int x, int y, int w, int h) {
    const double d = std::fabs(horizontal ? Share(y, h) - 0.5 : Share(x, w) - 0.5) * 2;
    return float(in ? 1 - d : d);
  });
}

// "bands" slats (default 10), each opening downwards ("Direction" down, or up, left, right).
std::unique_ptr<VideoTransition> MakeBlinds(const EffectParameters& p) {
  const int bands = std::clamp(p.Integer("bands", 10), 1, 1000);
  const std::string direction = p.Word("Direction");
  return MakePatternTransition(0.0, [bands, direction](int x, int y, int w, int h) {
    const bool across = direction == "left" || direction == "right";
    double s = (across ? Share(x, w) : Share(y, h)) * bands;
    s -= std::floor(s);
    return float(direction == "up" || direction == "left" ? 1 - s : s);
  });
}

// Squares ("SquaresX" 12, "SquaresY" 10) filling from the left, every other row half a square on.
std::unique_ptr<VideoTransition> MakeCheckerboard(const EffectParameters& p) {
  const int across = std::clamp(p.Integer("SquaresX", 12), 1, 1000);
  const int down = std::clamp(p.Integer("SquaresY", 10), 1, 1000);
  return MakePatternTransition(0.0, [across, down](int x, int y, int w, int h) {
    const int row = int(Share(y, h) * down);
    double s = Share(x, w) * across / 2 + (row % 2 ? 0.5 : 0.0);
    s -= std::floor(s);
    return float(s);
  });
}

// An opening from the middle in the shape of "IrisStyle" (plus, the default; diamond, circle,
// cross, square, star), "Motion" out (the default) or in.
std::unique_ptr<VideoTransition> MakeIris(const EffectParameters& p) {
  const std::string style = p.Word("IrisStyle").empty() ? "plus" : p.Word("IrisStyle");
  const bool in = p.Word("Motion") == "in";
  return MakePatternTransition(0.0, [style, in](int x, int y, int w, int h) {
    const double dx = std::fabs(Share(x, w) - 0.5) * 2, dy = std::fabs(Share(y, h) - 0.5) * 2;
    double d;
    if (style == "diamond")
      d = (dx + dy) / 2;
    else if (style == "circle")
      d = std::hypot(dx, dy) / std::sqrt(2.0);
    else if (style == "square")
      d = std::max(dx, dy);
    else if (style == "cross")
      d = std::min(std::fabs(dx - dy), 1.0);
    else if (style == "star")
      d = std::min(1.0, std::max(dx, dy) * 0.5 + std::min(dx, dy));
    else
      d = std::min(dx, dy);
    return float(in ? 1 - d : d);
  });
}

// A hand sweeping clockwise from twelve o'clock ("WipeStyle" clock, the default), two hands
// opening from twelve ("wedge"), or a hand sweeping about the top-left corner ("radial").
std::unique_ptr<VideoTransition> MakeRadialWipe(const EffectParameters& p) {
  const std::string style = p.Word("WipeStyle");
  return MakePatternTransition(0.0, [style](int x, int y, int w, int h) {
    if (style == "wedge") {
      const double a = TurnShare(x, y, w, h);
      return float(std::min(a, 1 - a) * 2);
    }
    if (style == "radial") {
      const double a = std::atan2(x + 0.5, double(y) + 0.5) / (kPi / 2);
      return float(1 - a);
    }
    return float(TurnShare(x, y, w, h));
  });
}

// Rows ("Orientation" horizontal, the default) or columns, each at its own moment.
std::unique_ptr<VideoTransition> MakeRandomBars(const EffectParameters& p) {
  const bool vertical = p.Word("Orientation") == "vertical";
  return MakePatternTransition(0.0, [vertical](int x, int y, int, int) {
    return float(ScrambleUnit(vertical ? x : y, 7));
  });
}

// Pixels, each at its own moment.
std::unique_ptr<VideoTransition> MakeRandomDissolve(const EffectParameters&) {
  return MakePatternTransition(0.0, [](int x, int y, int, int) { return float(ScrambleUnit(x, y, 11)); });
}

// Cells ("GridSizeX", "GridSizeY", 16 each) taken in a spiral from the top-left corner inwards.
std::unique_ptr<VideoTransition> MakeSpiral(const EffectParameters& p) {
  const int cols = std::clamp(p.Integer("GridSizeX", 16), 1, 256);
  const int rows = std::clamp(p.Integer("GridSizeY", 16), 1, 256);
  std::vector<int> order(size_t(cols) * size_t(rows));
  int left = 0, top = 0, right = cols - 1, bottom = rows - 1, n = 0;
  while (left <= right && top <= bottom) {
    for (int c = left; c <= right; ++c) order[size_t(top) * cols + c] = n++;
    for (int r = top + 1; r <= bottom; ++r) order[size_t(r) * cols + right] = n++;
    if (top < bottom)
      for (int c = right - 1; c >= left; --c) order[size_t(bottom) * cols + c] = n++;
    if (left < right)
      for (int r = bottom - 1; r > top; --r) order[size_t(r) * cols + left] = n++;
    ++left, ++top, --right, --bottom;
  }
  return MakePatternTransition(0.0, [order, cols, rows](int x, int y, int w, int h) {
    const int c = std::min(cols - 1, int(Share(x, w) * cols)), r = std::min(rows - 1, int(Share(y, h) * rows));
    return float((order[size_t(r) * cols + c] + 0.5) / (double(cols) * rows));
  });
}

// Diagonal strips from a corner ("Motion" leftdown, the default: from the top right).
std::unique_ptr<VideoTransition> MakeStrips(const EffectParameters& p) {
  const std::string motion = p.Word("Motion");
  return MakePatternTransition(0.0, [motion](int x, int y, int w, int h) {
    double u = Share(x, w), v = Share(y, h);
    if (motion == "rightdown" || motion == "rightup") u = 1 - u;
    if (motion == "leftup" || motion == "rightup") v = 1 - v;
    return float(((1 - u) + v) / 2);
  });
}

// Cells ("GridSizeX", "GridSizeY", 16 each) row by row, each row the other way from the last.
std::unique_ptr<VideoTransition> MakeZigzag(const EffectParameters& p) {
  const int cols = std::clamp(p.Integer("GridSizeX", 16), 1, 256);
  const int rows = std::clamp(p.Integer("GridSizeY", 16), 1, 256);
  return MakePatternTransition(0.0, [cols, rows](int x, int y, int w, int h) {
    const int r = std::min(rows - 1, int(Share(y, h) * rows));
    int c = std::min(cols - 1, int(Share(x, w) * cols));
    if (r % 2) c = cols - 1 - c;
    return float((r * cols + c + 0.5) / (double(cols) * rows));
  });
}

// The second picture opening from the top-left corner.
std::unique_ptr<VideoTransition> MakeInset(const EffectParameters&) {
  return MakePatternTransition(0.0, [](int x, int y, int w, int h) {
    return float(std::max(Share(x, w), Share(y, h)));
  });
}

}  // namespace des
