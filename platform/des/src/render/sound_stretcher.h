#pragma once
// Converts one clip's 16-bit PCM to the group's channels and rate, played at the clip's rate:
// a clip whose timeline span is twice its media span comes out twice as long (and an octave
// lower), as a tape played at half speed.
#include <cstdint>
#include <vector>

#include "dshow/dshow.h"

struct SwrContext;

namespace des {

class SoundStretcher {
 public:
  // rate: media span per timeline span (1: normal speed).
  SoundStretcher(const WAVEFORMATEX& in, const WAVEFORMATEX& out, double rate);
  ~SoundStretcher();
  SoundStretcher(const SoundStretcher&) = delete;
  SoundStretcher& operator=(const SoundStretcher&) = delete;

  bool Valid() const { return swr_ != nullptr; }
  // Appends the converted samples of bytes of input to out (interleaved); a null input drains
  // what the converter still holds.
  void Convert(const BYTE* data, size_t bytes, std::vector<int16_t>* out);

 private:
  SwrContext* swr_ = nullptr;
  int inBlock_ = 0;
  int outChannels_ = 0;
};

}  // namespace des
