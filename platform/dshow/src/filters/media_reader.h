#pragma once
// One opened media file shared by the output pins of the source filter: each pin pulls the packets
// of its own stream on its own thread; packets read for another enabled stream wait in that
// stream's queue.
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "dshow/ffmpeg_handles.h"

namespace dshow::filters {

class MediaReader {
 public:
  // Opens a POSIX path; null with *error (and *code, an FFmpeg error) set when the file cannot be
  // opened or has no stream that can be decoded.
  static std::unique_ptr<MediaReader> Open(const std::string& path, std::string* error, int* code = nullptr);

  // The demuxer; a seek to the start replaces it (stream indexes and parameters stay).
  AVFormatContext* Format() const { return input_.get(); }
  // Indexes of the audio and video streams a decoder exists for.
  const std::vector<int>& Streams() const { return streams_; }
  // Length of the file in 100-ns units, 0 when unknown.
  int64_t Duration() const;
  // Start of the file's timeline in stream units, so that sample times begin at 0.
  int64_t StartOf(int stream) const;

  // Only enabled streams keep queued packets.
  void Enable(int stream, bool on);
  // Next packet of the stream: 0, AVERROR_EOF at the end, or another error.
  int Read(int stream, AVPacket* out);
  // Moves every stream to the key frame at or before t (100-ns units) and drops queued packets.
  int Seek(int64_t t);

 private:
  explicit MediaReader(Input input);
  // The stream whose key frames a seek goes by: the first video stream, else the first stream.
  int SeekStream() const;

  std::mutex lock_;
  std::string path_;
  Input input_;
  std::vector<int> streams_;
  std::vector<bool> enabled_;
  std::vector<std::deque<Packet>> queues_;
  bool touched_ = false;  // packets were read since the file was opened or moved to its start
  bool ended_ = false;
  int error_ = 0;
};

}  // namespace dshow::filters
