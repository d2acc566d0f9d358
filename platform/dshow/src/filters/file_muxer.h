#pragma once
// An FFmpeg muxer writing one file from packets timed in 100-ns units, safe to feed from several
// streaming threads. Finish writes the trailer and index once, whenever it comes first: at the end
// of the streams or on Stop.
//
// How a writer reaches its file: a writer with a File Writer downstream (the AVI Mux) starts the
// muxer on its output pin, and the file's bytes go down as positioned samples; the writer never
// learns the file's name. Only a writer that is itself the file sink (it answers IFileSinkFilter,
// as the WM ASF Writer does) starts the muxer on the file's path.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "dshow/ffmpeg_handles.h"
#include "positioned_sample_output.h"

namespace dshow::filters {

struct MuxSettings {
  bool interleave = true;         // order packets by time across streams
  int64_t interleaveTime = 0;     // longest wait for a late stream, 100-ns units; 0: the muxer's default
  int64_t prerollTime = 0;        // audio written this far ahead of video, 100-ns units
  bool bottomUpRgb = false;       // AVI: the header declares raw RGB rows bottom-up (else top-down)
};

// What a writer reports when the muxer could not write its file: a full disk, or another fault of
// the medium. The code tells a container that the file is incomplete.
HRESULT WriteFailure(int ffmpegError);

class FileMuxer {
 public:
  // format: an FFmpeg muxer name ("avi", "asf").
  explicit FileMuxer(std::string format);
  ~FileMuxer();

  // Streams are added before Start; returns the stream's index.
  int AddStream(const AVCodecParameters* parameters, AVRational frameRate);
  // Writes the header to the file the filter downstream of pin writes (see
  // positioned_sample_output.h). Returns 0 or an FFmpeg error.
  int Start(CBaseOutputPin* pin, const MuxSettings& settings);
  // Opens path (POSIX) and writes the header. Returns 0 or an FFmpeg error.
  int Start(const std::string& path, const MuxSettings& settings);
  // Writes one packet of a stream; packet times are in 100-ns units. The packet is consumed.
  int Write(int stream, AVPacket* packet);
  // Writes the trailer and finishes the file (downstream: the end of the stream follows it); later
  // writes are refused. Returns 0 or an FFmpeg error.
  int Finish();

 private:
  // path: the file's, or nullptr when it goes downstream.
  int CreateOutput(const char* path, const MuxSettings& settings);
  int WriteHeader(const MuxSettings& settings);
  int CloseOutput();

  std::mutex lock_;
  std::string format_;
  std::vector<Parameters> streams_;
  std::vector<AVRational> rates_;
  AVFormatContext* output_ = nullptr;
  std::unique_ptr<PositionedSampleOutput> samples_;  // where the file goes when it goes downstream
  std::vector<int64_t> lastDts_;
  bool interleave_ = true;
  bool started_ = false;
};

}  // namespace dshow::filters
