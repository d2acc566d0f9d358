#pragma once
// Interleaved PCM conversion between sample formats, layouts and rates (libswresample).
#include <cstdint>
#include <vector>

#include "dshow/ffmpeg_handles.h"

namespace dshow::filters {

struct PcmFormat {
  AVSampleFormat format = AV_SAMPLE_FMT_S16;
  int channels = 2;
  int rate = 44100;
  bool operator==(const PcmFormat&) const = default;
};

// The interleaved PCM format of a WAVEFORMATEX with 8 or 16 bits; AV_SAMPLE_FMT_NONE otherwise.
AVSampleFormat SampleFormatOfBits(int bits);

class AudioConverter {
 public:
  // Converts count samples of in (planes as FFmpeg lays them out) and appends the result to out.
  // False when libswresample refuses the conversion.
  bool Convert(const uint8_t* const* in, int count, const PcmFormat& from, const PcmFormat& to,
               std::vector<uint8_t>& out);
  // Whatever the resampler still holds, appended to out.
  bool Drain(std::vector<uint8_t>& out);
  void Reset() { context_.reset(); }

 private:
  bool Prepare(const PcmFormat& from, const PcmFormat& to);
  Resampler context_;
  PcmFormat from_, to_;
};

}  // namespace dshow::filters
