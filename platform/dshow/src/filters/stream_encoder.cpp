#include "dshow/stream_encoder.h"

#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/opt.h>
}

namespace dshow::filters {
namespace {

AVPixelFormat PickPixelFormat(const AVCodec* codec, AVPixelFormat preferred) {
  if (!codec->pix_fmts) return preferred;
  for (const AVPixelFormat* p = codec->pix_fmts; *p != AV_PIX_FMT_NONE; ++p)
    if (*p == preferred) return preferred;
  return avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, preferred, 0, nullptr);
}

int PickRate(const AVCodec* codec, int wanted) {
  if (!codec->supported_samplerates) return wanted;
  int best = codec->supported_samplerates[0];
  for (const int* r = codec->supported_samplerates; *r; ++r)
    if (std::abs(*r - wanted) < std::abs(best - wanted)) best = *r;
  return best;
}

AVSampleFormat PickSampleFormat(const AVCodec* codec, AVSampleFormat preferred) {
  if (!codec->sample_fmts) return preferred;
  for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
    if (*f == preferred) return preferred;
  return codec->sample_fmts[0];
}

int PickChannels(const AVCodec* codec, int wanted) {
  if (!codec->ch_layouts) return wanted;
  int best = 0;
  for (const AVChannelLayout* l = codec->ch_layouts; l->nb_channels; ++l) {
    if (l->nb_channels == wanted) return wanted;
    if (!best || std::abs(l->nb_channels - wanted) < std::abs(best - wanted)) best = l->nb_channels;
  }
  return best ? best : wanted;
}

int Open(AVCodecContext* c, const AVCodec* codec, const std::map<std::string, std::string>& options,
         std::string* error) {
  AVDictionary* dict = nullptr;
  for (const auto& [key, value] : options) av_dict_set(&dict, key.c_str(), value.c_str(), 0);
  const int err = avcodec_open2(c, codec, &dict);
  av_dict_free(&dict);
  if (err < 0) *error = std::string(codec->name) + ": " + ErrorText(err);
  return err;
}

}  // namespace

std::unique_ptr<StreamEncoder> StreamEncoder::OpenVideo(const AVCodec* codec, const VideoInput& in,
                                                        const VideoTarget& target, std::string* error) {
  if (!Fits(in.kind, in.width, in.height) || in.frameTime <= 0) {
    *error = "unusable picture format";
    return nullptr;
  }
  std::unique_ptr<StreamEncoder> e(new StreamEncoder);
  e->video_ = in;
  e->codec_.reset(avcodec_alloc_context3(codec));
  if (!e->codec_) return *error = "out of memory", nullptr;
  AVCodecContext* c = e->codec_.get();
  c->width = target.width ? target.width : in.width;
  c->height = target.height ? target.height : in.height;
  AVRational rate = target.frameRate.num ? target.frameRate : av_d2q(1e7 / double(in.frameTime), 65535);
  c->time_base = av_inv_q(rate);
  c->framerate = rate;
  c->pix_fmt = target.pixelFormat != AV_PIX_FMT_NONE ? target.pixelFormat : PickPixelFormat(codec, AV_PIX_FMT_YUV420P);
  // As with the decoders: four threads keep up; more cost CPU in hand-overs (and slices).
  c->thread_count = 4;
  c->max_b_frames = 0;
  c->sample_aspect_ratio = {1, 1};
  if (target.bitRate) c->bit_rate = target.bitRate;
  if (target.keyframeInterval) c->gop_size = target.keyframeInterval;
  if (codec->id == AV_CODEC_ID_MJPEG) c->color_range = AVCOL_RANGE_JPEG;
  c->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
  if (Open(c, codec, target.options, error) < 0) return nullptr;
  e->frame_ = e->NewPicture();
  if (!e->frame_) return *error = "out of memory", nullptr;
  return e;
}

std::unique_ptr<StreamEncoder> StreamEncoder::OpenAudio(const AVCodec* codec, const PcmFormat& in,
                                                        const AudioTarget& target, std::string* error) {
  if (in.channels <= 0 || in.rate <= 0 || in.format == AV_SAMPLE_FMT_NONE) {
    *error = "unusable sound format";
    return nullptr;
  }
  std::unique_ptr<StreamEncoder> e(new StreamEncoder);
  e->audioIn_ = in;
  e->codec_.reset(avcodec_alloc_context3(codec));
  e->frame_ = NewFrame();
  if (!e->codec_ || !e->frame_) return *error = "out of memory", nullptr;
  AVCodecContext* c = e->codec_.get();
  c->sample_rate = PickRate(codec, target.rate ? target.rate : in.rate);
  c->time_base = {1, c->sample_rate};
  c->sample_fmt = PickSampleFormat(codec, in.format);
  av_channel_layout_default(&c->ch_layout, PickChannels(codec, target.channels ? target.channels : in.channels));
  if (target.bitRate) c->bit_rate = target.bitRate;
  if (Open(c, codec, target.options, error) < 0) return nullptr;
  e->audioOut_ = {av_get_packed_sample_fmt(c->sample_fmt), c->ch_layout.nb_channels, c->sample_rate};
  return e;
}

int64_t StreamEncoder::FrameTime() const { return av_rescale_q(1, codec_->time_base, kUnits); }

int StreamEncoder::SendPicture(const uint8_t* image, int64_t start) {
  if (int err = PreparePicture(image, start, frame_.get()); err < 0) return err;
  return SendFrame(frame_.get());
}

Frame StreamEncoder::NewPicture() const {
  Frame picture = NewFrame();
  if (!picture) return picture;
  picture->format = codec_->pix_fmt;
  picture->width = codec_->width;
  picture->height = codec_->height;
  if (av_frame_get_buffer(picture.get(), 0) < 0) picture.reset();
  return picture;
}

int StreamEncoder::PreparePicture(const uint8_t* image, int64_t start, AVFrame* picture) {
  const AVCodecContext* c = codec_.get();
  if (int err = av_frame_make_writable(picture); err < 0) return err;
  if (!scaler_.Convert(SamplePicture(const_cast<uint8_t*>(image), video_.kind, video_.width, video_.height),
                       FramePicture(picture)))
    return AVERROR(EINVAL);
  int64_t pts = av_rescale_q_rnd(start, kUnits, c->time_base, AVRounding(AV_ROUND_NEAR_INF));
  if (pts <= lastPts_) pts = lastPts_ + 1;
  lastPts_ = pts;
  picture->pts = pts;
  return 0;
}

int StreamEncoder::SendPicture(const AVFrame* picture) { return SendFrame(picture); }

int StreamEncoder::SendAudio(const uint8_t* data, size_t bytes, int64_t start) {
  if (nextSample_ < 0) nextSample_ = start > 0 ? av_rescale(start, audioOut_.rate, 10000000) : 0;
  const int frameBytes = av_get_bytes_per_sample(audioIn_.format) * audioIn_.channels;
  const uint8_t* planes[1] = {data};
  if (!resampler_.Convert(planes, int(bytes / frameBytes), audioIn_, audioOut_, pending_)) return AVERROR(EINVAL);
  return SendAudioFrames(false);
}

int StreamEncoder::SendAudioFrames(bool last) {
  AVCodecContext* c = codec_.get();
  const int sampleBytes = av_get_bytes_per_sample(audioOut_.format);
  const int frameBytes = sampleBytes * audioOut_.channels;
  const bool variable = c->frame_size <= 0 || (c->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
  const int size = c->frame_size > 0 ? c->frame_size : 1152;
  size_t offset = 0;
  for (;;) {
    const size_t left = (pending_.size() - offset) / frameBytes;
    if (left == 0 || (left < size_t(size) && !last)) break;
    int count = int(std::min<size_t>(left, size));
    AVFrame* f = frame_.get();
    av_frame_unref(f);
    f->format = c->sample_fmt;
    f->sample_rate = c->sample_rate;
    // A short last frame is padded with silence where the encoder needs whole frames.
    f->nb_samples = variable ? count : size;
    if (int err = av_channel_layout_copy(&f->ch_layout, &c->ch_layout); err < 0) return err;
    if (int err = av_frame_get_buffer(f, 0); err < 0) return err;
    av_samples_set_silence(f->data, 0, f->nb_samples, audioOut_.channels, c->sample_fmt);
    const uint8_t* src = pending_.data() + offset;
    if (av_sample_fmt_is_planar(c->sample_fmt)) {
      for (int n = 0; n < count; ++n)
        for (int ch = 0; ch < audioOut_.channels; ++ch)
          std::memcpy(f->data[ch] + size_t(n) * sampleBytes, src + size_t(n) * frameBytes + ch * sampleBytes,
                      sampleBytes);
    } else {
      std::memcpy(f->data[0], src, size_t(count) * frameBytes);
    }
    offset += size_t(count) * frameBytes;
    f->pts = nextSample_;
    nextSample_ += f->nb_samples;
    if (int err = SendFrame(f); err < 0) return err;
  }
  pending_.erase(pending_.begin(), pending_.begin() + offset);
  return 0;
}

int StreamEncoder::Finish() {
  if (codec_->codec_type == AVMEDIA_TYPE_AUDIO) {
    if (!resampler_.Drain(pending_)) return AVERROR(EINVAL);
    if (int err = SendAudioFrames(true); err < 0) return err;
  }
  finished_ = true;
  return SendFrame(nullptr);
}

// Sends a frame (null: the end) and takes every packet the encoder has ready, so that it never
// refuses input for want of a reader.
int StreamEncoder::SendFrame(const AVFrame* frame) {
  if (int err = avcodec_send_frame(codec_.get(), frame); err < 0) return err;
  for (;;) {
    Packet packet = NewPacket();
    if (!packet) return AVERROR(ENOMEM);
    const int err = avcodec_receive_packet(codec_.get(), packet.get());
    if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return 0;
    if (err < 0) return err;
    ready_.push_back(std::move(packet));
  }
}

int StreamEncoder::Receive(AVPacket* packet) {
  if (ready_.empty()) return finished_ ? AVERROR_EOF : AVERROR(EAGAIN);
  av_packet_move_ref(packet, ready_.front().get());
  ready_.pop_front();
  // Audio encoders stamp their priming samples before the first input sample. The files we write
  // have no field to skip them, so a player plays them: the stream starts where its input did,
  // and no writer has to move the other streams to make room for negative times.
  if (codec_->codec_type == AVMEDIA_TYPE_AUDIO && codec_->initial_padding > 0) {
    if (packet->pts != AV_NOPTS_VALUE) packet->pts += codec_->initial_padding;
    if (packet->dts != AV_NOPTS_VALUE) packet->dts += codec_->initial_padding;
  }
  av_packet_rescale_ts(packet, codec_->time_base, kUnits);
  if (packet->duration <= 0 && codec_->codec_type == AVMEDIA_TYPE_VIDEO) packet->duration = FrameTime();
  return 0;
}

}  // namespace dshow::filters
