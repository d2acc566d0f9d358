#pragma once
// The records behind Movie, Track, Media and GWorldPtr.
#include <memory>
#include <string>
#include <vector>

#include "ffmpeg_util.h"
#include "quicktime/quicktime.h"

namespace quicktime {
namespace media {
class SampleReader;
}
namespace video {
class FrameDrawer;
}
}  // namespace quicktime

// The device of a graphics world (what GetGWorldDevice hands out).
struct GDeviceRecord {
  GWorldRecord* world;
};

// Pixels a graphics world draws into: rows top-down, rowStep bytes apart (negative for a DIB
// section stored bottom-up).
struct GWorldRecord {
  uint8_t* firstRow = nullptr;
  ptrdiff_t rowStep = 0;
  int width = 0;
  int height = 0;
  OSType pixelFormat = 0;
  GDeviceRecord device{this};
  GDeviceRecord* devicePointer = &device;
};

// How a media's first sample description reads.
struct ImageFacts {
  OSType codec = 0;
  int width = 0;
  int height = 0;
  int depth = 24;
};
struct SoundFacts {
  OSType format = 0;
  int channels = 0;
  int sampleSize = 16;
  int compressionId = notCompressed;
  double sampleRate = 0;
  std::vector<uint8_t> wave;  // the 'wave' extension atom, empty when there is none
};

struct MediaRecord {
  TrackRecord* track = nullptr;
  int stream = -1;              // the stream in the media libraries
  AVRational streamTimeBase{};  // of the stream's timestamps
  TimeScale timeScale = 0;
  TimeValue duration = 0;
  int32_t sampleCount = 0;  // 0 until known
  bool video = false;
  ImageFacts image;
  SoundFacts sound;
  // Opened on first use: reading samples and drawing frames.
  std::unique_ptr<quicktime::media::SampleReader> reader;
  std::unique_ptr<quicktime::video::FrameDrawer> drawer;

  MediaRecord();
  ~MediaRecord();
  quicktime::media::SampleReader* Reader();
  quicktime::video::FrameDrawer* Drawer();
};

struct TrackRecord {
  MovieRecord* movie = nullptr;
  OSType kind = 0;
  bool enabled = true;
  int width = 0;  // the track's box
  int height = 0;
  std::unique_ptr<MediaRecord> media;  // null when the media cannot be read
};

struct MovieRecord {
  std::string path;  // POSIX
  TimeScale timeScale = 600;
  TimeValue duration = 0;
  std::vector<std::unique_ptr<TrackRecord>> tracks;
  quicktime::ffmpeg::Input input;  // the streams' parameters
  Rect box{};
  bool boxSet = false;  // SetMovieBox was called: the box no longer follows the tracks
  int64_t timeValue = 0;
  TimeScale timeValueScale = 600;
  GWorldRecord* world = nullptr;

  Rect TracksBox() const;
};
