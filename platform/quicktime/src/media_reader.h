#pragma once
// The samples of one media: a table of them, read once from the stream's packets, and the
// packets themselves in any order through a demuxer of the media's own.
#include <cstdint>
#include <string>
#include <vector>

#include "ffmpeg_util.h"

namespace quicktime::media {

struct Sample {
  int64_t dts;  // media time scale
  int64_t pts;
  int64_t duration;
  int32_t size;
  bool key;
  bool discard;  // decoded, but not shown (before an edit's start)
};

class SampleReader {
 public:
  // timeBase is the stream's; times are handed out in units of 1/timeScale.
  SampleReader(std::string path, int stream, AVRational timeBase, int timeScale);

  // Reads the table when it is not read yet; false when the stream cannot be read.
  bool Load();
  // In decode order.
  const std::vector<Sample>& Samples() const { return samples_; }
  // The times at which shown frames start, ascending (video).
  const std::vector<int64_t>& DisplayTimes() const { return displayTimes_; }
  // Where the last sample ends.
  int64_t End() const { return end_; }

  // Packet i of the table; null when it cannot be read. Valid until the next call.
  const AVPacket* PacketAt(size_t i);

  int64_t ToMediaTime(int64_t streamTime) const;

 private:
  bool OpenDemuxer();
  bool Seek(size_t i);
  // The table entry of a packet read from the demuxer, or Samples().size().
  size_t IndexOf(const AVPacket* packet) const;

  std::string path_;
  int stream_;
  AVRational timeBase_;
  int timeScale_;
  bool loaded_ = false;
  bool readable_ = false;
  std::vector<Sample> samples_;
  std::vector<int64_t> displayTimes_;
  int64_t end_ = 0;

  ffmpeg::Input demuxer_;
  ffmpeg::Packet packet_;
  size_t packetIndex_ = SIZE_MAX;  // the table entry packet_ holds
  size_t next_ = 0;                // what the demuxer reads next, SIZE_MAX when unknown
};

}  // namespace quicktime::media
