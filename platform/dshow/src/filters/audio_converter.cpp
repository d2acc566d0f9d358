#include "dshow/audio_converter.h"

namespace dshow::filters {

AVSampleFormat SampleFormatOfBits(int bits) {
  if (bits == 8) return AV_SAMPLE_FMT_U8;
  if (bits == 16) return AV_SAMPLE_FMT_S16;
  if (bits == 32) return AV_SAMPLE_FMT_S32;
  return AV_SAMPLE_FMT_NONE;
}

bool AudioConverter::Prepare(const PcmFormat& from, const PcmFormat& to) {
  if (context_ && from == from_ && to == to_) return true;
  AVChannelLayout inLayout, outLayout;
  av_channel_layout_default(&inLayout, from.channels);
  av_channel_layout_default(&outLayout, to.channels);
  SwrContext* raw = nullptr;
  int err = swr_alloc_set_opts2(&raw, &outLayout, to.format, to.rate, &inLayout, from.format, from.rate, 0, nullptr);
  context_.reset(raw);
  if (err < 0 || swr_init(raw) < 0) {
    context_.reset();
    return false;
  }
  from_ = from;
  to_ = to;
  return true;
}

bool AudioConverter::Convert(const uint8_t* const* in, int count, const PcmFormat& from, const PcmFormat& to,
                             std::vector<uint8_t>& out) {
  if (!Prepare(from, to)) return false;
  const int room = swr_get_out_samples(context_.get(), count);
  if (room < 0) return false;
  const int frameBytes = av_get_bytes_per_sample(to.format) * to.channels;
  const size_t old = out.size();
  out.resize(old + size_t(room) * frameBytes);
  uint8_t* dst = out.data() + old;
  const int made = swr_convert(context_.get(), &dst, room, const_cast<const uint8_t**>(in), count);
  if (made < 0) {
    out.resize(old);
    return false;
  }
  out.resize(old + size_t(made) * frameBytes);
  return true;
}

bool AudioConverter::Drain(std::vector<uint8_t>& out) {
  if (!context_) return true;
  return Convert(nullptr, 0, from_, to_, out);
}

}  // namespace dshow::filters
