#include "dshow/file_muxer.h"

namespace dshow::filters {

HRESULT WriteFailure(int ffmpegError) {
  return ffmpegError == AVERROR(ENOSPC) || ffmpegError == AVERROR(EDQUOT) ? STG_E_MEDIUMFULL : STG_E_WRITEFAULT;
}

FileMuxer::FileMuxer(std::string format) : format_(std::move(format)) {}

FileMuxer::~FileMuxer() { Finish(); }

int FileMuxer::AddStream(const AVCodecParameters* parameters, AVRational frameRate) {
  std::lock_guard<std::mutex> hold(lock_);
  Parameters copy(avcodec_parameters_alloc());
  if (!copy || avcodec_parameters_copy(copy.get(), parameters) < 0) return AVERROR(ENOMEM);
  streams_.push_back(std::move(copy));
  rates_.push_back(frameRate);
  return int(streams_.size()) - 1;
}

int FileMuxer::CreateOutput(const char* path, const MuxSettings& settings) {
  int err = avformat_alloc_output_context2(&output_, nullptr, format_.c_str(), path);
  if (err < 0) return err;
  for (size_t i = 0; i < streams_.size(); ++i) {
    AVStream* s = avformat_new_stream(output_, nullptr);
    if (!s) return AVERROR(ENOMEM);
    if ((err = avcodec_parameters_copy(s->codecpar, streams_[i].get())) < 0) return err;
    // A tag the container knows for the codec stays: raw YUV is told from RGB by its tag alone.
    // Any other is left for the muxer to choose.
    const AVCodecTag* const* tags = output_->oformat->codec_tag;
    if (!tags || av_codec_get_id(tags, s->codecpar->codec_tag) != s->codecpar->codec_id) s->codecpar->codec_tag = 0;
    if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && rates_[i].num > 0) {
      s->time_base = av_inv_q(rates_[i]);
      s->avg_frame_rate = rates_[i];
      s->r_frame_rate = rates_[i];
    } else if (s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
      s->time_base = {1, s->codecpar->sample_rate};
    }
  }
  if (settings.interleaveTime > 0) output_->max_interleave_delta = settings.interleaveTime / 10;
  if (settings.prerollTime > 0) output_->audio_preload = int(std::min<int64_t>(settings.prerollTime / 10, INT32_MAX));
  interleave_ = settings.interleave;
  return 0;
}

int FileMuxer::WriteHeader(const MuxSettings& settings) {
  AVDictionary* options = nullptr;
  if (settings.bottomUpRgb) av_dict_set(&options, "flipped_raw_rgb", "1", 0);
  for (const auto& [key, value] : settings.options) av_dict_set(&options, key.c_str(), value.c_str(), 0);
  for (const auto& [key, value] : settings.metadata) av_dict_set(&output_->metadata, key.c_str(), value.c_str(), 0);
  const int err = avformat_write_header(output_, &options);
  av_dict_free(&options);
  if (err < 0) return err;
  lastDts_.assign(streams_.size(), AV_NOPTS_VALUE);
  started_ = true;
  return 0;
}

int FileMuxer::Start(CBaseOutputPin* pin, const MuxSettings& settings) {
  std::lock_guard<std::mutex> hold(lock_);
  if (output_ || streams_.empty()) return AVERROR(EINVAL);
  int err = CreateOutput(nullptr, settings);
  if (err >= 0) {
    samples_ = std::make_unique<PositionedSampleOutput>(pin);
    output_->pb = samples_->Context();
    output_->flags |= AVFMT_FLAG_CUSTOM_IO;
    // Packets wait in the I/O buffer instead of going down one by one as small samples.
    output_->flush_packets = 0;
    err = output_->pb ? WriteHeader(settings) : AVERROR(ENOMEM);
  }
  if (err < 0) CloseOutput();
  return err;
}

int FileMuxer::Start(const std::string& path, const MuxSettings& settings) {
  std::lock_guard<std::mutex> hold(lock_);
  if (output_ || streams_.empty()) return AVERROR(EINVAL);
  int err = CreateOutput(path.c_str(), settings);
  if (err >= 0) err = avio_open(&output_->pb, path.c_str(), AVIO_FLAG_WRITE);
  if (err >= 0) err = WriteHeader(settings);
  if (err < 0) CloseOutput();
  return err;
}

int FileMuxer::Write(int stream, AVPacket* packet) {
  std::lock_guard<std::mutex> hold(lock_);
  if (!started_ || stream < 0 || size_t(stream) >= lastDts_.size()) {
    av_packet_unref(packet);
    return AVERROR(EINVAL);
  }
  AVStream* s = output_->streams[stream];
  if (packet->pts == AV_NOPTS_VALUE) packet->pts = packet->dts;
  packet->dts = packet->pts;
  av_packet_rescale_ts(packet, kUnits, s->time_base);
  if (packet->dts == AV_NOPTS_VALUE) packet->dts = lastDts_[stream] == AV_NOPTS_VALUE ? 0 : lastDts_[stream] + 1;
  if (lastDts_[stream] != AV_NOPTS_VALUE && packet->dts <= lastDts_[stream]) packet->dts = lastDts_[stream] + 1;
  if (packet->pts < packet->dts) packet->pts = packet->dts;
  lastDts_[stream] = packet->dts;
  packet->stream_index = stream;
  const int err = interleave_ ? av_interleaved_write_frame(output_, packet) : av_write_frame(output_, packet);
  av_packet_unref(packet);
  return err;
}

int FileMuxer::Finish() {
  std::lock_guard<std::mutex> hold(lock_);
  if (!output_) return 0;
  int err = 0;
  if (started_) {
    if (interleave_) av_interleaved_write_frame(output_, nullptr);
    err = av_write_trailer(output_);
  }
  const int closeErr = CloseOutput();
  return err < 0 ? err : closeErr;
}

// A file handed downstream is finished only once it was started: a header that failed leaves no
// end of the stream behind.
int FileMuxer::CloseOutput() {
  int err = 0;
  if (samples_) {
    if (started_) err = samples_->Finish();
    output_->pb = nullptr;
    samples_.reset();
  } else if (output_) {
    err = avio_closep(&output_->pb);
  }
  avformat_free_context(output_);
  output_ = nullptr;
  started_ = false;
  return err;
}

}  // namespace dshow::filters
