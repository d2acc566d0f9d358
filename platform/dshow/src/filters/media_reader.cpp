#include "media_reader.h"

namespace dshow::filters {

MediaReader::MediaReader(Input input) : input_(std::move(input)) {
  const unsigned n = input_->nb_streams;
  enabled_.assign(n, false);
  queues_.resize(n);
  for (unsigned i = 0; i < n; ++i) {
    const AVCodecParameters* p = input_->streams[i]->codecpar;
    if (p->codec_type != AVMEDIA_TYPE_VIDEO && p->codec_type != AVMEDIA_TYPE_AUDIO) continue;
    if (!avcodec_find_decoder(p->codec_id)) continue;
    if (p->codec_type == AVMEDIA_TYPE_VIDEO && (p->width <= 0 || p->height <= 0)) continue;
    if (p->codec_type == AVMEDIA_TYPE_VIDEO && (input_->streams[i]->disposition & AV_DISPOSITION_ATTACHED_PIC))
      continue;
    if (p->codec_type == AVMEDIA_TYPE_AUDIO && (p->sample_rate <= 0 || p->ch_layout.nb_channels <= 0)) continue;
    streams_.push_back(int(i));
  }
}

std::unique_ptr<MediaReader> MediaReader::Open(const std::string& path, std::string* error, int* code) {
  int unused;
  if (!code) code = &unused;
  AVFormatContext* raw = nullptr;
  if (int err = avformat_open_input(&raw, path.c_str(), nullptr, nullptr); err < 0) {
    *error = path + ": " + ErrorText(err);
    *code = err;
    return nullptr;
  }
  Input input(raw);
  if (int err = avformat_find_stream_info(raw, nullptr); err < 0) {
    *error = path + ": " + ErrorText(err);
    *code = err;
    return nullptr;
  }
  std::unique_ptr<MediaReader> reader(new MediaReader(std::move(input)));
  reader->path_ = path;
  if (reader->streams_.empty()) {
    *error = path + ": no stream that can be decoded";
    *code = AVERROR_DECODER_NOT_FOUND;
    return nullptr;
  }
  return reader;
}

int64_t MediaReader::Duration() const {
  if (input_->duration > 0) return av_rescale(input_->duration, 10000000, AV_TIME_BASE);
  int64_t longest = 0;
  for (int i : streams_) {
    const AVStream* s = input_->streams[i];
    if (s->duration > 0) longest = std::max(longest, ToUnits(s->duration, s->time_base));
  }
  return longest;
}

int64_t MediaReader::StartOf(int stream) const {
  const AVStream* s = input_->streams[stream];
  if (input_->start_time != AV_NOPTS_VALUE)
    return av_rescale_q(input_->start_time, AV_TIME_BASE_Q, s->time_base);
  return s->start_time != AV_NOPTS_VALUE ? s->start_time : 0;
}

int MediaReader::SeekStream() const {
  for (int i : streams_)
    if (input_->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) return i;
  return streams_.front();
}

void MediaReader::Enable(int stream, bool on) {
  std::lock_guard<std::mutex> hold(lock_);
  enabled_[stream] = on;
  if (!on) queues_[stream].clear();
}

int MediaReader::Read(int stream, AVPacket* out) {
  std::lock_guard<std::mutex> hold(lock_);
  for (;;) {
    auto& queue = queues_[stream];
    if (!queue.empty()) {
      av_packet_move_ref(out, queue.front().get());
      queue.pop_front();
      return 0;
    }
    if (ended_) return error_ ? error_ : AVERROR_EOF;
    Packet packet = NewPacket();
    if (!packet) return AVERROR(ENOMEM);
    touched_ = true;
    if (int err = av_read_frame(input_.get(), packet.get()); err < 0) {
      ended_ = true;
      error_ = err == AVERROR_EOF || avio_feof(input_->pb) ? 0 : err;
      continue;
    }
    const int index = packet->stream_index;
    if (index == stream) {
      av_packet_move_ref(out, packet.get());
      return 0;
    }
    if (index >= 0 && size_t(index) < enabled_.size() && enabled_[index])
      queues_[index].push_back(std::move(packet));
  }
}

int MediaReader::Seek(int64_t t) {
  std::lock_guard<std::mutex> hold(lock_);
  for (auto& q : queues_) q.clear();
  ended_ = false;
  error_ = 0;
  // Nothing read yet: already at the start.
  if (t <= 0 && !touched_) return 0;
  touched_ = t > 0;
  if (t <= 0) {
    // Back to the start: opening the file again is the one way every format gets there exactly.
    AVFormatContext* raw = nullptr;
    int err = avformat_open_input(&raw, path_.c_str(), nullptr, nullptr);
    if (err < 0) return err;
    Input again(raw);
    if ((err = avformat_find_stream_info(raw, nullptr)) < 0) return err;
    if (raw->nb_streams != input_->nb_streams) return AVERROR_INVALIDDATA;
    input_ = std::move(again);
    return 0;
  }
  // The target in the units of the stream the key frames are looked up in (pictures when there
  // are any), rounded down: rounded to the nearest, a time in the last frame before a key frame
  // became that key frame's and the seek skipped the frame asked for.
  const int stream = SeekStream();
  const AVRational base = input_->streams[stream]->time_base;
  const int64_t target = StartOf(stream) + av_rescale_rnd(t, base.den, 10000000LL * base.num, AV_ROUND_DOWN);
  // A key frame at or before the target; failing that (files without an index), the nearest.
  int err = avformat_seek_file(input_.get(), stream, INT64_MIN, target, target, 0);
  if (err < 0) err = avformat_seek_file(input_.get(), stream, INT64_MIN, target, INT64_MAX, 0);
  return err;
}

}  // namespace dshow::filters
