#pragma once
// The overlay filter made directly, connected for RGB24 frames, and frames drawn through its
// Transform over the test's own buffers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filter_harness.h"
#include "logo_mixer_filter.h"

namespace overlay_filter_test {

struct Rgb {
  BYTE r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// An RGB24 frame in DIB rows, read and written in picture coordinates (y = 0 at the top).
struct Frame {
  Frame(int width, int height, bool topDown, Rgb fill);
  Rgb At(int x, int y) const;
  void Set(int x, int y, Rgb c);
  // The smallest rectangle of pixels that differ from the other frame; Width 0 when none.
  struct Box {
    int x = 0, y = 0, width = 0, height = 0;
  };
  Box DiffersFrom(const Frame& other) const;
  int Count(Rgb c) const;
  BYTE* Pixel(int x, int y);

  int width, height;
  bool topDown;
  std::vector<BYTE> bytes;
};

class OverlayFilterTest : public ::testing::Test {
 protected:
  void Connect(int width, int height, bool topDown = false);
  // Runs the frame through Transform with the given times.
  Frame Draw(const Frame& in, REFERENCE_TIME start = 0, REFERENCE_TIME stop = 400000);
  // A PNG in the sandbox from rows of r, g, b, a.
  std::string MakePng(const std::string& name, int width, int height, const std::vector<uint8_t>& rgba);

  ComPtr<IBaseFilter> filter_;
  CLogoMixerFilter* mixerFilter_ = nullptr;
  ComPtr<ILogoMixer> mixer_;
  Chain chain_;
  int width_ = 0, height_ = 0;
  bool topDown_ = false;
};

}  // namespace overlay_filter_test
