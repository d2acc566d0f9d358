#include "mp3_stream.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace filters {
namespace {

constexpr int kRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
constexpr int kMpeg1BitRates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr int kMpeg2BitRates[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
// The encoder makes no more than 64 kbit/s below 16 kHz.
constexpr int kMpeg25BitRates[] = {8, 16, 24, 32, 40, 48, 56, 64};

template <size_t N>
int Nearest(const int (&values)[N], int wish) {
  return *std::min_element(std::begin(values), std::end(values),
                           [wish](int a, int b) { return std::abs(a - wish) < std::abs(b - wish); });
}

}  // namespace

int NearestMp3Rate(int hz) { return Nearest(kRates, hz); }

int NearestMp3BitRate(int kbps, int rate) {
  if (rate >= 32000) return Nearest(kMpeg1BitRates, kbps);
  return rate >= 16000 ? Nearest(kMpeg2BitRates, kbps) : Nearest(kMpeg25BitRates, kbps);
}

int Mp3FrameSamples(int rate) { return rate >= 32000 ? 1152 : 576; }

Mp3Stream::~Mp3Stream() {
  avcodec_free_context(&codec_);
  swr_free(&resampler_);
  if (fifo_) av_audio_fifo_free(fifo_);
  av_frame_free(&frame_);
  av_packet_free(&packet_);
}

bool Mp3Stream::Open(const PcmInput& in, const Mp3Output& out) {
  in_ = in;
  const AVCodec* codec = avcodec_find_encoder_by_name("libmp3lame");
  if (!codec || !(codec_ = avcodec_alloc_context3(codec))) return false;
  codec_->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16P;
  for (const AVSampleFormat* f = codec->sample_fmts; f && *f != AV_SAMPLE_FMT_NONE; ++f)
    if (*f == AV_SAMPLE_FMT_S16P) codec_->sample_fmt = *f;
  codec_->sample_rate = out.rate;
  av_channel_layout_default(&codec_->ch_layout, out.channels);
  codec_->bit_rate = int64_t(out.kbps) * 1000;
  codec_->time_base = {1, out.rate};
  if (avcodec_open2(codec_, codec, nullptr) < 0) return false;

  AVChannelLayout inLayout;
  av_channel_layout_default(&inLayout, in.channels);
  const int err = swr_alloc_set_opts2(&resampler_, &codec_->ch_layout, codec_->sample_fmt, codec_->sample_rate,
                                      &inLayout, in.format, in.rate, 0, nullptr);
  av_channel_layout_uninit(&inLayout);
  if (err < 0 || swr_init(resampler_) < 0) return false;
  fifo_ = av_audio_fifo_alloc(codec_->sample_fmt, out.channels, codec_->frame_size * 4);
  frame_ = av_frame_alloc();
  packet_ = av_packet_alloc();
  return fifo_ && frame_ && packet_;
}

bool Mp3Stream::Send(const uint8_t* data, size_t bytes) {
  const int inSamples = int(bytes / size_t(av_get_bytes_per_sample(in_.format) * in_.channels));
  if (inSamples <= 0) return true;
  const int room = swr_get_out_samples(resampler_, inSamples);
  uint8_t** planes = nullptr;
  if (av_samples_alloc_array_and_samples(&planes, nullptr, codec_->ch_layout.nb_channels, std::max(room, 1),
                                         codec_->sample_fmt, 0) < 0)
    return false;
  const uint8_t* source[] = {data};
  const int made = swr_convert(resampler_, planes, room, source, inSamples);
  const bool ok = made >= 0 && av_audio_fifo_write(fifo_, reinterpret_cast<void**>(planes), made) == made;
  av_freep(&planes[0]);
  av_freep(&planes);
  return ok && EncodeWholeFrames(false);
}

bool Mp3Stream::Finish() {
  // What the resampler still holds.
  const int room = swr_get_out_samples(resampler_, 0);
  if (room > 0) {
    uint8_t** planes = nullptr;
    if (av_samples_alloc_array_and_samples(&planes, nullptr, codec_->ch_layout.nb_channels, room,
                                           codec_->sample_fmt, 0) < 0)
      return false;
    const int made = swr_convert(resampler_, planes, room, nullptr, 0);
    const bool ok = made >= 0 && av_audio_fifo_write(fifo_, reinterpret_cast<void**>(planes), made) == made;
    av_freep(&planes[0]);
    av_freep(&planes);
    if (!ok) return false;
  }
  if (!EncodeWholeFrames(true)) return false;
  if (avcodec_send_frame(codec_, nullptr) < 0) return false;
  return Drain();
}

bool Mp3Stream::EncodeWholeFrames(bool last) {
  const int size = codec_->frame_size;
  while (av_audio_fifo_size(fifo_) >= size || (last && av_audio_fifo_size(fifo_) > 0)) {
    av_frame_unref(frame_);
    frame_->nb_samples = size;
    frame_->format = codec_->sample_fmt;
    frame_->sample_rate = codec_->sample_rate;
    if (av_channel_layout_copy(&frame_->ch_layout, &codec_->ch_layout) < 0) return false;
    if (av_frame_get_buffer(frame_, 0) < 0) return false;
    const int got = av_audio_fifo_read(fifo_, reinterpret_cast<void**>(frame_->data), size);
    if (got < 0) return false;
    // The last part frame is padded with silence, so every frame is whole.
    if (got < size)
      av_samples_set_silence(frame_->data, got, size - got, codec_->ch_layout.nb_channels, codec_->sample_fmt);
    if (avcodec_send_frame(codec_, frame_) < 0) return false;
    if (!Drain()) return false;
  }
  return true;
}

bool Mp3Stream::Drain() {
  for (;;) {
    const int err = avcodec_receive_packet(codec_, packet_);
    if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return true;
    if (err < 0) return false;
    ready_.emplace_back(packet_->data, packet_->data + packet_->size);
    av_packet_unref(packet_);
  }
}

bool Mp3Stream::Receive(std::vector<uint8_t>* frame) {
  if (next_ == ready_.size()) {
    ready_.clear();
    next_ = 0;
    return false;
  }
  *frame = std::move(ready_[next_++]);
  return true;
}

}  // namespace filters
