#pragma once
// Short media clips made at test time with the FFmpeg libraries: a moving test picture and a
// steady tone, in any container and with any encoders this FFmpeg build offers.
#include <map>
#include <string>

namespace testing_support {

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
};

// Writes the clip to path (a POSIX path). Returns an empty string on success, else what failed.
std::string MakeClip(const std::string& path, const ClipOptions& options);

}  // namespace testing_support
