#pragma once
// What a media file holds, read with libavformat by reading every packet: for checking files the
// code under test wrote.
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

}  // namespace testing_support
