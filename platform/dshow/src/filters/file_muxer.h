#pragma once
// An FFmpeg muxer writing one file from packets timed in 100-ns units, safe to feed from several
// streaming threads. Finish writes the trailer and index once, whenever it comes first: at the end
// of the streams or on Stop.
#include <mutex>
#include <string>
#include <vector>

#include "ff_util.h"

namespace ffw {

struct MuxSettings {
  bool interleave = true;         // order packets by time across streams
  int64_t interleaveTime = 0;     // longest wait for a late stream, 100-ns units; 0: the muxer's default
  int64_t prerollTime = 0;        // audio written this far ahead of video, 100-ns units
  bool bottomUpRgb = false;       // AVI: the header declares raw RGB rows bottom-up (else top-down)
};

class FileMuxer {
 public:
  // format: an FFmpeg muxer name ("avi", "asf").
  explicit FileMuxer(std::string format);
  ~FileMuxer();

  // Streams are added before Start; returns the stream's index.
  int AddStream(const AVCodecParameters* parameters, AVRational frameRate);
  // Opens path (POSIX) and writes the header. Returns 0 or an FFmpeg error.
  int Start(const std::string& path, const MuxSettings& settings);
  // Writes one packet of a stream; packet times are in 100-ns units. The packet is consumed.
  int Write(int stream, AVPacket* packet);
  // Writes the trailer and closes the file; later writes are refused. Returns 0 or an FFmpeg error.
  int Finish();

 private:
  std::mutex lock_;
  std::string format_;
  std::vector<Parameters> streams_;
  std::vector<AVRational> rates_;
  AVFormatContext* output_ = nullptr;
  std::vector<int64_t> lastDts_;
  bool interleave_ = true;
  bool started_ = false;
};

}  // namespace ffw
