#pragma once
// The bytes of a file FFmpeg writes, handed down an output pin as positioned samples: a sample's
// start time is the file offset of its bytes and its stop time the offset after them, as the File
// Writer takes them. FFmpeg writes and seeks through an I/O context of this object; its buffer is
// large, so that the samples are large too, and a seek only hands down what was buffered. The
// filter downstream owns the file: the writer upstream never learns its name.
#include <cstdint>

#include "dshow/dshow.h"
#include "dshow/ffmpeg_handles.h"

namespace dshow::filters {

class PositionedSampleOutput {
 public:
  // The I/O buffer's size, and so the largest sample; the pin's buffers should be as large.
  static constexpr int kBlockBytes = 256 * 1024;

  // pin: connected, its allocator committed whenever FFmpeg writes.
  explicit PositionedSampleOutput(CBaseOutputPin* pin);
  ~PositionedSampleOutput();
  PositionedSampleOutput(const PositionedSampleOutput&) = delete;
  PositionedSampleOutput& operator=(const PositionedSampleOutput&) = delete;

  // What FFmpeg writes the file through, from offset 0; nullptr without memory.
  AVIOContext* Context() const { return context_; }
  // Hands down what the context still holds, then the end of the stream: the file is complete.
  // Returns 0 or the first FFmpeg error of the whole file.
  int Finish();

 private:
  static int WritePacket(void* opaque, uint8_t* data, int size);
  static int64_t Seek(void* opaque, int64_t offset, int whence);
  int Deliver(const uint8_t* data, int size);

  CBaseOutputPin* pin_;
  AVIOContext* context_ = nullptr;
  int64_t position_ = 0;  // where the next bytes handed down go
  int64_t size_ = 0;      // the end of the furthest bytes handed down
};

}  // namespace dshow::filters
