#pragma once
// The source the conversion benchmarks share: 1280x720 MPEG-4 at 25 fps with 44100 Hz stereo MP3 in AVI,
// as a user's camera or download would give it.
#include <cstdio>
#include <string>

#include "testing/media_fixtures.h"

namespace bench {

// Writes the clip; says why on stderr when it cannot.
inline bool MakeSourceClip(const std::string& path, double seconds) {
  testing_support::ClipOptions o;
  o.format = "avi";
  o.videoEncoder = "mpeg4";
  o.width = 1280;
  o.height = 720;
  o.frameRate = 25;
  o.audioEncoder = "libmp3lame";
  o.sampleRate = 44100;
  o.channels = 2;
  o.seconds = seconds;
  std::printf("making a %.0f-second 1280x720 clip...\n", seconds);
  if (std::string err = testing_support::MakeClip(path, o); !err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    return false;
  }
  return true;
}

}  // namespace bench
