#include "stream_decoder.h"

namespace dshow::filters {

std::unique_ptr<StreamDecoder> StreamDecoder::Open(const AVCodecParameters* parameters, AVRational timeBase,
                                                   bool pictureThreads, std::string* error) {
  const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
  if (!codec) {
    *error = std::string("no decoder for ") + avcodec_get_name(parameters->codec_id);
    return nullptr;
  }
  std::unique_ptr<StreamDecoder> d(new StreamDecoder);
  d->codec_.reset(avcodec_alloc_context3(codec));
  if (!d->codec_) return *error = "out of memory", nullptr;
  if (int err = avcodec_parameters_to_context(d->codec_.get(), parameters); err < 0) {
    *error = ErrorText(err);
    return nullptr;
  }
  d->codec_->pkt_timebase = timeBase;
  // Four threads keep a decoder ahead of the rest of a graph; one per processor only adds
  // hand-overs, memory for pictures in flight and CPU time.
  d->codec_->thread_count = 4;
  if (!pictureThreads) d->codec_->thread_type = FF_THREAD_SLICE;
  if (int err = avcodec_open2(d->codec_.get(), codec, nullptr); err < 0) {
    *error = std::string(codec->name) + ": " + ErrorText(err);
    return nullptr;
  }
  return d;
}

int StreamDecoder::Send(const AVPacket* packet) {
  int err = avcodec_send_packet(codec_.get(), packet);
  // A damaged packet is skipped; the stream goes on with the next one.
  if (err == AVERROR_INVALIDDATA) err = 0;
  return err;
}

int StreamDecoder::Receive(AVFrame* frame) { return avcodec_receive_frame(codec_.get(), frame); }

void StreamDecoder::Flush() { avcodec_flush_buffers(codec_.get()); }

}  // namespace dshow::filters
