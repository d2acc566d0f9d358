#include "sound_stretcher.h"

#include <cmath>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace des {

SoundStretcher::SoundStretcher(const WAVEFORMATEX& in, const WAVEFORMATEX& out, double rate) {
  if (in.nChannels == 0 || out.nChannels == 0 || in.wBitsPerSample != 16 || out.wBitsPerSample != 16 ||
      !(rate > 0))
    return;
  // Declaring the input rate scaled by the playing rate makes the resampler stretch the sound.
  const long declared = std::lround(in.nSamplesPerSec * rate);
  if (declared <= 0 || declared > INT32_MAX) return;
  AVChannelLayout inLayout, outLayout;
  av_channel_layout_default(&inLayout, in.nChannels);
  av_channel_layout_default(&outLayout, out.nChannels);
  // Mono goes to both sides of stereo at its own level, as the platform's converter copies it
  // (the resampler's default would split it 3 dB down on each side).
  static const double kBothSides[2] = {1.0, 1.0};
  if (swr_alloc_set_opts2(&swr_, &outLayout, AV_SAMPLE_FMT_S16, int(out.nSamplesPerSec), &inLayout,
                          AV_SAMPLE_FMT_S16, int(declared), 0, nullptr) < 0 ||
      (in.nChannels == 1 && out.nChannels == 2 && swr_set_matrix(swr_, kBothSides, 1) < 0) ||
      swr_init(swr_) < 0)
    swr_free(&swr_);
  av_channel_layout_uninit(&inLayout);
  av_channel_layout_uninit(&outLayout);
  inBlock_ = in.nChannels * 2;
  outChannels_ = out.nChannels;
}

SoundStretcher::~SoundStretcher() { swr_free(&swr_); }

void SoundStretcher::Convert(const BYTE* data, size_t bytes, std::vector<int16_t>* out) {
  if (!swr_) return;
  const int inSamples = data ? int(bytes / inBlock_) : 0;
  const int capacity = swr_get_out_samples(swr_, inSamples);
  if (capacity <= 0) return;
  const size_t at = out->size();
  out->resize(at + size_t(capacity) * outChannels_);
  uint8_t* outPlanes[1] = {reinterpret_cast<uint8_t*>(out->data() + at)};
  const uint8_t* inPlanes[1] = {data};
  const int made = swr_convert(swr_, outPlanes, capacity, data ? inPlanes : nullptr, inSamples);
  out->resize(at + size_t(made > 0 ? made : 0) * outChannels_);
}

}  // namespace des
