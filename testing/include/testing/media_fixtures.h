#pragma once
// Short media clips made at test time with the FFmpeg libraries: a moving test picture and a
// steady tone, in any container and with any encoders this FFmpeg build offers.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace testing_support {

// The colours of the strips a marked clip has down its edges (ClipOptions::markedEdges): the left
// strip is red in the top half and blue in the bottom half, the right strip green.
struct Rgb {
  int r, g, b;
};
inline constexpr Rgb kTopLeftColour{255, 0, 0};
inline constexpr Rgb kBottomLeftColour{0, 0, 255};
inline constexpr Rgb kRightColour{0, 255, 0};
inline constexpr int kEdgeStrip = 16;  // pixels

// The colour of a marked picture of width x height at a pixel: the strips, grey between them.
Rgb MarkedColourAt(int x, int y, int width, int height);

// The solid colour of frame n of a time-coloured clip (ClipOptions::timeColoured): neighbouring
// frames differ by at least 50 levels in red, so a picture tells which frame it shows.
Rgb TimeColourOfFrame(int frame);

// BT.601 studio levels of a colour.
struct Yuv {
  uint8_t y, u, v;
};
Yuv StudioYuvOf(Rgb c);

// Checks the first and last pixel of every row of a width x height picture showing a marked clip
// (pixel(x, y) with y = 0 at the top), at any scale; rows near the middle, where the left colour
// changes, are left out. Returns an empty string, or where the first wrong pixel is.
std::string MarkedEdgesFault(int width, int height, const std::function<Rgb(int x, int y)>& pixel);

struct ClipOptions {
  std::string format = "flv";         // FFmpeg muxer name
  std::string videoEncoder = "flv";   // FFmpeg encoder name; empty for no video
  int width = 176;
  int height = 144;
  int frameRate = 25;
  int keyframeInterval = 12;          // frames from one keyframe to the next
  std::string audioEncoder = "libmp3lame";  // empty for no audio
  int sampleRate = 22050;
  int channels = 1;
  double seconds = 2.0;
  std::map<std::string, std::string> muxerOptions;  // e.g. {"flvflags", "no_metadata"}
  bool markedEdges = false;  // strips of known colours down the edges (kTopLeftColour, ...)
  bool timeColoured = false;  // every frame one colour, TimeColourOfFrame of its number
  std::optional<Rgb> solidColour;  // every picture one colour instead of the moving picture
};

// Writes the clip to path (a POSIX path). Returns an empty string on success, else what failed.
std::string MakeClip(const std::string& path, const ClipOptions& options);

}  // namespace testing_support
