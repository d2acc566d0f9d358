#pragma once
// Movies made at test time with the FFmpeg libraries: any number of video and sound tracks, each
// video frame carrying its number as a bar code, frame rates constant, fractional or variable.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "testing/media_fixtures.h"

namespace testing_support {

struct MovieVideoTrack {
  std::string encoder = "libx264";  // FFmpeg encoder name
  int width = 176;
  int height = 144;
  int rateNum = 25;  // frames per second, rateNum / rateDen
  int rateDen = 1;
  int frames = 50;
  // Variable frame rate: frame durations in milliseconds, used in turn (instead of the rate).
  std::vector<int> frameMilliseconds;
  int codeBase = 0;  // added to each frame's number in its bar code, to tell tracks apart
  int keyframeInterval = 12;
};

struct MovieSoundTrack {
  std::string encoder = "aac";
  int sampleRate = 44100;
  int channels = 2;
  double seconds = 2.0;
};

struct MovieOptions {
  std::string format = "mov";  // FFmpeg muxer name
  std::vector<MovieVideoTrack> video;
  std::vector<MovieSoundTrack> sound;
};

// Writes the movie to path (a POSIX path). Returns an empty string on success, else what failed.
std::string MakeMovie(const std::string& path, const MovieOptions& options);

// The bar code of a frame: kCodeBits bars across the upper three quarters of the picture, most
// significant first, white for 1 and black for 0.
inline constexpr int kCodeBits = 10;
// Reads a picture's code (pixel(x, y), y = 0 at the top); -1 when a bar is neither black nor white.
int ReadFrameCode(int width, int height, const std::function<Rgb(int x, int y)>& pixel);

}  // namespace testing_support
