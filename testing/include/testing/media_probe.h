#pragma once
// What a media file holds, read with libavformat by reading every packet: for checking files the
// code under test wrote.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct ProbedStream {
  bool video = false;
  std::string codec;      // FFmpeg codec name, e.g. "mpeg4", "pcm_s16le"
  int width = 0;
  int height = 0;
  int sampleRate = 0;
  int channels = 0;
  int bitsPerSample = 0;  // of PCM codecs
  long packets = 0;       // packets read from the file (frames for video)
  double seconds = 0;     // from the first packet's start to the last packet's end
};

struct ProbedFile {
  std::string error;      // empty when the file opened and read to its end
  std::string format;     // FFmpeg demuxer name
  std::vector<ProbedStream> streams;
  const ProbedStream* Video() const;
  const ProbedStream* Audio() const;
};

ProbedFile ProbeFile(const std::string& path);

// The first picture of a file's video stream, decoded and converted to RGB with the FFmpeg
// libraries: rows top-down, 3 bytes a pixel (red, green, blue).
struct ProbedPicture {
  std::string error;  // empty when a picture was decoded
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t* Pixel(int x, int y) const { return rgb.data() + (size_t(y) * size_t(width) + size_t(x)) * 3; }
};

ProbedPicture FirstPicture(const std::string& path);
// The same for the stream's last picture.
ProbedPicture LastPicture(const std::string& path);
// The picture showing at a time, in seconds from the stream's start.
ProbedPicture PictureAt(const std::string& path, double seconds);

}  // namespace testing_support
