#include "media_reader.h"

#include <algorithm>

namespace quicktime::media {

SampleReader::SampleReader(std::string path, int stream, AVRational timeBase, int timeScale)
    : path_(std::move(path)), stream_(stream), timeBase_(timeBase), timeScale_(timeScale) {}

int64_t SampleReader::ToMediaTime(int64_t streamTime) const {
  return av_rescale_q_rnd(streamTime, timeBase_, AVRational{1, timeScale_},
                          AVRounding(AV_ROUND_DOWN | AV_ROUND_PASS_MINMAX));
}

bool SampleReader::OpenDemuxer() {
  demuxer_ = ffmpeg::OpenInput(path_, false);
  if (!demuxer_ || stream_ >= int(demuxer_->nb_streams)) {
    demuxer_.reset();
    return false;
  }
  for (unsigned i = 0; i < demuxer_->nb_streams; ++i)
    demuxer_->streams[i]->discard = int(i) == stream_ ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
  next_ = 0;
  return true;
}

bool SampleReader::Load() {
  if (loaded_) return readable_;
  loaded_ = true;
  if (!OpenDemuxer()) return false;
  ffmpeg::Packet packet(av_packet_alloc());
  if (!packet) return false;
  int64_t nextDts = 0;
  while (av_read_frame(demuxer_.get(), packet.get()) >= 0) {
    if (packet->stream_index == stream_) {
      Sample s{};
      const int64_t dts = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
      s.dts = dts != AV_NOPTS_VALUE ? ToMediaTime(dts) : nextDts;
      s.pts = packet->pts != AV_NOPTS_VALUE ? ToMediaTime(packet->pts) : s.dts;
      s.duration = packet->duration > 0 ? ToMediaTime(packet->duration) : 0;
      s.size = packet->size;
      s.key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
      s.discard = (packet->flags & AV_PKT_FLAG_DISCARD) != 0;
      // The table is in decode order; a packet that goes back is damage and is left out.
      if (samples_.empty() || s.dts > samples_.back().dts) {
        samples_.push_back(s);
        nextDts = s.dts + std::max<int64_t>(s.duration, 1);
      }
    }
    av_packet_unref(packet.get());
  }
  for (const Sample& s : samples_) {
    end_ = std::max(end_, s.pts + s.duration);
    if (!s.discard) displayTimes_.push_back(s.pts);
  }
  std::sort(displayTimes_.begin(), displayTimes_.end());
  displayTimes_.erase(std::unique(displayTimes_.begin(), displayTimes_.end()), displayTimes_.end());
  // Read again from the start for the packets themselves.
  packet_.reset(av_packet_alloc());
  readable_ = packet_ && OpenDemuxer();
  return readable_;
}

size_t SampleReader::IndexOf(const AVPacket* packet) const {
  const int64_t raw = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
  if (raw == AV_NOPTS_VALUE) return samples_.size();
  const int64_t dts = ToMediaTime(raw);
  auto it = std::lower_bound(samples_.begin(), samples_.end(), dts,
                             [](const Sample& s, int64_t t) { return s.dts < t; });
  return it != samples_.end() && it->dts == dts ? size_t(it - samples_.begin()) : samples_.size();
}

bool SampleReader::Seek(size_t i) {
  const int64_t target = av_rescale_q(samples_[i].dts, AVRational{1, timeScale_}, timeBase_);
  if (av_seek_frame(demuxer_.get(), stream_, target, AVSEEK_FLAG_BACKWARD) >= 0) {
    next_ = SIZE_MAX;
    return true;
  }
  return OpenDemuxer();
}

const AVPacket* SampleReader::PacketAt(size_t i) {
  if (!readable_ || i >= samples_.size()) return nullptr;
  if (packetIndex_ == i) return packet_.get();
  av_packet_unref(packet_.get());
  packetIndex_ = SIZE_MAX;
  if (next_ != i && !Seek(i)) return nullptr;
  // After a seek the demuxer may stand before the wanted packet: read up to it. One that stands
  // past it, or packets that are not in the table, make a fresh start from the beginning.
  for (bool restarted = false;;) {
    const int err = av_read_frame(demuxer_.get(), packet_.get());
    size_t index = samples_.size();
    if (err >= 0) {
      if (packet_->stream_index != stream_) {
        av_packet_unref(packet_.get());
        continue;
      }
      index = IndexOf(packet_.get());
      if (index == i) {
        packetIndex_ = i;
        next_ = i + 1;
        return packet_.get();
      }
      av_packet_unref(packet_.get());
      if (index < i) continue;
    }
    if (restarted || !OpenDemuxer()) return nullptr;
    restarted = true;
  }
}

}  // namespace quicktime::media
